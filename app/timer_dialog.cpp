#include "app/timer_dialog.h"

#include <commctrl.h>

#include <string>
#include <variant>
#include <vector>

#include "app/channel_names.h"
#include "app/shell_state.h"
#include "app/timer_list_shared.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "record/timers/timer_form.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kCaption[] = L"Enregistrement programm\u00e9";  // of its message boxes

struct ChannelItem {
    ServiceKey key;
    std::string name;  // UTF-8, without the marks the combo adds
};

struct TimerDialog {
    std::int64_t id = 0;
    Timer original;    // when changing one
    TimerForm shown;   // what the controls were given
    std::vector<ChannelItem> channels;
};

TimerDialog* DialogOf(HWND dialog)
{
    return reinterpret_cast<TimerDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool IsHidden(std::size_t index)
{
    return index < ChannelChoices.size() && ChannelChoices[index].key == KeyOf(Chaines[index]) &&
           ChannelChoices[index].hidden;
}

int AddChannel(HWND combo, TimerDialog& d, const ServiceKey& key, const std::wstring& name, const wchar_t* mark)
{
    const std::wstring text = name + mark;
    const auto item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(d.channels.size()));
    d.channels.push_back({key, TimerUtf8(name)});
    return static_cast<int>(item);
}

// The channels in list order, hidden ones too (a timer may want one that is
// not zapped through); a timer's channel that a new scan removed stays
// choosable, marked, so that the timer is not moved to another one unasked.
void FillChannels(HWND dialog, TimerDialog& d, const ServiceKey* wanted, const std::string& wantedName)
{
    HWND combo = GetDlgItem(dialog, IDC_TIMER_CHANNEL);
    int selected = -1;
    for (std::size_t i = 0; i < Chaines.size(); ++i) {
        const ServiceKey key = KeyOf(Chaines[i]);
        const int item = AddChannel(combo, d, key, ShownChannelName(i), IsHidden(i) ? L" (masqu\u00e9e)" : L"");
        if (wanted ? key == *wanted : static_cast<std::int32_t>(i) == currentChannel)
            if (selected < 0)
                selected = item;
    }
    if (wanted && selected < 0)
        selected = AddChannel(combo, d, *wanted, TimerText(wantedName), L" (absente)");
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected < 0 ? 0 : selected), 0);
}

void SetPicker(HWND dialog, int id, int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wDayOfWeek = static_cast<WORD>((WeekdayOfDays(DaysFromCivil(year, month, day)) + 1) % 7);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
}

SYSTEMTIME Picked(HWND dialog, int id)
{
    SYSTEMTIME t{};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t));
    return t;
}

TimerForm FormOf(const Timer& t, const TimeZoneRule& zone)
{
    const LocalDateTime start = ToLocal(t.start, zone);
    const LocalDateTime end = ToLocal(t.end, zone);
    TimerForm form;
    form.service = t.service;
    form.channel = t.channel;
    form.title = t.title;
    form.year = start.year;
    form.month = start.month;
    form.day = start.day;
    form.startHour = start.hour;
    form.startMinute = start.minute;
    form.endHour = end.hour;
    form.endMinute = end.minute;
    form.repeat = t.repeat;
    form.marginBefore = t.marginBefore;
    form.marginAfter = t.marginAfter;
    return form;
}

void ShowForm(HWND dialog, const TimerForm& f)
{
    SetPicker(dialog, IDC_TIMER_DAY, f.year, f.month, f.day, 0, 0);
    SetPicker(dialog, IDC_TIMER_START, f.year, f.month, f.day, f.startHour, f.startMinute);
    SetPicker(dialog, IDC_TIMER_END, f.year, f.month, f.day, f.endHour, f.endMinute);
    SetDlgItemTextW(dialog, IDC_TIMER_TITLE, TimerText(f.title).c_str());
    SendDlgItemMessageW(dialog, IDC_TIMER_REPEAT, CB_SETCURSEL, static_cast<WPARAM>(f.repeat), 0);
}

TimerForm ReadForm(HWND dialog, const TimerDialog& d)
{
    TimerForm f = d.shown;
    const auto item = SendDlgItemMessageW(dialog, IDC_TIMER_CHANNEL, CB_GETCURSEL, 0, 0);
    const auto index =
        item < 0 ? LRESULT{-1} : SendDlgItemMessageW(dialog, IDC_TIMER_CHANNEL, CB_GETITEMDATA, item, 0);
    if (index >= 0 && index < static_cast<LRESULT>(d.channels.size())) {
        f.service = d.channels[static_cast<size_t>(index)].key;
        f.channel = d.channels[static_cast<size_t>(index)].name;
    }
    const SYSTEMTIME day = Picked(dialog, IDC_TIMER_DAY);
    const SYSTEMTIME start = Picked(dialog, IDC_TIMER_START);
    const SYSTEMTIME end = Picked(dialog, IDC_TIMER_END);
    f.year = day.wYear;
    f.month = day.wMonth;
    f.day = day.wDay;
    f.startHour = start.wHour;
    f.startMinute = start.wMinute;
    f.endHour = end.wHour;
    f.endMinute = end.wMinute;
    wchar_t title[256] = L"";
    GetDlgItemTextW(dialog, IDC_TIMER_TITLE, title, 256);
    f.title = TimerUtf8(title);
    const auto repeat = SendDlgItemMessageW(dialog, IDC_TIMER_REPEAT, CB_GETCURSEL, 0, 0);
    const bool known = repeat >= 0 && repeat <= static_cast<LRESULT>(Repeat::Weekly);
    f.repeat = known ? static_cast<Repeat>(repeat) : Repeat::Once;
    return f;
}

