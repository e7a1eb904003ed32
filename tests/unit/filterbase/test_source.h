#pragma once
// A source filter written on the base layer the way a real one is, with a pin whose
// answers each test chooses and which records what the layer asked of it.
#include <atomic>
#include <functional>
#include <vector>

#include "graph/filterbase/source_stream.h"

struct SourcePinBehaviour {
    std::vector<MediaType> own;  // listed by GetMediaType(position)
    // CheckMediaType's answer; S_OK for a type in `own`, E_FAIL otherwise, when empty.
    std::function<HRESULT(const AM_MEDIA_TYPE&)> check;
    HRESULT threadCreateResult = S_OK;
    // FillBuffer answers S_OK `fillsBeforeResult` times, then `fillResult` from then on.
    int fillsBeforeResult = 0;
    HRESULT fillResult = S_OK;
    // DecideBufferSize asks for two 188-byte buffers; otherwise it sets nothing.
    bool sizesAllocator = true;
};

class TestSourcePin : public CSourceStream {
public:
    TestSourcePin(CSource* filter, const wchar_t* name, SourcePinBehaviour behaviour);

    using CSourceStream::GetMediaType;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;

    // Sends a request to the worker the way Active and Inactive do.
    HRESULT Send(filterbase::WorkerCommand command) { return SendCommand(command); }
    void ChangeOwnTypes(std::vector<MediaType> types);

    SourcePinBehaviour behaviour;
    std::vector<MediaType> checked;  // CheckMediaType's types, in order
    ALLOCATOR_PROPERTIES requestSeen{};
    ComPtr<IMemAllocator> allocatorSeen;
    std::atomic<int> fills{0};
    std::atomic<DWORD> workerThread{0};
    std::atomic<int> threadDestroyed{0};
    std::atomic<bool> workerInMultithreadedApartment{false};
};

class TestSource : public CSource {
public:
    TestSource();
    TestSourcePin* AddTestPin(const wchar_t* name, SourcePinBehaviour behaviour);
};

// {6A6F1C44-5E1B-4C8B-9D0A-2B7A33C1D002}
extern const CLSID CLSID_TestSource;
