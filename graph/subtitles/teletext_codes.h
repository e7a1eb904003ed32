#pragma once
// The codes of teletext packets: Hamming 8/4 for addresses and control bits,
// odd parity for characters, and the Latin G0 character set with its national
// option subsets (English by default, French as French broadcasters send it).
#include <cstdint>
#include <optional>

// Teletext sends each byte least significant bit first; the PES of EN 300 472
// carries them in that order, so each byte is turned round before decoding.
std::uint8_t ReverseBits(std::uint8_t byte);

// The 4 data bits of a Hamming 8/4 byte (bits in transmission order, b1 the
// least significant). One wrong bit is corrected; two or more give nullopt.
std::optional<std::uint8_t> DecodeHamming84(std::uint8_t byte);

// The Hamming 8/4 byte that carries `nibble` (for writers of test streams).
std::uint8_t EncodeHamming84(std::uint8_t nibble);

// The 7-bit character of an odd-parity byte; nullopt when the parity fails.
std::optional<std::uint8_t> DecodeOddParity(std::uint8_t byte);
std::uint8_t EncodeOddParity(std::uint8_t character);

// National option subsets of the Latin G0 set, by the value of the page
// header's control bits C12 C13 C14 (C12 the most significant).
enum class NationalOption : std::uint8_t {
    English = 0,
    French = 4,
};

// The character a G0 code 0x20-0x7F shows, as UTF-16. Options this decoder
// does not know show the English subset.
char16_t LatinG0(std::uint8_t code, std::uint8_t nationalOption);
