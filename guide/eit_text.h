#pragma once
// Guide texts as broadcast: the bytes are kept as they come, in the system
// code page, except a leading 0x05. That byte selects ISO/IEC 8859-9, which
// differs from Latin-1 (and so from the code page of a French Windows) only in
// six Turkish letters: without the selector the text reads right. Other
// selector bytes are kept.
#include <cstddef>
#include <cstdint>

// Copies `length` bytes of `source` (without a leading 0x05) into `destination`
// of `destinationSize` bytes, always terminated: at most destinationSize - 1
// bytes are copied. A length of 0 gives an empty text.
void CopyEitText(std::size_t length, const std::uint8_t* source, char* destination, std::size_t destinationSize);

template <std::size_t N>
void CopyEitText(std::size_t length, const std::uint8_t* source, char (&destination)[N])
{
    CopyEitText(length, source, destination, N);
}
