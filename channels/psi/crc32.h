#pragma once
// CRC_32 of MPEG-2 PSI/SI sections: polynomial 0x04C11DB7, initial value
// 0xFFFFFFFF, no reflection, no final XOR. Over a whole section including its
// own CRC_32 field the result is 0.
#include <cstddef>
#include <cstdint>

std::uint32_t Crc32Mpeg(const std::uint8_t* data, std::size_t length);
