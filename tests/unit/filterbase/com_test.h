#pragma once
// Test fixture joining a single-threaded apartment, as the program's main thread does.
#include <objbase.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <set>

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// Identifiers of this process's threads.
inline std::set<DWORD> ProcessThreads()
{
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

// Whether a thread has ended: it can no longer be opened, or its handle is signalled.
inline bool ThreadEnded(DWORD id)
{
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
    if (!thread) return true;
    bool ended = WaitForSingleObject(thread, 2000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

// Polls `condition` for up to two seconds.
template <class Condition>
bool Eventually(Condition condition)
{
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        Sleep(10);
    }
    return condition();
}
