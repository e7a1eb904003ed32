#pragma once
// Spreads the packets of each multi-packet PSI/SI section over at least 300 ms, as a
// broadcaster does that gives its tables a low share of the multiplex: the section
// starts where the stream had it and its last packet comes 300 ms later or more. The
// packets concerned are those of PIDs 0x00 to 0x1F and of the PMT PIDs that the PAT
// names; every other packet keeps its time and its place. Packets of one PID never
// change order, so a PID whose sections come faster than they can be spread falls
// behind; beyond a second of delay its next section starting a packet is left out, as
// if the broadcaster repeated its tables less often. Pure code: no platform header.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <map>

#include "channels/psi/ts_packet.h"

namespace standins {

class PsiSpreader {
public:
    static constexpr std::int64_t kSpreadMicros = 300'000;
    static constexpr std::int64_t kMaxLagMicros = 1'000'000;

    // Takes the next packet of the stream (188 bytes), due at `dueMicros`.
    void Push(const std::uint8_t* packet, std::int64_t dueMicros);
    // The earliest packet waiting, if it is due at `nowMicros`: copied into `packet`.
    bool PopDue(std::int64_t nowMicros, std::uint8_t* packet);
    // Packets waiting, for bounding the reader ahead.
    std::size_t Waiting() const { return waiting_.size(); }
    void Reset();

private:
    struct PidState {
        std::int64_t lastOut = 0;
        std::int64_t gap = 0;
        int continuations = 0;  // left in the section being spread
        bool dropping = false;
    };

    bool IsPsi(std::uint16_t pid) const { return pid <= 0x1F || pmtPids_.test(pid); }
    // Due time of a PSI packet; false to leave it out.
    bool Spread(const TsPacket& packet, std::int64_t due, std::int64_t& out);
    void LearnPmtPids(const TsPacket& packet);

    using Packet = std::array<std::uint8_t, kTsPacketSize>;
    // By due time; packets of equal times keep the order they came in.
    std::multimap<std::int64_t, Packet> waiting_;
    std::map<std::uint16_t, PidState> pids_;
    std::bitset<kTsMaxPid + 1> pmtPids_;
};

}  // namespace standins
