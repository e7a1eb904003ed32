#include "graph/subtitle_mixer.h"

#include <cstring>

namespace {

COLORREF TeletextRgb(TeletextColour colour)
{
    static const COLORREF kColours[] = {RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
                                        RGB(0, 0, 255),   RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
    return kColours[static_cast<unsigned>(colour) & 7];
}

COLORREF KeyColorref() { return RGB((kSubtitleKey >> 16) & 0xFF, (kSubtitleKey >> 8) & 0xFF, kSubtitleKey & 0xFF); }

// A top-down 32-bit DIB section selected into a memory DC of its own.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~DibCanvas()
    {
        if (dc_ && old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Ok() const { return dc_ && bitmap_ && bits_ && old_; }
    HDC Dc() const { return dc_; }
    std::uint32_t* Pixels() const { return static_cast<std::uint32_t*>(bits_); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

SubtitlePicture DrawTeletext(const TeletextSubtitle& page, unsigned width, unsigned height)
{
    SubtitlePicture picture;
    picture.pts = page.pts;
    picture.width = width;
    picture.height = height;
    if (page.rows.empty() || width == 0 || height == 0) return picture;
    DibCanvas canvas(static_cast<int>(width), static_cast<int>(height));
    if (!canvas.Ok()) return picture;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::fill(canvas.Pixels(), canvas.Pixels() + count, kSubtitleKey);

    // Teletext's grid: 40 columns, 25 rows over the display.
    const int cell = static_cast<int>(width) / 40;
    const int rowHeight = static_cast<int>(height) / 25;
    for (const TeletextRow& row : page.rows) {
        if (row.row < 1 || row.row > 24) continue;
        const int lineHeight = row.doubleHeight ? rowHeight * 2 : rowHeight;
        HFONT font = CreateFontW(-(lineHeight - 2), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, L"Arial");
        HGDIOBJ oldFont = font ? SelectObject(canvas.Dc(), font) : nullptr;
        const int top = static_cast<int>(row.row) * rowHeight;
        for (const TeletextSpan& span : row.spans) {
            if (span.text.empty()) continue;
            const auto* text = reinterpret_cast<const wchar_t*>(span.text.data());
            const int length = static_cast<int>(span.text.size());
            SIZE extent{};
            GetTextExtentPoint32W(canvas.Dc(), text, length, &extent);
            const int left = static_cast<int>(span.column) * cell;
            RECT box{left, top, std::min<int>(left + extent.cx + cell, static_cast<int>(width)),
                     std::min<int>(top + lineHeight, static_cast<int>(height))};
            SetTextColor(canvas.Dc(), TeletextRgb(span.foreground));
            SetBkColor(canvas.Dc(), TeletextRgb(span.background));
            ExtTextOutW(canvas.Dc(), left + cell / 2, top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, text,
                        static_cast<UINT>(length), nullptr);
        }
        if (oldFont) SelectObject(canvas.Dc(), oldFont);
        if (font) DeleteObject(font);
    }
    GdiFlush();
    picture.pixels.resize(count);
    const std::uint32_t* from = canvas.Pixels();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t rgb = from[i] & 0x00FFFFFF;
        picture.pixels[i] = rgb == kSubtitleKey ? 0 : (0xFF000000u | rgb);
        if (rgb != kSubtitleKey) picture.empty = false;
    }
    return picture;
}

bool SubtitleMixer::Show(const SubtitleShow& show)
{
    if (!mixer_) return false;
    // Made ready when it was decoded, as a rule; made now otherwise.
    SubtitleOverlay made;
    const SubtitleOverlay* overlay = show.overlay.get();
    if (!overlay) {
        if (show.picture)
            made = MakeOverlay(*show.picture);
        else if (show.text)
            made = MakeOverlay(DrawTeletext(*show.text));
        overlay = &made;
    }
    if (overlay->width == 0) {
        Disable();
        return true;
    }
    return Hand(*overlay);
}

bool SubtitleMixer::Hand(const SubtitleOverlay& overlay)
{
    DibCanvas canvas(static_cast<int>(overlay.width), static_cast<int>(overlay.height));
    if (!canvas.Ok()) return false;
    std::memcpy(canvas.Pixels(), overlay.pixels.data(), overlay.pixels.size() * 4);
    GdiFlush();
    VMRALPHABITMAP bitmap{};
    bitmap.dwFlags = VMRBITMAP_HDC | VMRBITMAP_SRCCOLORKEY;
    bitmap.hdc = canvas.Dc();
    bitmap.rSrc = RECT{0, 0, static_cast<LONG>(overlay.width), static_cast<LONG>(overlay.height)};
    bitmap.rDest = NORMALIZEDRECT{overlay.left, overlay.top, overlay.right, overlay.bottom};
    bitmap.fAlpha = 1.0f;
    bitmap.clrSrcKey = KeyColorref();
    // The mixer copies the bitmap: the canvas may go once this returns.
    return SUCCEEDED(mixer_->SetAlphaBitmap(&bitmap));
}

void SubtitleMixer::Disable()
{
    VMRALPHABITMAP bitmap{};
    bitmap.dwFlags = VMRBITMAP_DISABLE;
    mixer_->SetAlphaBitmap(&bitmap);
}
