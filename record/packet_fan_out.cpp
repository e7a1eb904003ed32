#include "record/packet_fan_out.h"

#include <algorithm>
#include <bit>

#include "channels/psi/ts_packet.h"

namespace {

std::uint16_t PidAt(const std::uint8_t* packet) noexcept
{
    return static_cast<std::uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
}

}  // namespace

bool PacketFanOut::Add(PacketRunSink* sink, const PidSelection& selection)
{
    if (!sink)
        return false;
    const std::lock_guard<std::mutex> lock(list_);
    if (entries_.size() >= kMaxSinks ||
        std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.sink == sink; }))
        return false;
    entries_.push_back({sink, selection});
    changed_ = true;
    return true;
}

void PacketFanOut::Remove(PacketRunSink* sink)
{
    Drop(sink);
    // A delivery that began before the removal may still be calling it.
    const std::lock_guard<std::mutex> wait(delivery_);
}

std::size_t PacketFanOut::Size() const
{
    const std::lock_guard<std::mutex> lock(list_);
    return entries_.size();
}

void PacketFanOut::Drop(PacketRunSink* sink)
{
    const std::lock_guard<std::mutex> lock(list_);
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.sink == sink; }),
                   entries_.end());
    changed_ = true;
}

void PacketFanOut::Rebuild()
{
    const std::lock_guard<std::mutex> lock(list_);
    calling_.clear();
    keptBy_.fill(0);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        calling_.push_back(entries_[i].sink);
        const std::uint32_t bit = std::uint32_t{1} << i;
        for (std::size_t pid = 0; pid < keptBy_.size(); ++pid)
            if (entries_[i].selection.Keeps(static_cast<std::uint16_t>(pid)))
                keptBy_[pid] |= bit;
    }
}

bool PacketFanOut::OnPackets(const std::uint8_t* packets, std::size_t count)
{
    const std::lock_guard<std::mutex> lock(delivery_);
    // A plain look first: the exchange's locked write only after a change.
    if (changed_.load(std::memory_order_acquire) && changed_.exchange(false))
        Rebuild();
    if (calling_.empty() || !packets)
        return true;

    const std::uint32_t everyone =
        calling_.size() == kMaxSinks ? ~std::uint32_t{0} : (std::uint32_t{1} << calling_.size()) - 1;
    std::uint32_t alive = everyone;
    std::uint32_t open = 0;  // the sinks whose run goes on at this packet
    std::size_t runStart[kMaxSinks];  // of the sinks in `open`
    // Hands each sink in `bits` its run up to packet `end`; a sink that fails
    // is out for the rest of the delivery.
    auto flush = [&](std::uint32_t bits, std::size_t end) {
        while (bits) {
            const int i = std::countr_zero(bits);
            bits &= bits - 1;
            const std::size_t from = runStart[static_cast<std::size_t>(i)];
            if (!calling_[static_cast<std::size_t>(i)]->WriteRun(packets + from * kTsPacketSize,
                                                                  (end - from) * kTsPacketSize))
                alive &= ~(std::uint32_t{1} << i);
        }
    };

    for (std::size_t at = 0; at < count; ++at) {
        const std::uint32_t keep = keptBy_[PidAt(packets + at * kTsPacketSize)] & alive;
        if (keep == open)
            continue;
        flush(open & ~keep, at);
        for (std::uint32_t started = keep & ~open; started; started &= started - 1)
            runStart[static_cast<std::size_t>(std::countr_zero(started))] = at;
        open = keep & alive;
    }
    flush(open, count);

    for (std::uint32_t failed = everyone & ~alive; failed; failed &= failed - 1) {
        const auto i = static_cast<std::size_t>(std::countr_zero(failed));
        Drop(calling_[i]);
    }
    return true;
}
