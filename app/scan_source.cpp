#include "app/scan_source.h"

#include "app/scan_worker.h"
#include "app/tap_section_request.h"
#include "common/com_ptr.h"
#include "graph/graph_handles.h"
#include "graph/mpeg2_data.h"
#include "graph/tuning.h"

namespace {

// The longest section a table can have (private sections: 4096 bytes).
constexpr DWORD kMaxSectionBytes = 4096;

// The answer to WM_SCAN_SIGNAL. A dialog gone, or a message not answered, gives 0:
// statistics not readable.
constexpr LRESULT kSignalReadable = 1;
constexpr LRESULT kSignalLocked = 2;
constexpr LRESULT kSignalPresent = 4;

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

bool GraphScanSource::Cancelled() const
{
    return WaitForSingleObject(cancel_, 0) == WAIT_OBJECT_0;
}

void GraphScanSource::Tune(std::int32_t frequencyKHz)
{
    if (!Cancelled())
        SendMessageW(dialog_, WM_SCAN_TUNE, static_cast<WPARAM>(frequencyKHz), 0);
}

SignalReading GraphScanSource::ReadSignal()
{
    if (Cancelled())
        return {};
    const LRESULT bits = SendMessageW(dialog_, WM_SCAN_SIGNAL, 0, 0);
    return {(bits & kSignalReadable) != 0, (bits & kSignalLocked) != 0, (bits & kSignalPresent) != 0};
}

void GraphScanSource::Pause(std::uint32_t milliseconds)
{
    WaitForSingleObject(cancel_, milliseconds);
}

std::uint64_t GraphScanSource::NowMs()
{
    return GetTickCount64();
}

bool GraphScanSource::RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                     std::vector<std::uint8_t>& section)
{
    if (Cancelled())
        return false;
    const ULONGLONG asked = GetTickCount64();
    switch (RequestFromFilter(pid, tableId, timeoutMs, section)) {
    case FilterAnswer::Delivered: return true;
    case FilterAnswer::TimedOut: return false;
    case FilterAnswer::Refused: break;
    }
    // No filter, or one that refuses: the same table from the tap, for what is
    // left of the time-out.
    const ULONGLONG spent = GetTickCount64() - asked;
    if (spent >= timeoutMs)
        return false;
    return RequestTapSection(pid, tableId, static_cast<std::uint32_t>(timeoutMs - spent), CancellableWait(cancel_),
                             section);
}

GraphScanSource::FilterAnswer GraphScanSource::RequestFromFilter(std::uint16_t pid, std::uint8_t tableId,
                                                                 std::uint32_t timeoutMs,
                                                                 std::vector<std::uint8_t>& section)
{
    if (!sections_)
        return FilterAnswer::Refused;
    ComPtr<ISectionList> list;
    const HRESULT hr = sections_->GetSection(pid, tableId, nullptr, timeoutMs, list.Put());
    if (SUCCEEDED(hr) && list)
        return CopyFirstSection(list.Get(), section) ? FilterAnswer::Delivered : FilterAnswer::TimedOut;
    // The filter's own word for "nothing came in time"; anything else is a refusal.
    return hr == MPEG2_E_SECTION_NOT_FOUND || hr == HRESULT_FROM_WIN32(ERROR_TIMEOUT) ? FilterAnswer::TimedOut
                                                                                      : FilterAnswer::Refused;
}

void TuneForScan(std::int32_t frequencyKHz)
{
    TuneFrequency(static_cast<std::uint32_t>(frequencyKHz));
}

LRESULT ReadSignalForScan()
{
    if (!signalStatistics)
        return 0;
    BOOLEAN locked = 0;
    BOOLEAN present = 0;
    if (FAILED(signalStatistics->get_SignalLocked(&locked)) || FAILED(signalStatistics->get_SignalPresent(&present)))
        return 0;
    return kSignalReadable | (locked ? kSignalLocked : 0) | (present ? kSignalPresent : 0);
}
