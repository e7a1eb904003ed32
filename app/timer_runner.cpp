#include "app/timer_runner.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/program_timers.h"
#include "app/shell_state.h"
#include "app/timer_runner_guide.h"
#include "app/timer_runner_start.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "common/error_message.h"
#include "common/text_convert.h"
#include "guide/clock_difference.h"
#include "guide/guide_database.h"
#include "record/recorder.h"
#include "record/timers/conflicts.h"
#include "record/timers/scheduler.h"
#include "record/timers/timer_runner_rules.h"
#include "record/timers/wake_alarm.h"

namespace {

// The longest wait: a clock corrected meanwhile by the broadcast's is taken
// into account at the latest this late; a minute while the broadcast's clock
// has not been heard yet this session.
constexpr std::uint32_t kLongestWaitMs = 10 * 60 * 1000;
constexpr std::uint32_t kWaitBeforeClockHeardMs = 60 * 1000;
// While a programme runs past its planned end, the guide is looked at this often.
constexpr std::uint32_t kOverrunLookMs = 30 * 1000;

// 1970-01-01 on the file-time scale (100 ns since 1601).
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000LL;


struct Running {
    std::int64_t timerId;
    LPARAM serial;
};

HWND owner = nullptr;
bool started = false;
bool subscribed = false;
bool deciding = false;  // the runner's own changes re-arm once, at the end
UINT_PTR wakeTimer = 0;
std::vector<Running> running;
std::map<std::int64_t, EventWatch> watches;  // by timer id, while it records
std::vector<std::wstring> notices;

std::int64_t PcNowMs()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::int64_t ticks = static_cast<std::int64_t>(ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart);
    return (ticks - kUnixEpochAsFileTime) / 10'000;
}

// The program's clock (the PC's, corrected by the broadcast's), in milliseconds.
std::int64_t RunnerNowMs() { return ProgramNowMs(PcNowMs(), StoredClockDifference()); }

// The program's clock minus the PC's, in whole seconds.
std::int64_t ProgramMinusPc()
{
    const std::int64_t pc = PcNowMs();
    return (ProgramNowMs(pc, StoredClockDifference()) - pc) / 1000;
}

EventWatcher Watcher(const std::vector<Timer>& timers)
{
    return [&timers](std::size_t i) {
        const auto found = watches.find(timers[i].id);
        return found == watches.end() ? EventWatch{} : found->second;
    };
}

void Tell()
{
    if (!notices.empty())
        PostMessageW(owner, WM_TIMER_RUNNER_NOTICE, 0, 0);
}

void EndTimerRecording(std::int64_t timerId)
{
    for (auto it = running.begin(); it != running.end(); ++it)
        if (it->timerId == timerId) {
            EndRecording(it->serial);
            running.erase(it);
            break;
        }
    watches.erase(timerId);
}

void Carry(const std::vector<TimerAction>& actions, std::vector<Timer>& timers, std::int64_t now,
           const TimeZoneRule& zone)
{
    // Stops first: a timer ending frees nothing the others need, but its file
    // closes before another opens under a similar name.
    for (const TimerAction& action : actions) {
        if (action.kind != TimerAction::Kind::Stop)
            continue;
        Timer& t = timers[action.timer];
        EndTimerRecording(t.id);
        // The warning of short room was only a warning when it all fitted.
        if (t.state == TimerState::Failed && t.detail == kReasonSpaceShort) {
            t.state = TimerState::Done;
            t.detail.clear();
        }
    }
    for (const TimerAction& action : actions) {
        if (action.kind != TimerAction::Kind::Start)
            continue;
        Timer& t = timers[action.timer];
        if (const LPARAM serial = StartTimerRecording(owner, t, action.late, now, zone, notices))
            running.push_back({t.id, serial});
    }
}

// Waiting timers that would want the tuner on two multiplexes at once say so in
// the list ("Conflit avec <titre>"), and stop saying it once they no longer do.
void MarkListedConflicts(std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone,
                         std::vector<std::size_t>& changed)
{
    std::vector<std::pair<TimerState, std::string>> before;
    before.reserve(timers.size());
    for (const Timer& t : timers)
        before.emplace_back(t.state, t.detail);
    if (!MarkConflicts(timers, now, zone))
        return;
    for (std::size_t i = 0; i < timers.size(); ++i)
        if (timers[i].state != before[i].first || timers[i].detail != before[i].second)
            changed.push_back(i);
}

void Commit(const std::vector<std::size_t>& changed)
{
    const TimerBook::Outcome outcome = ProgramTimers().Commit(changed);
    if (!outcome.message.empty())
        notices.push_back(WidenText(outcome.message, CodePage::Utf8));
}

void KillWake()
{
    if (wakeTimer != 0)
        KillTimer(nullptr, wakeTimer);
    wakeTimer = 0;
}

void CALLBACK OnWake(HWND, UINT, UINT_PTR, DWORD);

// The waitable timer with resume that wakes a sleeping PC before a recording.
class WaitableWakeAlarm final : public WakeAlarm {
public:
    ~WaitableWakeAlarm() override { Close(); }
    bool Set(std::int64_t pcTime) override
    {
        if (!timer_)
            timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
        if (!timer_)
            return false;
        LARGE_INTEGER due;
        due.QuadPart = pcTime * 10'000'000 + kUnixEpochAsFileTime;  // positive: an absolute UTC time
        // A PC that cannot resume still takes the timer (the last error then
        // says so): the recording starts when the user wakes the PC.
        return SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, TRUE) != FALSE;
    }
    void Cancel() override
    {
        if (timer_)
            CancelWaitableTimer(timer_);
    }
    void Close()
    {
        if (timer_)
            CloseHandle(timer_);
        timer_ = nullptr;
    }

