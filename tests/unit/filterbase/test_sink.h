#pragma once
// A downstream filter for tests, written directly on the platform interfaces: one input
// pin that lists the types it is told to offer, records what it is offered, accepts or
// refuses, and counts what it receives. Set up as the tuner's antenna input, it exposes
// IMemInputPin and answers Receive with S_FALSE.
#include <dshow.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "common/com_ptr.h"
#include "graph/filterbase/com_object.h"
#include "graph/filterbase/media_type.h"

struct SinkBehaviour {
    std::vector<MediaType> offered;
    // ReceiveConnection's answer for a type; accepts everything when empty.
    std::function<HRESULT(const AM_MEDIA_TYPE&)> accept;
    bool exposesMemInput = true;
    // GetAllocator hands out an allocator of its own (one 188-byte buffer) instead of
    // VFW_E_NO_ALLOCATOR.
    bool ownAllocator = false;
    // Returned by GetAllocatorRequirements when set; E_NOTIMPL otherwise.
    bool statesRequirements = false;
    ALLOCATOR_PROPERTIES requirements{};
    HRESULT receiveResult = S_FALSE;
    // Receive holds each sample until a flush or the filter's stop, as a
    // kernel-streaming pin may.
    bool blocks = false;
    // Called with each sample received, on the delivering thread.
    std::function<void(IMediaSample*)> onReceive;
};

class TestSinkFilter;

class TestInputPin : public IPin, public IMemInputPin {
public:
    explicit TestInputPin(TestSinkFilter* filter) : filter_(filter) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override { SetReleased(true); return S_OK; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { SetReleased(false); return S_OK; }
    // Lets a blocked Receive return (and later ones pass) or makes them block again.
    void SetReleased(bool released);
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_FALSE; }

    // What the test looks at afterwards.
    std::vector<MediaType> proposed;  // ReceiveConnection's types, in order
    ComPtr<IPin> connected;
    MediaType connectionType;
    ComPtr<IMemAllocator> ownAllocator;
    ComPtr<IMemAllocator> notifiedAllocator;
    BOOL notifiedReadOnly = TRUE;
    std::atomic<int> received{0};
    std::atomic<int> endsOfStream{0};
    std::atomic<DWORD> receivingThread{0};

private:
    TestSinkFilter* filter_;
    std::mutex releaseLock_;
    std::condition_variable releaseChanged_;
    bool released_ = false;
};

class TestSinkFilter : public ComObject<Implements<IBaseFilter, IID_IBaseFilter, IID_IMediaFilter, IID_IPersist>> {
public:
    explicit TestSinkFilter(SinkBehaviour behaviour);

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE Stop() override { state_ = State_Stopped; pin_.SetReleased(true); return S_OK; }
    HRESULT STDMETHODCALLTYPE Pause() override { state_ = State_Paused; pin_.SetReleased(false); return S_OK; }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { state_ = State_Running; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

    TestInputPin& Pin() { return pin_; }
    SinkBehaviour& Behaviour() { return behaviour_; }
    FILTER_STATE State() const { return state_; }

private:
    SinkBehaviour behaviour_;
    TestInputPin pin_;
    FILTER_STATE state_ = State_Stopped;
    IFilterGraph* graph_ = nullptr;
};

// A media type with only its major type set, as freshly initialised types have.
MediaType TypeWithMajor(const GUID& major, const GUID& subtype = GUID_NULL);
