// The DVB subtitle decoder on any bytes, read as PES data fields each preceded
// by its 16-bit length, so that display sets run across packets. Every picture
// it gives must be as large as its display and no larger than the largest one,
// and its overlay for the mixer must lie inside it.
#include <algorithm>

#include "graph/subtitles/dvb_subtitle_decoder.h"
#include "graph/subtitles/subtitle_overlay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DvbSubtitleDecoder decoder(1, 2);
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::size_t length = std::min<std::size_t>(data[at] << 8 | data[at + 1], size - at - 2);
        at += 2;
        for (const SubtitlePicture& p : decoder.Decode(data + at, length, static_cast<std::int64_t>(at))) {
            if (p.width > DvbSubtitleDecoder::kMaxWidth || p.height > DvbSubtitleDecoder::kMaxHeight ||
                p.pixels.size() != std::size_t{p.width} * p.height)
                __builtin_trap();
            const SubtitleOverlay o = MakeOverlay(p);
            if (o.width > p.width || o.height > p.height || o.pixels.size() != std::size_t{o.width} * o.height ||
                !(o.left >= 0 && o.left <= o.right && o.right <= 1 && o.top >= 0 && o.top <= o.bottom && o.bottom <= 1))
                __builtin_trap();
        }
        at += length;
    }
    return 0;
}
