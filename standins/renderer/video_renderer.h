#pragma once
// Stand-in for the video mixing renderer (VMR-7) in windowless mode: one RGB32 input,
// each frame drawn with GDI into the destination rectangle of the application's
// clipping window, letter-boxed on request; the last frame kept for repaints and for
// GetCurrentImage.
//
// Threads: frames arrive on the streaming thread, the controls are called on the
// application's window thread. Both share the settings and the last frame under
// `mutex_`, which is never held while drawing or calling into a window, so the window
// thread may be busy with the graph (stopping it, for instance) without a deadlock.
#include <dshow.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/with_interfaces.h"
#include "standins/renderer/alpha_overlay.h"
#include "standins/renderer/video_placement.h"

namespace standin {

class CVideoRenderer;

// One frame as a bottom-up 32-bit DIB, immutable once published.
struct RenderedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;   // width * height * 4 bytes, bottom row first
};

class CVideoRendererInputPin : public CBaseInputPin {
public:
    CVideoRendererInputPin(CVideoRenderer* filter, CriticalSection* lock);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;

private:
    CVideoRenderer* renderer_;
};

class CVideoRenderer : public WithInterfaces<CBaseFilter, IVMRFilterConfig, IVMRWindowlessControl, IVMRAspectRatioControl, IAMFilterMiscFlags,
                                            IVMRMixerBitmap> {
public:
    explicit CVideoRenderer(IUnknown* outer);
    ~CVideoRenderer() override;

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // CBaseFilter
    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    const FilterSetup* GetSetupData() override;

    // IVMRFilterConfig
    HRESULT STDMETHODCALLTYPE SetImageCompositor(IVMRImageCompositor* compositor) override;
    HRESULT STDMETHODCALLTYPE SetNumberOfStreams(DWORD streams) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfStreams(DWORD* streams) override;
    HRESULT STDMETHODCALLTYPE SetRenderingPrefs(DWORD prefs) override;
    HRESULT STDMETHODCALLTYPE GetRenderingPrefs(DWORD* prefs) override;
    HRESULT STDMETHODCALLTYPE SetRenderingMode(DWORD mode) override;
    HRESULT STDMETHODCALLTYPE GetRenderingMode(DWORD* mode) override;

    // IVMRWindowlessControl (the aspect-ratio pair also serves IVMRAspectRatioControl)
    HRESULT STDMETHODCALLTYPE GetNativeVideoSize(LONG* width, LONG* height, LONG* arWidth, LONG* arHeight) override;
    HRESULT STDMETHODCALLTYPE GetMinIdealVideoSize(LONG* width, LONG* height) override;
    HRESULT STDMETHODCALLTYPE GetMaxIdealVideoSize(LONG* width, LONG* height) override;
    HRESULT STDMETHODCALLTYPE SetVideoPosition(const LPRECT source, const LPRECT destination) override;
    HRESULT STDMETHODCALLTYPE GetVideoPosition(LPRECT source, LPRECT destination) override;
    HRESULT STDMETHODCALLTYPE GetAspectRatioMode(DWORD* mode) override;
    HRESULT STDMETHODCALLTYPE SetAspectRatioMode(DWORD mode) override;
    HRESULT STDMETHODCALLTYPE SetVideoClippingWindow(HWND window) override;
    HRESULT STDMETHODCALLTYPE RepaintVideo(HWND window, HDC dc) override;
    HRESULT STDMETHODCALLTYPE DisplayModeChanged() override;
    HRESULT STDMETHODCALLTYPE GetCurrentImage(BYTE** dib) override;
    HRESULT STDMETHODCALLTYPE SetBorderColor(COLORREF color) override;
    HRESULT STDMETHODCALLTYPE GetBorderColor(COLORREF* color) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(COLORREF color) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(COLORREF* color) override;

    // IVMRMixerBitmap: one bitmap over the picture, copied from a GDI device
    // context and keyed by a colour; DirectDraw surfaces are not supported.
    HRESULT STDMETHODCALLTYPE SetAlphaBitmap(const VMRALPHABITMAP* bitmap) override;
    HRESULT STDMETHODCALLTYPE UpdateAlphaBitmapParameters(PVMRALPHABITMAP bitmap) override;
    HRESULT STDMETHODCALLTYPE GetAlphaBitmapParameters(PVMRALPHABITMAP bitmap) override;

    // IMediaFilter: the clock is kept apart too, for the drawing traces.
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;

    // IAMFilterMiscFlags: the graph counts this filter among the renderers.
    ULONG STDMETHODCALLTYPE GetMiscFlags() override;

    // Frames shown since the filter was created (for tests and traces).
    std::uint64_t FramesShown();

private:
    friend class CVideoRendererInputPin;

    // What drawing needs, copied out of the shared state.
    struct DrawState {
        HWND window = nullptr;
        bool windowless = false;
        Box source;
        Box destination;
        bool letterBox = false;
        COLORREF border = RGB(0, 0, 0);
        std::shared_ptr<const RenderedFrame> frame;
        std::shared_ptr<const AlphaOverlay> overlay;
        std::uint64_t overlaySerial = 0;
    };

    void ConnectionFormat(int width, int height);
    HRESULT ShowSample(IMediaSample* sample);
    HRESULT EndOfStreamReceived();
    DrawState Snapshot();
    static void Draw(HDC dc, const DrawState& state);
    // Draws the last frame again in the clipping window (the mixer bitmap changed).
    void Redraw();
    // Traces the clock's time when a new mixer bitmap is first drawn.
    void NoteDrawn(const DrawState& state);
    // Traces "<what> <the clock's time>", when the graph has a clock.
    void TraceClockTime(const char* what);
    bool MixerLoaded();

    CriticalSection stateLock_;
    CVideoRendererInputPin input_;

    std::mutex mutex_;
    DWORD mode_ = VMRMode_Windowed;
    DWORD renderingPrefs_ = 0;
    DWORD mixerStreams_ = 0;  // 0: the mixer is not loaded (SetNumberOfStreams was not called)
    HWND window_ = nullptr;
    Box source_;                 // empty: the whole picture
    Box destination_;
    DWORD aspectMode_ = VMR_ARMODE_NONE;
    COLORREF border_ = RGB(0, 0, 0);
    COLORREF colorKey_ = RGB(16, 0, 16);
    int formatWidth_ = 0;        // current input format: width, height (negative: top-down rows)
    int formatHeight_ = 0;
    std::shared_ptr<const RenderedFrame> frame_;
    std::uint64_t framesShown_ = 0;
    std::shared_ptr<const AlphaOverlay> overlay_;   // null: no mixer bitmap
    VMRALPHABITMAP overlayParameters_{};
    std::uint64_t overlaySerial_ = 0;      // one more for each bitmap set
    std::uint64_t drawnSerial_ = 0;        // the last one traced as drawn
    ComPtr<IReferenceClock> drawClock_;
};

}  // namespace standin
