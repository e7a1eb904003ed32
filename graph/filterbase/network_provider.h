#pragma once
// The graph's own network provider: a source filter whose single output pin gives the
// tuner's antenna input an upstream partner. It carries no tuning information; tuning
// goes straight to the tuner's control nodes. It also answers IBDA_NetworkProvider,
// since a BDA driver registers its filter with the provider it finds upstream (and
// may refuse to work without one); the provider only keeps account of what it is told.
//
// Created with plain `new` and handed to IFilterGraph::AddFilter, which takes the first
// reference; the graph's last release destroys it.
#include <bdaiface.h>

#include <mutex>
#include <vector>

#include "graph/filterbase/source.h"

class CPinBidon;

// {00000001-0002-0003-0405-060708090A0B}; not registered: only ever created directly.
extern const CLSID CLSID_NetworkProviderBidon;
// The network type the provider reports: DVB-T.
extern const GUID kDvbTerrestrialNetworkType;

class CNetworkProvider : public CSource, public IBDA_NetworkProvider {
public:
    CNetworkProvider();
    ~CNetworkProvider() override;

    // IUnknown, for both faces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IBDA_NetworkProvider
    HRESULT STDMETHODCALLTYPE PutSignalSource(ULONG signalSource) override;
    HRESULT STDMETHODCALLTYPE GetSignalSource(ULONG* signalSource) override;
    HRESULT STDMETHODCALLTYPE GetNetworkType(GUID* networkType) override;
    HRESULT STDMETHODCALLTYPE PutTuningSpace(REFGUID tuningSpace) override;
    HRESULT STDMETHODCALLTYPE GetTuningSpace(GUID* tuningSpace) override;
    // The context is a number of the provider's own, never 0; the filter is not
    // referenced (the graph owns it, and a device keeping the provider would make a cycle).
    HRESULT STDMETHODCALLTYPE RegisterDeviceFilter(IUnknown* filterControl, ULONG* context) override;
    HRESULT STDMETHODCALLTYPE UnRegisterDeviceFilter(ULONG context) override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // How many device filters are registered now.
    std::size_t RegisteredDeviceCount();

private:
    struct Registration {
        ULONG context;
        IUnknown* identity;  // not referenced: only compared
    };

    CPinBidon* pin_;
    std::mutex bookkeeping_;
    ULONG signalSource_ = 0;
    GUID tuningSpace_ = GUID_NULL;
    ULONG nextContext_ = 1;
    std::vector<Registration> registrations_;
};
