#include "message_box_watcher.h"

#include <algorithm>

namespace {

// The text of a message box is the static control with identifier 0xFFFF.
constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD processId)
    : processId_(processId ? processId : GetCurrentProcessId()), thread_([this] { Run(); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::wstring> MessageBoxWatcher::Texts() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return texts_;
}

bool MessageBoxWatcher::WaitFor(size_t count, DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (texts_.size() >= count)
                return true;
        }
        Sleep(20);
    }
    return false;
}

void MessageBoxWatcher::Run()
{
    while (!stop_) {
        EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
        Sleep(20);
    }
}

BOOL CALLBACK MessageBoxWatcher::Visit(HWND window, LPARAM param)
{
    auto* self = reinterpret_cast<MessageBoxWatcher*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[32] = L"";
    GetClassNameW(window, cls, 32);
    if (pid != self->processId_ || std::wstring(cls) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    HWND text = GetDlgItem(window, kMessageBoxTextId);
    if (!text)
        return TRUE;  // a dialog of the program, not a message box
    {
        std::lock_guard<std::mutex> hold(self->lock_);
        if (std::find(self->answered_.begin(), self->answered_.end(), window) != self->answered_.end())
            return TRUE;
        wchar_t buffer[1024] = L"";
        GetWindowTextW(text, buffer, 1024);
        self->texts_.push_back(buffer);
        self->answered_.push_back(window);
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}
