#pragma once
// Paces the delivery of a recorded stream by its program clock: a chunk whose
// last PCR lies t ms after the anchor's is delivered t ms after the anchor's
// delivery, so the demultiplexer and the decoders see the stream at the rate it
// was broadcast, as from the tuner. A PCR that runs far ahead of the clock or
// goes back (a splice, the wrap of a damaged stream, a seek) starts a new anchor
// instead of stalling; so does falling far behind (the graph was paused).
#include <cstdint>
#include <optional>

class PcrPacer {
public:
    // Beyond these the stream's clock and the wall clock have parted.
    static constexpr std::int64_t kMaxLeadMs = 2000;
    static constexpr std::int64_t kMaxLagMs = 1000;

    // The wait before delivering a chunk whose last PCR is `pcr` (nullopt: the
    // chunk carries none and goes at once), at `nowMs` of a steady clock.
    std::int64_t WaitBefore(std::optional<std::uint64_t> pcr, std::int64_t nowMs);
    // After a seek, a pause or a jump of the source: the next PCR anchors.
    void Reset() { anchored_ = false; }

private:
    bool anchored_ = false;
    std::uint64_t anchorPcr_ = 0;
    std::int64_t anchorMs_ = 0;
};
