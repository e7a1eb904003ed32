#include "standins/renderer/video_renderer.h"

#include <uuids.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/com_ptr.h"
#include "graph/filterbase/media_type.h"
#include "standins/decoders/media_types.h"
#include "standins/renderer/renderer_registration.h"
#include "standins/trace.h"

namespace standin {

// ---- input pin

CVideoRendererInputPin::CVideoRendererInputPin(CVideoRenderer* filter, CriticalSection* lock)
    : CBaseInputPin(L"video renderer input", filter, lock, L"VMR Input0"), renderer_(filter)
{
}

HRESULT CVideoRendererInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    int width = 0, height = 0;
    return ReadRgb32Type(*type, width, height) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoRendererInputPin::SetMediaType(const AM_MEDIA_TYPE* type)
{
    HRESULT hr = CBaseInputPin::SetMediaType(type);
    if (FAILED(hr)) return hr;
    int width = 0, height = 0;
    if (ReadRgb32Type(*type, width, height)) renderer_->ConnectionFormat(width, height);
    return S_OK;
}

HRESULT CVideoRendererInputPin::OnEndOfStream() { return renderer_->EndOfStreamReceived(); }

HRESULT CVideoRendererInputPin::OnReceive(IMediaSample* sample) { return renderer_->ShowSample(sample); }

// ---- filter

CVideoRenderer::CVideoRenderer(IUnknown* outer)
    : WithInterfaces(L"video renderer stand-in", outer, &stateLock_, CLSID_VideoMixingRenderer), input_(this, &stateLock_)
{
}

CVideoRenderer::~CVideoRenderer() = default;

HRESULT STDMETHODCALLTYPE CVideoRenderer::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IVMRFilterConfig) return GetInterface(static_cast<IVMRFilterConfig*>(this), out);
    if (iid == IID_IVMRWindowlessControl) return GetInterface(static_cast<IVMRWindowlessControl*>(this), out);
    if (iid == IID_IVMRAspectRatioControl) return GetInterface(static_cast<IVMRAspectRatioControl*>(this), out);
    if (iid == IID_IVMRMixerBitmap) return GetInterface(static_cast<IVMRMixerBitmap*>(this), out);
    if (iid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), out);
    return CBaseFilter::NonDelegatingQueryInterface(iid, out);
}

int CVideoRenderer::GetPinCount() { return 1; }

CBasePin* CVideoRenderer::GetPin(int index) { return index == 0 ? &input_ : nullptr; }

const FilterSetup* CVideoRenderer::GetSetupData() { return &VideoRendererEntry().setup; }

ULONG STDMETHODCALLTYPE CVideoRenderer::GetMiscFlags() { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

std::uint64_t CVideoRenderer::FramesShown()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return framesShown_;
}

void CVideoRenderer::ConnectionFormat(int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex_);
    formatWidth_ = width;
    formatHeight_ = height;
}

HRESULT CVideoRenderer::ShowSample(IMediaSample* sample)
{
    // A sample may carry a new format (the decoder met a new picture size).
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        int width = 0, height = 0;
        const bool usable = ReadRgb32Type(*changed, width, height);
        DeleteMediaType(changed);
        if (!usable) return VFW_E_TYPE_NOT_ACCEPTED;
        ConnectionFormat(width, height);
    }

    int width = 0, height = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        width = formatWidth_;
        height = formatHeight_;
    }
    if (width <= 0 || height == 0) return VFW_E_NOT_CONNECTED;
    const int rows = std::abs(height);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = rowBytes * rows;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    if (sample->GetActualDataLength() < static_cast<long>(bytes)) return S_OK;   // a short frame is skipped

    auto frame = std::make_shared<RenderedFrame>();
    frame->width = width;
    frame->height = rows;
    frame->pixels.resize(bytes);
    if (height > 0) {
        std::memcpy(frame->pixels.data(), data, bytes);
    } else {
        // Top-down input: kept bottom-up like every DIB handed out.
        for (int y = 0; y < rows; ++y)
            std::memcpy(&frame->pixels[(rows - 1 - y) * rowBytes], data + y * rowBytes, rowBytes);
    }

    DrawState state;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frame_ = frame;
        ++framesShown_;
    }
    state = Snapshot();
    if (state.windowless && state.window && IsWindow(state.window)) {
        HDC dc = GetDC(state.window);
        if (dc) {
            Draw(dc, state);
            ReleaseDC(state.window, dc);
            NoteDrawn(state);
        }
    }
    return S_OK;
}

