#pragma once
// Builds PSI/SI sections and transport packets for tests, fuzz seeds and
// benchmarks: lengths and CRC_32 are computed, so a case states only its fields.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "channels/psi/crc32.h"

namespace testsections {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

// A 12-bit length with the given flag bits above it.
inline void PutLength(Bytes& b, std::size_t length, unsigned flags = 0xF0)
{
    b.push_back(static_cast<std::uint8_t>(flags | ((length >> 8) & 0x0F)));
    b.push_back(static_cast<std::uint8_t>(length));
}

inline void PutPid(Bytes& b, unsigned pid)
{
    b.push_back(static_cast<std::uint8_t>(0xE0 | ((pid >> 8) & 0x1F)));
    b.push_back(static_cast<std::uint8_t>(pid));
}

inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& p : parts)
        Append(b, p);
    return b;
}

// Long-form section: table_id, section_length, table_id_extension, version 0,
// section 0 of 0, `body`, CRC_32.
inline Bytes LongSection(std::uint8_t tableId, unsigned extension, const Bytes& body)
{
    Bytes s{tableId};
    PutLength(s, 5 + body.size() + 4, 0xB0);
    Put16(s, extension);
    s.push_back(0xC1);
    s.push_back(0x00);
    s.push_back(0x00);
    Append(s, body);
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

// Short-form section (no syntax fields, no CRC), like the TDT.
inline Bytes ShortSection(std::uint8_t tableId, const Bytes& body)
{
    Bytes s{tableId};
    PutLength(s, body.size(), 0x70);
    Append(s, body);
    return s;
}

inline Bytes Descriptor(std::uint8_t tag, const Bytes& data)
{
    Bytes d(2 + data.size());
    d[0] = tag;
    d[1] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), d.begin() + 2);
    return d;
}

inline Bytes ServiceDescriptor(const Bytes& provider, const Bytes& name, std::uint8_t type = 0x01)
{
    Bytes d{type, static_cast<std::uint8_t>(provider.size())};
    Append(d, provider);
    d.push_back(static_cast<std::uint8_t>(name.size()));
    Append(d, name);
    return Descriptor(0x48, d);
}

// --- SDT ---
struct SdtService {
    unsigned sid;
    Bytes descriptors;
};

inline Bytes SdtEntry(unsigned sid, const Bytes& descriptors)
{
    Bytes e;
    Put16(e, sid);
    e.push_back(0xFC);
    PutLength(e, descriptors.size(), 0x80);  // running, not scrambled
    Append(e, descriptors);
    return e;
}

inline Bytes Sdt(unsigned tsid, unsigned onid, const std::vector<SdtService>& services)
{
    Bytes body;
    Put16(body, onid);
    body.push_back(0xFF);
    for (const SdtService& s : services)
        Append(body, SdtEntry(s.sid, s.descriptors));
    return LongSection(0x42, tsid, body);
}

inline SdtService Service(unsigned sid, const std::string& provider, const std::string& name)
{
    return SdtService{sid, ServiceDescriptor(Text(provider), Text(name))};
}

// --- PAT ---
struct PatEntry {
    unsigned programNumber;
    unsigned pid;
};

// Entries as given: put the network entry {0, 0x10} first as broadcasters do.
inline Bytes Pat(unsigned tsid, const std::vector<PatEntry>& entries)
{
    Bytes body;
    for (const PatEntry& e : entries) {
        Put16(body, e.programNumber);
        PutPid(body, e.pid);
    }
    return LongSection(0x00, tsid, body);
}

// --- PMT ---
struct PmtStream {
    std::uint8_t type;
    unsigned pid;
    Bytes descriptors;
};

inline Bytes Pmt(unsigned sid, unsigned pcr, const std::vector<PmtStream>& streams, const Bytes& programInfo = {})
{
    Bytes body;
    PutPid(body, pcr);
    PutLength(body, programInfo.size());
    Append(body, programInfo);
    for (const PmtStream& s : streams) {
        body.push_back(s.type);
        PutPid(body, s.pid);
        PutLength(body, s.descriptors.size());
        Append(body, s.descriptors);
    }
    return LongSection(0x02, sid, body);
}

inline Bytes Ac3Descriptor() { return Descriptor(0x6A, {0x00}); }

