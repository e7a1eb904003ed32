#include "standins/virtual_receiver.h"

#include <algorithm>
#include <cstring>

#include "graph/filterbase/media_type.h"
#include "standins/tuner_pins.h"

// ---- output

CReceiverOutputPin::CReceiverOutputPin(CBaseFilter* filter, CriticalSection* lock, OutputSubtype output,
                                       bool oddSamples)
    : CBaseOutputPin(L"sortie récepteur", filter, lock, L"MPEG2 Transport"), output_(output), oddSamples_(oddSamples)
{
}

HRESULT CReceiverOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    MediaType own;
    SetStreamType(*own.Put(), output_);
    return IsEqualGUID(type->majortype, own.Get().majortype) && IsEqualGUID(type->subtype, own.Get().subtype)
               ? S_OK
               : S_FALSE;
}

HRESULT CReceiverOutputPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    SetStreamType(*type, output_);
    return S_OK;
}

HRESULT CReceiverOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request) return E_POINTER;
    // As large as the tuner's buffers, so a sample passes on whole.
    request->cBuffers = std::max(request->cBuffers, 8L);
    request->cbBuffer = std::max(request->cbBuffer, oddSamples_ ? 65536L : 188L * 256);
    if (request->cbAlign <= 0) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= 188 ? S_OK : E_FAIL;
}

HRESULT CReceiverOutputPin::PassOn(IMediaSample* sample)
{
    if (!IsConnected()) return S_OK;
    BYTE* source = nullptr;
    if (FAILED(sample->GetPointer(&source)) || !source) return E_POINTER;
    const long length = sample->GetActualDataLength();
    long offset = 0;
    // A sample larger than our buffers goes on in several, each of whole packets.
    while (offset < length) {
        ComPtr<IMediaSample> copy;
        HRESULT hr = GetDeliveryBuffer(copy.Put(), nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        BYTE* target = nullptr;
        if (FAILED(copy->GetPointer(&target)) || !target) return E_POINTER;
        long room = oddSamples_ ? copy->GetSize() : copy->GetSize() / 188 * 188;
        if (room <= 0) return E_FAIL;
        const long chunk = std::min(room, length - offset);
        std::memcpy(target, source + offset, static_cast<size_t>(chunk));
        copy->SetActualDataLength(chunk);
        copy->SetSyncPoint(TRUE);
        hr = Deliver(copy.Get());
        if (hr != S_OK) return hr;
        offset += chunk;
    }
    return S_OK;
}

// ---- input

CReceiverInputPin::CReceiverInputPin(CBaseFilter* filter, CriticalSection* lock, CReceiverOutputPin* output)
    : CBaseInputPin(L"entrée récepteur", filter, lock, L"MPEG2 Transport In"), output_(output)
{
}

HRESULT CReceiverInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return IsEqualGUID(type->majortype, MEDIATYPE_Stream) && IsEqualGUID(type->subtype, MEDIASUBTYPE_MPEG2_TRANSPORT)
               ? S_OK
               : S_FALSE;
}

HRESULT CReceiverInputPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    SetStreamType(*type, OutputSubtype::Mpeg2Transport);
    return S_OK;
}

HRESULT CReceiverInputPin::OnReceive(IMediaSample* sample) { return output_->PassOn(sample); }

HRESULT CReceiverInputPin::OnEndOfStream() { return output_->DeliverEndOfStream(); }

HRESULT CReceiverInputPin::OnBeginFlush() { return output_->DeliverBeginFlush(); }

HRESULT CReceiverInputPin::OnEndFlush() { return output_->DeliverEndFlush(); }

// ---- filter

CVirtualReceiver::CVirtualReceiver(const DeviceEntry& device, const standins::StandinSwitches& switches)
    : CBaseFilter(L"récepteur TNT virtuel", nullptr, &stateLock_, device.classId),
      output_(std::make_unique<CReceiverOutputPin>(this, &stateLock_, device.output, switches.oddSamples)),
      input_(std::make_unique<CReceiverInputPin>(this, &stateLock_, output_.get()))
{
}

CVirtualReceiver::~CVirtualReceiver() = default;

int CVirtualReceiver::GetPinCount() { return 2; }

CBasePin* CVirtualReceiver::GetPin(int index)
{
    if (index == 0) return input_.get();
    if (index == 1) return output_.get();
    return nullptr;
}
