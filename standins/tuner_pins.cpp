#include "standins/tuner_pins.h"

#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <algorithm>
#include <cstring>

#include "graph/filterbase/media_type.h"
#include "graph/filterbase/worker_protocol.h"
#include "standins/trace.h"

namespace {
// Buffers of whole packets; 256 packets hold about 16 ms of a 24 Mbit/s multiplex.
constexpr long kPacketsPerBuffer = 256;
constexpr long kBufferCount = 8;
// Longest single wait of the worker, so that it answers a stop request quickly.
constexpr std::int64_t kMaxWaitMicros = 10'000;
// Bounds of what waits to be reshaped: a few of the largest odd samples, and about two
// seconds of a 24 Mbit/s multiplex in the spreader.
constexpr std::size_t kMaxReshapedBytes = 4 * standins::SampleSlicer::kLargestOddSample;
constexpr std::size_t kMaxSpreadPackets = 32'000;
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

CAntennaPin::CAntennaPin(CBaseFilter* filter, CriticalSection* lock, AntennaMode mode, bool registersWithProvider)
    : CBaseInputPin(L"antenne", filter, lock, L"Antenne"), mode_(mode), registersWithProvider_(registersWithProvider)
{
    if (mode_ == AntennaMode::Blocking) stopped_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

CAntennaPin::~CAntennaPin()
{
    UnregisterFromProvider();
    if (stopped_) CloseHandle(stopped_);
}

void CAntennaPin::SetStopped(bool stopped)
{
    stoppedNow_ = stopped;
    if (!stopped_) return;
    if (stopped) {
        SetEvent(stopped_);
    } else {
        ResetEvent(stopped_);
    }
}

HRESULT CAntennaPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr) && registersWithProvider_) RegisterWithProvider(receivePin);
    return hr;
}

HRESULT CAntennaPin::BreakConnect()
{
    UnregisterFromProvider();
    return CBaseInputPin::BreakConnect();
}

void CAntennaPin::RegisterWithProvider(IPin* upstream)
{
    UnregisterFromProvider();
    PIN_INFO info{};
    ComPtr<IBDA_NetworkProvider> provider;
    if (upstream && SUCCEEDED(upstream->QueryPinInfo(&info)) && info.pFilter) {
        info.pFilter->QueryInterface(IID_IBDA_NetworkProvider, provider.PutVoid());
        info.pFilter->Release();
    }
    IUnknown* self = nullptr;
    // The filter itself registers; it is not owned by the provider beyond the call.
    if (provider && SUCCEEDED(Filter()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self)))) {
        ULONG context = 0;
        const HRESULT hr = provider->RegisterDeviceFilter(self, &context);
        self->Release();
        if (SUCCEEDED(hr)) {
            provider_ = provider;
            providerContext_ = context;
        }
        TraceLine(SUCCEEDED(hr) ? "RegisterDeviceFilter yes" : "RegisterDeviceFilter failed");
        return;
    }
    TraceLine("RegisterDeviceFilter no");
}

void CAntennaPin::UnregisterFromProvider()
{
    if (!provider_) return;
    provider_->UnRegisterDeviceFilter(providerContext_);
    provider_.Reset();
    providerContext_ = 0;
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

HRESULT STDMETHODCALLTYPE CAntennaPin::Receive(IMediaSample*)
{
    switch (mode_) {
    case AntennaMode::Refusing: break;
    case AntennaMode::Accepting: return stoppedNow_ ? VFW_E_WRONG_STATE : S_OK;
    case AntennaMode::Blocking:
        // A kernel-streaming pin with nothing to do with the sample keeps the caller
        // until the graph stops.
        WaitForSingleObject(stopped_, INFINITE);
        return VFW_E_WRONG_STATE;
    }
    return S_FALSE;
}

HRESULT CAntennaPin::OnReceive(IMediaSample*) { return S_FALSE; }

// ---- transport-stream output

CTunerOutputPin::CTunerOutputPin(CSource* filter, OutputSubtype output, TunerCorePtr core,
                                 const standins::StandinSwitches& switches)
    : CSourceStream(L"sortie TS", filter, L"MPEG2 Transport"), output_(output), core_(std::move(core)),
      reshaped_(switches.oddSamples || switches.slowPsi), spreadPsi_(switches.slowPsi),
      oddSamples_(switches.oddSamples), slicer_(switches.oddSamples)
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
    if (oddSamples_) request->cbBuffer = std::max(request->cbBuffer, static_cast<long>(standins::SampleSlicer::kLargestOddSample));
    if (request->cbAlign <= 0) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    bufferBytes_ = actual.cbBuffer;
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
    ResetReshaping();
    return S_OK;
}

void CTunerOutputPin::ResetReshaping()
{
    spreader_.Reset();
    slicer_.Reset();
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
    if (followed_ && tuned.generation == generation_) {
        // A slow tuner locks some time after the commit: nothing came before that.
        if (!awaitingLock_ || !tuned.locked) return;
    } else {
        followed_ = true;
        generation_ = tuned.generation;
        file_.Close();
        hasPending_ = false;
        ResetReshaping();
    }
    awaitingLock_ = tuned.present && !tuned.locked;
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
    if (!file_.IsOpen()) {
        Sleep(static_cast<DWORD>(kMaxWaitMicros / 1000));
        return S_OK;
    }
    return reshaped_ ? DeliverReshaped() : DeliverWholePackets();
}

HRESULT CTunerOutputPin::DeliverWholePackets()
{
    if (!TakePendingPacket()) {
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

HRESULT CTunerOutputPin::DeliverReshaped()
{
    const std::int64_t now = ElapsedMicros();
    // The file's due packets go through the spreader (its own clock) and then wait in the
    // slicer for a sample of the size planned; both stay bounded.
    while (slicer_.Waiting() < kMaxReshapedBytes && spreader_.Waiting() < kMaxSpreadPackets && TakePendingPacket() &&
           pendingDue_ <= now) {
        if (spreadPsi_) {
            spreader_.Push(pending_, pendingDue_);
        } else {
            slicer_.Append(pending_, kTsPacketSize);
        }
        hasPending_ = false;
    }
    std::uint8_t packet[kTsPacketSize];
    while (spreadPsi_ && slicer_.Waiting() < kMaxReshapedBytes && spreader_.PopDue(now, packet))
        slicer_.Append(packet, sizeof packet);

    const std::size_t capacity = static_cast<std::size_t>(std::max(0L, bufferBytes_));
    const std::size_t size = slicer_.NextSize(capacity);
    if (size == 0) {
        Sleep(1);
        return S_OK;
    }
    ComPtr<IMediaSample> sample;
    HRESULT hr = GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0);
    if (FAILED(hr) || !sample) {
        Sleep(1);
        return S_OK;
    }
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data || static_cast<std::size_t>(sample->GetSize()) < size) return S_OK;
    slicer_.Take(data, size);
    sample->SetActualDataLength(static_cast<long>(size));
    sample->SetSyncPoint(TRUE);
    return Deliver(sample.Get());
}
