#include "graph/filterbase/pin_bidon.h"

#include <bdamedia.h>

#include "graph/filterbase/media_type.h"
#include "graph/filterbase/network_provider.h"

CPinBidon::CPinBidon(CNetworkProvider* owner) : CSourceStream(L"pin bidon", owner, L"Pipin") {}

CPinBidon::~CPinBidon() = default;

HRESULT CPinBidon::FillBuffer(IMediaSample*) { return S_OK; }

HRESULT CPinBidon::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return type->majortype == KSDATAFORMAT_TYPE_BDA_ANTENNA ? S_OK : S_FALSE;
}

HRESULT CPinBidon::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    InitMediaType(*type);
    type->majortype = KSDATAFORMAT_TYPE_BDA_ANTENNA;
    return S_OK;
}

HRESULT CPinBidon::DecideBufferSize(IMemAllocator*, ALLOCATOR_PROPERTIES*) { return S_OK; }

HRESULT CPinBidon::DoBufferProcessingLoop()
{
    OnThreadStartPlay();
    DWORD request = 0;
    if (!CheckRequest(&request)) {
        ComPtr<IMediaSample> sample;
        // Fails at once when the allocator is being decommitted by a stop.
        if (SUCCEEDED(GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0)) && sample &&
            FillBuffer(sample.Get()) == S_OK)
            Deliver(sample.Get());
    }
    for (;;) {
        request = GetRequest();  // blocks: no polling while the graph runs
        const filterbase::LoopStep step = filterbase::DecideRequestWhileDelivering(request);
        if (step.action == filterbase::LoopAction::LeaveUnanswered) return S_FALSE;
        Reply(static_cast<DWORD>(step.reply));
    }
}

HRESULT CPinBidon::Inactive()
{
    // The downstream pin's Receive returns on a flush; without it a pin that holds the
    // delivery until its own stop would keep the worker from answering ours.
    const bool flush = IsConnected() && ThreadExists();
    if (flush) DeliverBeginFlush();
    const HRESULT hr = CSourceStream::Inactive();
    if (flush) DeliverEndFlush();
    return hr;
}
