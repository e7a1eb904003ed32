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

// Receives the stream in runs of whole 188-byte packets.
using PacketSink = std::function<void(const std::uint8_t* bytes, std::size_t size)>;

// The whole stream for `description.seconds`, in order, to `sink`. Throws
// std::runtime_error when the multiplex's bit rate cannot carry its services
// in time, and std::length_error when a table exceeds one section.
void GenerateMultiplex(const Description& description, const Multiplex& mux, const PacketSink& sink,
                       const SectionObserver& observer = {});

// The same, held in memory.
std::vector<std::uint8_t> GenerateMultiplex(const Description& description, const Multiplex& mux,
                                            const SectionObserver& observer = {});

}  // namespace tsgen
