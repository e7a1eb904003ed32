#pragma once
// The program's own subtitle renderer: a filter with one input that takes the
// PES packets of a subtitle stream from the demultiplexer, and hands what is to
// be shown, at its time on the graph's reference clock, to a callback (the
// video renderer's mixer bitmap, in the program).
#include <dshow.h>

#include <memory>
#include <mutex>
#include <optional>

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/subtitles/subtitle_presenter.h"

class CSubtitleRenderer;

class CSubtitleInputPin : public CBaseInputPin {
public:
    CSubtitleInputPin(CSubtitleRenderer* filter, CriticalSection* lock);

    // MPEG-2 PES packets, whatever their subtype and format.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnBeginFlush() override;

private:
    CSubtitleRenderer* renderer_;
};

class CSubtitleRenderer : public CBaseFilter {
public:
    // `show` is called on the renderer's presentation thread, `paint` on the
    // streaming thread (see SubtitlePresenter).
    CSubtitleRenderer(SubtitlePresenter::Show show, SubtitlePresenter::Paint paint);
    ~CSubtitleRenderer() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;

    // The track shown from now on, or none; any thread.
    void Select(const std::optional<SubtitleTrack>& track) { presenter_->Select(track); }
    SubtitlePresenter& Presenter() { return *presenter_; }

    // Stream time on the graph's clock; without a clock, time since Run.
    std::int64_t Now();

private:
    friend class CSubtitleInputPin;

    CriticalSection stateLock_;
    CSubtitleInputPin input_;

    std::mutex clockMutex_;  // not the state lock: the presenter's thread reads the time
    ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME start_ = 0;
    std::int64_t steadyStart_ = 0;
    // While running, the system's timers tick every millisecond, so that the
    // presenter's waits end on time (they would end up to 16 ms late otherwise).
    bool fineTimer_ = false;
    void FineTimer(bool on);

    std::unique_ptr<SubtitlePresenter> presenter_;  // last: its thread uses the above
};
