#pragma once
// Reassembly of PES packets carried in MPEG-2 transport stream packets, giving
// back their payload (the elementary stream) without the PES header.
//
// A PES packet begins in the packet whose payload_unit_start_indicator is set.
// When its PES_packet_length is given, the payload is handed out as soon as
// that many bytes have arrived; video PES packets usually leave the length 0
// (unbounded), and their payload ends where the next PES packet begins. A very
// long unbounded packet is handed out in pieces of at most `maxChunk` bytes so
// that memory stays bounded.
//
// A lost packet (continuity_counter gap, unless the packet carries the
// discontinuity_indicator), a damaged or scrambled packet, or a PES header that
// does not parse throws the PES packet being built away; the next piece handed
// out then carries `discontinuity`. A packet out of sync cannot be told to be of
// this PID: it is skipped, and the counter of the next one shows any loss.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "channels/psi/ts_packet.h"

struct PesChunk {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool unitStart = false;      // first bytes of a PES packet's payload
    bool discontinuity = false;  // bytes of this PID were lost before these
    bool hasPts = false;         // pts is valid (only with unitStart)
    std::uint64_t pts = 0;       // 33-bit presentation time stamp, 90 kHz
    std::uint8_t streamId = 0;
    bool unitEnd = false;        // last bytes of the PES packet's payload
};

class PesAssembler {
public:
    using Handler = std::function<void(const PesChunk& chunk)>;
    static constexpr std::size_t kDefaultMaxChunk = 1024 * 1024;

    PesAssembler(std::uint16_t pid, Handler handler, std::size_t maxChunk = kDefaultMaxChunk);

    // One 188-byte transport packet; packets of other PIDs are ignored.
    void FeedPacket(const std::uint8_t* packet);
    // One packet already read.
    void FeedPacket(const TsPacket& packet);

    // Forgets the PES packet being built and the continuity state.
    void Reset();

private:
    void StartUnit(const std::uint8_t* payload, std::size_t size);
    void Take(const std::uint8_t* payload, std::size_t size);
    bool ParseHeader();  // false when the header is damaged
    void Emit(std::size_t size, bool ends = false);
    void Drop();  // throws the unit away after a loss

    std::uint16_t pid_;
    Handler handler_;
    std::size_t maxChunk_;

    std::vector<std::uint8_t> buffer_;  // header bytes, then payload not yet handed out
    bool collecting_ = false;
    bool headerDone_ = false;
    bool bounded_ = false;
    std::size_t payloadLeft_ = 0;  // bounded packets: payload bytes still expected
    bool firstChunk_ = false;      // the next chunk starts the payload
    bool hasPts_ = false;
    std::uint64_t pts_ = 0;
    std::uint8_t streamId_ = 0;
    bool discontinuity_ = false;
    int lastCounter_ = -1;
};

// The header the platform's demultiplexer leaves on the PES packets it hands a
// pin of PES type, made again for a payload handed out by the assembler: start
// code, stream_id, PES_packet_length (0 unless `whole` and it fits), and the
// optional header with the PTS when there is one.
std::vector<std::uint8_t> MakePesHeader(std::uint8_t streamId, bool hasPts, std::uint64_t pts,
                                        std::size_t payloadSize, bool whole);
