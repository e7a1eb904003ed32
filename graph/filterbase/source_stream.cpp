#include "graph/filterbase/source_stream.h"

#include <evcode.h>

#include <cwchar>

CSourceStream::CSourceStream(const wchar_t* objectName, CSource* filter, const wchar_t* pinName)
    : CBaseOutputPin(objectName, filter, filter->StateLock(), pinName), source_(filter)
{
    source_->AddPin(this);
}

CSourceStream::~CSourceStream()
{
    // A filter torn down while active must not leave its worker using this pin.
    if (ThreadExists()) StopWorker();
    source_->RemovePin(this);
}

HRESULT CSourceStream::OnThreadCreate() { return S_OK; }

HRESULT CSourceStream::OnThreadDestroy() { return S_OK; }

HRESULT CSourceStream::OnThreadStartPlay() { return S_OK; }

HRESULT CSourceStream::GetMediaType(AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

HRESULT CSourceStream::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return GetMediaType(type);
}

HRESULT CSourceStream::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    MediaType own;
    if (GetMediaType(own.Put()) != S_OK) return E_FAIL;
    return SameMediaType(own.Get(), *type) ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CSourceStream::QueryId(LPWSTR* id)
{
    if (!id) return E_POINTER;
    int index = source_->FindPinNumber(this);
    if (index < 0) return VFW_E_NOT_FOUND;
    wchar_t text[16];
    int length = swprintf(text, 16, L"%d", index + 1);
    if (length < 0) return E_UNEXPECTED;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (!*id) return E_OUTOFMEMORY;
    wmemcpy(*id, text, static_cast<size_t>(length) + 1);
    return S_OK;
}

HRESULT CSourceStream::SendCommand(filterbase::WorkerCommand command)
{
    return static_cast<HRESULT>(CallWorker(command));
}

HRESULT CSourceStream::Active()
{
    AutoLock lock(*lock_);
    if (source_->IsActive()) return S_FALSE;
    if (!IsConnected()) return S_OK;

    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    if (!Create()) {
        CBaseOutputPin::Inactive();
        return E_FAIL;
    }
    hr = SendCommand(filterbase::CMD_INIT);
    if (FAILED(hr)) {
        // The worker has already ended after its failed start; join it so that a later
        // stop does not send requests to a thread that is gone.
        Close();
        CBaseOutputPin::Inactive();
        return hr;
    }
    return SendCommand(filterbase::CMD_PAUSE);
}

HRESULT CSourceStream::Inactive()
{
    AutoLock lock(*lock_);
    if (!IsConnected()) return S_OK;
    // Decommitting first releases a worker that waits for a buffer.
    HRESULT hr = CBaseOutputPin::Inactive();
    if (FAILED(hr)) return hr;
    if (ThreadExists()) return StopWorker();
    return S_OK;
}

HRESULT CSourceStream::StopWorker()
{
    SendCommand(filterbase::CMD_STOP);
    HRESULT hr = SendCommand(filterbase::CMD_EXIT);
    Close();
    return SUCCEEDED(hr) ? S_OK : hr;
}

DWORD CSourceStream::ThreadProc()
{
    bool initialised = false;
    for (;;) {
        DWORD request = GetRequest();
        filterbase::WorkerStep step = filterbase::DecideIdleRequest(initialised, request);
        switch (step.action) {
        case filterbase::IdleAction::Reply:
            Reply(static_cast<DWORD>(step.reply));
            break;
        case filterbase::IdleAction::Initialise: {
            HRESULT hr = OnThreadCreate();
            if (FAILED(hr)) {
                OnThreadDestroy();
                Reply(static_cast<DWORD>(hr));
                return 1;
            }
            initialised = true;
            Reply(S_OK);
            break;
        }
        case filterbase::IdleAction::ReplyThenDeliver:
            Reply(static_cast<DWORD>(step.reply));
            DoBufferProcessingLoop();
            break;
        case filterbase::IdleAction::ReplyThenExit:
            Reply(static_cast<DWORD>(step.reply));
            OnThreadDestroy();
            return 0;
        }
    }
}

HRESULT CSourceStream::DoBufferProcessingLoop()
{
    OnThreadStartPlay();
    for (;;) {
        DWORD request = 0;
        while (!CheckRequest(&request)) {
            ComPtr<IMediaSample> sample;
            HRESULT hr = GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0);
            if (FAILED(hr) || !sample) {
                // No buffer yet (or the allocator is being decommitted): try again,
                // looking for a request in between.
                Sleep(1);
                continue;
            }
            hr = FillBuffer(sample.Get());
            switch (filterbase::DecideAfterFill(hr)) {
            case filterbase::FillAction::Deliver: {
                HRESULT delivered = Deliver(sample.Get());
                sample.Reset();
                // The downstream pin no longer wants samples (S_FALSE) or failed.
                if (!filterbase::KeepDeliveringAfter(delivered)) return S_OK;
                break;
            }
            case filterbase::FillAction::EndOfStream:
                sample.Reset();
                DeliverEndOfStream();
                return S_OK;
            case filterbase::FillAction::Abort:
                sample.Reset();
                DeliverEndOfStream();
                Filter()->NotifyEvent(EC_ERRORABORT, hr, 0);
                return hr;
            }
        }
        filterbase::LoopStep step = filterbase::DecideRequestWhileDelivering(request);
        if (step.action == filterbase::LoopAction::LeaveUnanswered) return S_FALSE;
        Reply(static_cast<DWORD>(step.reply));
    }
}
