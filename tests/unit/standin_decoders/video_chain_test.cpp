// The video stand-ins in Wine's real filter graph, created directly (no registration):
// a source of MPEG-2 elementary data, the decoder and the windowless renderer drawing
// into a real window.
#include <dshow.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "standins/decoders/decoder_registration.h"
#include "standins/decoders/test_picture.h"
#include "standins/renderer/renderer_registration.h"
#include "test_source.h"

using namespace testing_filters;

#define EXPECT_FAILED(expr) EXPECT_TRUE(FAILED(expr))

namespace {

constexpr int kPid = 120;

std::vector<Payload> VideoStream(int width, int height, int pid, int pictures)
{
    std::vector<Payload> out;
    for (int i = 0; i < pictures; ++i) {
        Payload p;
        if (i % 5 == 0) {
            // A sequence header and the service marker before every group of pictures.
            for (const Bytes& part : {SequenceHeader(width, height), ServiceMarker(pid)})
                p.bytes.insert(p.bytes.end(), part.begin(), part.end());
        }
        const Bytes pic = Picture(i);
        p.bytes.insert(p.bytes.end(), pic.begin(), pic.end());
        p.start = i * 400000LL;
        out.push_back(std::move(p));
    }
    // The last picture needs the next start code to be complete in a real stream;
    // a decoder stand-in draws it at its start code already.
    return out;
}

// The test picture as the renderer hands it out: a bottom-up 32-bit DIB.
std::vector<std::uint8_t> ExpectedPixels(int width, int height, int pid, std::uint32_t frame)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    standin::PictureView v{pixels.data() + static_cast<std::ptrdiff_t>(width) * 4 * (height - 1), -width * 4, width,
                           height};
    standin::DrawTestPicture(v, pid, frame);
    return pixels;
}

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class VideoChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StandinVideoTest";
        RegisterClassW(&wc);
        window_ = CreateWindowW(L"StandinVideoTest", L"video", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(window_);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph2,
                                                  graph_.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(standin::CreateMpeg2VideoDecoder(nullptr, IID_IBaseFilter, decoder_.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(standin::CreateVideoRenderer(nullptr, IID_IBaseFilter, renderer_.PutVoid()));
    }

    void TearDown() override
    {
        if (graph_) {
            ComPtr<IMediaControl> control;
            if (SUCCEEDED(graph_.As(IID_IMediaControl, control))) control->Stop();
        }
        source_.Reset();
        decoder_.Reset();
        renderer_.Reset();
        graph_.Reset();
        if (window_) DestroyWindow(window_);
        CoUninitialize();
    }

    // The renderer set up as the program does, before anything is connected.
    void ConfigureRenderer(RECT destination)
    {
        ComPtr<IVMRFilterConfig> config;
        ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IVMRFilterConfig, config));
        ASSERT_HRESULT_SUCCEEDED(config->SetRenderingMode(VMRMode_Windowless));
        ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IVMRWindowlessControl, windowless_));
        ASSERT_HRESULT_SUCCEEDED(windowless_->SetVideoClippingWindow(window_));
        ComPtr<IVMRAspectRatioControl> arc;
        ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IVMRAspectRatioControl, arc));
        ASSERT_HRESULT_SUCCEEDED(arc->SetAspectRatioMode(VMR_ARMODE_LETTER_BOX));
        ASSERT_HRESULT_SUCCEEDED(windowless_->SetVideoPosition(nullptr, &destination));
    }

    void AddAll(std::vector<Payload> payloads)
    {
        MediaType type;
        DemuxVideoType(type);
        auto* source = new CTestSource(type.Get(), std::move(payloads));
        source_ = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(source));
        sourcePin_ = source->OutputPin();
        ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(renderer_.Get(), L"Mon VMR"));
        ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(source_.Get(), L"Source"));
        ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(decoder_.Get(), L"Codec vidéo"));
    }

    static IPin* PinOf(IBaseFilter* filter, PIN_DIRECTION direction)
    {
        ComPtr<IEnumPins> pins;
        filter->EnumPins(pins.Put());
        IPin* pin = nullptr;
        while (pins->Next(1, &pin, nullptr) == S_OK) {
            PIN_DIRECTION d;
            pin->QueryDirection(&d);
            pin->Release();   // borrowed: the filter keeps its pins
            if (d == direction) return pin;
        }
        return nullptr;
    }

    void ConnectByHand()
    {
        ASSERT_HRESULT_SUCCEEDED(graph_->ConnectDirect(sourcePin_, PinOf(decoder_.Get(), PINDIR_INPUT), nullptr));
        ASSERT_HRESULT_SUCCEEDED(graph_->ConnectDirect(PinOf(decoder_.Get(), PINDIR_OUTPUT),
                                                       PinOf(renderer_.Get(), PINDIR_INPUT), nullptr));
    }

    void RunToCompletion()
    {
        ComPtr<IMediaControl> control;
        ASSERT_HRESULT_SUCCEEDED(graph_.As(IID_IMediaControl, control));
        ASSERT_HRESULT_SUCCEEDED(control->Run());
        ComPtr<IMediaEvent> events;
        ASSERT_HRESULT_SUCCEEDED(graph_.As(IID_IMediaEvent, events));
        long code = 0;
        ASSERT_EQ(S_OK, events->WaitForCompletion(10000, &code));
        EXPECT_EQ(EC_COMPLETE, code);
    }

    // The current image, checked as a packed DIB and returned as its pixels.
    std::vector<std::uint8_t> CurrentImage(int& width, int& height)
    {
        BYTE* dib = nullptr;
        EXPECT_HRESULT_SUCCEEDED(windowless_->GetCurrentImage(&dib));
        if (!dib) return {};
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib, sizeof h);
        EXPECT_EQ(40u, h.biSize);
        EXPECT_EQ(32, h.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), h.biCompression);
        width = h.biWidth;
        height = h.biHeight;
        EXPECT_EQ(static_cast<DWORD>(width) * height * 4, h.biSizeImage);
        std::vector<std::uint8_t> pixels(dib + h.biSize, dib + h.biSize + h.biSizeImage);
        CoTaskMemFree(dib);
        return pixels;
    }

    HWND window_ = nullptr;
    ComPtr<IFilterGraph2> graph_;
    ComPtr<IBaseFilter> source_, decoder_, renderer_;
    IPin* sourcePin_ = nullptr;
    ComPtr<IVMRWindowlessControl> windowless_;
};

}  // namespace

