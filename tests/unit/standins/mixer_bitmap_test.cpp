// The renderer stand-in's mixer bitmap: the parameters it refuses, as the
// platform's renderer does, and how the bitmap is blended into the picture.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "standins/renderer/alpha_overlay.h"
#include "standins/renderer/video_renderer.h"

namespace {

// A 64x32 bitmap selected into a memory DC.
struct BitmapDc {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 32, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ~BitmapDc()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

TEST(MixerBitmap, ParametersAreCheckedAsDocumented)
{
    ComPtr<IBaseFilter> filter = ComPtr<IBaseFilter>::Share(new standin::CVideoRenderer(nullptr));
    ComPtr<IVMRMixerBitmap> mixer;
    ASSERT_TRUE(SUCCEEDED(filter.As(IID_IVMRMixerBitmap, mixer)));
    BitmapDc source;

    // Nothing is blended before the mixer is loaded, and it is loaded once.
    ComPtr<IVMRFilterConfig> config;
    ASSERT_TRUE(SUCCEEDED(filter.As(IID_IVMRFilterConfig, config)));
    VMRALPHABITMAP disable{};
    disable.dwFlags = VMRBITMAP_DISABLE;
    EXPECT_EQ(mixer->SetAlphaBitmap(&disable), VFW_E_VMR_NOT_IN_MIXER_MODE);
    EXPECT_EQ(config->SetNumberOfStreams(17), E_INVALIDARG);
    ASSERT_EQ(config->SetNumberOfStreams(1), S_OK);
    EXPECT_EQ(config->SetNumberOfStreams(1), E_FAIL);

    auto valid = [&] {
        VMRALPHABITMAP b{};
        b.dwFlags = VMRBITMAP_HDC | VMRBITMAP_SRCCOLORKEY;
        b.hdc = source.dc;
        b.rSrc = {0, 0, 64, 32};
        b.rDest = {0.1f, 0.8f, 0.9f, 0.9f};
        b.fAlpha = 1.0f;
        return b;
    };
    struct Case {
        const char* what;
        void (*change)(VMRALPHABITMAP&);
        HRESULT expected;
    } cases[] = {
        {"valid", [](VMRALPHABITMAP&) {}, S_OK},
        {"null DC", [](VMRALPHABITMAP& b) { b.hdc = nullptr; }, E_INVALIDARG},
        {"neither DC nor surface", [](VMRALPHABITMAP& b) { b.dwFlags = 0; }, E_INVALIDARG},
        {"DC with whole surface", [](VMRALPHABITMAP& b) { b.dwFlags |= VMRBITMAP_ENTIREDDS; }, E_INVALIDARG},
        {"unknown flag", [](VMRALPHABITMAP& b) { b.dwFlags |= 0x100; }, E_INVALIDARG},
        {"source past the bitmap", [](VMRALPHABITMAP& b) { b.rSrc.right = 65; }, E_INVALIDARG},
        {"empty source", [](VMRALPHABITMAP& b) { b.rSrc.bottom = 0; }, E_INVALIDARG},
        {"inverted destination", [](VMRALPHABITMAP& b) { b.rDest.left = 0.95f; }, E_INVALIDARG},
        {"alpha above 1", [](VMRALPHABITMAP& b) { b.fAlpha = 1.5f; }, E_INVALIDARG},
        {"alpha below 0", [](VMRALPHABITMAP& b) { b.fAlpha = -0.1f; }, E_INVALIDARG},
        {"disable needs nothing else", [](VMRALPHABITMAP& b) { b = VMRALPHABITMAP{}; b.dwFlags = VMRBITMAP_DISABLE; },
         S_OK},
    };
    for (const Case& c : cases) {
        VMRALPHABITMAP b = valid();
        c.change(b);
        EXPECT_EQ(mixer->SetAlphaBitmap(&b), c.expected) << c.what;
    }
    EXPECT_EQ(mixer->SetAlphaBitmap(nullptr), E_POINTER);

    // The parameters read back; the DC was the caller's and is not kept.
    VMRALPHABITMAP b = valid();
    ASSERT_EQ(mixer->SetAlphaBitmap(&b), S_OK);
    VMRALPHABITMAP read{};
    ASSERT_EQ(mixer->GetAlphaBitmapParameters(&read), S_OK);
    EXPECT_EQ(read.hdc, nullptr);
    EXPECT_FLOAT_EQ(read.rDest.top, 0.8f);
    b.rDest.top = 0.5f;
    EXPECT_EQ(mixer->UpdateAlphaBitmapParameters(&b), S_OK);
    ASSERT_EQ(mixer->GetAlphaBitmapParameters(&read), S_OK);
    EXPECT_FLOAT_EQ(read.rDest.top, 0.5f);
}

TEST(MixerBitmap, BlendsScaledWithThePictureLeavingTheKeyAndMixingByAlpha)
{
    // A 4x2 picture, bottom-up, grey; a 2x1 overlay (red, key) over its right half's top row.
    std::vector<std::uint8_t> picture(4 * 2 * 4, 0x40);
    standin::AlphaOverlay overlay;
    overlay.width = 2;
    overlay.height = 1;
    overlay.pixels = {0x00FF0000, 0x00FF00FE};
    overlay.left = 0.5f;
    overlay.right = 1.0f;
    overlay.top = 0.0f;
    overlay.bottom = 0.5f;
    overlay.keyed = true;
    overlay.key = 0x00FF00FE;
    standin::BlendOverlay(picture.data(), 4, 2, overlay);
    auto at = [&](int x, int y) {  // 0x00RRGGBB, y from the top
        std::uint32_t p;
        std::memcpy(&p, &picture[((1 - y) * 4 + x) * 4], 4);
        return p & 0x00FFFFFF;
    };
    EXPECT_EQ(at(2, 0), 0x00FF0000u);
    EXPECT_EQ(at(3, 0), 0x00404040u) << "the key shows the video";
    EXPECT_EQ(at(1, 0), 0x00404040u);
    EXPECT_EQ(at(2, 1), 0x00404040u) << "nothing below the destination";

    overlay.keyed = false;
    overlay.alpha = 0.5f;
    overlay.top = -1.0f;  // clipped to the picture
    standin::BlendOverlay(picture.data(), 4, 2, overlay);
    EXPECT_EQ((at(3, 0) >> 16) & 0xFF, (0x40u + 0xFFu) / 2);
}

}  // namespace
