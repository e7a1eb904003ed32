// All recordings of a multiplex fed by one walk: each gets exactly what walking
// the packets for it alone would give, run for run; a failing one drops out
// alone; a removal waits for the delivery that may still be calling it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "record/packet_fan_out.h"
#include "record/packet_filter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Stream(const std::vector<std::uint16_t>& pids)
{
    Bytes all;
    std::uint8_t tag = 0;
    for (std::uint16_t pid : pids) {
        Bytes p(188, ++tag);
        p[0] = 0x47;
        p[1] = static_cast<std::uint8_t>(pid >> 8 & 0x1F);
        p[2] = static_cast<std::uint8_t>(pid & 0xFF);
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// Keeps every run; refuses the run numbered `failOnRun` (from 1) and after.
struct Runs : PacketRunSink {
    explicit Runs(std::size_t failOnRun = 0) : failOnRun(failOnRun) {}
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        ++calls;
        if (failOnRun != 0 && calls >= failOnRun)
            return false;
        runs.emplace_back(bytes, bytes + size);
        return true;
    }
    Bytes All() const
    {
        Bytes all;
        for (const Bytes& r : runs)
            all.insert(all.end(), r.begin(), r.end());
        return all;
    }
    std::size_t failOnRun;
    std::size_t calls = 0;
    std::vector<Bytes> runs;
};

TEST(PacketFanOut, EachRecordingGetsWhatItsOwnWalkWouldRunForRun)
{
    const PidSelection tf1 = PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF);
    const PidSelection france2 = PidSelection::Service(0x200, 0x210, 0x211, 0x220);
    const PidSelection whole = PidSelection::Multiplex();
    struct Case {
        const char* what;
        std::vector<std::uint16_t> pids;
        std::vector<PidSelection> selections;
    } cases[] = {
        {"interleaved services", {0, 0x100, 0x110, 0x210, 0x110, 0x111, 0x200, 0x1FFF, 0x220, 0x110},
         {tf1, france2, whole}},
        {"long runs of one PID", {0x110, 0x110, 0x110, 0x210, 0x210, 0x1FFF, 0x1FFF, 0x110}, {tf1, france2}},
        {"shared PAT only", {0, 0, 0x500, 0}, {tf1, france2}},
        {"nothing kept", {0x500, 0x1FFF, 0x501}, {tf1}},
        {"the same selection twice", {0, 0x110, 0x300, 0x111}, {tf1, tf1}},
        {"one recording", {0x110, 0x1FFF, 0x111}, {whole}},
    };
    for (const Case& c : cases) {
        const Bytes stream = Stream(c.pids);
        PacketFanOut fanOut;
        std::vector<std::unique_ptr<Runs>> sinks;
        for (const PidSelection& s : c.selections) {
            sinks.push_back(std::make_unique<Runs>());
            ASSERT_TRUE(fanOut.Add(sinks.back().get(), s)) << c.what;
        }
        // Two deliveries, as the tap cuts the stream: runs never span them.
        const std::size_t first = c.pids.size() / 2;
        EXPECT_TRUE(fanOut.OnPackets(stream.data(), first));
        EXPECT_TRUE(fanOut.OnPackets(stream.data() + first * 188, c.pids.size() - first));
        for (std::size_t i = 0; i < sinks.size(); ++i) {
            Runs alone;
            const FilterResult a = FilterPackets(stream.data(), first * 188, c.selections[i], alone);
            const FilterResult b =
                FilterPackets(stream.data() + first * 188, stream.size() - first * 188, c.selections[i], alone);
            EXPECT_EQ(sinks[i]->runs, alone.runs) << c.what << ", recording " << i;
            EXPECT_EQ(sinks[i]->calls, a.runsWritten + b.runsWritten) << c.what << ", recording " << i;
        }
    }
}

TEST(PacketFanOut, AFailingRecordingDropsOutAloneAndTheOthersGoOn)
{
    const Bytes stream = Stream({0, 0x110, 0x210, 0x110, 0x210, 0x110, 0x210});
    PacketFanOut fanOut;
    Runs failing(2);  // refuses its second run
    Runs tf1;
    Runs whole;
    fanOut.Add(&failing, PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF));
    fanOut.Add(&tf1, PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF));
    fanOut.Add(&whole, PidSelection::Multiplex());

    EXPECT_TRUE(fanOut.OnPackets(stream.data(), 7));
    EXPECT_EQ(failing.calls, 2u);
    EXPECT_EQ(failing.All(), Bytes(stream.begin(), stream.begin() + 2 * 188));
    EXPECT_EQ(fanOut.Size(), 2u);
    EXPECT_EQ(tf1.runs.size(), 3u);
    EXPECT_EQ(whole.All(), stream);

    EXPECT_TRUE(fanOut.OnPackets(stream.data(), 7));
    EXPECT_EQ(failing.calls, 2u);  // never called again
    EXPECT_EQ(whole.All().size(), 2 * stream.size());
}

TEST(PacketFanOut, HoldsThirtyTwoRecordingsAndNoMore)
{
    PacketFanOut fanOut;
    std::vector<Runs> sinks(PacketFanOut::kMaxSinks + 1);
    for (std::size_t i = 0; i < PacketFanOut::kMaxSinks; ++i)
        EXPECT_TRUE(fanOut.Add(&sinks[i], PidSelection::Multiplex()));
    EXPECT_FALSE(fanOut.Add(&sinks.back(), PidSelection::Multiplex()));
    const Bytes stream = Stream({0x110});
    fanOut.OnPackets(stream.data(), 1);
    EXPECT_EQ(sinks[PacketFanOut::kMaxSinks - 1].All(), stream);  // the last bit of the table
}

// A write that takes its time (a slow disk) while the window stops the recording.
TEST(PacketFanOut, ARemovalWaitsForTheRunBeingWritten)
{
    struct SlowSink : PacketRunSink {
        bool WriteRun(const std::uint8_t*, std::size_t) override
        {
            std::unique_lock<std::mutex> lock(mutex);
            inside = true;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
            inside = false;
            ++calls;
            return true;
        }
        std::mutex mutex;
        std::condition_variable changed;
        bool inside = false;
        bool release = false;
        int calls = 0;
    } slow;
    PacketFanOut fanOut;
    fanOut.Add(&slow, PidSelection::Multiplex());
    const Bytes stream = Stream({0x110});
    std::thread streaming([&] { fanOut.OnPackets(stream.data(), 1); });
    {
        std::unique_lock<std::mutex> lock(slow.mutex);
        ASSERT_TRUE(slow.changed.wait_for(lock, std::chrono::seconds(10), [&] { return slow.inside; }));
    }
    std::atomic<bool> removed{false};
    std::thread window([&] {
        fanOut.Remove(&slow);
        removed = true;
    });
    // The removal cannot end while the write goes on.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(removed);
    {
        const std::lock_guard<std::mutex> lock(slow.mutex);
        slow.release = true;
    }
    slow.changed.notify_all();
    window.join();
    streaming.join();
    EXPECT_TRUE(removed);
    fanOut.OnPackets(stream.data(), 1);
    EXPECT_EQ(slow.calls, 1);
}

}  // namespace
