#include "guide/guide_slots.h"

#include <mutex>

namespace {

// One lock for every slot: writes are rare (a few per second) and each copy is
// about a kilobyte, so contention is negligible.
std::mutex slotLock;

}  // namespace

GuideSlots ReadGuideSlots(const Chaine& channel)
{
    std::lock_guard<std::mutex> hold(slotLock);
    return GuideSlots{channel.presentEvent, channel.followingEvent};
}

bool StoreGuideEvent(Chaine& channel, const GuideEvent& event)
{
    std::lock_guard<std::mutex> hold(slotLock);
    const std::uint64_t n = event.startTime;
    const std::uint64_t p = channel.presentEvent.startTime;
    const std::uint64_t f = channel.followingEvent.startTime;
    if (n == p || n == f)
        return false;

    if (p == 0) {
        channel.presentEvent = event;
    } else if (n < p) {
        channel.followingEvent = channel.presentEvent;
        channel.presentEvent = event;
    } else if (f == 0) {
        channel.followingEvent = event;
    } else if (n > f) {
        channel.presentEvent = channel.followingEvent;
        channel.followingEvent = event;
    } else {
        // P < N < F: the new event replaces the present one.
        channel.presentEvent = event;
    }
    return true;
}
