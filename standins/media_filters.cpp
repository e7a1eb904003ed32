#include "standins/media_filters.h"

#include <array>

#include "standins/decoders/decoder_registration.h"
#include "standins/demux/factory.h"
#include "standins/renderer/renderer_registration.h"
#include "standins/switches.h"

namespace {

const std::array<MediaFilterEntry, 9>& Table()
{
    static const std::array<MediaFilterEntry, 9> table = {{
        {&StandinDemuxSetup(), CreateStandinDemux},
        {&StandinMpeg2DataSetup(), CreateStandinMpeg2Data},
        {&standin::Mpeg2VideoDecoderEntry().setup, standin::Mpeg2VideoDecoderEntry().create},
        {&standin::MpegAudioDecoderEntry().setup, standin::MpegAudioDecoderEntry().create},
        {&standin::Ac3DecoderEntry().setup, standin::Ac3DecoderEntry().create},
        {&standin::H264VideoDecoderEntry().setup, standin::H264VideoDecoderEntry().create},
        {&standin::AacDecoderEntry().setup, standin::AacDecoderEntry().create},
        {&standin::Eac3DecoderEntry().setup, standin::Eac3DecoderEntry().create},
        {&standin::VideoRendererEntry().setup, standin::VideoRendererEntry().create},
    }};
    return table;
}

}  // namespace

std::span<const MediaFilterEntry> MediaFilters()
{
    return Table();
}

const MediaFilterEntry* FindMediaFilter(REFCLSID classId)
{
    for (const MediaFilterEntry& entry : Table())
        if (IsEqualCLSID(*entry.setup->classId, classId))
            return &entry;
    return nullptr;
}

bool MediaFilterWithdrawn(REFCLSID classId, const standins::StandinSwitches& switches)
{
    if (switches.noSections && IsEqualCLSID(classId, *StandinMpeg2DataSetup().classId)) return true;
    if (switches.noMpeg2Video && IsEqualCLSID(classId, standin::CLSID_StandinMpeg2VideoDecoder)) return true;
    if (switches.noAc3 && IsEqualCLSID(classId, standin::CLSID_StandinAc3Decoder)) return true;
    return false;
}
