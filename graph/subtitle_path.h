#pragma once
// The subtitle branch of the graph: an output pin of the demultiplexer that
// gives PES packets, the program's subtitle renderer behind it, and the video
// renderer's mixer bitmap it draws into. The pin carries the PID of the track
// shown, or none.
#include <windows.h>
#include <dshow.h>

#include <string>

#include "channels/service_streams.h"

// Adds the branch to the graph, which must be stopped; once per graph build.
// Silent when it cannot be built: showing a track then says why.
void BuildSubtitlePath(IBaseFilter* demux, IBaseFilter* videoRenderer);

// Releases the branch's handles (the graph releases the filters).
void ReleaseSubtitlePath();

// Maps the track's PID on the pin and shows it from its next display set.
// False when there is no branch to show it, with the French reason in `why`.
bool ShowSubtitleTrack(const SubtitleTrack& track, std::wstring& why);

// Unmaps the PID and clears the picture; harmless without a branch.
void HideSubtitleTrack();
