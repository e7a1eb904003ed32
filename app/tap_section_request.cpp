#include "app/tap_section_request.h"

#include "graph/graph_handles.h"
#include "graph/transport_tap.h"

bool RequestTapSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs, const EventWait& wait,
                       std::vector<std::uint8_t>& section)
{
    if (!TransportTapInstalled())
        return false;
    const HANDLE arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!arrived)
        return false;
    const int request = tapSections.Request(pid, tableId, [arrived] { SetEvent(arrived); });
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool found = false;
    for (;;) {
        found = tapSections.Take(request, section);
        const ULONGLONG now = GetTickCount64();
        if (found || now >= deadline)
            break;
        wait(arrived, static_cast<DWORD>(deadline - now));
    }
    // Once cancelled, no wake runs any more: the event can go.
    tapSections.Cancel(request);
    CloseHandle(arrived);
    return found;
}

EventWait DispatchingWait(HWND dialog)
{
    return [dialog](HANDLE event, DWORD milliseconds) {
        const ULONGLONG deadline = GetTickCount64() + milliseconds;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // The quit belongs to the program's own loop: put it back,
                    // and wait without dispatching from here on.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    const ULONGLONG now = GetTickCount64();
                    WaitForSingleObject(event, now < deadline ? static_cast<DWORD>(deadline - now) : 0);
                    return;
                }
                if (!IsDialogMessageW(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline)
                return;
            if (MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT) !=
                WAIT_OBJECT_0 + 1)
                return;  // the event, the time-out or a failure: the caller looks again
        }
    };
}

EventWait PlainWait()
{
    return [](HANDLE event, DWORD milliseconds) { WaitForSingleObject(event, milliseconds); };
}
