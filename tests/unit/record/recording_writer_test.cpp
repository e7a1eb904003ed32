// Recordings fed by the tap through their fan-out: what reaches the file, whole
// packets only whatever the samples' cut, recordings side by side, and a failed
// write (at once, or partway through) posted to the window instead of shown
// from the streaming thread, ending that recording alone with its reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channels/psi/packet_tap.h"
#include "record/packet_fan_out.h"
#include "record/recording_writer.h"
#include "record/timers/scheduler.h"
#include "record/timers/timer_runner_rules.h"

namespace {

constexpr UINT kFailed = WM_APP + 7;

std::string Packet(std::uint16_t pid, char tag)
{
    std::string p(188, tag);
    p[0] = 0x47;
    p[1] = static_cast<char>(pid >> 8 & 0x1F);
    p[2] = static_cast<char>(pid & 0xFF);
    return p;
}

class WriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        tap_.Subscribe(&fanOut_);
        window_ = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        for (const wchar_t* name : {L"writer-test-1.mpg", L"writer-test-2.mpg"}) {
            paths_.push_back(std::wstring(folder) + name);
            DeleteFileW(paths_.back().c_str());
        }
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        for (const std::wstring& path : paths_)
            DeleteFileW(path.c_str());
    }

    HANDLE NewFile(int index)
    {
        return CreateFileW(paths_[index].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }

    // The bytes as the grabber would hand them over: cut into samples of `step`.
    void Feed(const std::string& bytes, std::size_t step = 1000)
    {
        for (std::size_t at = 0; at < bytes.size(); at += step)
            tap_.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, std::min(step, bytes.size() - at));
    }

    std::string FileBytes(int index = 0)
    {
        HANDLE f = CreateFileW(paths_[index].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        std::string bytes(GetFileSize(f, nullptr), '\0');
        DWORD read = 0;
        ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(f);
        return bytes;
    }

    PacketTap tap_;
    PacketFanOut fanOut_;
    HWND window_ = nullptr;
    std::vector<std::wstring> paths_;
};

TEST_F(WriterTest, KeptPacketsReachTheFileWhoseWriterClosesIt)
{
    HANDLE file = NewFile(0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    auto writer = std::make_unique<RecordingWriter>(file, window_, kFailed, 42);
    fanOut_.Add(writer.get(), PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF));

    // Samples cut through packets; a trailing fragment is never written; null and
    // foreign packets are not kept.
    const std::string kept = Packet(0, 'a') + Packet(0x110, 'c') + Packet(0x111, 'd') + Packet(0x100, 'f');
    const std::string stream = Packet(0, 'a') + Packet(0x1FFF, 'b') + Packet(0x110, 'c') + Packet(0x111, 'd') +
                               Packet(0x500, 'e') + Packet(0x100, 'f') + std::string(100, '\x47');
    Feed(stream, 188 * 2 + 61);
    fanOut_.Remove(writer.get());
    writer.reset();  // the file is closed and can be read

    EXPECT_EQ(FileBytes(), kept);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
}

