#include "app/organise_channels.h"

#include <string>

#include "app/channel_list_update.h"
#include "app/organise_channels_model.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kNameTabStop = 20;  // dialog template units, a quarter of an average character each

ChannelOrganiser* OrganiserOf(HWND dialog)
{
    return reinterpret_cast<ChannelOrganiser*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

int SelectedRow(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_ORGANISE_LIST, LB_GETCURSEL, 0, 0));
}

std::wstring Wide(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

void SetCheck(HWND dialog, int control, bool on)
{
    CheckDlgButton(dialog, control, on ? BST_CHECKED : BST_UNCHECKED);
}

// The controls that act on the selected channel follow it.
void ShowSelection(HWND dialog, const ChannelOrganiser& organiser)
{
    const int row = SelectedRow(dialog);
    const bool any = row >= 0;
    for (const int control : {IDC_ORGANISE_NAME, IDC_ORGANISE_RENAME, IDC_ORGANISE_HIDDEN, IDC_ORGANISE_FAVOURITE,
                              IDC_ORGANISE_UP, IDC_ORGANISE_DOWN})
        EnableWindow(GetDlgItem(dialog, control), any);
    const auto r = static_cast<std::size_t>(any ? row : 0);
    SetDlgItemTextW(dialog, IDC_ORGANISE_NAME, any ? Wide(organiser.ShownText(r)).c_str() : L"");
    SendDlgItemMessageW(dialog, IDC_ORGANISE_NAME, EM_SETMODIFY, FALSE, 0);
    SetCheck(dialog, IDC_ORGANISE_HIDDEN, any && organiser.Hidden(r));
    SetCheck(dialog, IDC_ORGANISE_FAVOURITE, any && organiser.Favourite(r));
}

void FillList(HWND dialog, const ChannelOrganiser& organiser, int selected)
{
    HWND list = GetDlgItem(dialog, IDC_ORGANISE_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t row = 0; row < organiser.Count(); ++row)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(organiser.RowText(row)).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    ShowSelection(dialog, organiser);
}

void Notify(HWND dialog, const std::wstring& notice)
{
    SetDlgItemTextW(dialog, IDC_ORGANISE_NOTICE, notice.c_str());
}

// Renames the selected channel from the edit box. False when the user has
// something to read first (the name was cut, or another channel has it).
bool RenameSelected(HWND dialog, ChannelOrganiser& organiser)
{
    const int row = SelectedRow(dialog);
    if (row < 0)
        return true;
    HWND edit = GetDlgItem(dialog, IDC_ORGANISE_NAME);
    std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    typed.resize(static_cast<std::size_t>(GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size()))));
    const std::wstring notice =
        organiser.Rename(static_cast<std::size_t>(row), std::u16string(typed.begin(), typed.end()));
    FillList(dialog, organiser, row);
    Notify(dialog, notice);
    return notice.empty();
}

void Move(HWND dialog, ChannelOrganiser& organiser, StepWay way)
{
    const int row = SelectedRow(dialog);
    if (row >= 0)
        FillList(dialog, organiser, static_cast<int>(organiser.Move(static_cast<std::size_t>(row), way)));
}

void Toggle(HWND dialog, ChannelOrganiser& organiser, int control)
{
    const int row = SelectedRow(dialog);
    if (row < 0)
        return;
    // The box's own state follows the channel's (FillList), whatever sent the click.
    const auto r = static_cast<std::size_t>(row);
    if (control == IDC_ORGANISE_HIDDEN)
        organiser.SetHidden(r, !organiser.Hidden(r));
    else
        organiser.SetFavourite(r, !organiser.Favourite(r));
    FillList(dialog, organiser, row);
}

void OnCommand(HWND dialog, ChannelOrganiser& organiser, int control, int notification)
{
    switch (control) {
    case IDC_ORGANISE_LIST:
        if (notification == LBN_SELCHANGE) {
            Notify(dialog, L"");
            ShowSelection(dialog, organiser);
        }
        break;
    case IDC_ORGANISE_RENAME: RenameSelected(dialog, organiser); break;
    case IDC_ORGANISE_HIDDEN:
    case IDC_ORGANISE_FAVOURITE: Toggle(dialog, organiser, control); break;
    case IDC_ORGANISE_UP: Move(dialog, organiser, StepWay::Previous); break;
    case IDC_ORGANISE_DOWN: Move(dialog, organiser, StepWay::Next); break;
    case IDOK:
        // A name typed but not yet given counts; what must be said about it is
        // said before the dialog goes.
        if (SendDlgItemMessageW(dialog, IDC_ORGANISE_NAME, EM_GETMODIFY, 0, 0) && !RenameSelected(dialog, organiser))
            break;
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    default: break;
    }
}

INT_PTR CALLBACK OrganiseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        // Numbers have up to four digits: the names line up at a stop just past them.
        const int stop = kNameTabStop;
        SendDlgItemMessageW(dialog, IDC_ORGANISE_LIST, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
        ChannelOrganiser& organiser = *reinterpret_cast<ChannelOrganiser*>(lParam);
        FillList(dialog, organiser, IsValidChannelIndex(Chaines, currentChannel) ? currentChannel : 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (ChannelOrganiser* organiser = OrganiserOf(dialog))
            OnCommand(dialog, *organiser, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void OrganiseChannels()
{
    ChannelOrganiser organiser(Chaines, ChoicesInStep());
    // In full screen the cursor is hidden; the dialog needs it.
    ShowCursor(TRUE);
    const INT_PTR answer = DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_ORGANISE), mainWindow,
                                           OrganiseDialogProc, reinterpret_cast<LPARAM>(&organiser));
    ShowCursor(FALSE);
    if (answer != IDOK)
        return;
    // The order changes the records' places, which the guide reader writes by.
    StopGuideForListChange();
    ChannelList list = Chaines;
    std::vector<ChannelChoice> choices;
    std::int32_t current = currentChannel;
    organiser.Apply(list, choices, current);
    PutChannelListInPlace(std::move(list), std::move(choices), current, false);
}
