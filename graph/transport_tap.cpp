#include "graph/transport_tap.h"

#include <atomic>

#include "graph/graph_handles.h"

PacketTap transportTap;
SectionReader tapSections;

namespace {

// The grabber calls SampleCB on the streaming thread for every sample that
// passes through it, whatever its size: the demultiplexer downstream accepts
// transport-stream samples with no alignment to packets, so neither can we.
// One object for the process's life: the grabber may still be inside a call
// when it is told to drop the callback, so the object never goes away, and a
// closed one feeds nothing.
class TapCallback final : public ISampleGrabberCB {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_ISampleGrabberCB) || IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<ISampleGrabberCB*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Not counted: the object is static.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample* sample) override
    {
        if (!open.load(std::memory_order_acquire) || !sample)
            return S_OK;
        BYTE* data = nullptr;
        const long length = sample->GetActualDataLength();
        if (length <= 0 || FAILED(sample->GetPointer(&data)) || !data)
            return S_OK;
        // Never past the buffer, whatever the sample claims.
        const long size = sample->GetSize();
        transportTap.Feed(data, static_cast<std::size_t>(size > 0 && size < length ? size : length));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE*, long) override { return S_OK; }

    std::atomic<bool> open{false};
};

TapCallback callback;

}  // namespace

bool InstallTransportTap(ISampleGrabber* grabber)
{
    if (!grabber)
        return false;
    transportTap.Reset();
    tapSections.Reset();
    callback.open = true;
    // Callback mode 0: SampleCB, with the sample itself and no copy.
    if (FAILED(grabber->SetCallback(&callback, 0))) {
        callback.open = false;
        return false;
    }
    transportTap.Subscribe(&tapSections);
    return true;
}

void RemoveTransportTap(ISampleGrabber* grabber)
{
    if (grabber)
        grabber->SetCallback(nullptr, 0);
    callback.open = false;
    transportTap.Unsubscribe(&tapSections);
    ResetTransportTap();
}

bool TransportTapInstalled()
{
    return callback.open.load(std::memory_order_acquire);
}

void ResetTransportTap()
{
    transportTap.Reset();
    tapSections.Reset();
}