TEST_F(VideoChain, FramesReachTheWindowAndTheCurrentImageIsTheTestPicture)
{
    ConfigureRenderer({0, 0, 640, 480});
    BYTE* none = nullptr;
    EXPECT_FAILED(windowless_->GetCurrentImage(&none));   // nothing shown yet
    EXPECT_EQ(nullptr, none);

    AddAll(VideoStream(720, 576, kPid, 12));
    ConnectByHand();
    RunToCompletion();

    int width = 0, height = 0;
    const auto pixels = CurrentImage(width, height);
    EXPECT_EQ(720, width);
    EXPECT_EQ(576, height);
    EXPECT_TRUE(pixels == ExpectedPixels(720, 576, kPid, 12)) << "the last frame is picture 12 of PID 120";
    EXPECT_FALSE(pixels == ExpectedPixels(720, 576, kPid, 11));

    LONG w = 0, h = 0, arw = 0, arh = 0;
    ASSERT_HRESULT_SUCCEEDED(windowless_->GetNativeVideoSize(&w, &h, &arw, &arh));
    EXPECT_EQ(720, w);
    EXPECT_EQ(576, h);

    // Drawn letter-boxed into the window: a 720 x 576 picture in 640 x 480 leaves bars
    // left and right (600 px wide picture) in the border colour, black.
    HDC dc = GetDC(window_);
    const COLORREF bar = GetPixel(dc, 5, 240);
    const COLORREF inside = GetPixel(dc, 30, 5);
    ReleaseDC(window_, dc);
    const std::uint32_t background = standin::TestPictureBackground(kPid);
    EXPECT_EQ(RGB(0, 0, 0), bar);
    EXPECT_EQ(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF), inside);

    // A repaint with the application's device context draws the same picture again.
    HDC paint = GetDC(window_);
    RECT all{0, 0, 640, 480};
    FillRect(paint, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_HRESULT_SUCCEEDED(windowless_->RepaintVideo(window_, paint));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(paint, 5, 240));
    EXPECT_EQ(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF), GetPixel(paint, 30, 5));
    ReleaseDC(window_, paint);
    EXPECT_HRESULT_SUCCEEDED(windowless_->DisplayModeChanged());
}

TEST_F(VideoChain, SequenceHeaderSizeWinsOverTheConnectionFormat)
{
    ConfigureRenderer({0, 0, 640, 480});
    AddAll(VideoStream(352, 288, 4097, 7));   // the demultiplexer's type still says 720 x 576
    ConnectByHand();
    RunToCompletion();

    int width = 0, height = 0;
    const auto pixels = CurrentImage(width, height);
    EXPECT_EQ(352, width);
    EXPECT_EQ(288, height);
    EXPECT_TRUE(pixels == ExpectedPixels(352, 288, 4097, 7));
    LONG w = 0, h = 0;
    ASSERT_HRESULT_SUCCEEDED(windowless_->GetNativeVideoSize(&w, &h, nullptr, nullptr));
    EXPECT_EQ(352, w);
    EXPECT_EQ(288, h);
}

