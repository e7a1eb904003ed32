#include "app/guide_window_timers.h"

#include <windowsx.h>

#include <string>

#include "app/channel_names.h"
#include "app/guide_grid_control.h"
#include "app/timer_list_shared.h"
#include "channels/chaine.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kCaption[] = L"Enregistrement programm\u00e9";

Timer TimerOf(const GuideEntry& programme, const std::string& channel)
{
    Timer t;
    t.service = programme.service;
    t.channel = channel;
    t.title = programme.title.empty() ? channel : programme.title;
    t.eventId = programme.eventId;
    t.start = programme.start;
    t.end = programme.stop;
    t.marginBefore = marginBefore;
    t.marginAfter = marginAfter;
    return t;
}

void ToggleProgrammeTimer(HWND window, const GuideEntry& programme, const std::string& channel, std::int64_t now)
{
    TimerBook& book = ProgramTimers();
    TimerBook::Outcome outcome;
    if (const Timer* set = book.ForEvent(programme.service, programme.eventId)) {
        outcome = book.Remove(set->id);
    } else if (programme.stop <= now) {
        outcome.message = "Ce programme est d\u00e9j\u00e0 termin\u00e9 : il ne peut plus \u00eatre enregistr\u00e9.";
    } else {
        outcome = book.Add(TimerOf(programme, channel), TimersNow());
    }
    if (!outcome.message.empty())
        MessageBoxW(window, TimerText(outcome.message).c_str(), kCaption,
                    MB_OK | (outcome.done ? MB_ICONINFORMATION : MB_ICONWARNING));
}

int ChooseProgrammeCommand(HWND window, POINT screen, const GuideEntry* programme, std::int64_t now)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return 0;
    if (programme && ProgramTimers().ForEvent(programme->service, programme->eventId))
        AppendMenuW(menu, MF_STRING, IDM_GRID_RECORD_OFF, L"Ne plus enregistrer ce programme");
    else
        AppendMenuW(menu, MF_STRING | (programme && programme->stop > now ? 0u : MF_GRAYED), IDM_GRID_RECORD,
                    L"Enregistrer ce programme");
    const int command = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                        screen.x, screen.y, 0, window, nullptr));
    DestroyMenu(menu);
    return command;
}

// The clock the grid shows what is on the air by: the PC's corrected by the
// broadcast's. The PC's own would call a programme on the air "already over"
// (or one long over still to come) whenever the two clocks disagree.
std::int64_t GridNow() { return TimersNow(); }

}  // namespace

void RecordGridSelection(HWND dialog, GuideGridModel& model)
{
    model.now = GridNow();
    const GuideEntry* e = model.Selected();
    const int channel = e ? model.rows[static_cast<size_t>(model.state.place.row)].channel : -1;
    if (!e || channel < 0 || static_cast<size_t>(channel) >= Chaines.size()) {
        MessageBeep(MB_OK);
        return;
    }
    ToggleProgrammeTimer(dialog, *e, TimerUtf8(ShownChannelName(static_cast<size_t>(channel))), model.now);
}

void ShowGridRecordMenu(HWND dialog, GuideGridModel& model, LPARAM lParam)
{
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {  // from the keyboard: at the grid's corner
        at = POINT{8, 8};
        ClientToScreen(GetDlgItem(dialog, IDC_GRID_VIEW), &at);
    }
    model.now = GridNow();
    if (ChooseProgrammeCommand(dialog, at, model.Selected(), model.now))
        RecordGridSelection(dialog, model);
}
