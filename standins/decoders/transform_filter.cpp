#include "standins/decoders/transform_filter.h"

#include <algorithm>

namespace standin {

// ---- input pin

CTransformInputPin::CTransformInputPin(CTransformFilter* filter, CriticalSection* lock)
    : CBaseInputPin(L"transform input", filter, lock, L"In"), transform_(filter)
{
}

HRESULT CTransformInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return transform_->CheckInputType(*type);
}

HRESULT CTransformInputPin::OnEndOfStream() { return transform_->EndOfStreamReceived(); }

HRESULT CTransformInputPin::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    if (!transform_->Output().IsConnected()) return S_OK;
    return transform_->Output().DeliverNewSegment(start, stop, rate);
}

HRESULT CTransformInputPin::OnReceive(IMediaSample* sample) { return transform_->ReceiveSample(sample); }

HRESULT CTransformInputPin::OnBeginFlush()
{
    // Downstream first, so that a sample blocked there lets go of the streaming lock.
    if (!transform_->Output().IsConnected()) return S_OK;
    return transform_->Output().DeliverBeginFlush();
}

HRESULT CTransformInputPin::OnEndFlush()
{
    transform_->FlushDone();
    if (!transform_->Output().IsConnected()) return S_OK;
    return transform_->Output().DeliverEndFlush();
}

// ---- output pin

CTransformOutputPin::CTransformOutputPin(CTransformFilter* filter, CriticalSection* lock)
    : CBaseOutputPin(L"transform output", filter, lock, L"Out"), transform_(filter)
{
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin)
{
    // What comes out depends on what goes in: the input is connected first.
    if (!transform_->Input().IsConnected()) return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    const bool inputConnected = transform_->Input().IsConnected();
    return transform_->CheckOutputType(inputConnected ? &transform_->Input().CurrentMediaType() : nullptr, *type);
}

HRESULT CTransformOutputPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    const bool inputConnected = transform_->Input().IsConnected();
    return transform_->GetOutputType(inputConnected ? &transform_->Input().CurrentMediaType() : nullptr, position,
                                     *type);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request) return E_POINTER;
    long count = 0, bytes = 0;
    transform_->OutputBufferNeeds(count, bytes);
    request->cBuffers = std::max(request->cBuffers, count);
    request->cbBuffer = std::max(request->cbBuffer, bytes);
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= bytes && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

// ---- filter

CTransformFilter::CTransformFilter(const wchar_t* objectName, IUnknown* outer, REFCLSID classId)
    : CBaseFilter(objectName, outer, &stateLock_, classId), input_(this, &stateLock_), output_(this, &stateLock_)
{
}

CTransformFilter::~CTransformFilter() = default;

int CTransformFilter::GetPinCount() { return 2; }

CBasePin* CTransformFilter::GetPin(int index)
{
    if (index == 0) return &input_;
    if (index == 1) return &output_;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::Pause()
{
    AutoLock lock(stateLock_);
    if (IsStopped()) newRun_ = true;
    return CBaseFilter::Pause();
}

HRESULT CTransformFilter::ReceiveSample(IMediaSample* sample)
{
    AutoLock lock(streamLock_);
    if (newRun_.exchange(false)) StartOfRun();
    if (!output_.IsConnected()) return S_OK;   // nothing downstream: the data goes nowhere
    return Transform(sample);
}

HRESULT CTransformFilter::EndOfStreamReceived()
{
    AutoLock lock(streamLock_);
    if (!output_.IsConnected()) return S_OK;
    return output_.DeliverEndOfStream();
}

void CTransformFilter::FlushDone()
{
    AutoLock lock(streamLock_);
    AfterFlush();
}

HRESULT CTransformFilter::GetOutputBuffer(long bytes, IMediaSample** sample)
{
    if (!sample) return E_POINTER;
    *sample = nullptr;
    IMemAllocator* allocator = output_.Allocator();
    if (!allocator) return VFW_E_NO_ALLOCATOR;
    ALLOCATOR_PROPERTIES props{};
    HRESULT hr = allocator->GetProperties(&props);
    if (FAILED(hr)) return hr;
    if (props.cbBuffer < bytes) {
        // A larger picture than the connection announced: the buffers grow. The
        // allocator lets go of its memory once the samples downstream come back. The
        // state lock keeps a concurrent stop from being undone by the new commit; it
        // is safe here because nothing holding it ever waits for the streaming thread.
        AutoLock state(stateLock_);
        if (IsStopped()) return VFW_E_WRONG_STATE;
        allocator->Decommit();
        props.cbBuffer = bytes;
        ALLOCATOR_PROPERTIES actual{};
        hr = allocator->SetProperties(&props, &actual);
        if (SUCCEEDED(hr)) hr = allocator->Commit();
        if (FAILED(hr)) return hr;
        if (actual.cbBuffer < bytes) return E_OUTOFMEMORY;
    }
    return output_.GetDeliveryBuffer(sample, nullptr, nullptr, 0);
}

}  // namespace standin
