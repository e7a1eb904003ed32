// The plain code behind the strict switches: reading BRISOME_STANDINS, cutting the
// tuner's stream into odd samples, and spreading the PSI packets over time.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "standins/psi_spreader.h"
#include "standins/sample_slicer.h"
#include "standins/switches.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using standins::ParseStandinSwitches;
using standins::StandinSwitches;

namespace {

StandinSwitches With(void (*set)(StandinSwitches&))
{
    StandinSwitches switches;
    set(switches);
    return switches;
}

TEST(StandinSwitches, ReadsEachSwitchAndReportsWhatItDoesNotKnow)
{
    struct Case {
        const char* text;
        StandinSwitches expected;
    };
    const Case cases[] = {
        {"", {}},
        {" , ,", {}},
        {"odd-samples", With([](StandinSwitches& s) { s.oddSamples = true; })},
        {"lazy-pins,forgetful", With([](StandinSwitches& s) { s.lazyPins = s.forgetful = true; })},
        {" accepting-antenna , blocking-antenna ",
         With([](StandinSwitches& s) { s.acceptingAntenna = s.blockingAntenna = true; })},
        {"slow-lock=1500", With([](StandinSwitches& s) { s.slowLockMs = 1500; })},
        {"slow-lock=600000", With([](StandinSwitches& s) { s.slowLockMs = 600000; })},
        {"strict-sections,no-sections", With([](StandinSwitches& s) { s.strictSections = s.noSections = true; })},
        {"no-mpeg2-video,no-ac3", With([](StandinSwitches& s) { s.noMpeg2Video = s.noAc3 = true; })},
        {"strict-aac,slow-psi", With([](StandinSwitches& s) { s.strictAac = s.slowPsi = true; })},
        // Not switches: kept for the report, nothing turned on.
        {"slow-lock", With([](StandinSwitches& s) { s.unknown = {"slow-lock"}; })},
        {"slow-lock=", With([](StandinSwitches& s) { s.unknown = {"slow-lock="}; })},
        {"slow-lock=-5", With([](StandinSwitches& s) { s.unknown = {"slow-lock=-5"}; })},
        {"slow-lock=600001", With([](StandinSwitches& s) { s.unknown = {"slow-lock=600001"}; })},
        {"slow-lock=99999999999999999999", With([](StandinSwitches& s) { s.unknown = {"slow-lock=99999999999999999999"}; })},
        {"Odd-Samples,no-ac3x", With([](StandinSwitches& s) { s.unknown = {"Odd-Samples", "no-ac3x"}; })},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseStandinSwitches(c.text), c.expected) << '"' << c.text << '"';
    }
}

// Cuts `stream` into samples for buffers of `capacity` bytes, feeding it in pieces of
// `piece` bytes; returns the sample sizes and the bytes in the order they came out.
std::vector<std::size_t> Slice(bool odd, const tstest::Bytes& stream, std::size_t piece, std::size_t capacity,
                               tstest::Bytes& out)
{
    standins::SampleSlicer slicer(odd);
    std::vector<std::size_t> sizes;
    std::vector<std::uint8_t> buffer(capacity);
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        slicer.Append(stream.data() + at, std::min(piece, stream.size() - at));
        while (std::size_t size = slicer.NextSize(capacity)) {
            slicer.Take(buffer.data(), size);
            out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size));
            sizes.push_back(size);
        }
    }
    return sizes;
}

