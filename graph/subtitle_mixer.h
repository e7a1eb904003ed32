#pragma once
// Puts what the subtitle renderer shows over the video: the part of the display
// holding a DVB picture, or teletext rows drawn with GDI (boxed text in its
// colours, on the page's rows), handed as a colour-keyed bitmap to the video
// renderer's mixer, placed in fractions of the picture so that it scales with
// the video in every window mode.
#include <dshow.h>

#include "common/com_ptr.h"
#include "graph/subtitles/subtitle_overlay.h"
#include "graph/subtitles/subtitle_presenter.h"

// The teletext rows on a display of `width` x `height`, as a picture (what is
// not drawn is transparent).
SubtitlePicture DrawTeletext(const TeletextSubtitle& page, unsigned width = 720, unsigned height = 576);

class SubtitleMixer {
public:
    explicit SubtitleMixer(ComPtr<IVMRMixerBitmap> mixer) : mixer_(std::move(mixer)) {}

    // Shows `show`, or takes the bitmap off when it is empty. False when the
    // mixer refused it (the screen then shows no subtitle).
    bool Show(const SubtitleShow& show);

private:
    bool Hand(const SubtitleOverlay& overlay);
    void Disable();

    ComPtr<IVMRMixerBitmap> mixer_;
};
