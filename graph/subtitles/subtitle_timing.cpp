#include "graph/subtitles/subtitle_timing.h"

namespace {

constexpr std::int64_t kPtsModulus = std::int64_t{1} << 33;

// The difference of two 33-bit clock values, taken the short way round.
std::int64_t PtsDelta(std::int64_t to, std::int64_t from)
{
    std::int64_t d = (to - from) % kPtsModulus;
    if (d < 0) d += kPtsModulus;
    if (d >= kPtsModulus / 2) d -= kPtsModulus;
    return d;
}

}  // namespace

std::int64_t SubtitleTiming::Due(std::int64_t pts, std::int64_t arrival)
{
    if (anchored_) {
        const std::int64_t due = anchorTime_ + PtsDelta(pts, anchorPts_) * 1000 / 9;
        const std::int64_t ahead = due - arrival;
        if (ahead >= kEarliest && ahead <= kLatest) return due;
    }
    anchored_ = true;
    anchorPts_ = pts;
    anchorTime_ = arrival;
    return arrival;
}
