#pragma once
// Byte strings for building test streams and sections: big-endian fields, the
// flag-carrying 12-bit lengths and 13-bit PIDs of the MPEG-2 tables.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tstest {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v);
// A 12-bit length with the given flag bits above it.
void PutLength(Bytes& b, std::size_t length, unsigned flags = 0xF0);
// A 13-bit PID with the three reserved bits set.
void PutPid(Bytes& b, unsigned pid);

void Append(Bytes& b, const Bytes& more);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Text(const std::string& s);
// Recognisable bytes: seed, seed + 7, seed + 14, ... wrapping.
Bytes Pattern(std::size_t size, std::uint8_t seed);

}  // namespace tstest
