#pragma once
// Every recording of the tuned multiplex fed from one walk over the tap's
// packets. Each recording keeps its own PIDs (a service, or the whole
// multiplex), but they all look at the same packets: rather than each walking
// the whole stream again, the walk reads each packet's PID once, looks up which
// recordings keep it, and hands every recording its runs of consecutive kept
// packets, each run with one call straight from the tap's buffer.
//
// A recording whose sink fails is left out from that packet on and removed;
// the others go on with the same run. Sinks are called on the streaming
// thread, in the order they were added.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "channels/psi/packet_tap.h"
#include "record/packet_filter.h"

class PacketFanOut final : public PacketSubscriber {
public:
    // At most this many recordings at once (one bit each in the PID table).
    static constexpr std::size_t kMaxSinks = 32;

    // Any thread. False when `sink` is null, already there, or kMaxSinks are.
    // A sink added during a delivery gets the next one.
    bool Add(PacketRunSink* sink, const PidSelection& selection);
    // Any thread but the streaming one. Waits for a delivery in progress to end:
    // once it returns the sink is never called again and may be destroyed.
    void Remove(PacketRunSink* sink);
    // How many sinks are fed (a failed one no longer counts).
    std::size_t Size() const;

    // Streaming thread: the tap's runs of whole packets. Always true: a failing
    // sink is dropped here, never the whole fan-out.
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override;

private:
    struct Entry {
        PacketRunSink* sink;
        PidSelection selection;
    };
    void Rebuild();
    void Drop(PacketRunSink* sink);

    mutable std::mutex list_;        // guards entries_
    std::vector<Entry> entries_;     // the recordings as added
    std::atomic<bool> changed_{false};
    std::mutex delivery_;  // held for a whole OnPackets, and by Remove to wait for it

    // Streaming thread, under delivery_: the sinks of this delivery and, for
    // each PID, the bits of the sinks that keep it.
    std::vector<PacketRunSink*> calling_;
    std::array<std::uint32_t, 0x2000> keptBy_{};
};
