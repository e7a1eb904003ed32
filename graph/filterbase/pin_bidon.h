#pragma once
// Output pin of the network provider. It offers the BDA antenna media type and delivers
// one empty buffer each time the graph runs: the tuner's input pin only needs an
// upstream partner of that type. A kernel-streaming antenna pin may accept buffers
// (S_OK) as fast as they come, or hold one until the graph stops; so the worker never
// delivers in a loop, and stopping flushes the tuner's pin before waiting for the worker.
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
    // One delivery, then the worker sleeps until the next request.
    HRESULT DoBufferProcessingLoop() override;
    // Releases a delivery that the tuner's pin holds, then stops the worker.
    HRESULT Inactive() override;
};
