#pragma once
// A filter with one input pin and one output pin that turns each received sample into
// zero or more delivered samples: the shape of every stand-in decoder. The derived
// filter says which types it takes and offers and does the work in Transform.
//
// Locking: the state lock guards the filter state and the connections; the streaming
// lock is held while a sample, an end of stream or a flush goes through. Receive never
// takes the state lock, so stopping the graph while a sample is blocked downstream
// cannot deadlock; the derived filter learns of a new run through `StartOfRun`.
#include <atomic>

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/output_pin.h"

namespace standin {

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(CTransformFilter* filter, CriticalSection* lock);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT OnBeginFlush() override;
    HRESULT OnEndFlush() override;

private:
    CTransformFilter* transform_;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(CTransformFilter* filter, CriticalSection* lock);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    CTransformFilter* transform_;
};

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const wchar_t* objectName, IUnknown* outer, REFCLSID classId);
    ~CTransformFilter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    // Hooks for derived filters.
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE& type) = 0;
    // Output types, given the connected input type (`input` is null while unconnected).
    virtual HRESULT GetOutputType(const AM_MEDIA_TYPE* input, int position, AM_MEDIA_TYPE& type) = 0;
    virtual HRESULT CheckOutputType(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE& type) = 0;
    // Buffer size and count for the output allocator.
    virtual void OutputBufferNeeds(long& count, long& bytes) = 0;
    // One input sample, on the streaming thread under the streaming lock.
    virtual HRESULT Transform(IMediaSample* sample) = 0;
    // Under the streaming lock: before the first sample of a run (the first after a
    // stop) and at the end of a flush. Decoders drop partial data there.
    virtual void StartOfRun() {}
    virtual void AfterFlush() {}

    CTransformInputPin& Input() { return input_; }
    CTransformOutputPin& Output() { return output_; }

protected:
    // Gives a buffer of at least `bytes` from the output allocator, enlarging its
    // buffers first when a new format needs more (streaming thread only).
    HRESULT GetOutputBuffer(long bytes, IMediaSample** sample);

    CriticalSection stateLock_;

private:
    friend class CTransformInputPin;
    HRESULT ReceiveSample(IMediaSample* sample);
    HRESULT EndOfStreamReceived();
    void FlushDone();

    CriticalSection streamLock_;
    CTransformInputPin input_;
    CTransformOutputPin output_;
    std::atomic<bool> newRun_{true};
};

}  // namespace standin