// --- NIT ---
struct NitTransportStream {
    unsigned tsid;
    unsigned onid;
    Bytes descriptors;
};

struct Lcn {
    unsigned sid;
    unsigned number;  // written with the visible flag and reserved bits set
};

inline Bytes LogicalChannelDescriptor(const std::vector<Lcn>& entries)
{
    Bytes d;
    for (const Lcn& e : entries) {
        Put16(d, e.sid);
        Put16(d, 0xFC00 | e.number);
    }
    return Descriptor(0x83, d);
}

inline Bytes Nit(unsigned networkId, const std::vector<NitTransportStream>& streams, const Bytes& networkDescriptors = {})
{
    Bytes body;
    PutLength(body, networkDescriptors.size());
    Append(body, networkDescriptors);
    Bytes loop;
    for (const NitTransportStream& t : streams) {
        Put16(loop, t.tsid);
        Put16(loop, t.onid);
        PutLength(loop, t.descriptors.size());
        Append(loop, t.descriptors);
    }
    PutLength(body, loop.size());
    Append(body, loop);
    return LongSection(0x40, networkId, body);
}

// --- EIT ---
// Start as MJD + BCD time, duration as BCD.
struct EitEvent {
    unsigned eventId;
    unsigned mjd;
    std::uint8_t start[3];     // BCD hh mm ss
    std::uint8_t duration[3];  // BCD hh mm ss
    Bytes descriptors;
};

inline Bytes ShortEventDescriptor(const Bytes& name, const Bytes& text, const std::string& language = "fre")
{
    Bytes d = Text(language);
    d.push_back(static_cast<std::uint8_t>(name.size()));
    Append(d, name);
    d.push_back(static_cast<std::uint8_t>(text.size()));
    Append(d, text);
    return Descriptor(0x4D, d);
}

inline Bytes EitEventBytes(const EitEvent& e)
{
    Bytes b;
    Put16(b, e.eventId);
    Put16(b, e.mjd);
    b.insert(b.end(), e.start, e.start + 3);
    b.insert(b.end(), e.duration, e.duration + 3);
    PutLength(b, e.descriptors.size(), 0x80);  // running_status 4
    Append(b, e.descriptors);
    return b;
}

inline Bytes Eit(unsigned sid, const std::vector<EitEvent>& events, std::uint8_t tableId = 0x4E,
                 unsigned tsid = 0x0001, unsigned onid = 0x20FA)
{
    Bytes body;
    Put16(body, tsid);
    Put16(body, onid);
    body.push_back(0x01);     // segment_last_section_number
    body.push_back(tableId);  // last_table_id
    for (const EitEvent& e : events)
        Append(body, EitEventBytes(e));
    return LongSection(tableId, sid, body);
}

// --- Transport packets ---
// Packs sections one after the other into 188-byte packets of `pid`: a packet
// in which a section begins has payload_unit_start_indicator set and a
// pointer_field; the last packet is padded with 0xFF. `counter` carries the
// continuity_counter from one call to the next.
inline Bytes Packetize(unsigned pid, const std::vector<Bytes>& sections, unsigned& counter)
{
    Bytes data;
    std::vector<std::size_t> starts;
    for (const Bytes& s : sections) {
        starts.push_back(data.size());
        Append(data, s);
    }
    Bytes out;
    std::size_t pos = 0;
    std::size_t next = 0;  // first section start not yet behind pos
    while (pos < data.size()) {
        while (next < starts.size() && starts[next] < pos)
            ++next;
        const bool startHere = next < starts.size() && starts[next] < pos + 183;
        Bytes packet{0x47, static_cast<std::uint8_t>((startHere ? 0x40 : 0x00) | ((pid >> 8) & 0x1F)),
                     static_cast<std::uint8_t>(pid), static_cast<std::uint8_t>(0x10 | (counter & 0x0F))};
        counter = (counter + 1) & 0x0F;
        std::size_t room = 184;
        if (startHere) {
            packet.push_back(static_cast<std::uint8_t>(starts[next] - pos));
            room = 183;
        } else if (next < starts.size() && starts[next] == pos + 183) {
            room = 183;  // that section must begin in a packet of its own
        }
        const std::size_t n = std::min(room, data.size() - pos);
        packet.insert(packet.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                      data.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
        packet.resize(188, 0xFF);
        Append(out, packet);
    }
    return out;
}

}  // namespace testsections