void CVideoRenderer::Redraw()
{
    const DrawState state = Snapshot();
    if (!state.windowless || !state.window || !IsWindow(state.window)) return;
    HDC dc = GetDC(state.window);
    if (!dc) return;
    Draw(dc, state);
    ReleaseDC(state.window, dc);
    NoteDrawn(state);
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetSyncSource(IReferenceClock* clock)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drawClock_ = ComPtr<IReferenceClock>::Share(clock);
    }
    return CBaseFilter::SetSyncSource(clock);
}

void CVideoRenderer::NoteDrawn(const DrawState& state)
{
    if (!state.overlay) return;
    REFERENCE_TIME now = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state.overlaySerial == drawnSerial_) return;
        drawnSerial_ = state.overlaySerial;
        if (!drawClock_ || FAILED(drawClock_->GetTime(&now))) return;
    }
    // "Incrustation dessinee 123456789": the reference time it reached the window.
    char line[64];
    std::snprintf(line, sizeof line, "Incrustation dessinee %lld", static_cast<long long>(now));
    TraceLine(line);
}

void CVideoRenderer::TraceClockTime(const char* what)
{
    REFERENCE_TIME now = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!drawClock_ || FAILED(drawClock_->GetTime(&now))) return;
    }
    char line[64];
    std::snprintf(line, sizeof line, "%s %lld", what, static_cast<long long>(now));
    TraceLine(line);
}

HRESULT CVideoRenderer::EndOfStreamReceived()
{
    // The graph waits for every renderer's completion before it tells the application.
    return NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

CVideoRenderer::DrawState CVideoRenderer::Snapshot()
{
    std::lock_guard<std::mutex> lock(mutex_);
    DrawState s;
    s.window = window_;
    s.windowless = mode_ == VMRMode_Windowless;
    s.source = source_;
    s.destination = destination_;
    s.letterBox = aspectMode_ == VMR_ARMODE_LETTER_BOX;
    s.border = border_;
    s.frame = frame_;
    s.overlay = overlay_;
    s.overlaySerial = overlaySerial_;
    return s;
}

void CVideoRenderer::Draw(HDC dc, const DrawState& state)
{
    if (state.destination.Empty()) return;
    HBRUSH brush = CreateSolidBrush(state.border);
    auto fill = [&](const Box& b) {
        RECT r{b.left, b.top, b.right, b.bottom};
        if (brush) FillRect(dc, &r, brush);
    };
    if (!state.frame) {
        fill(state.destination);
    } else {
        const RenderedFrame& f = *state.frame;
        const Box source = ClipSource(state.source, f.width, f.height);
        const VideoPlacement place =
            PlaceVideo(state.destination, source, f.width, f.height, f.width, f.height, state.letterBox);
        for (const Box& bar : place.bars) fill(bar);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = f.width;
        info.bmiHeader.biHeight = f.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const std::uint8_t* pixels = f.pixels.data();
        std::vector<std::uint8_t> mixed;
        if (state.overlay) {
            mixed = f.pixels;
            BlendOverlay(mixed.data(), f.width, f.height, *state.overlay);
            pixels = mixed.data();
        }
        SetStretchBltMode(dc, COLORONCOLOR);
        // StretchDIBits counts source rows from the bottom of a bottom-up bitmap.
        StretchDIBits(dc, place.picture.left, place.picture.top, place.picture.Width(), place.picture.Height(),
                      source.left, f.height - source.bottom, source.Width(), source.Height(), pixels, &info,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    if (brush) DeleteObject(brush);
}

}  // namespace standin
