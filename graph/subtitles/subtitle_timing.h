#pragma once
// When a subtitle's PTS falls on the graph's stream time (100 ns units). A
// demultiplexer that stamps its samples says it directly; one that does not
// leaves the subtitles to be timed among themselves: the first PTS is taken to
// be due when it arrives, and each later one that many 90 kHz ticks after it.
// A PTS that jumps (a new channel, a clock wrapped badly, a damaged stamp) far
// before or after where the anchor puts it starts a new anchor at its arrival.
#include <cstdint>

class SubtitleTiming {
public:
    std::int64_t Due(std::int64_t pts, std::int64_t arrival);
    void Reset() { anchored_ = false; }

    static constexpr std::int64_t kEarliest = -10'000'000;   // 1 s late at most
    static constexpr std::int64_t kLatest = 100'000'000;     // 10 s ahead at most

private:
    bool anchored_ = false;
    std::int64_t anchorPts_ = 0;
    std::int64_t anchorTime_ = 0;
};
