#include "tests/support/bytes.h"

namespace tstest {

void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

void PutLength(Bytes& b, std::size_t length, unsigned flags)
{
    b.push_back(static_cast<std::uint8_t>(flags | ((length >> 8) & 0x0F)));
    b.push_back(static_cast<std::uint8_t>(length));
}

void PutPid(Bytes& b, unsigned pid)
{
    b.push_back(static_cast<std::uint8_t>(0xE0 | ((pid >> 8) & 0x1F)));
    b.push_back(static_cast<std::uint8_t>(pid));
}

void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& p : parts)
        Append(b, p);
    return b;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Pattern(std::size_t size, std::uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

}  // namespace tstest
