#pragma once
// The program's own source filter for playback: it pushes a recorded transport
// stream (a file, or the time-shift buffer) into the demultiplexer's input as
// the tuner would, paced by the stream's PCR, so the demultiplexer and the
// user's decoders play it as live television.
//
// The feed (what is read) belongs to the caller and must outlive the filter's
// running. A seek, asked from the window's thread, is carried out by the
// worker before its next read (or at once by FlushTo): the pacing starts again from the new place and
// the next sample is marked as a discontinuity, which makes the demultiplexer
// drop what it was putting together.
//
// Created with plain `new` and handed to IFilterGraph::AddFilter, which takes
// the first reference.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "graph/filterbase/source.h"
#include "graph/filterbase/source_stream.h"
#include "record/playback/pcr_pacer.h"
#include "record/playback/playback_feed.h"

// {7A3E2C10-5B4D-4E61-9C2A-6D1F0B3E8A55}; not registered: only ever created directly.
extern const CLSID CLSID_BrisomePlaybackSource;

class CPlaybackSource;

class CPlaybackPin : public CSourceStream {
public:
    static constexpr std::size_t kSampleBytes = 188 * 64;

    CPlaybackPin(CPlaybackSource* owner, PlaybackFeed& feed);

    using CSourceStream::GetMediaType;
    HRESULT GetMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadStartPlay() override;

    void SeekTo(std::uint64_t position);
    // A seek that also drops what the filters downstream still hold from the
    // old place: the worker is stopped between two samples (the flush frees it
    // when a paused renderer holds its delivery), the stream begins a new
    // segment and the worker delivers again from `position`. The first picture
    // from there shows without the queued ones before it, also while paused.
    // Window's thread, with the filter paused or running.
    void FlushTo(std::uint64_t position);
    // Where the feed stands (the bytes delivered so far), any thread.
    std::uint64_t Delivered() const { return delivered_; }
    // The buffer dropped the position before it could be read: playback went
    // on from the oldest part kept.
    bool Lost() const { return lost_; }
    // The feed ended and the end of the stream was sent: the worker delivers
    // again only once the filter is stopped and started again.
    bool Ended() const { return ended_; }

private:
    // Sleeps up to `ms` in short steps, ending early when the worker is asked
    // something (a stop, a pause) so the graph never waits on the pacing.
    void WaitUnlessAsked(std::int64_t ms);

    PlaybackFeed& feed_;
    PcrPacer pacer_;  // worker only
    std::mutex seekLock_;
    std::optional<std::uint64_t> pendingSeek_;  // guarded by seekLock_
    std::atomic<std::uint64_t> delivered_{0};
    std::atomic<bool> lost_{false};
    std::atomic<bool> ended_{false};
};

class CPlaybackSource : public CSource {
public:
    explicit CPlaybackSource(PlaybackFeed& feed);
    ~CPlaybackSource() override;

    CPlaybackPin* Pin() { return pin_; }

private:
    CPlaybackPin* pin_;
};
