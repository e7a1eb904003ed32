#pragma once
// The subtitle track being shown, from the PES pieces of its stream to what is
// put over the picture and when: PES reassembly, the decoder of the track's
// format, and a presentation thread that shows each display set or teletext
// page when the stream time reaches its PTS, and takes a display set off at
// its time-out.
//
// Threads: Feed runs on the streaming thread, Select and Clear on any other;
// `show` is called on the presenter's own thread only, one call at a time,
// never under a lock of this object. The thread is joined by the destructor.
//
// What is shown is made ready when it is decoded, ahead of its time (the
// overlay of a DVB picture, and of a teletext page through `paint`), and the
// thread wakes a little early and watches the clock for the last moments, so
// that at the due time nothing is left to do but hand it over.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "channels/service_streams.h"
#include "graph/subtitles/dvb_subtitle_decoder.h"
#include "graph/subtitles/subtitle_overlay.h"
#include "graph/subtitles/subtitle_pes.h"
#include "graph/subtitles/subtitle_timing.h"
#include "graph/subtitles/teletext_decoder.h"

// What to show: a DVB picture, a teletext page, or neither (the screen cleared),
// with its overlay when it was made ready beforehand.
struct SubtitleShow {
    std::shared_ptr<const SubtitlePicture> picture;
    std::shared_ptr<const TeletextSubtitle> text;
    std::shared_ptr<const SubtitleOverlay> overlay;
    bool Empty() const { return (!picture || picture->empty) && (!text || text->rows.empty()); }
};

class SubtitlePresenter {
public:
    using Clock = std::function<std::int64_t()>;            // stream time, 100 ns
    using Show = std::function<void(const SubtitleShow&)>;
    // Draws a teletext page as an overlay (on the streaming thread).
    using Paint = std::function<SubtitleOverlay(const TeletextSubtitle&)>;

    SubtitlePresenter(Clock clock, Show show, Paint paint = {});
    ~SubtitlePresenter();
    SubtitlePresenter(const SubtitlePresenter&) = delete;
    SubtitlePresenter& operator=(const SubtitlePresenter&) = delete;

    // The track to decode from now on, or none; what was shown is cleared.
    void Select(const std::optional<SubtitleTrack>& track);
    // One piece of the stream (see SubtitlePesAssembler), with the stream time
    // the demultiplexer stamped on it, if any.
    void Feed(const std::uint8_t* data, std::size_t size, bool starts, bool lost,
              std::optional<std::int64_t> sampleTime);
    // Drops what waits and clears the screen (a flush, the graph stopping).
    void Clear();

    // How late the last presentation came after it was due (100 ns), for measures.
    std::int64_t LastLateness() const { return lastLateness_.load(); }
    std::uint64_t Presented() const { return presented_.load(); }

private:
    struct Pending {
        std::int64_t due = 0;
        SubtitleShow show;
        std::int64_t timeout = 0;  // 100 ns; 0: stays until replaced
    };

    void Decode(const SubtitlePes& pes);
    void Enqueue(Pending pending);
    void Run();

    Clock clock_;
    Show show_;
    Paint paint_;

    std::mutex decodeMutex_;  // the streaming side
    std::optional<SubtitleTrack> track_;
    SubtitlePesAssembler assembler_;
    SubtitleTiming timing_;
    std::unique_ptr<DvbSubtitleDecoder> dvb_;
    std::unique_ptr<TeletextSubtitleDecoder> teletext_;

    std::mutex mutex_;  // the queue and the thread's state
    std::condition_variable wake_;
    std::deque<Pending> queue_;
    std::optional<std::int64_t> takeOffAt_;
    bool quit_ = false;
    std::atomic<std::int64_t> lastLateness_{0};
    std::atomic<std::uint64_t> presented_{0};
    std::thread thread_;
};
