#pragma once
// The header of one MPEG-2 transport stream packet (ISO/IEC 13818-1, 2.4.3.2) and
// its adaptation field, read from exactly the 188 bytes given.
//
// Nothing is guessed: a packet that does not begin with the sync byte is reported
// as such with no field read, and an adaptation field whose length runs past the
// packet is reported with the header fields read but no payload, PCR or flags.
#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::size_t kTsPacketSize = 188;
inline constexpr std::uint8_t kTsSyncByte = 0x47;
// PIDs are 13-bit values; the highest one marks the null (stuffing) packets.
inline constexpr std::uint16_t kTsMaxPid = 0x1FFF;
inline constexpr std::uint16_t kTsNullPid = 0x1FFF;
// The PCR base counts 90 kHz on 33 bits; with its 9-bit extension (0..299) it
// makes a 27 MHz clock that wraps at this many ticks.
inline constexpr std::uint64_t kPcrModulus = (std::uint64_t{1} << 33) * 300;

enum class TsPacketStatus {
    Ok,
    NotWhole,           // fewer than 188 bytes given: nothing read
    BadSync,            // first byte not 0x47: nothing read
    AdaptationOverrun,  // adaptation_field_length past the packet: header only
};

struct TsPacket {
    TsPacketStatus status = TsPacketStatus::NotWhole;
    std::uint16_t pid = 0;
    bool transportError = false;  // transport_error_indicator: damaged on the way
    bool unitStart = false;       // payload_unit_start_indicator
    std::uint8_t scrambling = 0;  // transport_scrambling_control; 0 is clear
    bool hasAdaptation = false;   // adaptation_field_control, first bit
    bool hasPayload = false;      // adaptation_field_control, second bit
    std::uint8_t continuity = 0;  // continuity_counter, 0..15
    // From the adaptation field, when there is one long enough to hold them.
    bool discontinuity = false;       // discontinuity_indicator
    std::optional<std::uint64_t> pcr;  // program_clock_reference, 27 MHz ticks
    // The bytes after the header and adaptation field; empty without payload.
    const std::uint8_t* payload = nullptr;
    std::size_t payloadSize = 0;

    bool ok() const noexcept { return status == TsPacketStatus::Ok; }
    // The header fields (PID, flags, counter) were read, whatever the adaptation field.
    bool headerRead() const noexcept { return ok() || status == TsPacketStatus::AdaptationOverrun; }
};

// Reads the packet at `bytes`; only its first 188 bytes are looked at.
TsPacket ReadTsPacket(const std::uint8_t* bytes, std::size_t size) noexcept;
