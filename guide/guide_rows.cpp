#include "guide/guide_rows.h"

#include "guide/guide_slots.h"

std::vector<GuideRow> GuideRows(const ChannelList& channels)
{
    std::vector<GuideRow> rows;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const GuideSlots slots = ReadGuideSlots(channels[i]);
        for (const GuideEvent* event : {&slots.present, &slots.following})
            if (event->startTime != 0)
                rows.push_back(GuideRow{i, *event});
    }
    return rows;
}
