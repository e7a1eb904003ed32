#include "graph/tuning.h"

#include "graph/codec_pins.h"
#include "graph/graph_handles.h"
#include "graph/subtitle_path.h"
#include "graph/transport_tap.h"

namespace {

constexpr ULONG kDvbtBandwidthMHz = 8;
constexpr ULONG kUnmapBatch = 8;

std::uint32_t lastFrequency = 0;  // kHz, 0 before the first tuning

}  // namespace

void MapElementaryStream(IMPEG2PIDMap* pidMap, std::int32_t pid)
{
    if (!pidMap)
        return;
    ULONG value = static_cast<ULONG>(pid);
    pidMap->MapPID(1, &value, MEDIA_ELEMENTARY_STREAM);
}

void UnmapPid(IMPEG2PIDMap* pidMap, std::int32_t pid)
{
    if (!pidMap)
        return;
    ULONG value = static_cast<ULONG>(pid);
    pidMap->UnmapPID(1, &value);
}

HRESULT TuneFrequency(std::uint32_t frequencyKHz)
{
    // A partial graph build can leave the tuning interfaces null.
    if (!deviceControl || !frequencyFilter)
        return E_POINTER;
    lastFrequency = frequencyKHz;
    deviceControl->StartChanges();
    frequencyFilter->put_Bandwidth(kDvbtBandwidthMHz);
    frequencyFilter->put_Frequency(frequencyKHz);
    deviceControl->CheckChanges();
    // Bytes of the old multiplex must not be joined to the new one's.
    ResetTransportTap();
    return deviceControl->CommitChanges();
}

HRESULT RetuneCurrentFrequency()
{
    return lastFrequency == 0 ? S_FALSE : TuneFrequency(lastFrequency);
}

void UnmapAllPids(IMPEG2PIDMap* pidMap)
{
    if (!pidMap)
        return;
    ComPtr<IEnumPIDMap> entries;
    if (FAILED(pidMap->EnumPIDMap(entries.Put())) || !entries)
        return;
    PID_MAP read[kUnmapBatch] = {};
    ULONG count = 0;
    entries->Next(kUnmapBatch, read, &count);
    entries.Reset();
    for (ULONG i = 0; i < count && i < kUnmapBatch; ++i) {
        ULONG pid = read[i].ulPID;
        pidMap->UnmapPID(1, &pid);
    }
}

void ApplyChannelSwitch(const ChannelSwitch& plan)
{
    UnmapAllPids(videoPidMap.Get());
    UnmapAllPids(audioPidMap.Get());
    UnmapAllPids(ac3PidMap.Get());
    HideSubtitleTrack();
    if (plan.retune)
        TuneFrequency(plan.frequency);
    if (MatchPinCodecs({plan.videoCodec, plan.audioCodec, plan.ac3Codec, plan.audioPid, plan.ac3Pid}) > 0)
        RetuneCurrentFrequency();
    MapElementaryStream(videoPidMap.Get(), plan.videoPid);
    if (plan.audioPid != 0)
        MapElementaryStream(audioPidMap.Get(), plan.audioPid);
}
