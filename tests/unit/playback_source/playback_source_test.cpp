// The playback source in a graph of its own with a sink: it delivers the whole
// file at the pace of its clock, ends the stream at the file's end, and a seek
// moves it at once with a discontinuity, also when the sink holds a sample.
// The time-shift buffer's file: a folder that cannot be written is told, and
// the file is gone once closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

#include "../filterbase/com_test.h"
#include "../filterbase/test_sink.h"
#include "graph/playback_source.h"
#include "record/playback/ring_file_win.h"
#include "record/playback/time_shift_session_win.h"
#include "tests/support/packets.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t k40Ms = 40 * 27000;

class PlaybackSource : public ComTest {
protected:
    // A stream of `seconds` (a PCR every 40 ms, each followed by 19 packets).
    // A sink that `blocks` holds each sample as a paused renderer does.
    void Build(int seconds, bool blocks = false)
    {
        bytes = tstest::PcrStream(0x100, seconds * 25 + 1, 20, k40Ms);
        memory = std::make_unique<MemoryByteSource>(bytes.data(), bytes.size());
        feed = std::make_unique<FileFeed>(*memory, ProbeTransportStream(*memory), 0x100);
        SinkBehaviour behaviour;
        behaviour.offered = {TypeWithMajor(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT)};
        behaviour.receiveResult = S_OK;
        behaviour.blocks = blocks;
        behaviour.onReceive = [this](IMediaSample* sample) {
            receivedBytes += sample->GetActualDataLength();
            if (sample->IsDiscontinuity() == S_OK) ++discontinuities;
        };
        sink = MakeComObject<TestSinkFilter>(std::move(behaviour));
        filter = new CPlaybackSource(*feed);
        source = ComPtr<IBaseFilter>::Share(filter);
        ASSERT_EQ(filter->Pin()->Connect(&sink->Pin(), nullptr), S_OK);
    }
    void TearDown() override
    {
        if (source) {
            sink->Pin().SetReleased(true);
            source->Stop();
            filter->Pin()->Disconnect();
            sink->Pin().Disconnect();
        }
        source.Reset();
        sink.Reset();
        ComTest::TearDown();
    }
    bool WaitForEnd(int seconds)
    {
        const auto until = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < until) {
            if (sink->Pin().endsOfStream > 0) return true;
            Sleep(10);
        }
        return false;
    }

    tstest::Bytes bytes;
    std::unique_ptr<MemoryByteSource> memory;
    std::unique_ptr<FileFeed> feed;
    ComPtr<TestSinkFilter> sink;
    CPlaybackSource* filter = nullptr;
    ComPtr<IBaseFilter> source;
    std::atomic<long long> receivedBytes{0};
    std::atomic<int> discontinuities{0};
};

TEST_F(PlaybackSource, DeliversTheWholeFileAtThePaceOfItsClock)
{
    Build(2);
    const auto start = Clock::now();
    ASSERT_EQ(source->Run(0), S_OK);
    ASSERT_TRUE(WaitForEnd(10));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(receivedBytes.load(), static_cast<long long>(bytes.size()));
    // Two seconds of stream: not faster (the pacing), not much slower.
    EXPECT_GE(seconds, 1.8);
    EXPECT_LE(seconds, 4.0);
    EXPECT_EQ(filter->Pin()->Delivered(), bytes.size());
}

TEST_F(PlaybackSource, ASeekMovesOnAtOnceWithADiscontinuity)
{
    Build(60);
    ASSERT_EQ(source->Run(0), S_OK);
    ASSERT_TRUE(Eventually([&] { return receivedBytes > 0; }));
    // To one second before the end: the stream ends a second later, not a minute.
    filter->Pin()->SeekTo(bytes.size() - 25 * 20 * 188);
    const auto start = Clock::now();
    ASSERT_TRUE(WaitForEnd(5));
    EXPECT_LE(std::chrono::duration<double>(Clock::now() - start).count(), 2.5);
    EXPECT_EQ(discontinuities.load(), 1);
    EXPECT_EQ(filter->Pin()->Delivered(), bytes.size());
}

TEST_F(PlaybackSource, AFlushingSeekFreesAHeldDeliveryAndGoesOnFromTheNewPlace)
{
    Build(60, true);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return receivedBytes > 0; }));
    const std::uint64_t place = bytes.size() / 2 / 188 * 188;
    const auto start = Clock::now();
    filter->Pin()->FlushTo(place);
    EXPECT_LE(std::chrono::duration<double>(Clock::now() - start).count(), 1.0);
    // The sink holds again the first sample from the new place, marked.
    ASSERT_TRUE(Eventually([&] { return discontinuities.load() == 1; }));
    EXPECT_GT(filter->Pin()->Delivered(), place);
    EXPECT_LE(filter->Pin()->Delivered(), place + CPlaybackPin::kSampleBytes);
}

TEST_F(PlaybackSource, StopsAtOnceWhilePacing)
{
    Build(60);
    ASSERT_EQ(source->Run(0), S_OK);
    ASSERT_TRUE(Eventually([&] { return receivedBytes > 0; }));
    const auto start = Clock::now();
    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_LE(std::chrono::duration<double>(Clock::now() - start).count(), 0.5);
    EXPECT_FALSE(filter->Pin()->ThreadExists());
}

TEST(TimeShiftFile, AFolderThatCannotBeWrittenIsToldAndTheFileGoesWhenClosed)
{
    DWORD error = 0;
    EXPECT_EQ(WinRingFile::Create(L"C:\\dossier\\qui\\n'existe\\pas", error), nullptr);
    EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_NE(TimeShiftFolderFailureText(L"C:\\x", error).find(L"La pause du direct est impossible"), std::wstring::npos);

    auto file = WinRingFile::Create(DefaultTimeShiftFolder(), error);
    ASSERT_NE(file, nullptr);
    const std::wstring path = file->path();
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::uint8_t data[4] = {1, 2, 3, 4};
    unsigned long writeError = 0;
    ASSERT_TRUE(file->WriteAt(1'000'000, data, sizeof data, writeError));
    ASSERT_TRUE(file->WriteAt(0, data, 2, writeError));
    std::uint8_t back[4] = {};
    EXPECT_EQ(file->ReadAt(1'000'000, back, sizeof back), 4u);
    EXPECT_EQ(back[3], 4);
    EXPECT_EQ(file->ReadAt(0, back, 2), 2u);
    file.reset();
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

namespace {

TEST(TimeShiftSession, BuffersFromTheTapAndLeavesNoFileBehind)
{
    PacketTap tap;
    DWORD error = 0;
    auto session = TimeShiftSession::Begin(tap, DefaultTimeShiftFolder(), 1, PidSelection::Multiplex(), nullptr, 0, error);
    ASSERT_NE(session, nullptr);
    const std::wstring path = session->path();
    const tstest::Bytes stream = tstest::PcrStream(0x100, 5, 4, k40Ms);
    tap.Feed(stream.data(), stream.size());
    EXPECT_EQ(session->buffer().Range().written, stream.size());
    std::uint8_t first[188];
    std::size_t got = 0;
    EXPECT_EQ(session->buffer().Read(188, first, sizeof first, got), ReadResult::Ok);
    EXPECT_TRUE(std::equal(first, first + 188, stream.begin() + 188));
    session.reset();
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    tap.Feed(stream.data(), stream.size());  // nothing subscribed any more

    EXPECT_EQ(TimeShiftSession::Begin(tap, L"Z:\\nulle\\part", 60, PidSelection::Multiplex(), nullptr, 0, error),
              nullptr);
    EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
}

}  // namespace