TEST(SampleSlicer, SamplesCutPacketsAnywhereButKeepEveryByteInOrder)
{
    const tstest::Bytes stream = tstest::PcrStream(0x100, 40, 50, 270'000);  // 2000 packets
    struct Case {
        bool odd;
        std::size_t capacity;
    };
    for (const Case& c : {Case{true, 65536}, Case{true, 5000}, Case{false, 188 * 256}, Case{false, 1000}}) {
        SCOPED_TRACE(testing::Message() << "odd " << c.odd << ", capacity " << c.capacity);
        tstest::Bytes out;
        const std::vector<std::size_t> sizes = Slice(c.odd, stream, kTsPacketSize, c.capacity, out);
        ASSERT_FALSE(sizes.empty());
        // Whatever is still waiting is the stream's tail, never a gap.
        ASSERT_LE(out.size(), stream.size());
        EXPECT_TRUE(std::equal(out.begin(), out.end(), stream.begin()));
        std::size_t split = 0;
        std::map<std::size_t, int> distinct;
        for (std::size_t size : sizes) {
            EXPECT_LE(size, c.capacity);
            EXPECT_GT(size, 0u);
            split += size % kTsPacketSize != 0;
            ++distinct[size];
        }
        if (c.odd) {
            EXPECT_GT(split, sizes.size() / 2) << "most samples end inside a packet";
            EXPECT_GE(distinct.size(), 4u) << "sizes vary";
            EXPECT_EQ(distinct.count(1), 1u) << "single-byte samples too";
        } else {
            EXPECT_EQ(split, 0u);
        }
    }
}

// A multiplex of 2 ms packets: PAT naming PMT 0x100, a PMT of 3 packets, a video PID.
struct Timed {
    std::vector<std::uint8_t> packet;
    std::int64_t due;
};

std::uint16_t PidOf(const std::vector<std::uint8_t>& p) { return static_cast<std::uint16_t>((p[1] & 0x1F) << 8 | p[2]); }

std::vector<Timed> Spread(const std::vector<Timed>& input)
{
    standins::PsiSpreader spreader;
    std::vector<Timed> out;
    std::uint8_t packet[kTsPacketSize];
    std::int64_t now = 0;
    for (const Timed& t : input) {
        for (; now < t.due; now += 1000)
            while (spreader.PopDue(now, packet)) out.push_back({{packet, packet + kTsPacketSize}, now});
        spreader.Push(t.packet.data(), t.due);
    }
    for (; spreader.Waiting() > 0; now += 1000)
        while (spreader.PopDue(now, packet)) out.push_back({{packet, packet + kTsPacketSize}, now});
    return out;
}

TEST(PsiSpreader, MultiPacketSectionsLastAtLeast300MsAndNothingElseMoves)
{
    tstest::TsWriter writer;
    writer.Section(0x0000, tstest::Pat(1, {{0, 0x10}, {1, 0x100}}));
    for (int i = 0; i < 5; ++i) writer.Pes(0x200, 0xE0, tstest::Pattern(100, static_cast<std::uint8_t>(i)));
    // A PMT of about 500 bytes (three packets), then an SDT of the same length.
    writer.Section(0x0100, tstest::LongSection(0x02, 1, tstest::Pattern(500, 7)));
    for (int i = 0; i < 200; ++i) writer.Pes(0x200, 0xE0, tstest::Pattern(100, static_cast<std::uint8_t>(i)));
    writer.Section(0x0011, tstest::LongSection(0x42, 1, tstest::Pattern(500, 9)));
    for (int i = 0; i < 200; ++i) writer.Pes(0x200, 0xE0, tstest::Pattern(100, static_cast<std::uint8_t>(i)));

    std::vector<Timed> input;
    const tstest::Bytes& bytes = writer.bytes();
    for (std::size_t at = 0; at < bytes.size(); at += kTsPacketSize)
        input.push_back({{bytes.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at + kTsPacketSize)},
                         static_cast<std::int64_t>(at / kTsPacketSize) * 2000});
    const std::vector<Timed> output = Spread(input);
    ASSERT_EQ(output.size(), input.size()) << "nothing lost at this rate";

    std::map<std::uint16_t, std::vector<Timed>> in, out;
    for (const Timed& t : input) in[PidOf(t.packet)].push_back(t);
    for (const Timed& t : output) out[PidOf(t.packet)].push_back(t);
    for (auto& [pid, packets] : in) {
        SCOPED_TRACE(pid);
        ASSERT_EQ(out[pid].size(), packets.size());
        for (std::size_t i = 0; i < packets.size(); ++i) {
            EXPECT_EQ(out[pid][i].packet, packets[i].packet) << "order within the PID";
            // Video and the one-packet PAT keep their times (to the simulation's 1 ms step).
            if (pid == 0x200 || pid == 0x0000) {
                EXPECT_LE(out[pid][i].due - packets[i].due, 1000);
            }
        }
    }
    for (std::uint16_t pid : {std::uint16_t{0x0100}, std::uint16_t{0x0011}}) {
        ASSERT_EQ(out[pid].size(), 3u) << pid;
        EXPECT_GE(out[pid].back().due - out[pid].front().due, standins::PsiSpreader::kSpreadMicros) << pid;
        EXPECT_LT(out[pid].back().due - out[pid].front().due, 2 * standins::PsiSpreader::kSpreadMicros) << pid;
    }
}

TEST(PsiSpreader, APidThatCannotBeSpreadInTimeLosesWholeSectionsOnly)
{
    // Three-packet sections back to back on one PID, far more than one per 300 ms.
    tstest::TsWriter writer;
    for (int i = 0; i < 40; ++i) writer.Section(0x0012, tstest::LongSection(0x4E, 1, tstest::Pattern(500, static_cast<std::uint8_t>(i))));
    std::vector<Timed> input;
    const tstest::Bytes& bytes = writer.bytes();
    for (std::size_t at = 0; at < bytes.size(); at += kTsPacketSize)
        input.push_back({{bytes.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at + kTsPacketSize)},
                         static_cast<std::int64_t>(at / kTsPacketSize) * 2000});
    const std::vector<Timed> output = Spread(input);
    ASSERT_LT(output.size(), input.size());
    ASSERT_EQ(output.size() % 3, 0u) << "sections kept or left out whole";
    for (std::size_t i = 0; i < output.size(); i += 3) {
        EXPECT_TRUE(output[i].packet[1] & 0x40) << "a kept section starts with its first packet";
        EXPECT_FALSE(output[i + 1].packet[1] & 0x40);
        EXPECT_FALSE(output[i + 2].packet[1] & 0x40);
    }
    // Bounded lag: the last packet leaves within a few spreads of the last arrival.
    EXPECT_LE(output.back().due - input.back().due, standins::PsiSpreader::kMaxLagMicros + 3 * 300'000);
}

}  // namespace
