// The mixer bitmap of the video renderer stand-in (IVMRMixerBitmap), with the
// parameter checks of the platform's renderer: a bitmap comes from a GDI device
// context, its source rectangle must lie inside the bitmap selected there, the
// alpha is between 0 and 1, and a DirectDraw surface is not accepted. Without
// its mixer (IVMRFilterConfig::SetNumberOfStreams) the renderer has nothing to
// blend with, and refuses every call.
#include "standins/renderer/video_renderer.h"

#include <cstring>

namespace standin {

namespace {

constexpr DWORD kKnownFlags =
    VMRBITMAP_DISABLE | VMRBITMAP_HDC | VMRBITMAP_ENTIREDDS | VMRBITMAP_SRCCOLORKEY | VMRBITMAP_SRCRECT;

std::uint32_t RgbFromColorref(COLORREF c)
{
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

bool ValidBlend(const VMRALPHABITMAP& b)
{
    if (!(b.fAlpha >= 0.0f && b.fAlpha <= 1.0f)) return false;  // NaN too
    return b.rDest.right > b.rDest.left && b.rDest.bottom > b.rDest.top;
}

// A copy of `source` in the bitmap selected into `dc`, or E_INVALIDARG / E_FAIL.
HRESULT CopyFromDc(HDC dc, const RECT& source, AlphaOverlay& out)
{
    HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP bitmap{};
    if (!selected || GetObjectW(selected, sizeof bitmap, &bitmap) != sizeof bitmap) return E_INVALIDARG;
    if (source.left < 0 || source.top < 0 || source.right > bitmap.bmWidth || source.bottom > bitmap.bmHeight ||
        source.right <= source.left || source.bottom <= source.top)
        return E_INVALIDARG;
    const int w = source.right - source.left, h = source.bottom - source.top;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy || !bits) {
        if (copy) DeleteObject(copy);
        return E_OUTOFMEMORY;
    }
    HDC memory = CreateCompatibleDC(dc);
    HRESULT hr = E_OUTOFMEMORY;
    if (memory) {
        HGDIOBJ old = SelectObject(memory, copy);
        if (BitBlt(memory, 0, 0, w, h, dc, source.left, source.top, SRCCOPY)) {
            GdiFlush();
            out.width = w;
            out.height = h;
            out.pixels.resize(static_cast<std::size_t>(w) * h);
            std::memcpy(out.pixels.data(), bits, out.pixels.size() * 4);
            for (std::uint32_t& p : out.pixels) p &= 0x00FFFFFF;
            hr = S_OK;
        } else {
            hr = E_FAIL;
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    DeleteObject(copy);
    return hr;
}

void ApplyBlend(const VMRALPHABITMAP& b, AlphaOverlay& o)
{
    o.left = b.rDest.left;
    o.top = b.rDest.top;
    o.right = b.rDest.right;
    o.bottom = b.rDest.bottom;
    o.alpha = b.fAlpha;
    o.keyed = (b.dwFlags & VMRBITMAP_SRCCOLORKEY) != 0;
    o.key = RgbFromColorref(b.clrSrcKey);
}

}  // namespace

bool CVideoRenderer::MixerLoaded()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return mixerStreams_ != 0;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::SetAlphaBitmap(const VMRALPHABITMAP* bitmap)
{
    if (!bitmap) return E_POINTER;
    if (!MixerLoaded()) return VFW_E_VMR_NOT_IN_MIXER_MODE;
    const VMRALPHABITMAP& b = *bitmap;
    if (b.dwFlags & ~kKnownFlags) return E_INVALIDARG;
    if (b.dwFlags & VMRBITMAP_DISABLE) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            overlay_.reset();
            overlayParameters_ = VMRALPHABITMAP{};
            overlayParameters_.dwFlags = VMRBITMAP_DISABLE;
        }
        Redraw();
        return S_OK;
    }
    const bool fromDc = (b.dwFlags & VMRBITMAP_HDC) != 0;
    // A device context and a whole surface exclude each other; one of the two is needed.
    if (fromDc && (b.dwFlags & VMRBITMAP_ENTIREDDS)) return E_INVALIDARG;
    if (fromDc ? b.hdc == nullptr : b.pDDS == nullptr) return E_INVALIDARG;
    if (fromDc && b.pDDS) return E_INVALIDARG;
    if (!ValidBlend(b)) return E_INVALIDARG;
    if (!fromDc) return E_NOTIMPL;  // no DirectDraw here

    // "Incrustation recue 123456789": when the application handed the bitmap
    // over, to tell its own delay from the drawing's.
    TraceClockTime("Incrustation recue");
    auto overlay = std::make_shared<AlphaOverlay>();
    HRESULT hr = CopyFromDc(b.hdc, b.rSrc, *overlay);
    if (FAILED(hr)) return hr;
    ApplyBlend(b, *overlay);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        overlay_ = std::move(overlay);
        ++overlaySerial_;
        overlayParameters_ = b;
        overlayParameters_.hdc = nullptr;  // the bitmap was copied; the DC is the caller's
    }
    Redraw();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::UpdateAlphaBitmapParameters(PVMRALPHABITMAP bitmap)
{
    if (!bitmap) return E_POINTER;
    if (!MixerLoaded()) return VFW_E_VMR_NOT_IN_MIXER_MODE;
    const VMRALPHABITMAP& b = *bitmap;
    if (b.dwFlags & ~kKnownFlags) return E_INVALIDARG;
    if (b.dwFlags & VMRBITMAP_DISABLE) return SetAlphaBitmap(bitmap);
    if (!ValidBlend(b)) return E_INVALIDARG;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!overlay_) return E_INVALIDARG;  // no bitmap to move
        auto moved = std::make_shared<AlphaOverlay>(*overlay_);
        ApplyBlend(b, *moved);
        overlay_ = std::move(moved);
        overlayParameters_.rDest = b.rDest;
        overlayParameters_.fAlpha = b.fAlpha;
        overlayParameters_.clrSrcKey = b.clrSrcKey;
        overlayParameters_.dwFlags =
            (overlayParameters_.dwFlags & ~VMRBITMAP_SRCCOLORKEY) | (b.dwFlags & VMRBITMAP_SRCCOLORKEY);
    }
    Redraw();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoRenderer::GetAlphaBitmapParameters(PVMRALPHABITMAP bitmap)
{
    if (!bitmap) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    if (mixerStreams_ == 0) return VFW_E_VMR_NOT_IN_MIXER_MODE;
    *bitmap = overlayParameters_;
    return S_OK;
}

}  // namespace standin
