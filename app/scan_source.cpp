#include "app/scan_source.h"

#include <algorithm>

#include "app/tap_section_request.h"
#include "graph/graph_handles.h"
#include "graph/mpeg2_data.h"
#include "graph/tuning.h"

namespace {

// Longest stretch without dispatching messages. A request is renewed after each
// slice; tables repeat many times a second, so the gap between two costs nothing.
constexpr DWORD kSliceMs = 100;
// How long a tuner may take to report a lock before its "no signal" is believed.
constexpr DWORD kLockWaitMs = 1000;
constexpr DWORD kLockPollMs = 50;
// The longest section a table can have (private sections: 4096 bytes).
constexpr DWORD kMaxSectionBytes = 4096;

bool CopyFirstSection(ISectionList* list, std::vector<std::uint8_t>& section)
{
    DWORD length = 0;
    PSECTION data = nullptr;
    if (FAILED(list->GetSectionData(0, &length, &data)) || !data || length == 0 || length > kMaxSectionBytes)
        return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    section.assign(bytes, bytes + length);
    return true;
}

}  // namespace

void GraphScanSource::Tune(std::int32_t frequencyKHz)
{
    TuneFrequency(static_cast<std::uint32_t>(frequencyKHz));
}

SignalReport GraphScanSource::AwaitSignal()
{
    if (!signalStatistics)
        return SignalReport::Unknown;
    const ULONGLONG deadline = GetTickCount64() + kLockWaitMs;
    for (;;) {
        BOOLEAN locked = 0;
        BOOLEAN present = 0;
        if (FAILED(signalStatistics->get_SignalLocked(&locked)) ||
            FAILED(signalStatistics->get_SignalPresent(&present)))
            return SignalReport::Unknown;
        if (locked || present)
            return SignalReport::Present;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return SignalReport::Absent;
        PumpMessages(static_cast<DWORD>(std::min<ULONGLONG>(kLockPollMs, deadline - now)));
    }
}

bool GraphScanSource::RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                     std::vector<std::uint8_t>& section)
{
    if (!mpeg2Data)
        return RequestTapSection(pid, tableId, timeoutMs, DispatchingWait(dialog_), section);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG asked = GetTickCount64();
        if (asked >= deadline)
            return false;
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(kSliceMs, deadline - asked));
        ComPtr<ISectionList> list;
        if (SUCCEEDED(mpeg2Data->GetSection(pid, tableId, nullptr, slice, list.Put())) && list)
            return CopyFirstSection(list.Get(), section);
        // A request that fails well before its slice ran out met an error, not a
        // time-out: asking again would only repeat it.
        if (GetTickCount64() - asked < slice / 2)
            return RequestTapSection(pid, tableId, static_cast<std::uint32_t>(deadline - asked),
                                     DispatchingWait(dialog_), section);
        PumpMessages(0);
    }
}

void GraphScanSource::PumpMessages(DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The quit belongs to the program's own loop, after the scan.
                PostQuitMessage(static_cast<int>(msg.wParam));
                Sleep(milliseconds);
                return;
            }
            if (!IsDialogMessageW(dialog_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}
