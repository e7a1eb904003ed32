#include "guide/guide_updater.h"

#include <utility>

#include "guide/eit_parser.h"

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
    if (ParseEitSection(section, size, channels_, watched_.load(), local_) == 0)
        return;
    // The events are stored before the flag is looked at: a user interface that
    // acknowledged the previous notice reads them, or gets a new notice.
    if (!pending_.exchange(true) && !notify_())
        pending_.store(false);
}
