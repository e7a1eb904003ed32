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
