#pragma once
// What brisome-epg takes from a transport stream: the service names of the SDT
// (PID 0x11, this multiplex's and the others') and the events of every EIT
// section (PID 0x12). Packets of other PIDs are passed over unread.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "channels/psi/section_assembler.h"
#include "guide/schedule/guide_entry.h"
#include "guide/schedule/schedule_model.h"

class EpgCollector {
public:
    EpgCollector();

    // Feeds bytes of a stream, in any cut: a packet split between two calls is
    // carried over, and bytes out of sync are skipped up to the next sync byte.
    void Feed(const std::uint8_t* bytes, std::size_t size);
    // Between two files: the assemblers and any carried bytes are forgotten,
    // the names and events kept.
    void EndOfFile();

    std::vector<GuideService> Services() const;
    std::vector<GuideEntry> Events() const;
    std::size_t sections() const { return sections_; }

private:
    void FeedPackets(const std::uint8_t* bytes, std::size_t size);
    void OnSdt(const std::uint8_t* section, std::size_t length);

    SectionAssembler sdt_;
    SectionAssembler eit_;
    ScheduleModel model_;
    std::map<ServiceKey, std::string> names_;
    std::vector<std::uint8_t> carry_;
    std::size_t sections_ = 0;
};
