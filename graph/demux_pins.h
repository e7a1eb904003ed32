#pragma once
// The demultiplexer's four output pins and the branches rendered behind them.
#include <windows.h>
#include <dshow.h>

// Creates the four pins and renders each branch, in the order video, audio, AC-3,
// data; a branch that fails does not stop the later ones. A pin for which no decoder
// is installed is kept without one, and the missing decoders are reported together in
// one message. The video is drawn in `window`, which also owns the messages. 0 when
// every branch but those without a decoder was built, 1 after a failure's message.
int RenderDemuxOutputs(HWND window);
