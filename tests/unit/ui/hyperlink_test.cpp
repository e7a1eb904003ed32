// The link conversion of a static control: one subclassing of the parent however
// many links, blue text, underline while hovered, and no trace once destroyed.
#include "ui/hyperlink.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

// Properties left on each window as it receives its last message.
std::vector<int> leftOnDestroy;

// Counts the link's own properties; the platform may keep some of its own.
BOOL CALLBACK CountProp(HWND, LPWSTR name, HANDLE, ULONG_PTR count)
{
    if (!IS_INTRESOURCE(name) && std::wstring_view(name).starts_with(L"_Hyperlink_"))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int PropCount(HWND window)
{
    int count = 0;
    EnumPropsExW(window, CountProp, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Every window of the test runs this under the conversion; the conversion must
// give it back before the window's last message.
LRESULT CALLBACK Observer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        leftOnDestroy.push_back(PropCount(window));
    return DefWindowProcW(window, message, wParam, lParam);
}

WNDPROC staticProc;

LRESULT CALLBACK StaticObserver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        leftOnDestroy.push_back(PropCount(window));
    return CallWindowProcW(staticProc, window, message, wParam, lParam);
}

HWND MakeParent()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = Observer;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HyperlinkTestParent";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

HWND MakeStatic(HWND parent, int id, int y)
{
    HWND control = CreateWindowExW(0, L"STATIC", L"https://brisome.example/", WS_CHILD | WS_VISIBLE, 10, y, 200, 20,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticObserver)));
    return control;
}

TEST(Hyperlink, TwoLinksSubclassTheParentOnceAndLeaveNothingBehind)
{
    leftOnDestroy.clear();
    HWND parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    HWND first = MakeStatic(parent, 1008, 10);
    HWND second = MakeStatic(parent, 1009, 40);
    ASSERT_TRUE(MakeDialogItemHyperlink(parent, 1008));
    const LONG_PTR parentProc = GetWindowLongPtrW(parent, GWLP_WNDPROC);
    ASSERT_TRUE(MakeHyperlink(second));
    EXPECT_EQ(GetWindowLongPtrW(parent, GWLP_WNDPROC), parentProc);
    EXPECT_EQ(PropCount(parent), 1);
    EXPECT_EQ(PropCount(first), 4);
    EXPECT_TRUE(GetWindowLongPtrW(first, GWL_STYLE) & SS_NOTIFY);

    // The text is drawn blue.
    HDC dc = GetDC(first);
    SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(GetTextColor(dc), kHyperlinkColour);
    ReleaseDC(first, dc);

    // Hovered: underlined and holding the mouse; moved off: plain and released.
    auto underlined = [&] {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(first, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfUnderline != 0;
    };
    SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(underlined());
    EXPECT_EQ(GetCapture(), first);
    SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(500, 5));
    EXPECT_FALSE(underlined());
    EXPECT_EQ(GetCapture(), nullptr);

    const HFONT underline = static_cast<HFONT>(GetPropW(first, L"_Hyperlink_Underline_Font_"));
    DestroyWindow(parent);
    EXPECT_EQ(leftOnDestroy, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(GetObjectType(underline), 0u);
}

}  // namespace
