#include "app/scan_worker.h"

#include <objbase.h>

#include <utility>

#include "app/scan_dialog.h"
#include "app/scan_source.h"
#include "channels/scan_driver.h"
#include "common/com_ptr.h"
#include "graph/graph_handles.h"
#include "graph/mpeg2_data.h"

namespace {

ComPtr<IGlobalInterfaceTable> GlobalInterfaceTable()
{
    ComPtr<IGlobalInterfaceTable> table;
    CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                     table.PutVoid());
    return table;
}

}  // namespace

bool ScanWorker::Start(HWND dialog, std::vector<std::int32_t> frequencies, const ScanWaits& waits)
{
    if (started_)
        return thread_ != nullptr;
    started_ = true;
    dialog_ = dialog;
    frequencies_ = std::move(frequencies);
    waits_ = waits;
    completed_ = false;

    // The filter was made in this thread's apartment: the worker may use it only
    // through what the global interface table hands to its own apartment, and only
    // when that is the filter itself. A proxy would run each request on this
    // thread, holding the dialog for the request's whole time-out; and a system
    // without a proxy for IMpeg2Data refuses to marshal it. In both cases the
    // worker reads the tables from the transport-stream tap instead.
    if (mpeg2Data) {
        if (const ComPtr<IGlobalInterfaceTable> table = GlobalInterfaceTable())
            sectionsShared_ = SUCCEEDED(
                table->RegisterInterfaceInGlobal(mpeg2Data.Get(), IID_IMpeg2Data, &sectionsCookie_));
        ComPtr<IUnknown> identity;
        if (SUCCEEDED(mpeg2Data.As(IID_IUnknown, identity)))
            sectionsIdentity_ = identity.Get();
    }

    cancel_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (cancel_)
        thread_ = CreateThread(nullptr, 0, &ScanWorker::ThreadMain, this, 0, nullptr);
    if (!thread_) {
        Stop();
        return false;
    }
    return true;
}

DWORD WINAPI ScanWorker::ThreadMain(void* self)
{
    static_cast<ScanWorker*>(self)->Run();
    return 0;
}

void ScanWorker::Run()
{
    const bool comEntered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    {
        ComPtr<IMpeg2Data> sections;
        if (sectionsShared_ && comEntered) {
            if (const ComPtr<IGlobalInterfaceTable> table = GlobalInterfaceTable())
                table->GetInterfaceFromGlobal(sectionsCookie_, IID_IMpeg2Data, sections.PutVoid());
            ComPtr<IUnknown> identity;
            if (sections)
                sections.As(IID_IUnknown, identity);
            if (identity.Get() != sectionsIdentity_)
                sections.Reset();  // a proxy: the tap serves instead
        }
        GraphScanSource source(dialog_, cancel_, sections.Get());
        QueuedScanProgress progress(*this);
        ScanAllFrequencies(frequencies_, waits_, source, progress, list_, capturedNit_);
        completed_ = WaitForSingleObject(cancel_, 0) != WAIT_OBJECT_0;
    }  // every reference of this apartment is released before leaving it
    if (comEntered)
        CoUninitialize();
    PostMessageW(dialog_, WM_SCAN_FINISHED, 0, 0);
}

void ScanWorker::Report(ScanReport report)
{
    bool wake = false;
    {
        const std::lock_guard<std::mutex> hold(reportsLock_);
        wake = reports_.empty();
        reports_.push_back(std::move(report));
    }
    // One notice per batch: the dialog takes every waiting report at once.
    if (wake)
        PostMessageW(dialog_, WM_SCAN_PROGRESS, 0, 0);
}

std::vector<ScanReport> ScanWorker::TakeReports()
{
    const std::lock_guard<std::mutex> hold(reportsLock_);
    return std::exchange(reports_, {});
}

bool ScanWorker::Stop(bool cancel)
{
    if (thread_) {
        if (cancel)
            SetEvent(cancel_);
        // The worker may be sending this thread a tuning or signal request: those
        // are answered while waiting, or neither thread would move on.
        for (;;) {
            const DWORD woken = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woken != WAIT_OBJECT_0 + 1)
                break;
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (cancel_) {
        CloseHandle(cancel_);
        cancel_ = nullptr;
    }
    if (sectionsShared_) {
        if (const ComPtr<IGlobalInterfaceTable> table = GlobalInterfaceTable())
            table->RevokeInterfaceFromGlobal(sectionsCookie_);
        sectionsShared_ = false;
    }
    sectionsIdentity_ = nullptr;
    return completed_;
}
