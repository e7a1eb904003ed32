#include "guide/guide_updater.h"

#include <utility>

#include "guide/eit_parser.h"

namespace {

// The record a section's events go to: the first whose SID is its service_id, as
// the parser chooses it; -1 when there is none.
std::int32_t RecordOf(const std::uint8_t* section, std::size_t size, const ChannelList& channels)
{
    if (size < 5)
        return -1;
    const int serviceId = section[3] << 8 | section[4];
    for (std::size_t i = 0; i < channels.size(); ++i)
        if (channels[i].SID == serviceId)
            return static_cast<std::int32_t>(i);
    return -1;
}

}  // namespace

GuideUpdater::GuideUpdater(ChannelList& channels, const LocalTimeFormatter& local, std::function<bool()> notify)
    : channels_(channels), local_(local), notify_(std::move(notify))
{
}

void GuideUpdater::Watch(std::int32_t channel)
{
    watched_.store(channel);
}

void GuideUpdater::Acknowledge()
{
    pending_.store(false);
}

void GuideUpdater::OnSection(const std::uint8_t* section, std::size_t size)
{
    const std::int32_t record = RecordOf(section, size, channels_);
    if (record < 0 || ParseEitSection(section, size, channels_, record, local_) == 0)
        return;
    // The watched channel is read only once the events are stored. A channel
    // change shows the new channel's slots after it sets the watched channel: if
    // it came too late for this read, it shows these events itself; if not, this
    // read sees it. Read before the store, a change in between would show empty
    // slots and no notice would follow until the channel's next programme, since
    // an event already kept is never stored again.
    if (watched_.load() != record)
        return;
    // Likewise the flag is looked at after the store: a user interface that
    // acknowledged the previous notice reads these events, or gets a new notice.
    if (!pending_.exchange(true) && !notify_())
        pending_.store(false);
}