private:
    HANDLE timer_ = nullptr;
};

WaitableWakeAlarm wakeAlarm;
ResumeKeeper resume(wakeAlarm);

void Arm()
{
    KillWake();
    if (!started)
        return;
    const TimerBook& book = ProgramTimers();
    const std::vector<Timer>& timers = book.Timers();
    const std::int64_t nowMs = RunnerNowMs();
    const std::int64_t now = nowMs / 1000;
    resume.Follow(timers, now, ProgramMinusPc(), book.zone());
    std::optional<std::int64_t> wake = NextWake(timers, now, Watcher(timers), book.zone());
    if (!wake)
        return;
    std::uint32_t cap = BroadcastClockDifference() ? kLongestWaitMs : kWaitBeforeClockHeardMs;
    for (const Timer& t : timers) {
        if (t.state != TimerState::Recording || !t.eventId)
            continue;
        // A programme followed through the guide: looked at when it should
        // end, then regularly while it runs late.
        if (now < t.end)
            wake = std::min(*wake, t.end);
        else
            cap = std::min(cap, kOverrunLookMs);
    }
    wakeTimer = SetTimer(nullptr, 0, std::max<std::uint32_t>(WakeDelayMs(*wake, nowMs, cap), 1), OnWake);
}

// The scheduler's decisions due now, carried out.
void Decide()
{
    KillWake();
    if (!started)
        return;
    TimerBook& book = ProgramTimers();
    std::vector<Timer>& timers = book.Edit();
    const std::int64_t now = RunnerNowMs() / 1000;
    LookAtGuide(timers, now, watches);
    std::optional<ServiceKey> held;
    if (recording && IsValidChannelIndex(Chaines, currentChannel))
        held = KeyOf(Chaines[static_cast<std::size_t>(currentChannel)]);
    std::vector<std::size_t> changed;
    FollowMovedEvents(timers, now, changed);
    MarkListedConflicts(timers, now, book.zone(), changed);
    deciding = true;
    const std::vector<TimerAction> actions = Schedule(timers, now, held, Watcher(timers), book.zone(), changed);
    Carry(actions, timers, now, book.zone());
    if (!changed.empty())
        Commit(changed);
    deciding = false;
    Arm();
    Tell();
}

void CALLBACK OnWake(HWND, UINT, UINT_PTR, DWORD) { Decide(); }

// A timer removed from the book, or no longer recording, stops its recording.
void OnBookChanged()
{
    if (!started)
        return;
    const TimerBook& book = ProgramTimers();
    for (std::size_t i = 0; i < running.size();) {
        const Timer* t = book.Find(running[i].timerId);
        if (!t || t->state != TimerState::Recording)
            EndTimerRecording(running[i].timerId);
        else
            ++i;
    }
    if (!deciding)
        Arm();
}

}  // namespace

void StartTimerRunner(HWND window)
{
    owner = window;
    started = true;
    if (!subscribed) {
        ProgramTimers().Subscribe(OnBookChanged);
        subscribed = true;
    }
    TimerBook& book = ProgramTimers();
    std::vector<Timer>& timers = book.Edit();
    const std::int64_t now = RunnerNowMs() / 1000;
    std::vector<std::size_t> changed;
    deciding = true;
    const std::vector<TimerAction> starts = AtStartup(timers, now, book.zone(), changed);
    Carry(starts, timers, now, book.zone());
    if (!changed.empty())
        Commit(changed);
    deciding = false;
    Decide();
}

void StopTimerRunner()
{
    started = false;
    KillWake();
    resume.Stop();
    wakeAlarm.Close();
    // The files close with the recorder's, once the graph is gone.
    running.clear();
    watches.clear();
}

bool TimerRecordingsRun() { return !running.empty(); }

void NoteTimerRecordingFailure(WPARAM error, LPARAM serial)
{
    const auto found = std::find_if(running.begin(), running.end(), [&](const Running& r) { return r.serial == serial; });
    if (found == running.end())
        return;
    const std::int64_t id = found->timerId;
    running.erase(found);
    watches.erase(id);
    std::vector<Timer>& timers = ProgramTimers().Edit();
    for (std::size_t i = 0; i < timers.size(); ++i) {
        if (timers[i].id != id)
            continue;
        FinishTimer(timers[i], WriteFailureReason(static_cast<DWORD>(error)));
        deciding = true;
        Commit({i});
        deciding = false;
        break;
    }
    // The recorder ends the recording itself and names the file.
    Arm();
    Tell();
}

void TimerRunnerClockChanged()
{
    if (started)
        Decide();
}

void TimerRunnerGuideChanged()
{
    if (!started)
        return;
    const std::int64_t now = RunnerNowMs() / 1000;
    for (const Timer& t : ProgramTimers().Timers())
        if (t.state == TimerState::Recording && t.eventId && now >= t.end) {
            Decide();
            return;
        }
}

void ShowTimerRunnerNotices()
{
    std::vector<std::wstring> told;
    told.swap(notices);
    for (const std::wstring& text : told)
        ShowError(owner, text.c_str());
}
