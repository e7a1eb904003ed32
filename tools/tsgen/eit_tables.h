#pragma once
// Event information, present/following: which two events of a service are
// "now" and "next" at a given instant, and the two sections that carry them.
#include <array>
#include <cstdint>

#include "tools/tsgen/description.h"
#include "tools/tsgen/psi_tables.h"

namespace tsgen {

struct PresentFollowing {
    const Event* present = nullptr;    // the event running at the instant, if any
    const Event* following = nullptr;  // the first event starting after it (or after the instant)
    int version = 0;                   // changes whenever the pair changes
};

PresentFollowing FindPresentFollowing(const Service& service, std::int64_t now);

// Section 0 (present) and section 1 (following) of table 0x4E (`mux` is the
// multiplex being generated) or 0x4F (`mux` is the service's own, another one).
// A missing event gives a section with no event loop.
std::array<Section, 2> BuildEitPresentFollowing(std::uint8_t tableId, const Multiplex& mux, const Service& service,
                                                std::int64_t now);

}  // namespace tsgen
