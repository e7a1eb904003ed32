#pragma once
// Guide texts as broadcast: the bytes are kept as they come except a leading
// 0x05, the selector of ISO/IEC 8859-9. The table it named is handed back, to be
// kept beside the text: read in the default table (ISO/IEC 6937) instead, the
// accented letters of such a text would turn into other characters. Other
// selector bytes stay in the text and speak for themselves.
#include <cstddef>
#include <cstdint>

#include "channels/text/dvb_text_table.h"

// Copies `length` bytes of `source` (without a leading 0x05) into `destination`
// of `destinationSize` bytes, always terminated: at most destinationSize - 1
// bytes are copied. A length of 0 gives an empty text. Returns Iso8859_9 when
// the selector was taken off, FromText otherwise.
DvbTextTable CopyEitText(std::size_t length, const std::uint8_t* source, char* destination,
                         std::size_t destinationSize);

template <std::size_t N>
DvbTextTable CopyEitText(std::size_t length, const std::uint8_t* source, char (&destination)[N])
{
    return CopyEitText(length, source, destination, N);
}
