#include "tools/tsgen/eit_tables.h"

#include "tools/tsgen/byte_writer.h"
#include "tools/tsgen/utc_time.h"

namespace tsgen {
namespace {

constexpr std::size_t kMaxEitSection = 4096;
constexpr std::uint8_t kDescShortEvent = 0x4D;
constexpr unsigned kRunning = 4;
constexpr unsigned kNotRunning = 1;

void WriteEvent(ByteWriter& w, const Event& e, unsigned runningStatus)
{
    w.U16(e.eventId);
    w.Bytes(EncodeEitStart(e.start));
    w.Bytes(EncodeEitDuration(e.duration));
    const auto loop = w.OpenLength12(runningStatus << 1);  // free_CA_mode 0
    w.U8(kDescShortEvent);
    const auto len = w.OpenLength8();
    w.Bytes(e.language);
    w.U8(static_cast<unsigned>(e.title.size()));
    w.Bytes(e.title);
    w.U8(static_cast<unsigned>(e.text.size()));
    w.Bytes(e.text);
    w.CloseLength8(len);
    w.CloseLength12(loop);
}

}  // namespace

PresentFollowing FindPresentFollowing(const Service& service, std::int64_t now)
{
    PresentFollowing pf;
    int boundariesPassed = 0;
    for (const Event& e : service.events) {
        boundariesPassed += (e.start <= now) + (e.start + e.duration <= now);
        if (e.start <= now && now < e.start + e.duration)
            pf.present = &e;
        else if (e.start > now && !pf.following)
            pf.following = &e;
    }
    pf.version = boundariesPassed & 0x1F;
    return pf;
}

std::array<Section, 2> BuildEitPresentFollowing(std::uint8_t tableId, const Multiplex& mux, const Service& service,
                                                std::int64_t now)
{
    const PresentFollowing pf = FindPresentFollowing(service, now);
    std::array<Section, 2> sections;
    for (int number = 0; number < 2; ++number) {
        ByteWriter w;
        w.U16(mux.tsid);
        w.U16(mux.onid);
        w.U8(1);        // segment_last_section_number
        w.U8(tableId);  // last_table_id
        const Event* e = number == 0 ? pf.present : pf.following;
        if (e)
            WriteEvent(w, *e, number == 0 ? kRunning : kNotRunning);
        sections[number] = FinishSection(tableId, true, service.sid, static_cast<std::uint8_t>(pf.version),
                                         static_cast<std::uint8_t>(number), 1, w.data(), kMaxEitSection);
    }
    return sections;
}

}  // namespace tsgen
