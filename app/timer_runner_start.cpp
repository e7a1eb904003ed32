#include "app/timer_runner_start.h"

#include "app/channel_switching.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "common/text_convert.h"
#include "config/settings.h"
#include "record/recorder.h"
#include "record/service_pids.h"
#include "record/timers/scheduler.h"
#include "record/timers/timer_file_name.h"
#include "record/timers/timer_runner_rules.h"

namespace {

bool OnMultiplexOf(std::int32_t channel, const ServiceKey& service)
{
    return IsValidChannelIndex(Chaines, channel) &&
           SameMultiplex(KeyOf(Chaines[static_cast<std::size_t>(channel)]), service);
}

std::wstring Title(const Timer& timer)
{
    return L"\u00ab\u00a0" + WideFromUtf8(timer.title) + L"\u00a0\u00bb";
}

std::wstring Megabytes(std::uint64_t bytes)
{
    return std::to_wstring((bytes + 999'999) / 1'000'000) + L"\u00a0Mo";
}

// Too little room is told (true), and the recording runs for what fits.
bool RoomShort(const Timer& timer, std::int64_t now, std::vector<std::wstring>& notices)
{
    ULARGE_INTEGER available{};
    const wchar_t* folder = videoFolder[0] ? videoFolder : L".";
    if (!GetDiskFreeSpaceExW(folder, &available, nullptr, nullptr))
        return false;  // the file's creation tells what is wrong with the folder
    const std::uint64_t needed = ExpectedRecordingBytes(timer.RecordUntil() - now);
    if (available.QuadPart >= needed)
        return false;
    notices.push_back(L"Espace insuffisant pour l'enregistrement programm\u00e9 " + Title(timer) +
                      L" : il reste " + Megabytes(available.QuadPart) +
                      L" sur le disque du r\u00e9pertoire vid\u00e9o, il en faudrait environ " + Megabytes(needed) +
                      L".\nL'enregistrement commence quand m\u00eame et gardera ce qui tient sur le disque.");
    return true;
}

}  // namespace

std::int32_t ChannelOfService(const ServiceKey& service)
{
    for (std::size_t i = 0; i < Chaines.size(); ++i)
        if (KeyOf(Chaines[i]) == service)
            return static_cast<std::int32_t>(i);
    return -1;
}

LPARAM StartTimerRecording(HWND window, Timer& timer, bool late, std::int64_t now, const TimeZoneRule& zone,
                           std::vector<std::wstring>& notices)
{
    const std::int32_t channel = ChannelOfService(timer.service);
    if (channel < 0) {
        // Never recorded from another channel in its place.
        timer.state = TimerState::Missed;
        timer.detail = kReasonChannelGone;
        notices.push_back(L"L'enregistrement programm\u00e9 " + Title(timer) + L" n'a pas eu lieu : la cha\u00eene " +
                          WideFromUtf8(timer.channel) + L" n'est plus dans la liste des cha\u00eenes.");
        return 0;
    }
    // The picture follows the tuner to the timer's multiplex.
    if (!OnMultiplexOf(currentChannel, timer.service))
        SelectChannel(channel);
    if (!OnMultiplexOf(currentChannel, timer.service)) {
        FinishTimer(timer, "r\u00e9glage du tuner impossible");
        notices.push_back(L"L'enregistrement programm\u00e9 " + Title(timer) +
                          L" n'a pas pu commencer : le tuner n'a pas pu \u00eatre r\u00e9gl\u00e9 sur son multiplex.");
        return 0;
    }

    const bool roomShort = RoomShort(timer, now, notices);
    std::wstring failure;
    const LPARAM serial =
        BeginTimedRecording(window, TimerFileStem(timer, ToLocal(timer.start, zone), late),
                            ServiceSelection(Chaines[static_cast<std::size_t>(channel)], false, false), videoFolder,
                            failure);
    if (serial == 0) {
        FinishTimer(timer, "fichier impossible \u00e0 cr\u00e9er");
        notices.push_back(L"L'enregistrement programm\u00e9 " + Title(timer) + L" n'a pas pu commencer.\n" + failure);
        return 0;
    }
    // A resumption keeps its own reason; its file is split either way.
    if (roomShort && timer.detail.empty())
        timer.detail = kReasonSpaceShort;
    return serial;
}
