// Reading the header and adaptation field of one transport stream packet.
#include "channels/psi/ts_packet.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/packets.h"

using namespace tstest;

namespace {

Bytes Header(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    Bytes p(kTsPacketSize, 0xAA);
    p[0] = kTsSyncByte;
    p[1] = b1;
    p[2] = b2;
    p[3] = b3;
    return p;
}

TEST(TsPacket, HeaderFieldsAndPayloadSpan)
{
    // transport_error, unit start, PID 0x1ABC, scrambling 2, payload only, counter 9.
    const Bytes plain = Header(0xDA, 0xBC, 0x99);
    TsPacket p = ReadTsPacket(plain.data(), plain.size());
    ASSERT_TRUE(p.ok());
    EXPECT_TRUE(p.transportError);
    EXPECT_TRUE(p.unitStart);
    EXPECT_EQ(p.pid, 0x1ABC);
    EXPECT_EQ(p.scrambling, 2);
    EXPECT_FALSE(p.hasAdaptation);
    EXPECT_TRUE(p.hasPayload);
    EXPECT_EQ(p.continuity, 9);
    EXPECT_FALSE(p.discontinuity);
    EXPECT_FALSE(p.pcr);
    EXPECT_EQ(p.payload, plain.data() + 4);
    EXPECT_EQ(p.payloadSize, 184u);

    // Adaptation field of 10 bytes with the discontinuity_indicator, then payload.
    Bytes withField = Header(0x01, 0x00, 0x3F);
    withField[4] = 10;
    withField[5] = 0x80;
    p = ReadTsPacket(withField.data(), withField.size());
    ASSERT_TRUE(p.ok());
    EXPECT_FALSE(p.transportError);
    EXPECT_FALSE(p.unitStart);
    EXPECT_EQ(p.pid, 0x100);
    EXPECT_EQ(p.scrambling, 0);
    EXPECT_TRUE(p.hasAdaptation);
    EXPECT_TRUE(p.discontinuity);
    EXPECT_EQ(p.continuity, 15);
    EXPECT_EQ(p.payload, withField.data() + 15);
    EXPECT_EQ(p.payloadSize, 173u);

    // A field of length 0 is one stuffing byte: the byte after it is payload, not flags.
    Bytes oneByteField = Header(0x00, 0x20, 0x30);
    oneByteField[4] = 0;
    oneByteField[5] = 0x90;
    p = ReadTsPacket(oneByteField.data(), oneByteField.size());
    ASSERT_TRUE(p.ok());
    EXPECT_FALSE(p.discontinuity);
    EXPECT_FALSE(p.pcr);
    EXPECT_EQ(p.payloadSize, 183u);

    // Adaptation field only (the counter's packet carries no payload), and a field
    // filling the packet although payload is announced.
    Bytes fieldOnly = Header(0x00, 0x20, 0x20);
    fieldOnly[4] = 183;
    fieldOnly[5] = 0x00;
    p = ReadTsPacket(fieldOnly.data(), fieldOnly.size());
    ASSERT_TRUE(p.ok());
    EXPECT_FALSE(p.hasPayload);
    EXPECT_EQ(p.payload, nullptr);
    EXPECT_EQ(p.payloadSize, 0u);
    fieldOnly[3] = 0x30;
    p = ReadTsPacket(fieldOnly.data(), fieldOnly.size());
    ASSERT_TRUE(p.ok());
    EXPECT_TRUE(p.hasPayload);
    EXPECT_EQ(p.payloadSize, 0u);

    // Null packet; longer runs are read as their first packet.
    Bytes run = Header(0x1F, 0xFF, 0x10);
    run.resize(3 * kTsPacketSize, 0x47);
    p = ReadTsPacket(run.data(), run.size());
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.pid, kTsNullPid);
    EXPECT_EQ(p.payloadSize, 184u);
}

