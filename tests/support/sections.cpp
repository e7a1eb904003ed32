#include "tests/support/sections.h"

#include <algorithm>

#include "channels/psi/crc32.h"

namespace tstest {

Bytes LongSection(std::uint8_t tableId, unsigned extension, const Bytes& body, std::uint8_t version)
{
    Bytes s{tableId};
    PutLength(s, 5 + body.size() + 4, 0xB0);
    Put16(s, extension);
    s.push_back(static_cast<std::uint8_t>(0xC1 | (version & 0x1F) << 1));  // current_next_indicator 1
    s.push_back(0x00);  // section_number
    s.push_back(0x00);  // last_section_number
    Append(s, body);
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

Bytes ShortSection(std::uint8_t tableId, const Bytes& body)
{
    Bytes s{tableId};
    PutLength(s, body.size(), 0x70);
    Append(s, body);
    return s;
}

Bytes Descriptor(std::uint8_t tag, const Bytes& data)
{
    Bytes d(2 + data.size());
    d[0] = tag;
    d[1] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), d.begin() + 2);
    return d;
}

Bytes ServiceDescriptor(const Bytes& provider, const Bytes& name, std::uint8_t type)
{
    Bytes d{type, static_cast<std::uint8_t>(provider.size())};
    Append(d, provider);
    d.push_back(static_cast<std::uint8_t>(name.size()));
    Append(d, name);
    return Descriptor(0x48, d);
}

Bytes Ac3Descriptor() { return Descriptor(0x6A, {0x00}); }

SdtService Service(unsigned sid, const std::string& provider, const std::string& name)
{
    return SdtService{sid, ServiceDescriptor(Text(provider), Text(name))};
}

Bytes Sdt(unsigned tsid, unsigned onid, const std::vector<SdtService>& services)
{
    Bytes body;
    Put16(body, onid);
    body.push_back(0xFF);
    for (const SdtService& s : services) {
        Put16(body, s.sid);
        body.push_back(0xFC);
        PutLength(body, s.descriptors.size(), 0x80);  // running, not scrambled
        Append(body, s.descriptors);
    }
    return LongSection(0x42, tsid, body);
}

Bytes OneServiceSdt(unsigned tsid, unsigned sid, const std::string& name)
{
    return Sdt(tsid, 0x2085, {Service(sid, "", name)});
}

Bytes Pat(unsigned tsid, const std::vector<PatEntry>& entries)
{
    Bytes body;
    for (const PatEntry& e : entries) {
        Put16(body, e.programNumber);
        PutPid(body, e.pid);
    }
    return LongSection(0x00, tsid, body);
}

Bytes Pmt(unsigned sid, unsigned pcr, const std::vector<PmtStream>& streams, const Bytes& programInfo)
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

Bytes LogicalChannelDescriptor(const std::vector<Lcn>& entries)
{
    Bytes d;
    for (const Lcn& e : entries) {
        Put16(d, e.sid);
        Put16(d, 0xFC00 | e.number);
    }
    return Descriptor(0x83, d);
}

Bytes Nit(unsigned networkId, const std::vector<NitTransportStream>& streams, const Bytes& networkDescriptors)
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

Bytes ShortEventDescriptor(const Bytes& name, const Bytes& text, const std::string& language)
{
    Bytes d = Text(language);
    d.push_back(static_cast<std::uint8_t>(name.size()));
    Append(d, name);
    d.push_back(static_cast<std::uint8_t>(text.size()));
    Append(d, text);
    return Descriptor(0x4D, d);
}

Bytes EitEventBytes(const EitEvent& e)
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

Bytes Eit(unsigned sid, const std::vector<EitEvent>& events, std::uint8_t tableId, unsigned tsid, unsigned onid)
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

}  // namespace tstest
