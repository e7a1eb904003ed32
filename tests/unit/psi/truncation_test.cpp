// Every parser on every prefix of valid sections, each copied into a buffer of
// exactly that size: under AddressSanitizer a read past the delivered bytes
// fails the test. Results must stay consistent with what the prefix holds.
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

template <typename Parse>
void ForEveryPrefix(const Bytes& section, Parse parse)
{
    for (std::size_t length = 0; length <= section.size(); ++length) {
        // Heap copy of exactly `length` bytes (none when 0) so any overrun is caught.
        std::unique_ptr<std::uint8_t[]> copy(length ? new std::uint8_t[length] : nullptr);
        std::copy(section.begin(), section.begin() + static_cast<std::ptrdiff_t>(length), copy.get());
        parse(copy.get(), length);
    }
}

// Sets every 12-bit length field the parsers follow to its largest value.
Bytes WithLengthsAtMaximum(Bytes s, std::initializer_list<std::size_t> offsets)
{
    for (std::size_t at : offsets) {
        s[at] |= 0x0F;
        s[at + 1] = 0xFF;
    }
    return s;
}

TEST(Truncation, SdtAppendsOnlyEntriesThatFitBeforeTheCrc)
{
    const Bytes s = Sdt(1, 2, {Service(1, "A", "One"), Service(2, "", "Two"), Service(3, "Prov", "")});
    std::vector<std::size_t> ends;  // where each entry ends
    std::size_t at = 11;
    for (const Bytes& d : {ServiceDescriptor(Text("A"), Text("One")), ServiceDescriptor({}, Text("Two")),
                           ServiceDescriptor(Text("Prov"), {})}) {
        at += 5 + d.size();
        ends.push_back(at);
    }
    ForEveryPrefix(s, [&](const std::uint8_t* p, std::size_t length) {
        ChannelList list;
        ParseSdt(p, length, 1, list);
        std::size_t expected = 0;
        while (expected < ends.size() && length >= 4 && ends[expected] <= length - 4)
            ++expected;
        EXPECT_EQ(list.size(), expected) << "length " << length;
    });
    ChannelList list;
    const Bytes lying = WithLengthsAtMaximum(s, {14});
    ParseSdt(lying.data(), lying.size(), 1, list);
    EXPECT_TRUE(list.empty());
}

TEST(Truncation, PatPmtNitNeverReadPastTheSection)
{
    const Bytes pat = Pat(1, {{0, 0x10}, {1, 0x100}, {2, 0x200}});
    const Bytes pmt = Pmt(1, 0x100, {{0x02, 0x100, Descriptor(0x52, {1})}, {0x06, 0x101, Ac3Descriptor()}},
                          Descriptor(0x09, {1, 2, 3, 4}));
    const Bytes nit = Nit(1, {{1, 1, LogicalChannelDescriptor({{1, 1}, {2, 2}})},
                              {2, 1, LogicalChannelDescriptor({{1, 3}})}},
                          Descriptor(0x40, Text("net")));
    auto records = [] {
        ChannelList list;
        for (int sid = 1; sid <= 2; ++sid) {
            Chaine c = MakeEmptyChaine();
            c.ONID = 1;
            c.TSID = 1;
            c.SID = sid;
            list.push_back(c);
        }
        return list;
    };
    ForEveryPrefix(pat, [&](const std::uint8_t* p, std::size_t n) {
        ChannelList list = records();
        ParsePat(p, n, list);
    });
    ForEveryPrefix(pmt, [&](const std::uint8_t* p, std::size_t n) {
        ChannelList list = records();
        ParsePmt(p, n, 0, list);
        // A stream is taken only when its whole entry lies before the CRC.
        if (n < pmt.size()) {
            EXPECT_EQ(list[0].Ac3, 0) << "length " << n;
        }
    });
    ForEveryPrefix(nit, [&](const std::uint8_t* p, std::size_t n) {
        ChannelList list = records();
        ApplyNit(p, n, list);
    });

    // Length fields that claim far more than is there.
    ChannelList list = records();
    const Bytes pmtLying = WithLengthsAtMaximum(pmt, {10});
    ParsePmt(pmtLying.data(), pmtLying.size(), 0, list);
    EXPECT_EQ(list[0].PCR, 0x100);
    EXPECT_EQ(list[0].Video, 0);
    const Bytes nitLying = WithLengthsAtMaximum(nit, {17 + 4});
    ApplyNit(nitLying.data(), nitLying.size(), list);
    EXPECT_EQ(list[0].Numero, 0);
}

}  // namespace
