#pragma once
// Reassembly of PSI/SI sections from MPEG-2 transport stream packets.
//
// Fed runs of 188-byte packets, a SectionAssembler follows one PID: it honours
// payload_unit_start_indicator and pointer_field, joins sections that span
// packets, splits packets that hold several sections, stops at the 0xFF stuffing
// that fills the rest of a packet, and throws away a half-built section when a
// packet is lost (continuity_counter gap), damaged (transport_error_indicator or
// an adaptation field past its end) or scrambled. A repeated packet (same
// continuity_counter) is ignored; a counter jump in a packet that carries the
// discontinuity_indicator is no loss. A packet out of sync cannot be told to be
// of this PID: it is skipped, and the counter of the next one shows any loss.
//
// Only whole sections are handed out. A section in the long form
// (section_syntax_indicator 1) is handed out only when its CRC_32 is valid.
// Sections in the short form (section_syntax_indicator 0, such as the TDT) carry
// no CRC to check; they are dropped unless the assembler was built to accept
// them, in which case they are handed out unchecked.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "channels/psi/ts_packet.h"

// Longest section of any table: a 12-bit section_length may not exceed 4093
// (private sections), plus the three header bytes.
constexpr std::size_t kMaxSectionSize = 4096;

class SectionAssembler {
public:
    // Receives each whole section (from its table_id byte, CRC_32 included).
    // The bytes are valid only during the call.
    using Handler = std::function<void(const std::uint8_t* section, std::size_t length)>;

    SectionAssembler(std::uint16_t pid, Handler handler, bool acceptShortForm = false);

    // Feeds whole packets; bytes of a trailing incomplete packet are ignored.
    void Feed(const std::uint8_t* packets, std::size_t length);
    // One packet already read (packets of other PIDs are ignored).
    void FeedPacket(const TsPacket& packet);

    // Forgets any half-built section and the continuity state (after a retune).
    void Reset();

private:
    // Adds payload bytes to the section being built; new sections may begin in
    // them only when `mayStart` (after a pointer_field).
    void Take(const std::uint8_t* data, std::size_t length, bool mayStart);
    void Finish();
    void Drop();  // forgets the section being built
    std::size_t Wanted() const;
    std::size_t SectionSize() const;

    std::uint16_t pid_;
    Handler handler_;
    bool acceptShortForm_;
    std::vector<std::uint8_t> buffer_;  // the section being built
    bool collecting_ = false;
    int lastCounter_ = -1;  // continuity_counter of the last packet with payload
};

// The first whole section with this PID and table_id in a transport stream held
// in memory (what a receiver tuned to it would be handed first). Empty when
// there is none.
std::vector<std::uint8_t> FindFirstSection(const std::uint8_t* stream, std::size_t length,
                                           std::uint16_t pid, std::uint8_t tableId);
