#pragma once
// Answers the message boxes of one process as a user would: reads each box's
// text, remembers it in order of appearance, and presses OK.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
public:
    // `processId` 0 watches the current process.
    explicit MessageBoxWatcher(DWORD processId = 0);
    ~MessageBoxWatcher();

    std::vector<std::wstring> Texts() const;
    // Waits until at least `count` boxes were seen; false on time-out.
    bool WaitFor(size_t count, DWORD timeoutMs = 20000) const;

private:
    void Run();
    static BOOL CALLBACK Visit(HWND window, LPARAM self);

    DWORD processId_;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<std::wstring> texts_;
    std::vector<HWND> answered_;
    std::thread thread_;
};
