#include "guide/schedule_reader.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_convert.h"
#include "guide/clock_difference.h"
#include "guide/guide_database.h"
#include "guide/schedule/broadcast_clock.h"
#include "guide/schedule/event_texts.h"
#include "guide/schedule/schedule_collector.h"

namespace {

constexpr std::uint16_t kEitPid = 0x12;
constexpr std::uint8_t kFirstEitTable = 0x4E;  // present/following, then the schedule up to 0x6F
constexpr std::uint8_t kLastEitTable = 0x6F;
// A multiplex sends its eight days in a few thousand sections per cycle: the
// queue holds a good part of a cycle, and under a flood the oldest go.
constexpr std::size_t kEitBacklog = 2048;
constexpr std::size_t kClockBacklog = 8;
// Sections taken between two looks at the stop event and the batch clock.
constexpr int kSectionsPerRound = 64;
constexpr ULONGLONG kPurgeEveryMs = 3600 * 1000;
constexpr DWORD kBatchWaitMs = 250;
// Without sections the thread still wakes now and then for the hourly purge.
constexpr DWORD kIdleWaitMs = 60 * 1000;
// The last write of a large batch may wait for the disk.
constexpr DWORD kStopTimeoutMs = 10000;

std::mutex noticeLock;
std::string pendingNotice;
bool noticeGiven = false;

class ScheduleReader {
public:
    ScheduleReader(SectionReader& tap, HWND window) : tap_(tap), window_(window) {}

    ~ScheduleReader()
    {
        for (HANDLE h : {stopEvent_, wakeEvent_, thread_})
            if (h)
                CloseHandle(h);
    }

    ScheduleReader(const ScheduleReader&) = delete;
    ScheduleReader& operator=(const ScheduleReader&) = delete;

    ScheduleCollector& Collector() { return collector_; }

    bool Start()
    {
        stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!stopEvent_ || !wakeEvent_)
            return false;
        // Opened here rather than on the thread: what arrives from now on is queued.
        eitStream_ = tap_.OpenStream(kEitPid, kFirstEitTable, kLastEitTable, kEitBacklog, false,
                                     [event = wakeEvent_] { SetEvent(event); });
        clockStream_ = tap_.OpenStream(kClockPid, kTdtTableId, kTotTableId, kClockBacklog, true,
                                       [event = wakeEvent_] { SetEvent(event); });
        thread_ = CreateThread(nullptr, 0, Thread, this, 0, nullptr);
        if (!thread_) {
            CloseStreams();
            return false;
        }
        return true;
    }

    // False when the thread did not end in time: it still uses this object.
    bool Stop()
    {
        SetEvent(stopEvent_);
        if (WaitForSingleObject(thread_, kStopTimeoutMs) != WAIT_OBJECT_0)
            return false;
        CloseStreams();
        return true;
    }

private:
    static DWORD WINAPI Thread(void* self)
    {
        static_cast<ScheduleReader*>(self)->Run();
        return 0;
    }

    void CloseStreams()
    {
        tap_.CloseStream(eitStream_);
        tap_.CloseStream(clockStream_);
    }

    void Run()
    {
        ULONGLONG lastPurge = GetTickCount64();
        for (;;) {
            const bool more = TakeSections();
            const ULONGLONG now = GetTickCount64();
            if (collector_.BatchDue(static_cast<std::int64_t>(now)))
                Tell(StoreGuideBatch(collector_.TakeBatch(static_cast<std::int64_t>(now))));
            if (const auto clock = collector_.TakeClockChange())
                Tell(StoreClockDifference(*clock));
            if (now - lastPurge >= kPurgeEveryMs) {
                lastPurge = now;
                const std::int64_t broadcastNow = BroadcastNow();
                collector_.Purge(broadcastNow);
                Tell(PurgeGuide(broadcastNow));
            }
            // A queue left full does not wake us again: only look at the stop.
            const DWORD wait = more ? 0 : collector_.HasPending() ? kBatchWaitMs : kIdleWaitMs;
            const HANDLE events[] = {stopEvent_, wakeEvent_};
            if (WaitForMultipleObjects(2, events, FALSE, wait) == WAIT_OBJECT_0)
                break;
        }
        // Nothing received is lost at closing: what waits goes to the guide now.
        while (collector_.HasPending())
            Tell(StoreGuideBatch(collector_.TakeBatch(static_cast<std::int64_t>(GetTickCount64()))));
    }

    // True when a queue may still hold sections.
    bool TakeSections()
    {
        for (int i = 0; i < kSectionsPerRound; ++i) {
            bool took = false;
            if (tap_.Next(clockStream_, section_)) {
                took = true;
                const std::int64_t pcMs = PcNowMs();
                BroadcastTime heard;
                if (collector_.OnClockSection(section_.data(), section_.size(), pcMs / 1000) &&
                    ParseTimeSection(section_.data(), section_.size(), heard) == ClockSectionStatus::Ok)
                    NoteBroadcastClockDifferenceMs(heard.utc * 1000 - pcMs);
            }
            if (tap_.Next(eitStream_, section_)) {
                took = true;
                collector_.OnEitSection(section_.data(), section_.size());
            }
            if (!took)
                return false;
        }
        return true;
    }

    // The PC's clock in milliseconds since 1970-01-01 UTC.
    static std::int64_t PcNowMs()
    {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const auto ticks = static_cast<std::int64_t>(ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart);
        return (ticks - 116444736000000000LL) / 10'000;
    }

    std::int64_t BroadcastNow() const
    {
        const std::int64_t pc = std::time(nullptr);
        if (collector_.ClockDifference())
            return collector_.BroadcastNow(pc);
        return pc + StoredClockDifference().value_or(0);
    }

    void Tell(const std::string& notice)
    {
        if (!notice.empty())
            PostGuideNotice(window_, notice);
    }

    SectionReader& tap_;
    HWND window_;
    ScheduleCollector collector_;
    HANDLE stopEvent_ = nullptr;
    HANDLE wakeEvent_ = nullptr;
    HANDLE thread_ = nullptr;
    int eitStream_ = 0;
    int clockStream_ = 0;
    std::vector<std::uint8_t> section_;
};

std::unique_ptr<ScheduleReader> reader;

}  // namespace

void StartScheduleReader(SectionReader& tap, const ChannelList& channels, HWND window)
{
    StopScheduleReader();
    auto created = std::make_unique<ScheduleReader>(tap, window);
    for (const Chaine& c : channels)
        created->Collector().NameService(
            {static_cast<std::uint16_t>(c.ONID), static_cast<std::uint16_t>(c.TSID), static_cast<std::uint16_t>(c.SID)},
            DvbTextToUtf8(std::string_view(c.Nom, strnlen(c.Nom, sizeof c.Nom))));
    if (created->Start())
        reader = std::move(created);
}

void StopScheduleReader()
{
    if (!reader)
        return;
    if (reader->Stop())
        reader.reset();
    else
        (void)reader.release();  // still in use by a thread that did not end
}

void PostGuideNotice(HWND window, const std::string& notice)
{
    {
        std::lock_guard hold(noticeLock);
        if (noticeGiven || !pendingNotice.empty())
            return;
        pendingNotice = notice;
    }
    PostMessageW(window, WM_GUIDE_NOTICE, 0, 0);
}

std::wstring TakeGuideNotice()
{
    std::lock_guard hold(noticeLock);
    if (pendingNotice.empty())
        return {};
    noticeGiven = true;
    return WidenText(std::exchange(pendingNotice, {}), CodePage::Utf8);
}
