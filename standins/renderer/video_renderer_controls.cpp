// The application-facing controls of the video renderer stand-in: rendering mode,
// clipping window, video position, aspect ratio, repaint and the current image.
#include "standins/renderer/video_renderer.h"

#include <cstring>

namespace standin {

namespace {

// The most streams the renderer's mixer takes (MAX_MIXER_STREAMS of the SDK,
// which mingw-w64's headers leave out).
constexpr DWORD kMaxMixerStreams = 16;

Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const Box& b) { return {b.left, b.top, b.right, b.bottom}; }

}  // namespace

// ---- IVMRFilterConfig

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetImageCompositor(IVMRImageCompositor*) { return E_NOTIMPL; }

// The mixer is loaded once, before the input is connected, for 1 to 16 streams;
// only then does the renderer blend a mixer bitmap. This stand-in draws one
// stream whatever the number asked.
HRESULT STDMETHODCALLTYPE CVideoRenderer::SetNumberOfStreams(DWORD streams)
{
    if (streams == 0 || streams > kMaxMixerStreams) return E_INVALIDARG;
    if (input_.IsConnected()) return VFW_E_WRONG_STATE;
    std::lock_guard<std::mutex> lock(mutex_);
    if (mixerStreams_ != 0) return E_FAIL;  // already configured
    mixerStreams_ = streams;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetNumberOfStreams(DWORD* streams)
{
    if (!streams) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *streams = mixerStreams_;
    return mixerStreams_ != 0 ? S_OK : VFW_E_VMR_NOT_IN_MIXER_MODE;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetRenderingPrefs(DWORD prefs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    renderingPrefs_ = prefs;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetRenderingPrefs(DWORD* prefs)
{
    if (!prefs) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *prefs = renderingPrefs_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetRenderingMode(DWORD mode)
{
    // Only the windowless mode is drawn by this stand-in, and, as with the real
    // renderer, the mode is chosen before the input is connected.
    if (mode != VMRMode_Windowless) return E_NOTIMPL;
    if (input_.IsConnected()) return VFW_E_WRONG_STATE;
    std::lock_guard<std::mutex> lock(mutex_);
    mode_ = mode;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetRenderingMode(DWORD* mode)
{
    if (!mode) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *mode = mode_;
    return S_OK;
}

// ---- IVMRWindowlessControl and IVMRAspectRatioControl

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetNativeVideoSize(LONG* width, LONG* height, LONG* arWidth,
                                                             LONG* arHeight)
{
    if (!width && !height && !arWidth && !arHeight) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    LONG w = formatWidth_, h = std::abs(formatHeight_);
    if (frame_) {
        w = frame_->width;
        h = frame_->height;
    }
    if (w <= 0 || h <= 0) return VFW_E_NOT_CONNECTED;
    // Square pixels: the frames carry no aspect of their own.
    if (width) *width = w;
    if (height) *height = h;
    if (arWidth) *arWidth = w;
    if (arHeight) *arHeight = h;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetMinIdealVideoSize(LONG* width, LONG* height)
{
    return GetNativeVideoSize(width, height, nullptr, nullptr);
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetMaxIdealVideoSize(LONG* width, LONG* height)
{
    return GetNativeVideoSize(width, height, nullptr, nullptr);
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetVideoPosition(const LPRECT source, const LPRECT destination)
{
    if (!source && !destination) return E_POINTER;
    if (source && (source->right < source->left || source->bottom < source->top)) return E_INVALIDARG;
    if (destination && (destination->right < destination->left || destination->bottom < destination->top))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    if (source) source_ = ToBox(*source);
    if (destination) destination_ = ToBox(*destination);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetVideoPosition(LPRECT source, LPRECT destination)
{
    if (!source && !destination) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    if (source) {
        const int w = frame_ ? frame_->width : formatWidth_;
        const int h = frame_ ? frame_->height : std::abs(formatHeight_);
        *source = ToRect(ClipSource(source_, w, h));
    }
    if (destination) *destination = ToRect(destination_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetAspectRatioMode(DWORD* mode)
{
    if (!mode) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *mode = aspectMode_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetAspectRatioMode(DWORD mode)
{
    if (mode != VMR_ARMODE_NONE && mode != VMR_ARMODE_LETTER_BOX) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    aspectMode_ = mode;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetVideoClippingWindow(HWND window)
{
    if (!IsWindow(window)) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::RepaintVideo(HWND window, HDC dc)
{
    if (!dc) return E_POINTER;
    if (!IsWindow(window)) return E_INVALIDARG;
    const DrawState state = Snapshot();
    Draw(dc, state);
    return S_OK;
}

// GDI drawing does not depend on the display mode: nothing to rebuild.
HRESULT STDMETHODCALLTYPE CVideoRenderer::DisplayModeChanged() { return S_OK; }

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetCurrentImage(BYTE** dib)
{
    if (!dib) return E_POINTER;
    *dib = nullptr;
    std::shared_ptr<const RenderedFrame> frame;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frame = frame_;
    }
    if (!frame) return E_FAIL;   // no picture shown yet

    // A packed DIB: the header, then the pixels straight after it (no colour table).
    const std::size_t size = sizeof(BITMAPINFOHEADER) + frame->pixels.size();
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!block) return E_OUTOFMEMORY;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = frame->width;
    header.biHeight = frame->height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(frame->pixels.size());
    std::memcpy(block, &header, sizeof header);
    std::memcpy(block + sizeof header, frame->pixels.data(), frame->pixels.size());
    *dib = block;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetBorderColor(COLORREF color)
{
    std::lock_guard<std::mutex> lock(mutex_);
    border_ = color;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetBorderColor(COLORREF* color)
{
    if (!color) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *color = border_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetColorKey(COLORREF color)
{
    std::lock_guard<std::mutex> lock(mutex_);
    colorKey_ = color;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetColorKey(COLORREF* color)
{
    if (!color) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *color = colorKey_;
    return S_OK;
}

}  // namespace standin
