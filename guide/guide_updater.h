#pragma once
// Stores the events of each EIT section in the channel list and tells the user
// interface when the events of the channel being watched changed.
//
// The notice is coalesced: once one is on its way, no other is sent until the
// user interface has acknowledged it, so a burst of sections (or a flood of
// them) leaves at most one message in the window's queue, and the status bar
// still ends up showing the last events stored.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "channels/chaine.h"
#include "guide/guide_reader_loop.h"
#include "guide/local_time.h"

class GuideUpdater final : public GuideSectionSink {
public:
    // `notify` is called on the reader's thread; it returns false when the
    // notice could not be sent (the next stored event then tries again).
    // `channels` must keep its records in place while the updater is used.
    GuideUpdater(ChannelList& channels, const LocalTimeFormatter& local, std::function<bool()> notify);

    // The channel whose changes are told, -1 for none. Any thread.
    void Watch(std::int32_t channel);
    // The user interface has taken the notice and is about to read the slots.
    void Acknowledge();

    void OnSection(const std::uint8_t* section, std::size_t size) override;

private:
    ChannelList& channels_;
    const LocalTimeFormatter& local_;
    std::function<bool()> notify_;
    std::atomic<std::int32_t> watched_{-1};
    std::atomic<bool> pending_{false};
};
