#include "graph/filterbase/network_provider.h"

#include <algorithm>

#include "graph/filterbase/pin_bidon.h"

const CLSID CLSID_NetworkProviderBidon = {0x00000001, 0x0002, 0x0003, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}};
// DVB_TERRESTRIAL_TV_NETWORK_TYPE of the Windows SDK, which mingw-w64 lacks.
const GUID kDvbTerrestrialNetworkType = {0x216c62df, 0x6d7f, 0x4e9a, {0x85, 0x71, 0x05, 0xf1, 0x4e, 0xdb, 0x76, 0x6a}};

CNetworkProvider::CNetworkProvider()
    : CSource(L"Mon network provider", nullptr, CLSID_NetworkProviderBidon), pin_(new CPinBidon(this))
{
}

// The pin goes first: it takes itself out of the base part's pin array.
CNetworkProvider::~CNetworkProvider() { delete pin_; }

HRESULT STDMETHODCALLTYPE CNetworkProvider::QueryInterface(REFIID iid, void** out)
{
    return CBaseFilter::QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CNetworkProvider::AddRef() { return CBaseFilter::AddRef(); }

ULONG STDMETHODCALLTYPE CNetworkProvider::Release() { return CBaseFilter::Release(); }

HRESULT STDMETHODCALLTYPE CNetworkProvider::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IBDA_NetworkProvider) return GetInterface(static_cast<IBDA_NetworkProvider*>(this), out);
    return CSource::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::PutSignalSource(ULONG signalSource)
{
    std::lock_guard<std::mutex> lock(bookkeeping_);
    signalSource_ = signalSource;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::GetSignalSource(ULONG* signalSource)
{
    if (!signalSource) return E_POINTER;
    std::lock_guard<std::mutex> lock(bookkeeping_);
    *signalSource = signalSource_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::GetNetworkType(GUID* networkType)
{
    if (!networkType) return E_POINTER;
    *networkType = kDvbTerrestrialNetworkType;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::PutTuningSpace(REFGUID tuningSpace)
{
    std::lock_guard<std::mutex> lock(bookkeeping_);
    tuningSpace_ = tuningSpace;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::GetTuningSpace(GUID* tuningSpace)
{
    if (!tuningSpace) return E_POINTER;
    std::lock_guard<std::mutex> lock(bookkeeping_);
    *tuningSpace = tuningSpace_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::RegisterDeviceFilter(IUnknown* filterControl, ULONG* context)
{
    if (!filterControl || !context) return E_POINTER;
    // Identity is the object's IUnknown, whichever interface it came through.
    IUnknown* identity = nullptr;
    if (FAILED(filterControl->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) || !identity)
        return E_NOINTERFACE;
    identity->Release();
    std::lock_guard<std::mutex> lock(bookkeeping_);
    for (const Registration& r : registrations_) {
        if (r.identity == identity) {
            *context = r.context;
            return S_OK;
        }
    }
    *context = nextContext_++;
    registrations_.push_back({*context, identity});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNetworkProvider::UnRegisterDeviceFilter(ULONG context)
{
    std::lock_guard<std::mutex> lock(bookkeeping_);
    auto found = std::find_if(registrations_.begin(), registrations_.end(),
                              [context](const Registration& r) { return r.context == context; });
    if (found == registrations_.end()) return E_INVALIDARG;
    registrations_.erase(found);
    return S_OK;
}

std::size_t CNetworkProvider::RegisteredDeviceCount()
{
    std::lock_guard<std::mutex> lock(bookkeeping_);
    return registrations_.size();
}

int CNetworkProvider::GetPinCount() { return 1; }

CBasePin* CNetworkProvider::GetPin(int index) { return index == 0 ? pin_ : nullptr; }
