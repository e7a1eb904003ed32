#pragma once
// The filter half of the layer: identity, the stopped/paused/running state machine,
// membership of a graph, the reference clock, and pin enumeration over the pins that a
// derived class exposes through GetPinCount and GetPin.
#include <dshow.h>

#include <string>

#include "common/com_ptr.h"
#include "graph/filterbase/auto_lock.h"
#include "graph/filterbase/unknown.h"

class CBasePin;

// What Register hands to the filter mapper; a filter that is never registered has none.
struct FilterSetup {
    const CLSID* classId;
    const wchar_t* name;
    const REGFILTER2* registration;
};

class CBaseFilter : public CUnknown, public IBaseFilter, public IAMovieSetup {
public:
    // `lock` is the derived filter's state lock; it must outlive this object.
    CBaseFilter(const wchar_t* objectName, IUnknown* outer, CriticalSection* lock, REFCLSID classId);
    ~CBaseFilter() override;

    // IUnknown, forwarded to the owner.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;

    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    // IAMovieSetup
    HRESULT STDMETHODCALLTYPE Register() override;
    HRESULT STDMETHODCALLTYPE Unregister() override;

    // Hooks for derived filters, in this order.
    // Time since the graph started, from the reference clock (VFW_E_NO_CLOCK without one).
    virtual HRESULT StreamTime(REFERENCE_TIME& time);
    // Changes whenever the set of pins changes, so that enumerators notice.
    virtual LONG GetPinVersion();
    virtual int GetPinCount() = 0;
    // Borrowed pointer, or null for an index out of range.
    virtual CBasePin* GetPin(int index) = 0;
    virtual const FilterSetup* GetSetupData();

    bool IsActive();
    bool IsStopped();
    CriticalSection* StateLock() const { return lock_; }
    // Borrowed: the graph holds the filter, not the other way round.
    IFilterGraph* Graph() const { return graph_; }
    // Sends an event to the graph, when the filter is in one.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

protected:
    void IncrementPinVersion();

private:
    HRESULT ChangeRegistration(bool registering);

    CLSID classId_;
    FILTER_STATE state_ = State_Stopped;
    CriticalSection* lock_;
    IFilterGraph* graph_ = nullptr;     // not referenced: the graph owns the filter
    IMediaEventSink* sink_ = nullptr;   // same object as the graph, not referenced either
    std::wstring name_;
    ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME start_ = 0;
    std::atomic<LONG> pinVersion_{1};
};
