// The teletext subtitle decoder on any bytes, read as PES data fields each
// preceded by its 16-bit length. Every row it gives is a row of the page and
// every span lies within the row's 40 columns.
#include <algorithm>

#include "graph/subtitles/teletext_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TeletextSubtitleDecoder decoder(0x888);
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::size_t length = std::min<std::size_t>(data[at] << 8 | data[at + 1], size - at - 2);
        at += 2;
        for (const TeletextSubtitle& s : decoder.Decode(data + at, length, static_cast<std::int64_t>(at))) {
            for (const TeletextRow& row : s.rows) {
                if (row.row < 1 || row.row > 23)
                    __builtin_trap();
                for (const TeletextSpan& span : row.spans)
                    if (span.text.empty() || span.column + span.text.size() > 40)
                        __builtin_trap();
            }
        }
        at += length;
    }
    return 0;
}
