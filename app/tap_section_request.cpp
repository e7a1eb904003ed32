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
        if (!wait(arrived, static_cast<DWORD>(deadline - now)))
            break;
    }
    // Once cancelled, no wake runs any more: the event can go.
    tapSections.Cancel(request);
    CloseHandle(arrived);
    return found;
}

EventWait PlainWait()
{
    return [](HANDLE event, DWORD milliseconds) {
        WaitForSingleObject(event, milliseconds);
        return true;
    };
}

EventWait CancellableWait(HANDLE cancel)
{
    return [cancel](HANDLE event, DWORD milliseconds) {
        const HANDLE handles[] = {event, cancel};
        return WaitForMultipleObjects(2, handles, FALSE, milliseconds) != WAIT_OBJECT_0 + 1;
    };
}
