#include "tools/brisome_epg/epg_collector.h"

#include <cstring>

#include "channels/chaine.h"
#include "channels/psi/psi_parsers.h"
#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/event_texts.h"

namespace {

constexpr std::uint8_t kSdtOtherTableId = 0x46;

bool WantedPid(const std::uint8_t* packet)
{
    const unsigned pid = (packet[1] & 0x1F) << 8 | packet[2];
    return pid == kSdtPid || pid == kEitPid;
}

}  // namespace

EpgCollector::EpgCollector()
    : sdt_(kSdtPid, [this](const std::uint8_t* s, std::size_t n) { OnSdt(s, n); }),
      eit_(kEitPid, [this](const std::uint8_t* s, std::size_t n) {
          EitSection section;
          if (ParseEitSection(s, n, section) == EitSectionStatus::Ok) {
              ++sections_;
              model_.Apply(section);
          }
      })
{
}

void EpgCollector::OnSdt(const std::uint8_t* section, std::size_t length)
{
    if (length == 0 || (section[0] != kSdtActualTableId && section[0] != kSdtOtherTableId))
        return;
    ChannelList list;
    ParseSdt(section, length, 0, list);
    for (const Chaine& c : list) {
        const ServiceKey key{static_cast<std::uint16_t>(c.ONID), static_cast<std::uint16_t>(c.TSID),
                             static_cast<std::uint16_t>(c.SID)};
        names_[key] = DvbTextToUtf8(std::string_view(c.Nom, strnlen(c.Nom, sizeof c.Nom)));
    }
}

void EpgCollector::Feed(const std::uint8_t* bytes, std::size_t size)
{
    if (!carry_.empty()) {
        const std::size_t need = std::min(size, kTsPacketSize - carry_.size());
        carry_.insert(carry_.end(), bytes, bytes + need);
        bytes += need;
        size -= need;
        if (carry_.size() < kTsPacketSize)
            return;
        FeedPackets(carry_.data(), carry_.size());
        carry_.clear();
    }
    FeedPackets(bytes, size);
}

void EpgCollector::FeedPackets(const std::uint8_t* bytes, std::size_t size)
{
    std::size_t i = 0;
    while (i < size) {
        if (bytes[i] != kTsSyncByte) {
            ++i;
            continue;
        }
        if (size - i < kTsPacketSize) {
            carry_.assign(bytes + i, bytes + size);
            return;
        }
        const std::uint8_t* packet = bytes + i;
        if (WantedPid(packet)) {
            const TsPacket p = ReadTsPacket(packet, kTsPacketSize);
            sdt_.FeedPacket(p);
            eit_.FeedPacket(p);
        }
        i += kTsPacketSize;
    }
}

void EpgCollector::EndOfFile()
{
    carry_.clear();
    sdt_.Reset();
    eit_.Reset();
}

std::vector<GuideService> EpgCollector::Services() const
{
    std::vector<GuideService> services;
    for (const auto& [key, name] : names_)
        services.push_back({key, name});
    return services;
}

std::vector<GuideEntry> EpgCollector::Events() const
{
    std::vector<GuideEntry> entries;
    for (const ServiceKey& key : model_.Services())
        for (const ScheduleEvent& e : model_.Events(key))
            entries.push_back(DecodeEvent(key, e));
    return entries;
}
