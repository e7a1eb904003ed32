#include "channels/psi/packet_tap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "channels/psi/ts_packet.h"

// Two locks: `delivery` is held for a whole Feed (and by Reset, and briefly by
// Unsubscribe to wait for a delivery to end); `list` guards the subscribers
// only, so Subscribe never waits for a delivery and a subscriber may even
// subscribe another from inside its call. The streaming thread works from its
// own copy of the list, taken again only after a change, so a delivery costs
// no lock.
struct PacketTap::State {
    std::mutex delivery;
    std::mutex list;
    std::vector<PacketSubscriber*> subscribers;  // guarded by `list`
    std::atomic<bool> changed{false};            // `subscribers` changed since the last look

    // Streaming thread, under `delivery`.
    std::vector<PacketSubscriber*> calling;  // this Feed's subscribers; null once removed
    // Bytes of a packet cut by the sample's end: at most 187, or a whole packet
    // when a resync found it last in the sample and its successor is unseen.
    std::uint8_t carry[kTsPacketSize] = {};
    std::size_t carried = 0;
    // The carried bytes began at a sync byte found by a resync whose next packet
    // boundary lay past the sample: that boundary is checked once it arrives.
    bool carryUnchecked = false;
    bool inSync = false;

    void Deliver(const std::uint8_t* packets, std::size_t count);
    void Drop(PacketSubscriber* subscriber);
    void Carry(const std::uint8_t* bytes, std::size_t size, bool unchecked)
    {
        std::memcpy(carry, bytes, size);
        carried = size;
        carryUnchecked = unchecked;
    }
    // The offset of the first sync byte at or after `from` that a resync may
    // accept, or `size` when there is none.
    static std::size_t Resync(const std::uint8_t* data, std::size_t size, std::size_t from);
};

void PacketTap::State::Deliver(const std::uint8_t* packets, std::size_t count)
{
    if (changed.exchange(false)) {
        const std::lock_guard<std::mutex> lock(list);
        calling.assign(subscribers.begin(), subscribers.end());
    }
    for (PacketSubscriber*& subscriber : calling) {
        if (subscriber && !subscriber->OnPackets(packets, count)) {
            Drop(subscriber);
            subscriber = nullptr;
        }
    }
}

void PacketTap::State::Drop(PacketSubscriber* subscriber)
{
    const std::lock_guard<std::mutex> lock(list);
    subscribers.erase(std::remove(subscribers.begin(), subscribers.end(), subscriber), subscribers.end());
    changed = true;
}

std::size_t PacketTap::State::Resync(const std::uint8_t* data, std::size_t size, std::size_t from)
{
    while (from < size) {
        const void* found = std::memchr(data + from, kTsSyncByte, size - from);
        if (!found)
            return size;
        const std::size_t at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data);
        // A 0x47 inside a payload is common; one followed by another a packet
        // later is the stream's own rhythm. Past the data's end nothing can be
        // checked yet.
        if (size - at <= kTsPacketSize || data[at + kTsPacketSize] == kTsSyncByte)
            return at;
        from = at + 1;
    }
    return size;
}

PacketTap::PacketTap() : state_(std::make_unique<State>()) {}

PacketTap::~PacketTap() = default;

void PacketTap::Subscribe(PacketSubscriber* subscriber)
{
    if (!subscriber)
        return;
    const std::lock_guard<std::mutex> lock(state_->list);
    if (std::find(state_->subscribers.begin(), state_->subscribers.end(), subscriber) == state_->subscribers.end())
        state_->subscribers.push_back(subscriber);
    state_->changed = true;
}

void PacketTap::Unsubscribe(PacketSubscriber* subscriber)
{
    state_->Drop(subscriber);
    // A Feed that began before the removal may still be calling it.
    const std::lock_guard<std::mutex> wait(state_->delivery);
}

void PacketTap::Reset()
{
    const std::lock_guard<std::mutex> lock(state_->delivery);
    state_->carried = 0;
    state_->carryUnchecked = false;
    state_->inSync = false;
}

void PacketTap::Feed(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return;
    State& s = *state_;
    const std::lock_guard<std::mutex> lock(s.delivery);

    std::size_t at = 0;
    if (s.carried > 0) {
        // A carried packet found by a resync must be followed by a sync byte a
        // packet later; if it is not, the next sync byte inside the carried
        // bytes is tried in its place.
        while (s.carryUnchecked && s.carried > 0) {
            const std::size_t need = kTsPacketSize - s.carried;
            if (size <= need || data[need] == kTsSyncByte)
                break;
            const void* next = std::memchr(s.carry + 1, kTsSyncByte, s.carried - 1);
            if (!next) {
                s.carried = 0;
                break;
            }
            const std::size_t skip = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - s.carry);
            std::memmove(s.carry, s.carry + skip, s.carried - skip);
            s.carried -= skip;
        }
        if (s.carried == 0) {
            s.carryUnchecked = false;
            s.inSync = false;
        } else {
            const std::size_t need = kTsPacketSize - s.carried;
            if (size < need) {
                std::memcpy(s.carry + s.carried, data, size);
                s.carried += size;
                return;
            }
            std::memcpy(s.carry + s.carried, data, need);
            s.Deliver(s.carry, 1);
            at = need;
            s.carried = 0;
            s.carryUnchecked = false;
            s.inSync = true;
        }
    }

    // A packet is taken without looking ahead only where the previous one ended.
    bool checked = s.inSync;
    s.inSync = false;
    while (at < size) {
        if (data[at] != kTsSyncByte || !checked) {
            const std::size_t found = State::Resync(data, size, data[at] == kTsSyncByte ? at : at + 1);
            if (found >= size)
                return;  // no packet begins in the rest: out of step until one does
            at = found;
            if (size - at <= kTsPacketSize) {
                // Even a whole packet waits: only the next sample can confirm it.
                s.Carry(data + at, size - at, true);
                return;
            }
        }
        if (size - at < kTsPacketSize) {
            s.Carry(data + at, size - at, false);
            s.inSync = true;
            return;
        }
        // A run of packets each at its boundary, handed out from the sample itself.
        std::size_t end = at;
        do
            end += kTsPacketSize;
        while (size - end >= kTsPacketSize && data[end] == kTsSyncByte);
        s.Deliver(data + at, (end - at) / kTsPacketSize);
        at = end;
        checked = true;
    }
    s.inSync = true;
}
