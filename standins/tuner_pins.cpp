#include "standins/tuner_pins.h"

#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <algorithm>
#include <cstring>

#include "graph/filterbase/media_type.h"
#include "graph/filterbase/worker_protocol.h"

namespace {
// Buffers of whole packets; 256 packets hold about 16 ms of a 24 Mbit/s multiplex.
constexpr long kPacketsPerBuffer = 256;
constexpr long kBufferCount = 8;
// Longest single wait of the worker, so that it answers a stop request quickly.
constexpr std::int64_t kMaxWaitMicros = 10'000;
}  // namespace

void SetStreamType(AM_MEDIA_TYPE& type, OutputSubtype output)
{
    InitMediaType(type);
    type.majortype = MEDIATYPE_Stream;
    switch (output) {
    case OutputSubtype::BdaTransport: type.subtype = KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT; break;
    case OutputSubtype::Mpeg2Transport: type.subtype = MEDIASUBTYPE_MPEG2_TRANSPORT; break;
    case OutputSubtype::NotTransport: type.subtype = MEDIASUBTYPE_MPEG2_PROGRAM; break;
    }
    // Samples hold a varying number of packets.
    type.bFixedSizeSamples = FALSE;
    type.lSampleSize = 0;
}

// ---- antenna input

CAntennaPin::CAntennaPin(CBaseFilter* filter, CriticalSection* lock)
    : CBaseInputPin(L"antenne", filter, lock, L"Antenne")
{
}

HRESULT CAntennaPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return IsEqualGUID(type->majortype, KSDATAFORMAT_TYPE_BDA_ANTENNA) ? S_OK : S_FALSE;
}

HRESULT CAntennaPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    InitMediaType(*type);
    type->majortype = KSDATAFORMAT_TYPE_BDA_ANTENNA;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAntennaPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties)
{
    if (!properties) return E_POINTER;
    *properties = ALLOCATOR_PROPERTIES{};
    properties->cBuffers = 1;
    properties->cbBuffer = static_cast<long>(kTsPacketSize);
    properties->cbAlign = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAntennaPin::Receive(IMediaSample*) { return S_FALSE; }

HRESULT CAntennaPin::OnReceive(IMediaSample*) { return S_FALSE; }

// ---- transport-stream output

CTunerOutputPin::CTunerOutputPin(CSource* filter, OutputSubtype output, TunerCorePtr core)
    : CSourceStream(L"sortie TS", filter, L"MPEG2 Transport"), output_(output), core_(std::move(core))
{
    QueryPerformanceFrequency(&frequency_);
}

HRESULT CTunerOutputPin::GetMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    SetStreamType(*type, output_);
    return S_OK;
}

HRESULT CTunerOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    MediaType own;
    GetMediaType(own.Put());
    // Major type and subtype decide; the rest of a proposed type does not matter.
    return IsEqualGUID(type->majortype, own.Get().majortype) && IsEqualGUID(type->subtype, own.Get().subtype)
               ? S_OK
               : S_FALSE;
}

HRESULT CTunerOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request) return E_POINTER;
    request->cBuffers = std::max(request->cBuffers, kBufferCount);
    request->cbBuffer = std::max(request->cbBuffer, static_cast<long>(kTsPacketSize) * kPacketsPerBuffer);
    if (request->cbAlign <= 0) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    // A buffer must hold at least one whole packet.
    return actual.cbBuffer >= static_cast<long>(kTsPacketSize) ? S_OK : E_FAIL;
}

// The delivery loop below fills its buffers itself; nothing calls this.
HRESULT CTunerOutputPin::FillBuffer(IMediaSample*) { return S_FALSE; }

HRESULT CTunerOutputPin::OnThreadStartPlay()
{
    // Each start plays the tuned file from its beginning.
    followed_ = false;
    file_.Close();
    hasPending_ = false;
    return S_OK;
}

HRESULT CTunerOutputPin::DoBufferProcessingLoop()
{
    OnThreadStartPlay();
    for (;;) {
        DWORD request = 0;
        while (!CheckRequest(&request)) {
            // The downstream pin refused a sample: stay idle until the next request.
            if (Step() != S_OK) return S_OK;
        }
        filterbase::LoopStep step = filterbase::DecideRequestWhileDelivering(request);
        if (step.action == filterbase::LoopAction::LeaveUnanswered) return S_FALSE;
        Reply(static_cast<DWORD>(step.reply));
    }
}

std::int64_t CTunerOutputPin::ElapsedMicros() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start_.QuadPart) * 1'000'000 / frequency_.QuadPart;
}

void CTunerOutputPin::FollowTuning()
{
    const TunedMultiplex tuned = core_->Tuned();
    if (followed_ && tuned.generation == generation_) return;
    followed_ = true;
    generation_ = tuned.generation;
    file_.Close();
    hasPending_ = false;
    if (!tuned.locked) return;
    if (file_.Open(tuned.frequencyKhz)) {
        pacer_.Restart();
        QueryPerformanceCounter(&start_);
    }
}

bool CTunerOutputPin::TakePendingPacket()
{
    if (hasPending_) return true;
    if (!file_.NextPacket(pending_)) {
        // Nothing left to play (the file emptied or vanished): no signal until retuned.
        file_.Close();
        return false;
    }
    pendingDue_ = pacer_.DueMicros(pending_, sizeof pending_);
    hasPending_ = true;
    return true;
}

HRESULT CTunerOutputPin::Step()
{
    if (!running_) {
        // Paused: the broadcast goes on without us; a run starts the file afresh.
        followed_ = false;
        Sleep(static_cast<DWORD>(kMaxWaitMicros / 1000));
        return S_OK;
    }
    FollowTuning();
    if (!file_.IsOpen() || !TakePendingPacket()) {
        Sleep(static_cast<DWORD>(kMaxWaitMicros / 1000));
        return S_OK;
    }
    const std::int64_t wait = pendingDue_ - ElapsedMicros();
    if (wait > 0) {
        Sleep(static_cast<DWORD>((std::min(wait, kMaxWaitMicros) + 999) / 1000));
        return S_OK;
    }

    ComPtr<IMediaSample> sample;
    HRESULT hr = GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0);
    if (FAILED(hr) || !sample) {
        // No buffer (the allocator is being decommitted): look for a request first.
        Sleep(1);
        return S_OK;
    }
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return S_OK;
    const std::size_t capacity = static_cast<std::size_t>(std::max(0L, sample->GetSize()));
    std::size_t used = 0;
    const std::int64_t now = ElapsedMicros();
    // Every packet already due goes into this buffer, as many as it holds.
    while (used + kTsPacketSize <= capacity && TakePendingPacket() && pendingDue_ <= now) {
        std::memcpy(data + used, pending_, kTsPacketSize);
        used += kTsPacketSize;
        hasPending_ = false;
    }
    if (used == 0) return S_OK;
    sample->SetActualDataLength(static_cast<long>(used));
    sample->SetSyncPoint(TRUE);
    return Deliver(sample.Get());
}
