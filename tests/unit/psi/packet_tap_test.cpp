// The tap against what a demultiplexer's input may really receive: packets cut
// anywhere by sample boundaries, 0x47 bytes inside payloads, a stream joined in
// the middle, a lost sync byte. Whatever the cut, the packets out are exactly
// the packets in.
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "channels/psi/packet_tap.h"
#include "tests/support/bytes.h"

using namespace tstest;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kPacket = 188;

// A packet whose payload holds a false sync byte every five bytes: a resync
// that trusted a lone 0x47 would lock onto them. They shift from one packet to
// the next, as payload bytes do, so none stands a packet before another.
Bytes Packet(std::uint8_t index)
{
    Bytes p(kPacket);
    for (std::size_t i = 1; i < kPacket; ++i)
        p[i] = (i + index * 7u) % 5 == 0 ? 0x47 : static_cast<std::uint8_t>(0x80 | ((i + index) & 0x3F));
    p[0] = 0x47;
    p[1] = 0x01;
    p[2] = index;
    return p;
}

Bytes Packets(std::uint8_t first, std::uint8_t count)
{
    Bytes out;
    for (std::uint8_t i = 0; i < count; ++i)
        Append(out, Packet(static_cast<std::uint8_t>(first + i)));
    return out;
}

struct Recorder : PacketSubscriber {
    Bytes seen;
    std::size_t calls = 0;
    bool answer = true;
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override
    {
        ++calls;
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(packets[i * kPacket], 0x47);
        seen.insert(seen.end(), packets, packets + count * kPacket);
        return answer;
    }
};

// Feeds `stream` cut at `cuts` (ascending offsets) and returns what came out.
Bytes ThroughTap(const Bytes& stream, const std::vector<std::size_t>& cuts)
{
    PacketTap tap;
    Recorder out;
    tap.Subscribe(&out);
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        tap.Feed(stream.data() + from, cut - from);
        from = cut;
    }
    tap.Feed(stream.data() + from, stream.size() - from);
    return out.seen;
}

TEST(PacketTap, EverySplitOfAPacketAcrossTwoOrThreeSamplesGivesThePacketsBack)
{
    const Bytes stream = Packets(1, 3);
    for (std::size_t cut = 0; cut <= stream.size(); ++cut)
        ASSERT_EQ(ThroughTap(stream, {cut}), stream) << "cut at " << cut;
    // Both cuts inside the middle packet, and one of them in each neighbour.
    for (std::size_t first = kPacket - 2; first <= 2 * kPacket; ++first)
        for (std::size_t second = first; second <= 2 * kPacket + 2; ++second)
            ASSERT_EQ(ThroughTap(stream, {first, second}), stream) << "cuts at " << first << ", " << second;
}

TEST(PacketTap, SingleByteSamplesAndSamplesOfOddSizes)
{
    const Bytes stream = Packets(1, 40);
    for (std::size_t step : {std::size_t{1}, std::size_t{61}, 188 * 3 + std::size_t{61}, std::size_t{4096}}) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = step; at < stream.size(); at += step)
            cuts.push_back(at);
        EXPECT_EQ(ThroughTap(stream, cuts), stream) << "samples of " << step;
    }
}

TEST(PacketTap, FalseSyncBytesAreNotTakenForPackets)
{
    const Bytes packets = Packets(1, 4);
    // Garbage before the stream (a tuner joined mid-packet), then whole packets;
    // and a packet whose sync byte was lost, which is lost with it.
    const Bytes previous = Packet(0);
    const Bytes tail(previous.begin() + 88, previous.end());
    Bytes lostSync = Packets(1, 5);
    lostSync[2 * kPacket] = 0x00;
    const Bytes expectedLost = Concat({Packets(1, 2), Packets(4, 2)});
    struct Case {
        const char* name;
        Bytes stream;
        Bytes expected;
    };
    const Case cases[] = {
        {"tail of a packet ahead", Concat({tail, packets}), packets},
        {"lone sync bytes ahead", Concat({Bytes{0x47, 0x00, 0x47, 0x12}, packets}), packets},
        {"lost sync byte", lostSync, expectedLost},
        {"nothing but 0x47 junk shorter than a packet", Bytes(150, 0x47), Bytes{}},
    };
    for (const Case& c : cases) {
        for (std::size_t cut = 0; cut <= c.stream.size(); ++cut)
            ASSERT_EQ(ThroughTap(c.stream, {cut}), c.expected) << c.name << ", cut at " << cut;
    }
}

TEST(PacketTap, ResetForgetsTheCarriedBytes)
{
    PacketTap tap;
    Recorder out;
    tap.Subscribe(&out);
    const Bytes old = Packet(1);
    tap.Feed(old.data(), 100);
    tap.Reset();
    const Bytes fresh = Packets(2, 2);
    tap.Feed(fresh.data(), fresh.size());
    EXPECT_EQ(out.seen, fresh);
}

TEST(PacketTap, AFailingSubscriberIsRemovedAndTheOthersGetEverything)
{
    PacketTap tap;
    Recorder first, failing, last;
    failing.answer = false;
    for (Recorder* r : {&first, &failing, &last})
        tap.Subscribe(r);
    const Bytes stream = Packets(1, 6);
    // Three samples, the second a run broken by a carried packet.
    tap.Feed(stream.data(), 200);
    tap.Feed(stream.data() + 200, 400);
    tap.Feed(stream.data() + 600, stream.size() - 600);
    EXPECT_EQ(first.seen, stream);
    EXPECT_EQ(last.seen, stream);
    EXPECT_EQ(failing.calls, 1u);
    EXPECT_EQ(failing.seen, Packet(1));
}

TEST(PacketTap, UnsubscribeWaitsForTheDeliveryInProgress)
{
    struct Blocking : PacketSubscriber {
        std::promise<void> entered;
        std::promise<void> release;
        std::shared_future<void> released{release.get_future().share()};
        std::atomic<int> calls{0};
        std::atomic<bool> returned{false};
        bool OnPackets(const std::uint8_t*, std::size_t) override
        {
            if (calls++ == 0) {
                entered.set_value();
                released.wait();
            }
            returned = true;
            return true;
        }
    } blocking;
    PacketTap tap;
    tap.Subscribe(&blocking);
    const Bytes stream = Packets(1, 3);
    std::thread streaming([&] {
        tap.Feed(stream.data(), 2 * kPacket);
        tap.Feed(stream.data() + 2 * kPacket, kPacket);
    });
    blocking.entered.get_future().wait();
    auto unsubscribed = std::async(std::launch::async, [&] { tap.Unsubscribe(&blocking); });
    EXPECT_EQ(unsubscribed.wait_for(50ms), std::future_status::timeout);
    blocking.release.set_value();
    unsubscribed.wait();
    EXPECT_TRUE(blocking.returned);
    streaming.join();
    EXPECT_EQ(blocking.calls, 1);
}

}  // namespace
