#include "graph/subtitle_renderer.h"

#include <mmsystem.h>
#include <uuids.h>

#include <chrono>

namespace {

// {6B1E6A52-3C0F-4D8E-9A77-2F1D5C0B8E41}
const CLSID kSubtitleRendererClass = {0x6b1e6a52, 0x3c0f, 0x4d8e, {0x9a, 0x77, 0x2f, 0x1d, 0x5c, 0x0b, 0x8e, 0x41}};

std::int64_t SteadyNow()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

}  // namespace

CSubtitleInputPin::CSubtitleInputPin(CSubtitleRenderer* filter, CriticalSection* lock)
    : CBaseInputPin(L"subtitle renderer input", filter, lock, L"Sous-titres"), renderer_(filter)
{
}

HRESULT CSubtitleInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    return type->majortype == MEDIATYPE_MPEG2_PES ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSubtitleInputPin::OnReceive(IMediaSample* sample)
{
    BYTE* data = nullptr;
    const long size = sample->GetActualDataLength();
    if (FAILED(sample->GetPointer(&data)) || !data || size <= 0) return S_OK;
    std::optional<std::int64_t> time;
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timed = sample->GetTime(&start, &stop);
    if (timed == S_OK || timed == VFW_S_NO_STOP_TIME) time = start;
    renderer_->Presenter().Feed(data, static_cast<std::size_t>(size), sample->IsSyncPoint() == S_OK,
                                sample->IsDiscontinuity() == S_OK, time);
    return S_OK;
}

HRESULT CSubtitleInputPin::OnBeginFlush()
{
    renderer_->Presenter().Clear();
    return S_OK;
}

CSubtitleRenderer::CSubtitleRenderer(SubtitlePresenter::Show show, SubtitlePresenter::Paint paint)
    : CBaseFilter(L"subtitle renderer", nullptr, &stateLock_, kSubtitleRendererClass),
      input_(this, &stateLock_),
      steadyStart_(SteadyNow()),
      presenter_(std::make_unique<SubtitlePresenter>([this] { return Now(); }, std::move(show), std::move(paint)))
{
}

// The presenter's thread ends before the clock it reads is released.
CSubtitleRenderer::~CSubtitleRenderer()
{
    presenter_.reset();
    FineTimer(false);
}

void CSubtitleRenderer::FineTimer(bool on)
{
    std::lock_guard<std::mutex> lock(clockMutex_);
    if (on && !fineTimer_)
        fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    else if (!on && fineTimer_) {
        timeEndPeriod(1);
        fineTimer_ = false;
    }
}

int CSubtitleRenderer::GetPinCount() { return 1; }

CBasePin* CSubtitleRenderer::GetPin(int index) { return index == 0 ? &input_ : nullptr; }

HRESULT STDMETHODCALLTYPE CSubtitleRenderer::Stop()
{
    HRESULT hr = CBaseFilter::Stop();
    presenter_->Clear();
    FineTimer(false);
    return hr;
}

HRESULT STDMETHODCALLTYPE CSubtitleRenderer::Run(REFERENCE_TIME start)
{
    {
        std::lock_guard<std::mutex> lock(clockMutex_);
        start_ = start;
        steadyStart_ = SteadyNow();
    }
    FineTimer(true);
    return CBaseFilter::Run(start);
}

HRESULT STDMETHODCALLTYPE CSubtitleRenderer::SetSyncSource(IReferenceClock* clock)
{
    {
        std::lock_guard<std::mutex> lock(clockMutex_);
        clock_ = ComPtr<IReferenceClock>::Share(clock);
    }
    return CBaseFilter::SetSyncSource(clock);
}

std::int64_t CSubtitleRenderer::Now()
{
    std::lock_guard<std::mutex> lock(clockMutex_);
    REFERENCE_TIME time = 0;
    if (clock_ && SUCCEEDED(clock_->GetTime(&time))) return time - start_;
    return SteadyNow() - steadyStart_;
}
