#include "graph/filterbase/base_pin.h"

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/enum_media_types.h"
#include "graph/filterbase/name_copy.h"

CBasePin::CBasePin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName,
                   PIN_DIRECTION direction)
    : CUnknown(objectName, nullptr), lock_(lock), name_(pinName ? pinName : L""), direction_(direction),
      filter_(filter)
{
}

CBasePin::~CBasePin() = default;

HRESULT STDMETHODCALLTYPE CBasePin::QueryInterface(REFIID iid, void** out)
{
    return GetOwner()->QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CBasePin::AddRef() { return GetOwner()->AddRef(); }

ULONG STDMETHODCALLTYPE CBasePin::Release() { return GetOwner()->Release(); }

HRESULT STDMETHODCALLTYPE CBasePin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IPin) return GetInterface(static_cast<IPin*>(this), out);
    if (iid == IID_IQualityControl) return GetInterface(static_cast<IQualityControl*>(this), out);
    return CUnknown::NonDelegatingQueryInterface(iid, out);
}

// The filter deletes its pins; a reference on a pin keeps the whole filter alive.
ULONG STDMETHODCALLTYPE CBasePin::NonDelegatingAddRef() { return filter_->AddRef(); }

ULONG STDMETHODCALLTYPE CBasePin::NonDelegatingRelease() { return filter_->Release(); }

HRESULT STDMETHODCALLTYPE CBasePin::Disconnect()
{
    AutoLock lock(*lock_);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    return DropConnection();
}

HRESULT CBasePin::DropConnection()
{
    if (!connected_) return S_FALSE;
    HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;
    connected_.Reset();
    type_.Clear();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectedTo(IPin** pin)
{
    if (!pin) return E_POINTER;
    AutoLock lock(*lock_);
    *pin = ComPtr<IPin>(connected_).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    AutoLock lock(*lock_);
    if (!connected_) {
        InitMediaType(*type);
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*type, type_.Get());
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    if (filter_) filter_->AddRef();
    CopyNameInto(info->achName, name_);
    info->dir = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryId(LPWSTR* id)
{
    if (!id) return E_POINTER;
    size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    name_.copy(*id, name_.size());
    (*id)[name_.size()] = L'\0';
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryAccept(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    HRESULT hr = CheckMediaType(type);
    return FAILED(hr) ? S_FALSE : hr;
}

HRESULT STDMETHODCALLTYPE CBasePin::EnumMediaTypes(IEnumMediaTypes** types)
{
    if (!types) return E_POINTER;
    return HandOut(MakeComObject<CEnumMediaTypes>(this, nullptr), types);
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBasePin::EndOfStream() { return S_OK; }

HRESULT STDMETHODCALLTYPE CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::Notify(IBaseFilter*, Quality) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBasePin::SetSink(IQualityControl* sink)
{
    qualitySink_ = sink;
    return S_OK;
}

LONG CBasePin::GetMediaTypeVersion() { return typeVersion_.load(); }

HRESULT CBasePin::Active() { return S_OK; }

HRESULT CBasePin::Inactive() { return S_OK; }

HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }

HRESULT CBasePin::SetMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return type_.Set(*type);
}

HRESULT CBasePin::CheckConnect(IPin* pin)
{
    PIN_DIRECTION other;
    HRESULT hr = pin->QueryDirection(&other);
    if (FAILED(hr)) return hr;
    if (other == direction_) return VFW_E_INVALID_DIRECTION;
    return S_OK;
}

HRESULT CBasePin::BreakConnect() { return S_OK; }

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT CBasePin::GetMediaType(int, AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

bool CBasePin::IsConnected()
{
    AutoLock lock(*lock_);
    return static_cast<bool>(connected_);
}

bool CBasePin::IsStopped() { return filter_->IsStopped(); }

void CBasePin::IncrementTypeVersion() { ++typeVersion_; }
