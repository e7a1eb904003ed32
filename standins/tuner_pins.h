#pragma once
// The virtual tuner's two pins.
#include <atomic>
#include <cstdint>

#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/source_stream.h"
#include "standins/broadcast_file.h"
#include "standins/catalogue.h"
#include "standins/ts_pacer.h"
#include "standins/tuner_core.h"

// Fills a media type of major type MEDIATYPE_Stream with the subtype of `output`.
void SetStreamType(AM_MEDIA_TYPE& type, OutputSubtype output);

// The antenna input. It connects to any upstream pin of the BDA antenna major type and
// answers every delivery with S_FALSE, in any state, so that a network provider's worker
// leaves its delivery loop at once instead of spinning on empty samples. It asks for one
// packet-sized buffer, so that an allocator its upstream leaves unsized still commits.
class CAntennaPin : public CBaseInputPin {
public:
    CAntennaPin(CBaseFilter* filter, CriticalSection* lock);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
};

// The transport-stream output: while the filter runs its worker plays the broadcast file
// of the committed frequency, in whole packets, at the pace of the stream's PCR, and
// starts again at the file's end. Without a signal it delivers nothing. Like any live
// source it delivers nothing while paused: a renderer waiting there for a first sample
// would hold the thread that also feeds the other branches.
class CTunerOutputPin : public CSourceStream {
public:
    CTunerOutputPin(CSource* filter, OutputSubtype output, TunerCorePtr core);

    using CSourceStream::GetMediaType;

    HRESULT GetMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadStartPlay() override;
    HRESULT DoBufferProcessingLoop() override;

    // Set by the filter as it enters and leaves the running state (any thread).
    void SetRunning(bool running) { running_ = running; }

private:
    // Worker thread only, from here on.
    // One step of the loop: follows a new commit, waits for the next due packet, or
    // delivers one buffer of due packets. S_OK to go on; anything else stops delivery.
    HRESULT Step();
    void FollowTuning();
    bool TakePendingPacket();
    std::int64_t ElapsedMicros() const;

    OutputSubtype output_;
    TunerCorePtr core_;
    BroadcastFile file_;
    standins::PcrPacer pacer_;
    std::uint64_t generation_ = 0;
    bool followed_ = false;
    LARGE_INTEGER start_{};
    LARGE_INTEGER frequency_{};
    std::uint8_t pending_[kTsPacketSize];
    bool hasPending_ = false;
    std::int64_t pendingDue_ = 0;
    std::atomic<bool> running_{false};
};