TEST_F(VideoChain, RenderToExistingRenderersFindsDecoderThenRenderer)
{
    ConfigureRenderer({0, 0, 640, 480});
    AddAll(VideoStream(720, 576, 300, 3));
    // The renderer is tried first and must refuse the compressed stream; the decoder
    // already in the graph then takes it and renders into the renderer.
    ASSERT_HRESULT_SUCCEEDED(graph_->RenderEx(sourcePin_, AM_RENDEREX_RENDERTOEXISTINGRENDERERS, nullptr));
    ComPtr<IPin> decoderUpstream, rendererUpstream;
    ASSERT_HRESULT_SUCCEEDED(PinOf(decoder_.Get(), PINDIR_INPUT)->ConnectedTo(decoderUpstream.Put()));
    EXPECT_EQ(sourcePin_, decoderUpstream.Get());
    ASSERT_HRESULT_SUCCEEDED(PinOf(renderer_.Get(), PINDIR_INPUT)->ConnectedTo(rendererUpstream.Put()));
    EXPECT_EQ(PinOf(decoder_.Get(), PINDIR_OUTPUT), rendererUpstream.Get());
    RunToCompletion();
    int width = 0, height = 0;
    EXPECT_TRUE(CurrentImage(width, height) == ExpectedPixels(720, 576, 300, 3));
}

TEST_F(VideoChain, RendererRefusesCompressedVideoAndLateModeChanges)
{
    ConfigureRenderer({0, 0, 640, 480});
    AddAll(VideoStream(720, 576, 300, 1));
    EXPECT_FAILED(graph_->ConnectDirect(sourcePin_, PinOf(renderer_.Get(), PINDIR_INPUT), nullptr));
    // The decoder's output follows its input: unconnected input, no output connection.
    EXPECT_FAILED(graph_->ConnectDirect(PinOf(decoder_.Get(), PINDIR_OUTPUT), PinOf(renderer_.Get(), PINDIR_INPUT),
                                        nullptr));
    ConnectByHand();
    ComPtr<IVMRFilterConfig> config;
    ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IVMRFilterConfig, config));
    EXPECT_EQ(VFW_E_WRONG_STATE, config->SetRenderingMode(VMRMode_Windowless));
    DWORD mode = 0;
    ASSERT_HRESULT_SUCCEEDED(config->GetRenderingMode(&mode));
    EXPECT_EQ(static_cast<DWORD>(VMRMode_Windowless), mode);
}

TEST_F(VideoChain, AspectRatioControlAndPositionAnswer)
{
    ConfigureRenderer({10, 20, 330, 260});
    ComPtr<IVMRAspectRatioControl> arc;
    ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IVMRAspectRatioControl, arc));
    DWORD mode = 99;
    ASSERT_HRESULT_SUCCEEDED(arc->GetAspectRatioMode(&mode));
    EXPECT_EQ(static_cast<DWORD>(VMR_ARMODE_LETTER_BOX), mode);
    // One setting, seen through both interfaces.
    ASSERT_HRESULT_SUCCEEDED(windowless_->SetAspectRatioMode(VMR_ARMODE_NONE));
    ASSERT_HRESULT_SUCCEEDED(arc->GetAspectRatioMode(&mode));
    EXPECT_EQ(static_cast<DWORD>(VMR_ARMODE_NONE), mode);
    EXPECT_EQ(E_INVALIDARG, arc->SetAspectRatioMode(7));
    EXPECT_EQ(E_POINTER, arc->GetAspectRatioMode(nullptr));

    RECT src{}, dst{};
    ASSERT_HRESULT_SUCCEEDED(windowless_->GetVideoPosition(&src, &dst));
    EXPECT_EQ(10, dst.left);
    EXPECT_EQ(260, dst.bottom);
    RECT backwards{100, 0, 50, 10};
    EXPECT_EQ(E_INVALIDARG, windowless_->SetVideoPosition(nullptr, &backwards));
    EXPECT_EQ(E_INVALIDARG, windowless_->SetVideoClippingWindow(nullptr));

    ComPtr<IAMFilterMiscFlags> flags;
    ASSERT_HRESULT_SUCCEEDED(renderer_.As(IID_IAMFilterMiscFlags, flags));
    EXPECT_EQ(static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_RENDERER), flags->GetMiscFlags());
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(renderer_->GetClassID(&clsid));
    EXPECT_TRUE(clsid == CLSID_VideoMixingRenderer);
}

TEST_F(VideoChain, LargerPictureThanAnnouncedGrowsTheBuffers)
{
    ConfigureRenderer({0, 0, 640, 480});
    AddAll(VideoStream(1280, 720, 511, 6));   // more bytes per frame than the connection's 720 x 576
    ConnectByHand();
    RunToCompletion();
    int width = 0, height = 0;
    const auto pixels = CurrentImage(width, height);
    EXPECT_EQ(1280, width);
    EXPECT_EQ(720, height);
    EXPECT_TRUE(pixels == ExpectedPixels(1280, 720, 511, 6));
}
