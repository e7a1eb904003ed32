#pragma once
// The virtual tuner's two pins.
#include <windows.h>
#include <dshow.h>
#include <bdatypes.h>
#include <bdaiface.h>

#include <atomic>
#include <cstdint>

#include "common/com_ptr.h"

#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/source_stream.h"
#include "standins/broadcast_file.h"
#include "standins/catalogue.h"
#include "standins/psi_spreader.h"
#include "standins/sample_slicer.h"
#include "standins/switches.h"
#include "standins/ts_pacer.h"
#include "standins/tuner_core.h"

// Fills a media type of major type MEDIATYPE_Stream with the subtype of `output`.
void SetStreamType(AM_MEDIA_TYPE& type, OutputSubtype output);

// The antenna input. It connects to any upstream pin of the BDA antenna major type. By
// default it answers every delivery with S_FALSE, in any state, so that a network
// provider's worker leaves its delivery loop at once instead of spinning on empty
// samples; a kernel-streaming pin may instead accept and discard them (S_OK), or hold
// the caller until the graph stops. It asks for one packet-sized buffer, so that an
// allocator its upstream leaves unsized still commits.
enum class AntennaMode { Refusing, Accepting, Blocking };

class CAntennaPin : public CBaseInputPin {
public:
    CAntennaPin(CBaseFilter* filter, CriticalSection* lock, AntennaMode mode = AntennaMode::Refusing,
                bool registersWithProvider = false);
    ~CAntennaPin() override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

    // Set by the filter as it stops, which frees a blocked Receive.
    void SetStopped(bool stopped);

protected:
    HRESULT OnReceive(IMediaSample* sample) override;

private:
    // A BDA device filter registers with the network provider upstream of it, so the
    // provider knows which devices to tune.
    void RegisterWithProvider(IPin* upstream);
    void UnregisterFromProvider();

    AntennaMode mode_;
    bool registersWithProvider_;
    HANDLE stopped_ = nullptr;  // manual-reset event, set while the filter is stopped
    std::atomic<bool> stoppedNow_{true};
    ComPtr<IBDA_NetworkProvider> provider_;
    ULONG providerContext_ = 0;
};

// The transport-stream output: while the filter runs its worker plays the broadcast file
// of the committed frequency, in whole packets, at the pace of the stream's PCR, and
// starts again at the file's end. Without a signal it delivers nothing. Like any live
// source it delivers nothing while paused: a renderer waiting there for a first sample
// would hold the thread that also feeds the other branches.
class CTunerOutputPin : public CSourceStream {
public:
    CTunerOutputPin(CSource* filter, OutputSubtype output, TunerCorePtr core,
                    const standins::StandinSwitches& switches = {});

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
    // Today's delivery: every due whole packet in one sample.
    HRESULT DeliverWholePackets();
    // Through the PSI spreader and the sample slicer (slow-psi, odd-samples).
    HRESULT DeliverReshaped();
    void FollowTuning();
    void ResetReshaping();
    bool TakePendingPacket();
    std::int64_t ElapsedMicros() const;

    OutputSubtype output_;
    TunerCorePtr core_;
    const bool reshaped_;
    const bool spreadPsi_;
    const bool oddSamples_;
    standins::PsiSpreader spreader_;
    standins::SampleSlicer slicer_;
    BroadcastFile file_;
    standins::PcrPacer pacer_;
    std::uint64_t generation_ = 0;
    bool followed_ = false;
    bool awaitingLock_ = false;
    LARGE_INTEGER start_{};
    LARGE_INTEGER frequency_{};
    std::uint8_t pending_[kTsPacketSize];
    bool hasPending_ = false;
    std::int64_t pendingDue_ = 0;
    std::atomic<bool> running_{false};
    long bufferBytes_ = 0;  // as the allocator agreed
};
