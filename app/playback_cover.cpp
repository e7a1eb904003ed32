#include "app/playback_cover.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/shell_state.h"
#include "app/window_class.h"
#include "common/com_ptr.h"
#include "record/bitmap_file.h"

namespace {

constexpr wchar_t kCoverClass[] = L"BrisomePlaybackCover";

// The held frame: a packed bitmap as the renderer gave it, and its picture's
// shape (the renderer's aspect ratio, which may differ from its pixel count).
struct HeldFrame {
    std::vector<std::uint8_t> block;
    std::uint32_t pixelOffset = 0;  // in `block`
    int width = 0;
    int height = 0;
    long aspectWidth = 0;
    long aspectHeight = 0;
};

HWND cover = nullptr;
std::optional<HeldFrame> held;

// How many bytes of the renderer's block may be read (task allocator's word).
std::size_t BlockSize(void* block)
{
    ComPtr<IMalloc> allocator;
    if (FAILED(CoGetMalloc(1, allocator.Put())))
        return 0;
    const SIZE_T size = allocator->GetSize(block);
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

std::optional<HeldFrame> TakeFrame(IVMRWindowlessControl* live)
{
    BYTE* image = nullptr;
    if (!live || FAILED(live->GetCurrentImage(&image)) || !image)
        return std::nullopt;
    std::optional<HeldFrame> frame;
    const std::size_t size = BlockSize(image);
    if (const auto layout = LayOutBitmapFile(image, size); layout && layout->width > 0 && layout->height != 0) {
        frame.emplace();
        frame->block.assign(image, image + layout->blockSize);
        frame->pixelOffset = layout->pixelOffset - static_cast<std::uint32_t>(kBitmapFileHeaderSize);
        frame->width = layout->width;
        frame->height = layout->height;
        LONG w = 0, h = 0, aw = 0, ah = 0;
        const bool shaped = SUCCEEDED(live->GetNativeVideoSize(&w, &h, &aw, &ah)) && aw > 0 && ah > 0;
        frame->aspectWidth = shaped ? aw : layout->width;
        frame->aspectHeight = shaped ? ah : std::abs(layout->height);
    }
    CoTaskMemFree(image);
    return frame;
}

// The largest box of the frame's shape centred in `area`, as a letter-boxing
// renderer places it.
RECT PictureBox(const RECT& area, long aspectWidth, long aspectHeight)
{
    const long width = area.right - area.left;
    const long height = area.bottom - area.top;
    long w = width;
    long h = aspectWidth > 0 ? static_cast<long>(static_cast<long long>(width) * aspectHeight / aspectWidth) : height;
    if (h > height) {
        h = height;
        w = aspectHeight > 0 ? static_cast<long>(static_cast<long long>(height) * aspectWidth / aspectHeight) : width;
    }
    const long left = area.left + (width - w) / 2;
    const long top = area.top + (height - h) / 2;
    return RECT{left, top, left + w, top + h};
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT area{};
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (held) {
        const RECT box = PictureBox(area, held->aspectWidth, held->aspectHeight);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(held->block.data());
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, 0, 0, held->width,
                      std::abs(held->height), held->block.data() + held->pixelOffset, info, DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void ShowPlaybackCover(HWND owner, IVMRWindowlessControl* live)
{
    held = TakeFrame(live);
    if (!cover) {
        if (!RegisterWindowClassOnce(kCoverClass, CoverProc))
            return;
        // Last of the children and clipped by them: the bars stay drawn over it.
        cover = CreateWindowExW(0, kCoverClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner, nullptr,
                                instanceHandle, nullptr);
        if (!cover)
            return;
    }
    // The client area until the caller lays the picture out (PlaceVideo).
    RECT area{};
    GetClientRect(owner, &area);
    SetWindowPos(cover, HWND_BOTTOM, 0, 0, area.right, area.bottom, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(cover, nullptr, FALSE);
    // At once: the live renderer may present a queued frame any moment now.
    UpdateWindow(cover);
}

void HidePlaybackCover()
{
    held.reset();
    if (cover)
        ShowWindow(cover, SW_HIDE);
}

CoverStill PlaybackCoverStill()
{
    if (!held)
        return {};
    return {held->block.data(), held->block.size()};
}

bool PlaybackCoverShown()
{
    return cover && IsWindowVisible(cover);
}

void LayoutPlaybackCover(const RECT& video)
{
    if (!cover)
        return;
    SetWindowPos(cover, HWND_BOTTOM, video.left, video.top, video.right - video.left, video.bottom - video.top,
                 SWP_NOACTIVATE);
    InvalidateRect(cover, nullptr, FALSE);
    UpdateWindow(cover);
}
