// Connection and media-type negotiation of CBasePin.
#include "graph/filterbase/base_pin.h"

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/connect_rules.h"
#include "graph/filterbase/worker_protocol.h"

static_assert(filterbase::codes::kTypeNotAccepted == VFW_E_TYPE_NOT_ACCEPTED);
static_assert(filterbase::codes::kNoAcceptableTypes == VFW_E_NO_ACCEPTABLE_TYPES);
static_assert(filterbase::codes::kFail == E_FAIL);
static_assert(filterbase::codes::kInvalidArg == E_INVALIDARG);
static_assert(filterbase::codes::kUnexpected == E_UNEXPECTED);
static_assert(filterbase::codes::kNotImplemented == E_NOTIMPL);

HRESULT STDMETHODCALLTYPE CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type)
{
    if (!receivePin) return E_POINTER;
    AutoLock lock(*lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !canReconnectWhenActive_) return VFW_E_NOT_STOPPED;
    return AgreeMediaType(receivePin, type);
}

HRESULT STDMETHODCALLTYPE CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type)
{
    if (!connector || !type) return E_POINTER;
    AutoLock lock(*lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !canReconnectWhenActive_) return VFW_E_NOT_STOPPED;

    HRESULT hr = CheckConnect(connector);
    if (SUCCEEDED(hr)) hr = filterbase::ReadTypeCheck(CheckMediaType(type));
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    connected_ = ComPtr<IPin>::Share(connector);
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        connected_.Reset();
        type_.Clear();
        BreakConnect();
        return hr;
    }
    return S_OK;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* type)
{
    // A complete type leaves nothing to negotiate.
    if (type && !IsPartialMediaType(*type)) return AttemptConnection(receivePin, *type);

    filterbase::ConnectAttemptLog log;
    for (filterbase::TypeSource source : filterbase::TypeSourceOrder(tryOwnTypesFirst_)) {
        ComPtr<IEnumMediaTypes> types;
        HRESULT hr = source == filterbase::TypeSource::OtherPin ? receivePin->EnumMediaTypes(types.Put())
                                                                : EnumMediaTypes(types.Put());
        // A pin that cannot list its types simply offers none.
        if (FAILED(hr) || !types) continue;
        if (SUCCEEDED(TryMediaTypes(receivePin, type, types.Get(), log))) return S_OK;
    }
    return log.Result();
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const AM_MEDIA_TYPE* partial, IEnumMediaTypes* types,
                                filterbase::ConnectAttemptLog& log)
{
    for (;;) {
        AM_MEDIA_TYPE* candidate = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &candidate, &fetched) != S_OK || fetched != 1 || !candidate) {
            DeleteMediaType(candidate);
            return E_FAIL;
        }
        bool connected = false;
        if (!partial || MatchesPartialType(*candidate, *partial)) {
            HRESULT hr = AttemptConnection(receivePin, *candidate);
            connected = SUCCEEDED(hr);
            log.Record(hr);
        }
        DeleteMediaType(candidate);
        if (connected) return S_OK;
    }
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type)
{
    HRESULT hr = CheckConnect(receivePin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = filterbase::ReadTypeCheck(CheckMediaType(&type));
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }

    connected_ = ComPtr<IPin>::Share(receivePin);
    hr = SetMediaType(&type);
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(this, &type);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr)) return S_OK;
            // The other pin took the connection; it must let go of it again.
            receivePin->Disconnect();
        }
    }
    connected_.Reset();
    type_.Clear();
    BreakConnect();
    return hr;
}
