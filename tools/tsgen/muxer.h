#pragma once
// Generates the transport stream of one multiplex: tables at their repetition
// intervals, PCRs, and the elementary streams of every service, packet by
// packet at the multiplex's constant bit rate, null packets filling the rest.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/tsgen/description.h"
#include "tools/tsgen/psi_tables.h"

namespace tsgen {

// Told of every table section as it is queued, with its PID.
using SectionObserver = std::function<void(std::uint16_t pid, const Section& section)>;

// The whole stream for `description.seconds`, 188-byte packets back to back.
// Throws std::runtime_error when the multiplex's bit rate cannot carry its
// services in time, and std::length_error when a table exceeds one section.
std::vector<std::uint8_t> GenerateMultiplex(const Description& description, const Multiplex& mux,
                                            const SectionObserver& observer = {});

}  // namespace tsgen
