#pragma once
// Sample times from PTS, as the platform's demultiplexer gives them: it follows
// the PCR of the programme whose audio or video PID was mapped last (found in
// the PAT and PMT it reads itself) and turns a PES packet's PTS into a time on
// the graph's stream clock, which its samples then carry.
//
// The stand-in's graph runs on the PC's clock, not on the broadcast's, so the
// PCR is tied to that clock here: each PCR says when the stream's clock read
// that value. Packets are handed over when due or later, never before, so the
// earliest arrival seen (counted back along the PCR) is the truest tie; a PCR
// that comes more than a second later than the tie predicts, or one marked
// discontinuous, is a new clock (the stream looped, another multiplex) and
// ties it afresh.
//
// Pure code: the caller gives the stream time of each run of packets.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "channels/psi/ts_packet.h"

class SectionAssembler;

class PtsStamper {
public:
    PtsStamper();
    ~PtsStamper();
    PtsStamper(const PtsStamper&) = delete;
    PtsStamper& operator=(const PtsStamper&) = delete;

    // An audio or video PID just mapped: the PCR of its programme leads from now on.
    void Follow(std::uint16_t pid);
    // Every packet of the stream, with the stream time (100 ns) of its arrival,
    // or none when the graph has no clock.
    void Packet(const TsPacket& packet, std::optional<std::int64_t> arrival);
    // The stream time at which `pts` (90 kHz, 33 bits) is due, once a PCR has tied
    // the stream's clock to the graph's.
    std::optional<std::int64_t> Stamp(std::uint64_t pts) const;
    // Forgets the tie (a flush, the graph stopped); the tables are kept.
    void Reset() { tied_ = false; }

    std::optional<std::uint16_t> PcrPid() const { return pcrPid_; }

    static constexpr std::int64_t kRetieAfter = 10'000'000;  // 1 s late

private:
    struct Programme {
        std::uint16_t pmtPid = 0;
        std::uint16_t pcrPid = kTsNullPid;
        std::vector<std::uint16_t> streams;
        std::unique_ptr<SectionAssembler> pmt;
    };

    void OnPat(const std::uint8_t* section, std::size_t size);
    void OnPmt(Programme& programme, const std::uint8_t* section, std::size_t size);
    void ChoosePcr();
    void OnPcr(std::uint64_t pcr27, bool discontinuity, std::int64_t arrival);

    std::unique_ptr<SectionAssembler> pat_;
    std::vector<std::unique_ptr<Programme>> programmes_;
    std::optional<std::uint16_t> followed_;
    std::optional<std::uint16_t> pcrPid_;

    bool tied_ = false;
    std::uint64_t tiePcr_ = 0;    // 27 MHz
    std::int64_t tieTime_ = 0;    // stream time, 100 ns
};
