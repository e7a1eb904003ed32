#include "record/playback/pcr_pacer.h"

#include "channels/psi/ts_packet.h"
#include "record/playback/pcr_index.h"

std::int64_t PcrPacer::WaitBefore(std::optional<std::uint64_t> pcr, std::int64_t nowMs)
{
    if (!pcr)
        return 0;
    if (anchored_) {
        const std::uint64_t ticks = PcrDistance(anchorPcr_, *pcr);
        // A backward step reads as a distance of nearly the whole wrap.
        if (ticks < kPcrModulus / 2) {
            const std::int64_t due = anchorMs_ + static_cast<std::int64_t>(ticks / 27000);
            if (due - nowMs <= kMaxLeadMs && nowMs - due <= kMaxLagMs)
                return due > nowMs ? due - nowMs : 0;
        }
    }
    anchored_ = true;
    anchorPcr_ = *pcr;
    anchorMs_ = nowMs;
    return 0;
}
