#include "ui/hyperlink.h"

namespace {

constexpr wchar_t kOriginalProc[] = L"_Hyperlink_Original_Proc_";
constexpr wchar_t kOriginalFont[] = L"_Hyperlink_Original_Font_";
constexpr wchar_t kUnderlineFont[] = L"_Hyperlink_Underline_Font_";
constexpr wchar_t kFromStatic[] = L"_Hyperlink_From_Static_";

WNDPROC StoredProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetPropW(window, kOriginalProc));
}

// Installs `procedure` on `window`, keeping the one it replaces for Reinstall.
void Subclass(HWND window, WNDPROC procedure)
{
    const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    SetPropW(window, kOriginalProc, reinterpret_cast<HANDLE>(previous));
}

void Reinstall(HWND window, WNDPROC original)
{
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(window, kOriginalProc);
}

void SetFontNoRedraw(HWND control, HANDLE font)
{
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

LRESULT CALLBACK HyperlinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = StoredProc(window);
    switch (message) {
    case WM_DESTROY:
        Reinstall(window, original);
        return CallWindowProcW(original, window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
        const LRESULT brush = CallWindowProcW(original, window, message, wParam, lParam);
        if (GetPropW(reinterpret_cast<HWND>(lParam), kFromStatic))
            SetTextColor(reinterpret_cast<HDC>(wParam), kHyperlinkColour);
        return brush;
    }
    default:
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
}

void OnMouseMove(HWND control, LPARAM lParam)
{
    if (GetCapture() != control) {
        SetFontNoRedraw(control, GetPropW(control, kUnderlineFont));
        InvalidateRect(control, nullptr, FALSE);
        SetCapture(control);
        return;
    }
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(control, &at);
    RECT bounds{};
    GetWindowRect(control, &bounds);
    if (!PtInRect(&bounds, at)) {
        SetFontNoRedraw(control, GetPropW(control, kOriginalFont));
        InvalidateRect(control, nullptr, FALSE);
        ReleaseCapture();
    }
}

LRESULT CALLBACK HyperlinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = StoredProc(control);
    switch (message) {
    case WM_DESTROY: {
        Reinstall(control, original);
        SetFontNoRedraw(control, RemovePropW(control, kOriginalFont));
        DeleteObject(static_cast<HFONT>(RemovePropW(control, kUnderlineFont)));
        RemovePropW(control, kFromStatic);
        return CallWindowProcW(original, control, message, wParam, lParam);
    }
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(control, lParam);
        break;
    default:
        break;
    }
    return CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace

bool MakeHyperlink(HWND control)
{
    HWND parent = GetParent(control);
    // A parent holding several links is subclassed by the first only.
    if (parent && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC)) != HyperlinkParentProc)
        Subclass(parent, HyperlinkParentProc);

    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
    Subclass(control, HyperlinkProc);

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    SetPropW(control, kOriginalFont, font);
    // A control that was never given a font draws with the system font.
    LOGFONTW description{};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT), sizeof description, &description);
    description.lfUnderline = TRUE;
    SetPropW(control, kUnderlineFont, CreateFontIndirectW(&description));
    SetPropW(control, kFromStatic, reinterpret_cast<HANDLE>(1));
    return true;
}

bool MakeDialogItemHyperlink(HWND dialog, int controlId)
{
    return MakeHyperlink(GetDlgItem(dialog, controlId));
}