TEST(TsPacket, MalformedPacketsAreReportedAndNeverReadOutside)
{
    // Exactly sized heap copies, so that the sanitizers see any read past them.
    const auto exact = [](const Bytes& b, std::size_t size) {
        auto copy = std::make_unique<std::uint8_t[]>(size);
        std::copy(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
        return copy;
    };

    const Bytes good = Header(0x41, 0x00, 0x10);
    auto shortCopy = exact(good, 187);
    EXPECT_EQ(ReadTsPacket(shortCopy.get(), 187).status, TsPacketStatus::NotWhole);
    EXPECT_EQ(ReadTsPacket(nullptr, 188).status, TsPacketStatus::NotWhole);

    Bytes lostSync = good;
    lostSync[0] = 0x46;
    TsPacket p = ReadTsPacket(lostSync.data(), lostSync.size());
    EXPECT_EQ(p.status, TsPacketStatus::BadSync);
    EXPECT_FALSE(p.headerRead());
    EXPECT_EQ(p.pid, 0);  // not guessed from bytes that may be anything
    EXPECT_EQ(p.payload, nullptr);

    // adaptation_field_length 184: one byte past the packet. The header is known,
    // nothing after it is trusted.
    Bytes overrun = Header(0x01, 0x00, 0x37);
    overrun[4] = 184;
    overrun[5] = 0x90;  // discontinuity and PCR flags
    auto overrunCopy = exact(overrun, kTsPacketSize);
    p = ReadTsPacket(overrunCopy.get(), kTsPacketSize);
    EXPECT_EQ(p.status, TsPacketStatus::AdaptationOverrun);
    EXPECT_TRUE(p.headerRead());
    EXPECT_FALSE(p.ok());
    EXPECT_EQ(p.pid, 0x100);
    EXPECT_EQ(p.continuity, 7);
    EXPECT_FALSE(p.discontinuity);
    EXPECT_FALSE(p.pcr);
    EXPECT_EQ(p.payload, nullptr);
    EXPECT_EQ(p.payloadSize, 0u);

    // The longest field that fits, announcing a PCR: read to the last byte, no further.
    Bytes longest = Header(0x01, 0x00, 0x20);
    longest[4] = 183;
    longest[5] = 0x10;
    auto longestCopy = exact(longest, kTsPacketSize);
    p = ReadTsPacket(longestCopy.get(), kTsPacketSize);
    EXPECT_TRUE(p.ok());
    EXPECT_TRUE(p.pcr);
}

TEST(TsPacket, PcrBaseAndExtension)
{
    for (std::uint64_t pcr : {std::uint64_t{0}, std::uint64_t{27'000'000}, std::uint64_t{123456789012},
                              std::uint64_t{299}, kPcrModulus - 1}) {
        const Bytes packet = PcrPacket(0x100, 0, pcr, 0xFF);
        EXPECT_EQ(ReadTsPacket(packet.data(), packet.size()).pcr, pcr);
    }

    const Bytes plain = PcrPacket(0x100, 0, std::nullopt, 0xFF);
    EXPECT_FALSE(ReadTsPacket(plain.data(), plain.size()).pcr);

    Bytes noFlag = PcrPacket(0x100, 0, 1000, 0xFF);
    noFlag[5] = 0x00;
    EXPECT_FALSE(ReadTsPacket(noFlag.data(), noFlag.size()).pcr);

    // An adaptation field too short to hold the PCR it announces.
    Bytes shortField = PcrPacket(0x100, 0, 1000, 0xFF);
    shortField[4] = 6;
    EXPECT_FALSE(ReadTsPacket(shortField.data(), shortField.size()).pcr);
    shortField[4] = 1;
    EXPECT_FALSE(ReadTsPacket(shortField.data(), shortField.size()).pcr);

    Bytes lostSync = PcrPacket(0x100, 0, 1000, 0xFF);
    lostSync[0] = 0x00;
    EXPECT_FALSE(ReadTsPacket(lostSync.data(), lostSync.size()).pcr);

    const Bytes whole = PcrPacket(0x100, 0, 1000, 0xFF);
    EXPECT_FALSE(ReadTsPacket(whole.data(), 100).pcr);  // not a whole packet
}

}  // namespace
