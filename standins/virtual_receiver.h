#pragma once
// The receiver half of a two-filter virtual device: it takes the tuner's MPEG-2 transport
// stream and passes every sample on, unchanged, on an output of its own subtype.
#include <memory>

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/output_pin.h"
#include "standins/catalogue.h"
#include "standins/switches.h"

class CVirtualReceiver;

class CReceiverOutputPin : public CBaseOutputPin {
public:
    // `oddSamples`: samples pass on at the sizes they came in, packets split or not.
    CReceiverOutputPin(CBaseFilter* filter, CriticalSection* lock, OutputSubtype output, bool oddSamples);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // Copies the sample into one of this pin's buffers and delivers it.
    HRESULT PassOn(IMediaSample* sample);

private:
    OutputSubtype output_;
    bool oddSamples_;
};

class CReceiverInputPin : public CBaseInputPin {
public:
    CReceiverInputPin(CBaseFilter* filter, CriticalSection* lock, CReceiverOutputPin* output);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnBeginFlush() override;
    HRESULT OnEndFlush() override;

private:
    CReceiverOutputPin* output_;
};

class CVirtualReceiver : public CBaseFilter {
public:
    CVirtualReceiver(const DeviceEntry& device, const standins::StandinSwitches& switches);
    ~CVirtualReceiver() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

private:
    CriticalSection stateLock_;
    // The input passes samples to the output, so it goes first (members die in reverse).
    std::unique_ptr<CReceiverOutputPin> output_;
    std::unique_ptr<CReceiverInputPin> input_;
};
