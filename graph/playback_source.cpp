#include "graph/playback_source.h"

#include <algorithm>
#include <chrono>

#include "channels/psi/ts_packet.h"
#include "graph/filterbase/media_type.h"

const CLSID CLSID_BrisomePlaybackSource = {0x7a3e2c10, 0x5b4d, 0x4e61, {0x9c, 0x2a, 0x6d, 0x1f, 0x0b, 0x3e, 0x8a, 0x55}};

namespace {

constexpr std::int64_t kWaitStepMs = 10;
// At the live edge of the time-shift buffer the next packets are not there yet.
constexpr std::int64_t kLiveEdgeWaitMs = 20;
// A segment without an end: the stream's own time stamps place its samples.
constexpr REFERENCE_TIME kEndlessSegment = 0x7FFFFFFFFFFFFFFFLL;

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CPlaybackPin::CPlaybackPin(CPlaybackSource* owner, PlaybackFeed& feed)
    : CSourceStream(L"playback pin", owner, L"Sortie"), feed_(feed)
{
    delivered_ = feed_.position();
}

HRESULT CPlaybackPin::GetMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    InitMediaType(*type);
    type->majortype = MEDIATYPE_Stream;
    type->subtype = MEDIASUBTYPE_MPEG2_TRANSPORT;
    type->lSampleSize = kSampleBytes;
    return S_OK;
}

HRESULT CPlaybackPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request) return E_POINTER;
    request->cBuffers = std::max<long>(request->cBuffers, 8);
    request->cbBuffer = std::max<long>(request->cbBuffer, static_cast<long>(kSampleBytes));
    request->cbAlign = std::max<long>(request->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= static_cast<long>(kTsPacketSize) ? S_OK : E_FAIL;
}

HRESULT CPlaybackPin::OnThreadStartPlay()
{
    // After a pause the wall clock went on without the stream.
    pacer_.Reset();
    ended_ = false;
    return S_OK;
}

void CPlaybackPin::SeekTo(std::uint64_t position)
{
    std::lock_guard lock(seekLock_);
    pendingSeek_ = position;
    // The window reads the new place at once, not the old one until the worker moves.
    delivered_ = position;
    lost_ = false;
}

void CPlaybackPin::FlushTo(std::uint64_t position)
{
    if (!ThreadExists()) {
        SeekTo(position);
        return;
    }
    DeliverBeginFlush();
    // The worker leaves its delivery loop: a delivery refused by the flush ends
    // it, else it sees the request between two samples or in its pacing waits.
    SendCommand(filterbase::CMD_STOP);
    SeekTo(position);
    DeliverEndFlush();
    DeliverNewSegment(0, kEndlessSegment, 1.0);
    SendCommand(filterbase::CMD_PAUSE);
}

void CPlaybackPin::WaitUnlessAsked(std::int64_t ms)
{
    const std::int64_t until = NowMs() + ms;
    for (std::int64_t left = ms; left > 0; left = until - NowMs()) {
        if (CheckRequest(nullptr)) return;
        Sleep(static_cast<DWORD>(std::min(left, kWaitStepMs)));
    }
}

HRESULT CPlaybackPin::FillBuffer(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const std::size_t room = std::min<std::size_t>(static_cast<std::size_t>(sample->GetSize()), kSampleBytes);
    bool seeked = false;
    {
        std::lock_guard lock(seekLock_);
        if (pendingSeek_) {
            feed_.SeekTo(*pendingSeek_);
            pendingSeek_.reset();
            seeked = true;
        }
    }
    if (seeked) pacer_.Reset();
    FeedChunk chunk = feed_.Next(data, room);
    while (chunk.size == 0 && !chunk.ended && !chunk.lost) {
        // The live edge of the buffer: wait for more, a stop or a seek.
        WaitUnlessAsked(kLiveEdgeWaitMs);
        if (CheckRequest(nullptr)) break;
        {
            std::lock_guard lock(seekLock_);
            if (pendingSeek_) break;
        }
        chunk = feed_.Next(data, room);
    }
    if (chunk.ended) {
        ended_ = true;
        return S_FALSE;
    }
    if (chunk.lost) {
        lost_ = true;
        seeked = true;
        pacer_.Reset();
    }
    WaitUnlessAsked(pacer_.WaitBefore(chunk.pcr, NowMs()));
    sample->SetActualDataLength(static_cast<long>(chunk.size));
    sample->SetDiscontinuity(seeked ? TRUE : FALSE);
    sample->SetSyncPoint(FALSE);
    sample->SetTime(nullptr, nullptr);
    {
        std::lock_guard lock(seekLock_);
        if (!pendingSeek_)
            delivered_ = feed_.position();
    }
    return S_OK;
}

CPlaybackSource::CPlaybackSource(PlaybackFeed& feed)
    : CSource(L"Lecture d'enregistrement", nullptr, CLSID_BrisomePlaybackSource), pin_(new CPlaybackPin(this, feed))
{
}

// The pin goes first: it takes itself out of the base part's pin array.
CPlaybackSource::~CPlaybackSource() { delete pin_; }
