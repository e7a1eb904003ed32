// The guide reader on the stand-in sections-and-tables filter, fed through the
// stand-in demultiplexer as a tuner would feed it: both tables fill the slots,
// the window hears only of the watched channel, garbage on PID 0x12 is
// survived, and a stop ends the thread promptly while sections pour in.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "../standin_demux/graph_harness.h"
#include "graph/filterbase/base_object.h"
#include "guide/guide_reader.h"
#include "guide/guide_slots.h"

using namespace tstest;
using namespace std::chrono_literals;

namespace {

constexpr std::uint16_t kEitPid = 0x12;

std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>(v / 10 * 16 + v % 10); }

EitEvent At(int hour, const std::string& title)
{
    EitEvent e{};
    e.eventId = static_cast<unsigned>(hour);
    e.mjd = 61113;
    e.start[0] = Bcd(hour);
    e.duration[0] = 0x01;
    e.descriptors = ShortEventDescriptor(Text(title), Text(""));
    return e;
}

template <class Predicate>
bool Eventually(Predicate done)
{
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class GuideReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        live = CBaseObject::LiveObjects();
        graph = std::make_unique<DemuxGraph>();
        ASSERT_EQ(graph->Build(), S_OK);
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        for (unsigned sid : {0x101u, 0x102u, 0x201u}) {
            Chaine c = MakeEmptyChaine();
            c.SID = static_cast<std::int32_t>(sid);
            channels.push_back(c);
        }
    }
    void TearDown() override
    {
        StopGuideReader();
        graph.reset();
        // The streams went with the reader: nothing of the filters is left.
        EXPECT_EQ(CBaseObject::LiveObjects(), live);
        DestroyWindow(window);
        CoUninitialize();
    }

    void Send(std::uint8_t table, unsigned sid, std::initializer_list<EitEvent> events)
    {
        TsWriter ts;
        for (int i = 0; i < counter; ++i)
            ts.SkipCounter(kEitPid);
        ts.Section(kEitPid, Eit(sid, events, table));
        counter += static_cast<int>(ts.packetCount());
        graph->Push(ts.bytes());
    }

    int Notices()
    {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, window, WM_GUIDE_UPDATED, WM_GUIDE_UPDATED, PM_REMOVE))
            ++count;
        return count;
    }

    std::string Title(std::size_t channel, bool following = false)
    {
        const GuideSlots slots = ReadGuideSlots(channels[channel]);
        return following ? slots.following.title : slots.present.title;
    }

    long live = 0;
    std::unique_ptr<DemuxGraph> graph;
    HWND window = nullptr;
    ChannelList channels;
    int counter = 0;  // EIT packets sent so far, for continuity
};

TEST_F(GuideReaderTest, BothTablesFillTheSlotsAndOnlyTheWatchedChannelIsPosted)
{
    StartGuideReader(graph->mpeg2Data.Get(), channels, 1, window);
    Send(0x4F, 0x201, {At(20, "Ailleurs"), At(21, "Ailleurs ensuite")});
    Send(0x4E, 0x101, {At(20, "Journal"), At(21, "Film")});
    ASSERT_TRUE(Eventually([&] { return Title(0, true) == "Film" && Title(2, true) == "Ailleurs ensuite"; }));
    EXPECT_EQ(Title(0), "Journal");
    EXPECT_EQ(Title(2), "Ailleurs");
    EXPECT_EQ(Notices(), 0);

    Send(0x4E, 0x102, {At(20, "Match")});
    ASSERT_TRUE(Eventually([&] { return Title(1) == "Match"; }));
    Send(0x4E, 0x102, {At(21, "Après-match")});
    ASSERT_TRUE(Eventually([&] { return Title(1, true) == "Après-match"; }));
    EXPECT_EQ(Notices(), 1) << "one notice until the window acknowledges it";

    AcknowledgeGuideUpdate();
    WatchGuideChannel(0);
    Send(0x4E, 0x101, {At(22, "Débat")});
    ASSERT_TRUE(Eventually([&] { return Title(0, true) == "Débat"; }));
    EXPECT_EQ(Notices(), 1);
}

TEST_F(GuideReaderTest, GarbageOnTheEitPidIsSurvivedAndStopIsPromptDuringAFlood)
{
    StartGuideReader(graph->mpeg2Data.Get(), channels, 0, window);
    Send(0x4E, 0x101, {At(20, "Journal")});
    ASSERT_TRUE(Eventually([&] { return Title(0) == "Journal"; }));

    // Random packets on PID 0x12, some starting a "section".
    std::mt19937 random(12);
    Bytes garbage;
    for (int p = 0; p < 400; ++p) {
        const bool start = random() % 3 == 0;
        const Bytes header{0x47, static_cast<std::uint8_t>(start ? 0x40 : 0x00), kEitPid,
                           static_cast<std::uint8_t>(0x10 | (p & 0x0F))};
        garbage.insert(garbage.end(), header.begin(), header.end());
        for (int i = 0; i < 184; ++i)
            garbage.push_back(static_cast<std::uint8_t>(random()));
    }
    graph->Push(garbage);
    // A damaged section and one cut short, both of the watched channel.
    Bytes damaged = Eit(0x101, {At(21, "Faux")});
    damaged[damaged.size() - 1] ^= 0xFF;
    Bytes cut = Eit(0x101, {At(22, "Coupé")});
    cut.resize(cut.size() - 10);
    TsWriter bad;
    bad.Section(kEitPid, damaged);
    bad.Section(kEitPid, cut);
    graph->Push(bad.bytes());
    counter = 0;
    Send(0x4E, 0x101, {At(23, "Vrai")});
    ASSERT_TRUE(Eventually([&] { return Title(0, true) == "Vrai"; }));
    EXPECT_EQ(Title(0), "Journal");

    // A flood of valid sections of a service that is not in the list, and the
    // stop asked in the middle of it.
    TsWriter flood;
    for (int i = 0; i < 20000; ++i)
        flood.Section(kEitPid, Eit(0x999, {At(i % 24, "Inconnu")}, i % 2 ? 0x4E : 0x4F, 1, 0x20FA));
    graph->Push(flood.bytes());
    std::this_thread::sleep_for(100ms);
    const auto before = std::chrono::steady_clock::now();
    StopGuideReader();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_EQ(Title(0), "Journal");
    EXPECT_EQ(Title(0, true), "Vrai");
}

TEST_F(GuideReaderTest, WithoutTheSectionsFilterTheGuideStaysEmpty)
{
    StartGuideReader(nullptr, channels, 0, window);
    WatchGuideChannel(1);
    AcknowledgeGuideUpdate();
    StopGuideReader();
    EXPECT_EQ(Title(0), "");
}

TEST_F(GuideReaderTest, WithoutTheFilterTheTapsSectionsFillTheGuide)
{
    SectionReader tap;
    StartGuideReader(nullptr, channels, 0, window, &tap);
    TsWriter ts;
    ts.Section(kEitPid, Eit(0x101, {At(20, "Journal"), At(21, "Film")}, 0x4E));
    ts.Section(kEitPid, Eit(0x201, {At(20, "Ailleurs")}, 0x4F));
    tap.OnPackets(ts.bytes().data(), ts.bytes().size() / 188);
    ASSERT_TRUE(Eventually([&] { return Title(0, true) == "Film" && Title(2) == "Ailleurs"; }));
    EXPECT_EQ(Notices(), 1);
    const auto asked = std::chrono::steady_clock::now();
    StopGuideReader();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
}

}  // namespace