TEST_F(WriterTest, AFailedWriteIsPostedOnceAndStopsOnlyItsOwnRecording)
{
    // A handle without write access: every write fails.
    CloseHandle(NewFile(0));
    HANDLE failing = CreateFileW(paths_[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    ASSERT_NE(failing, INVALID_HANDLE_VALUE);
    HANDLE healthy = NewFile(1);
    ASSERT_NE(healthy, INVALID_HANDLE_VALUE);
    RecordingWriter broken(failing, window_, kFailed, 42);
    RecordingWriter service(healthy, window_, kFailed, 43);
    fanOut_.Add(&broken, PidSelection::Multiplex());
    fanOut_.Add(&service, PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF));
    Feed(Packet(0x110, 'x'));
    Feed(Packet(0x110, 'y'));

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(msg.lParam, 42);
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    EXPECT_EQ(fanOut_.Size(), 1u);
    // A late call, from a fan-out that had not yet let go, writes nothing either.
    const std::string late = Packet(0x110, 'z');
    EXPECT_FALSE(broken.WriteRun(reinterpret_cast<const std::uint8_t*>(late.data()), late.size()));
    fanOut_.Remove(&service);
    broken.Close();
    service.Close();
    EXPECT_EQ(FileBytes(0), std::string());
    EXPECT_EQ(FileBytes(1), Packet(0x110, 'x') + Packet(0x110, 'y'));
}

TEST_F(WriterTest, AClosedWriterWritesNothingMore)
{
    HANDLE file = NewFile(0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    RecordingWriter writer(file, window_, kFailed, 7);
    fanOut_.Add(&writer, PidSelection::Multiplex());
    Feed(Packet(0x110, 'a') + Packet(0x110, 'b'));
    writer.Close();  // the recording stops while the tap still holds the writer
    EXPECT_EQ(FileBytes(), Packet(0x110, 'a') + Packet(0x110, 'b'));
    Feed(Packet(0x110, 'c'));
    fanOut_.Remove(&writer);
    EXPECT_EQ(FileBytes(), Packet(0x110, 'a') + Packet(0x110, 'b'));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
}

// Three timers recording services of one multiplex; the first one's disk fills
// up in the middle of a packet.
TEST_F(WriterTest, AWriteFailingPartwayEndsThatRecordingAloneWithItsReason)
{
    struct FillingFile : RecordingFile {
        DWORD Append(const std::uint8_t* bytes, std::size_t size, std::size_t& done) override
        {
            done = std::min(size, room - std::min(room, data.size()));
            data.append(reinterpret_cast<const char*>(bytes), done);
            return done == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
        }
        void Truncate(std::uint64_t size) override { data.resize(static_cast<std::size_t>(size)); }
        std::size_t room = SIZE_MAX;
        std::string data;
    };
    auto filling = std::make_unique<FillingFile>();
    filling->room = 2 * 188 + 100;
    FillingFile& full = *filling;
    auto second = std::make_unique<FillingFile>();
    auto third = std::make_unique<FillingFile>();
    FillingFile& secondFile = *second;
    FillingFile& thirdFile = *third;
    RecordingWriter a(std::move(filling), window_, kFailed, 1);
    RecordingWriter b(std::move(second), window_, kFailed, 2);
    RecordingWriter c(std::move(third), window_, kFailed, 3);
    const PidSelection tf1 = PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF);
    fanOut_.Add(&a, tf1);
    fanOut_.Add(&b, tf1);
    fanOut_.Add(&c, PidSelection::Service(0x200, 0x210, 0x211, 0x1FFF));

    std::string stream, tf1Kept, otherKept;
    for (char tag = 'a'; tag < 'a' + 8; ++tag) {
        const std::string pat = Packet(0, tag), video = Packet(0x110, tag), other = Packet(0x210, tag);
        stream += pat + video + other + Packet(0x1FFF, tag);
        tf1Kept += pat + video;
        otherKept += pat + other;
    }
    Feed(stream, 188 * 3 + 17);

    // The file keeps its whole packets only, the others everything.
    EXPECT_EQ(full.data, tf1Kept.substr(0, 2 * 188));
    EXPECT_EQ(secondFile.data, tf1Kept);
    EXPECT_EQ(thirdFile.data, otherKept);
    EXPECT_EQ(fanOut_.Size(), 2u);

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    EXPECT_EQ(msg.lParam, 1);
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    // What the timer's line of the list then says.
    Timer timer;
    timer.state = TimerState::Recording;
    FinishTimer(timer, WriteFailureReason(static_cast<unsigned long>(msg.wParam)));
    EXPECT_EQ(StateText(timer), "\u00c9chec : Espace insuffisant");
    fanOut_.Remove(&b);
    fanOut_.Remove(&c);
}

}  // namespace
