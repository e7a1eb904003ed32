#pragma once
// Parsers of the four tables read by a channel scan. Each takes one whole
// section, starting at its table_id byte, with its length as delivered (header
// and CRC_32 included), and writes into the channel list it is given. They
// report nothing: a section that yields nothing changes nothing.
//
// The CRC_32 is not checked here (the section source hands over only sections
// whose CRC is valid), and no loop walks into it. No byte outside the delivered
// length is read: an entry or descriptor whose declared length runs past the
// end of the section ends its loop, and what it would have given is not applied.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/chaine.h"

// Where the tables travel.
constexpr std::uint16_t kPatPid = 0x0000;
constexpr std::uint16_t kNitPid = 0x0010;
constexpr std::uint16_t kSdtPid = 0x0011;
constexpr std::uint16_t kEitPid = 0x0012;
constexpr std::uint8_t kPatTableId = 0x00;
constexpr std::uint8_t kPmtTableId = 0x02;
constexpr std::uint8_t kNitActualTableId = 0x40;
constexpr std::uint8_t kSdtActualTableId = 0x42;

// SDT (actual transport stream): appends one record per service entry, in
// section order, with Nom, Groupe, Frequence = `frequency` (kHz), ONID, TSID, SID.
// Every service is appended, whatever its type or status, even one already listed.
void ParseSdt(const std::uint8_t* section, std::size_t length, std::int32_t frequency, ChannelList& list);

// PAT: sets PMT in every record of `list` with the section's TSID and the entry's
// programme number. The first entry (the network entry) is skipped unread.
void ParsePat(const std::uint8_t* section, std::size_t length, ChannelList& list);

// PMT of the record at `position`: sets its PCR, Video, Son1, Son2 and Ac3, and
// the codec of each. MPEG-1/2 video, MPEG audio and AC-3 streams take their fields
// first; H.264, HEVC, AAC and E-AC-3 streams fill only the fields left empty.
// Its Streams list is rebuilt: every audio stream with its codec, language and
// kind, every DVB subtitle entry and every teletext subtitle page, in the
// table's order (what does not fit the list is left out).
// Nothing happens when `position` names no record.
void ParsePmt(const std::uint8_t* section, std::size_t length, std::size_t position, ChannelList& list);

// NIT (actual network): sets Numero, from the logical channel descriptors, in
// every record with the entry's ONID, TSID and SID. The loops follow the
// section's own length fields; `length` only bounds them.
void ApplyNit(const std::uint8_t* section, std::size_t length, ChannelList& list);

// A transport stream that the NIT places on a frequency (kHz, rounded down).
struct AnnouncedStream {
    std::uint16_t onid;
    std::uint16_t tsid;
    std::int32_t centreKHz;
};

// NIT: every transport stream entry with a terrestrial delivery descriptor, in
// section order (one per descriptor). Same bounds as ApplyNit.
std::vector<AnnouncedStream> ReadNitDeliveries(const std::uint8_t* section, std::size_t length);