bool SameWindow(const TimerForm& a, const TimerForm& b)
{
    return a.service == b.service && a.year == b.year && a.month == b.month && a.day == b.day &&
           a.startHour == b.startHour && a.startMinute == b.startMinute && a.endHour == b.endHour &&
           a.endMinute == b.endMinute && a.repeat == b.repeat;
}

BOOL OnInit(HWND dialog, TimerDialog* d)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    const TimeZoneRule& zone = ProgramTimers().zone();
    for (int id : {IDC_TIMER_START, IDC_TIMER_END})
        SendDlgItemMessageW(dialog, id, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
    SendDlgItemMessageW(dialog, IDC_TIMER_DAY, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"ddd dd/MM/yyyy"));
    for (Repeat r : {Repeat::Once, Repeat::Daily, Repeat::Weekdays, Repeat::Weekly})
        SendDlgItemMessageW(dialog, IDC_TIMER_REPEAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(TimerText(RepeatText(r)).c_str()));
    SendDlgItemMessageW(dialog, IDC_TIMER_TITLE, EM_LIMITTEXT, 200, 0);
    if (const Timer* t = d->id ? ProgramTimers().Find(d->id) : nullptr) {
        SetWindowTextW(dialog, L"Modifier l'enregistrement programm\u00e9");
        d->original = *t;
        d->shown = FormOf(*t, zone);
        FillChannels(dialog, *d, &t->service, t->channel);
    } else {
        // A new one: from the next whole minute, for an hour.
        SetWindowTextW(dialog, L"Nouvel enregistrement programm\u00e9");
        d->id = 0;
        Timer start;
        start.start = (TimersNow() / 60 + 1) * 60;
        start.end = start.start + 3600;
        d->shown = FormOf(start, zone);
        FillChannels(dialog, *d, nullptr, {});
    }
    ShowForm(dialog, d->shown);
    return TRUE;
}

void Warn(HWND dialog, const std::string& message)
{
    MessageBoxW(dialog, TimerText(message).c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

// The form to the book; the dialog stays open on a refusal.
void OnOk(HWND dialog, TimerDialog& d)
{
    if (SendDlgItemMessageW(dialog, IDC_TIMER_CHANNEL, CB_GETCURSEL, 0, 0) < 0) {
        Warn(dialog, "Choisissez la cha\u00eene \u00e0 enregistrer (la liste des cha\u00eenes est vide : "
                     "lancez d'abord une recherche des cha\u00eenes).");
        return;
    }
    const TimerForm form = ReadForm(dialog, d);
    const std::int64_t now = TimersNow();
    auto made = TimerFromForm(form, now, ProgramTimers().zone());
    if (const std::string* refusal = std::get_if<std::string>(&made)) {
        Warn(dialog, *refusal);
        return;
    }
    Timer timer = std::get<Timer>(std::move(made));
    TimerBook::Outcome outcome;
    if (d.id == 0) {
        outcome = ProgramTimers().Add(std::move(timer), now);
    } else {
        timer.id = d.id;
        // Times left as they were keep their seconds and the guide's event;
        // others are the user's own from now on.
        if (SameWindow(form, d.shown)) {
            timer.start = d.original.start;
            timer.end = d.original.end;
            timer.eventId = d.original.eventId;
        }
        if (d.original.state == TimerState::Recording) {
            timer.state = TimerState::Recording;
        }
        outcome = ProgramTimers().Change(timer, now);
    }
    if (!outcome.message.empty())
        Warn(dialog, outcome.message);
    if (outcome.done)
        EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK TimerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInit(dialog, reinterpret_cast<TimerDialog*>(lParam));
    TimerDialog* d = DialogOf(dialog);
    if (!d || message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDOK)
        OnOk(dialog, *d);
    else if (LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
    return TRUE;
}

}  // namespace

bool EditTimer(HWND owner, std::int64_t id)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    TimerDialog d;
    d.id = id;
    return DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_TIMER_EDIT), owner, TimerDialogProc,
                           reinterpret_cast<LPARAM>(&d)) == IDOK;
}
