#include "graph/subtitles/subtitle_presenter.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

// A queue that grows beyond this holds display sets that can no longer be due
// soon (a stream without PTS, a clock that stopped): the oldest go.
constexpr std::size_t kMaxPending = 32;
// The thread looks at the clock again at least this often while it waits.
constexpr std::int64_t kLongestWait = 200'000;  // 20 ms
// A timed wait may end a little late: the thread's sleep ends this long before
// the due time, and it follows the clock from there, yielding its turn.
constexpr std::int64_t kWatchBefore = 20'000;  // 2 ms

}  // namespace

SubtitlePresenter::SubtitlePresenter(Clock clock, Show show, Paint paint)
    : clock_(std::move(clock)), show_(std::move(show)), paint_(std::move(paint)), thread_([this] { Run(); })
{
}

SubtitlePresenter::~SubtitlePresenter()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SubtitlePresenter::Select(const std::optional<SubtitleTrack>& track)
{
    {
        std::lock_guard<std::mutex> lock(decodeMutex_);
        track_ = track;
        assembler_.Reset();
        timing_.Reset();
        dvb_.reset();
        teletext_.reset();
        if (track && track->format == SubtitleFormat::Dvb)
            dvb_ = std::make_unique<DvbSubtitleDecoder>(track->compositionPage, track->ancillaryPage);
        else if (track && track->format == SubtitleFormat::Teletext)
            teletext_ = std::make_unique<TeletextSubtitleDecoder>(track->teletextPage);
    }
    Clear();
}

void SubtitlePresenter::Clear()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        takeOffAt_.reset();
        // Due at once: the screen is cleared even if the clock stands still.
        queue_.push_back(Pending{std::numeric_limits<std::int64_t>::min(), {}, 0});
    }
    wake_.notify_all();
}

void SubtitlePresenter::Feed(const std::uint8_t* data, std::size_t size, bool starts, bool lost,
                             std::optional<std::int64_t> sampleTime)
{
    std::lock_guard<std::mutex> lock(decodeMutex_);
    if (!track_) return;
    for (const SubtitlePes& pes : assembler_.Feed(data, size, starts, lost, sampleTime)) Decode(pes);
}

void SubtitlePresenter::Decode(const SubtitlePes& pes)
{
    const std::int64_t arrival = clock_();
    // The demultiplexer's stamp is the PTS on the graph's clock; without one the
    // PTS are timed among themselves.
    auto due = [&](std::int64_t pts) {
        if (pes.sampleTime) return *pes.sampleTime;
        return pes.hasPts ? timing_.Due(pts, arrival) : arrival;
    };
    const std::int64_t pts = pes.hasPts ? pes.pts : 0;
    if (dvb_) {
        for (SubtitlePicture& picture : dvb_->Decode(pes.data.data(), pes.data.size(), pts)) {
            Pending p;
            p.due = due(picture.pts);
            p.timeout = static_cast<std::int64_t>(picture.timeoutSeconds) * 10'000'000;
            p.show.overlay = std::make_shared<const SubtitleOverlay>(MakeOverlay(picture));
            p.show.picture = std::make_shared<const SubtitlePicture>(std::move(picture));
            Enqueue(std::move(p));
        }
    } else if (teletext_) {
        for (TeletextSubtitle& page : teletext_->Decode(pes.data.data(), pes.data.size(), pts)) {
            Pending p;
            p.due = due(page.pts);
            if (paint_) p.show.overlay = std::make_shared<const SubtitleOverlay>(paint_(page));
            p.show.text = std::make_shared<const TeletextSubtitle>(std::move(page));
            Enqueue(std::move(p));
        }
    }
}

void SubtitlePresenter::Enqueue(Pending pending)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        while (queue_.size() >= kMaxPending) queue_.pop_front();
        // In order of their time: a set stamped earlier than one waiting goes before it.
        auto at = std::upper_bound(queue_.begin(), queue_.end(), pending.due,
                                   [](std::int64_t due, const Pending& p) { return due < p.due; });
        queue_.insert(at, std::move(pending));
    }
    wake_.notify_all();
}

void SubtitlePresenter::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (queue_.empty() && !takeOffAt_) {
            wake_.wait(lock);
            continue;
        }
        const std::int64_t now = clock_();
        const bool takeOff = takeOffAt_ && (queue_.empty() || *takeOffAt_ < queue_.front().due);
        const std::int64_t next = takeOff ? *takeOffAt_ : queue_.front().due;
        if (next > now && next - now > kWatchBefore) {
            const std::int64_t wait = std::min(next - now - kWatchBefore, kLongestWait);
            wake_.wait_for(lock, std::chrono::microseconds(wait / 10 + 1));
            continue;
        }
        if (next > now) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
            continue;
        }
        Pending pending;
        if (takeOff) {
            pending.due = *takeOffAt_;
            takeOffAt_.reset();
        } else {
            pending = std::move(queue_.front());
            queue_.pop_front();
            takeOffAt_.reset();
            if (pending.timeout > 0 && !pending.show.Empty()) takeOffAt_ = pending.due + pending.timeout;
        }
        if (pending.due != std::numeric_limits<std::int64_t>::min()) lastLateness_ = now - pending.due;
        lock.unlock();
        show_(pending.show);
        ++presented_;
        lock.lock();
    }
}
