#include "graph/filterbase/base_filter.h"


#include "graph/filterbase/base_pin.h"
#include "graph/filterbase/connect_rules.h"
#include "graph/filterbase/enum_pins.h"
#include "graph/filterbase/name_copy.h"

CBaseFilter::CBaseFilter(const wchar_t* objectName, IUnknown* outer, CriticalSection* lock, REFCLSID classId)
    : CUnknown(objectName, outer), classId_(classId), lock_(lock)
{
}

CBaseFilter::~CBaseFilter() = default;

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryInterface(REFIID iid, void** out)
{
    return GetOwner()->QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CBaseFilter::AddRef() { return GetOwner()->AddRef(); }

ULONG STDMETHODCALLTYPE CBaseFilter::Release() { return GetOwner()->Release(); }

HRESULT STDMETHODCALLTYPE CBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist)
        return GetInterface(static_cast<IBaseFilter*>(this), out);
    if (iid == IID_IAMovieSetup) return GetInterface(static_cast<IAMovieSetup*>(this), out);
    return CUnknown::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = classId_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Stop()
{
    AutoLock lock(*lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        // Every connected pin is deactivated even when one fails; the first failure is
        // what the graph hears.
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            HRESULT hr = pin->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    state_ = State_Stopped;
    return result;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Pause()
{
    AutoLock lock(*lock_);
    if (state_ == State_Stopped) {
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            HRESULT hr = pin->Active();
            if (FAILED(hr)) return hr;
        }
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Run(REFERENCE_TIME start)
{
    AutoLock lock(*lock_);
    start_ = start;
    if (state_ == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (state_ != State_Running) {
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            HRESULT hr = pin->Run(start);
            if (FAILED(hr)) return hr;
        }
    }
    state_ = State_Running;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetState(DWORD, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::SetSyncSource(IReferenceClock* clock)
{
    AutoLock lock(*lock_);
    clock_ = ComPtr<IReferenceClock>::Share(clock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    AutoLock lock(*lock_);
    *clock = ComPtr<IReferenceClock>(clock_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::EnumPins(IEnumPins** pins)
{
    if (!pins) return E_POINTER;
    return HandOut(MakeComObject<CEnumPins>(this, nullptr), pins);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::FindPin(LPCWSTR id, IPin** pin)
{
    if (!id || !pin) return E_POINTER;
    AutoLock lock(*lock_);
    CBasePin* found = GetPin(filterbase::PinIndexFromId(id));
    if (!found) {
        *pin = nullptr;
        return VFW_E_NOT_FOUND;
    }
    *pin = found;
    found->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info) return E_POINTER;
    AutoLock lock(*lock_);
    CopyNameInto(info->achName, name_);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    AutoLock lock(*lock_);
    graph_ = graph;
    sink_ = nullptr;
    if (graph) {
        // The graph is also the event sink. Keeping a reference would make a cycle
        // with the graph's own reference on the filter, so it is dropped at once.
        IMediaEventSink* sink = nullptr;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink)))) {
            sink_ = sink;
            sink->Release();
        }
    }
    if (name)
        name_ = name;
    else
        name_.clear();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBaseFilter::Register() { return ChangeRegistration(true); }

HRESULT STDMETHODCALLTYPE CBaseFilter::Unregister() { return ChangeRegistration(false); }

HRESULT CBaseFilter::ChangeRegistration(bool registering)
{
    const FilterSetup* setup = GetSetupData();
    if (!setup || !setup->classId) return S_FALSE;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.PutVoid());
    if (FAILED(hr)) return hr;
    if (!registering)
        return mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *setup->classId);
    if (!setup->registration) return E_INVALIDARG;
    return mapper->RegisterFilter(*setup->classId, setup->name, nullptr, &CLSID_LegacyAmFilterCategory,
                                  nullptr, setup->registration);
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME& time)
{
    AutoLock lock(*lock_);
    if (!clock_) return VFW_E_NO_CLOCK;
    HRESULT hr = clock_->GetTime(&time);
    if (FAILED(hr)) return hr;
    time -= start_;
    return S_OK;
}

LONG CBaseFilter::GetPinVersion() { return pinVersion_.load(); }

const FilterSetup* CBaseFilter::GetSetupData() { return nullptr; }

bool CBaseFilter::IsActive()
{
    AutoLock lock(*lock_);
    return state_ != State_Stopped;
}

bool CBaseFilter::IsStopped() { return state_ == State_Stopped; }

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2)
{
    IMediaEventSink* sink = sink_;
    if (!sink) return E_NOTIMPL;
    return sink->Notify(code, param1, param2);
}

void CBaseFilter::IncrementPinVersion() { ++pinVersion_; }
