#pragma once
// The demultiplexing core: takes the transport stream as it comes (runs of
// bytes that need not hold whole packets), and hands each output what is
// mapped to it, PID by PID:
//   - ElementaryStream: the payload of the PID's PES packets (PesAssembler);
//   - Psi: whole sections, CRC-checked where they carry a CRC (SectionAssembler);
//   - TransportPacket: the 188-byte packets themselves, gathered per Feed.
// PES packets with a PTS carry the stream time it stands for (PtsStamper), never
// earlier on one output than the last it was given.
//
// Mapping may change from any thread while another feeds the stream: Map and
// Unmap only record the wish, and the feeding thread takes the new table at the
// start of its next Feed. A mapping change therefore never waits for a
// delivery, and assemblers of PIDs whose mapping did not change keep their
// half-built units. Feed and Reset must not run concurrently with each other.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <optional>

#include "standins/demux/pes_assembler.h"
#include "standins/demux/pts_stamper.h"

class SectionAssembler;

enum class PidContent { ElementaryStream, Psi, TransportPacket };

struct PidMapping {
    std::uint16_t pid = 0;
    PidContent content = PidContent::ElementaryStream;
};

struct RoutedData {
    int output = 0;
    std::uint16_t pid = 0;  // for TransportPacket batches: the first packet's PID
    PidContent content = PidContent::ElementaryStream;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool unitStart = false;      // PES payload start, or always for sections
    bool discontinuity = false;  // bytes of this PID were lost before these
    bool hasPts = false;
    std::uint64_t pts = 0;
    bool unitEnd = false;        // PES: the payload's last bytes
    std::uint8_t streamId = 0;   // PES: the packet's stream_id
    std::optional<std::int64_t> time;  // PES: stream time of its PTS (100 ns), when known
};

class TsRouter {
public:
    using Sink = std::function<void(const RoutedData& data)>;

    explicit TsRouter(Sink sink);
    ~TsRouter();
    TsRouter(const TsRouter&) = delete;
    TsRouter& operator=(const TsRouter&) = delete;

    // Maps a PID on an output; mapping it again changes its content type.
    // False when the PID is not a 13-bit value.
    bool Map(int output, std::uint16_t pid, PidContent content);
    // False when the PID was not mapped on that output.
    bool Unmap(int output, std::uint16_t pid);
    void UnmapOutput(int output);
    // The output's mappings, in the order they were made.
    std::vector<PidMapping> Mappings(int output) const;
    // An audio or video PID was mapped: its programme's PCR times the PES packets.
    void FollowClockOf(std::uint16_t pid);

    // `arrival`: the stream time of these bytes, or none without a clock.
    void Feed(const std::uint8_t* bytes, std::size_t size, std::optional<std::int64_t> arrival = std::nullopt);
    // Forgets partial packets, PES packets, sections and the clock's tie (after a flush).
    void Reset();

private:
    struct Entry {
        int output;
        PidMapping mapping;
    };
    struct Target {
        int output;
        PidContent content;
    };
    struct Route {
        std::vector<Target> targets;
        std::unique_ptr<PesAssembler> pes;
        std::unique_ptr<SectionAssembler> sections;
        bool packets = false;
    };

    void ApplyMappings();
    void RoutePacket(const std::uint8_t* bytes);
    void FlushPacketBatches();
    void DeliverPes(std::uint16_t pid, const PesChunk& chunk);
    std::optional<std::int64_t> TimeFor(int output, std::uint64_t pts);
    void DeliverSection(std::uint16_t pid, const std::uint8_t* section, std::size_t size);

    Sink sink_;

    // Wanted mappings, written by any thread.
    mutable std::mutex mapMutex_;
    std::vector<Entry> entries_;
    std::optional<std::uint16_t> follow_;  // a clock PID not yet handed to the stamper
    std::atomic<std::uint64_t> version_{1};

    // Feeding thread only.
    std::uint64_t appliedVersion_ = 0;
    std::vector<std::unique_ptr<Route>> routes_;  // indexed by PID, null when unmapped
    std::vector<std::uint8_t> pending_;           // bytes not yet forming a whole packet
    PtsStamper stamper_;
    std::optional<std::int64_t> arrival_;         // of the bytes being fed
    std::vector<std::pair<int, std::int64_t>> lastTimes_;  // per output
    struct Batch {
        int output;
        std::uint16_t firstPid;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Batch> batches_;
};
