#pragma once
// A still over the video area while live television is held for playback.
//
// Taking the live PIDs off the demultiplexer stops what reaches the decoders,
// but pictures already decoded keep coming out of the live renderer's queue for
// a few hundred milliseconds (on a PC, the decoder's and renderer's buffering
// of a broadcast graph). The cover is a child window over the picture, painting
// the frame the live renderer presented at the moment of the pause, or black;
// the main window clips its children, so the renderers' drawing stays under it
// whether they blit through a clipper or draw with GDI. The tuner's graph is not
// touched. The played picture replaces it once it shows (`HidePlaybackCover`).
//
// Mouse messages pass through it to the main window (clicks, drags, the
// right-click menu work as on the picture). Main window's thread.
#include <windows.h>
#include <strmif.h>

#include <cstddef>
#include <cstdint>

// Covers the video area with the picture `live` shows now, or black when it is
// null or shows none.
void ShowPlaybackCover(HWND owner, IVMRWindowlessControl* live);
void HidePlaybackCover();
bool PlaybackCoverShown();
// Places the cover over `video` (the picture's area in the main window).
void LayoutPlaybackCover(const RECT& video);

// What the cover paints, for a snapshot of the paused picture: the held frame
// as a packed bitmap, or a null image when it paints black.
struct CoverStill {
    const std::uint8_t* image = nullptr;
    std::size_t size = 0;
};
CoverStill PlaybackCoverStill();
