#pragma once
// Output pin of the network provider. It offers the BDA antenna media type and delivers
// empty buffers: the tuner's input pin only needs an upstream partner of that type.
#include "graph/filterbase/source_stream.h"

class CNetworkProvider;

class CPinBidon : public CSourceStream {
public:
    explicit CPinBidon(CNetworkProvider* owner);
    ~CPinBidon() override;

    using CSourceStream::GetMediaType;

    // Leaves the sample as it is.
    HRESULT FillBuffer(IMediaSample* sample) override;
    // Any type of the antenna major type, whatever its subtype and format.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    // Position 0 is the antenna type; there is no other.
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    // Accepts the allocator as it comes.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
};
