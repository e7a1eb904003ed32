#pragma once
// PSI/SI sections for tests, fuzz seeds and benchmarks: lengths and CRC_32 are
// computed, so a case states only its fields.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bytes.h"

namespace tstest {

// Long-form section: table_id, section_length, table_id_extension, `version`,
// section 0 of 0, `body`, CRC_32.
Bytes LongSection(std::uint8_t tableId, unsigned extension, const Bytes& body, std::uint8_t version = 0);
// Short-form section (no syntax fields, no CRC), like the TDT.
Bytes ShortSection(std::uint8_t tableId, const Bytes& body);

Bytes Descriptor(std::uint8_t tag, const Bytes& data);
Bytes ServiceDescriptor(const Bytes& provider, const Bytes& name, std::uint8_t type = 0x01);
Bytes Ac3Descriptor();

// --- SDT (actual transport stream) ---
struct SdtService {
    unsigned sid;
    Bytes descriptors;
};
SdtService Service(unsigned sid, const std::string& provider, const std::string& name);
Bytes Sdt(unsigned tsid, unsigned onid, const std::vector<SdtService>& services);
// An SDT of network 0x2085 naming one service, with no provider name.
Bytes OneServiceSdt(unsigned tsid, unsigned sid, const std::string& name);

// --- PAT ---
struct PatEntry {
    unsigned programNumber;
    unsigned pid;
};
// Entries as given: put the network entry {0, 0x10} first as broadcasters do.
Bytes Pat(unsigned tsid, const std::vector<PatEntry>& entries);

// --- PMT ---
struct PmtStream {
    std::uint8_t type;
    unsigned pid;
    Bytes descriptors;
};
Bytes Pmt(unsigned sid, unsigned pcr, const std::vector<PmtStream>& streams, const Bytes& programInfo = {});

// --- NIT (actual network) ---
struct NitTransportStream {
    unsigned tsid;
    unsigned onid;
    Bytes descriptors;
};
struct Lcn {
    unsigned sid;
    unsigned number;  // written with the visible flag and reserved bits set
};
Bytes LogicalChannelDescriptor(const std::vector<Lcn>& entries);
Bytes Nit(unsigned networkId, const std::vector<NitTransportStream>& streams, const Bytes& networkDescriptors = {});

// --- EIT ---
// Start as MJD + BCD time, duration as BCD.
struct EitEvent {
    unsigned eventId;
    unsigned mjd;
    std::uint8_t start[3];     // BCD hh mm ss
    std::uint8_t duration[3];  // BCD hh mm ss
    Bytes descriptors;
};
Bytes ShortEventDescriptor(const Bytes& name, const Bytes& text, const std::string& language = "fre");
Bytes EitEventBytes(const EitEvent& e);
Bytes Eit(unsigned sid, const std::vector<EitEvent>& events, std::uint8_t tableId = 0x4E, unsigned tsid = 0x0001,
          unsigned onid = 0x20FA);

}  // namespace tstest
