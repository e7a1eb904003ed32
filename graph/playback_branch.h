#pragma once
// Playing a recording or the time-shift buffer beside live television. The
// played stream gets a filter graph of its own: the program's source filter,
// a demultiplexer, the user's decoders (the ones named in the settings for the
// stream's codecs, else those the system finds) and renderers that draw in the
// main window. The tuner's graph is never stopped or changed: the tap, the
// recorders and the section readers go on receiving; only the live pins' PIDs
// are held apart while the branch plays (graph/playback_live_hold.h), which
// freezes the live picture and silences it.
//
// While the branch lives, the shared windowless control is its renderer's, so
// the window's placement, repainting and snapshots follow the played picture;
// the live one is given back when it goes. Main window's thread.
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <memory>
#include <string>

#include "channels/chaine.h"
#include "common/com_ptr.h"
#include "graph/media_framework.h"
#include "record/playback/playback_feed.h"

class CPlaybackSource;

class PlaybackBranch {
public:
    // Builds the branch for `service`'s video and first sound track, paused.
    // Null with a French `error` when nothing of it can be decoded or the graph
    // cannot be made. `feed` must outlive the branch.
    static std::unique_ptr<PlaybackBranch> Open(HWND window, PlaybackFeed& feed, const Chaine& service,
                                                std::wstring& error);
    ~PlaybackBranch();
    PlaybackBranch(const PlaybackBranch&) = delete;
    PlaybackBranch& operator=(const PlaybackBranch&) = delete;

    void Run();
    void Pause();
    // The next sample comes from `position` (a packet's offset in the feed).
    // After the end of the feed the graph is started again, `running` or paused.
    void SeekTo(std::uint64_t position, bool running);
    // How far the feed has been delivered (an offset in it).
    std::uint64_t Delivered() const;
    // Whether the branch's renderer has presented a picture (false without video).
    bool ShowsPicture() const;

private:
    PlaybackBranch() = default;
    bool Build(HWND window, PlaybackFeed& feed, const Chaine& service, std::wstring& error);

    ComPtr<IFilterGraph2> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> source_;
    CPlaybackSource* sourceFilter_ = nullptr;  // owned by source_
    ComPtr<IVMRWindowlessControl> windowless_;
    ComPtr<IVMRWindowlessControl> liveWindowless_;  // set aside while the branch draws
};
