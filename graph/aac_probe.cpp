#include "graph/aac_probe.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr std::size_t kPacketSize = 188;
constexpr std::size_t kPesFixedHeader = 9;
// Two of the longest frames: a header is only believed when the next frame's header
// follows it where its length says, and a false sync in the audio data is likely
// enough that one header alone is not proof.
constexpr std::size_t kMaxPending = 2 * 8192;

}  // namespace

AacProbe::AacProbe(std::uint16_t pid) : pid_(pid) { pending_.reserve(kMaxPending); }

bool AacProbe::OnPackets(const std::uint8_t* packets, std::size_t count)
{
    for (std::size_t i = 0; i < count && !Found(); ++i) {
        const std::uint8_t* packet = packets + i * kPacketSize;
        const std::uint16_t pid = static_cast<std::uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
        if (pid == pid_)
            TakePayload(packet);
    }
    return !Found();
}

void AacProbe::TakePayload(const std::uint8_t* packet)
{
    const bool unitStart = (packet[1] & 0x40) != 0;
    const unsigned adaptation = (packet[3] >> 4) & 0x03;
    if ((adaptation & 0x01) == 0)
        return;  // no payload
    std::size_t offset = 4;
    if (adaptation & 0x02)
        offset += 1 + std::size_t(packet[4]);
    if (offset >= kPacketSize)
        return;
    if (unitStart) {
        // A new PES packet: its header is not audio. A PES header cut across packets
        // is not worth handling for a probe; the next unit start will do.
        const std::uint8_t* pes = packet + offset;
        const std::size_t left = kPacketSize - offset;
        if (left < kPesFixedHeader || pes[0] != 0 || pes[1] != 0 || pes[2] != 1)
            return;
        offset += kPesFixedHeader + pes[8];
        if (offset > kPacketSize)
            return;
        started_ = true;
    }
    if (!started_)
        return;
    if (pending_.size() + (kPacketSize - offset) > kMaxPending)
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pending_.size() / 2));
    pending_.insert(pending_.end(), packet + offset, packet + kPacketSize);
    Scan();
}

void AacProbe::Scan()
{
    std::size_t pos = 0;
    for (; pos + 1 < pending_.size(); ++pos) {
        if (pending_[pos] != 0xFF || (pending_[pos + 1] & 0xF0) != 0xF0)
            continue;
        const auto header = ParseAdtsHeader(pending_.data() + pos, pending_.size() - pos);
        if (!header) {
            if (pending_.size() - pos < 7)
                break;  // maybe a header whose end has not come yet
            continue;
        }
        const std::size_t next = pos + header->frameLength;
        if (next + 7 > pending_.size())
            break;  // wait for the following header
        const auto following = ParseAdtsHeader(pending_.data() + next, pending_.size() - next);
        if (following && following->format.sampleRate == header->format.sampleRate &&
            following->format.channels == header->format.channels) {
            format_ = header->format;
            found_.store(true, std::memory_order_release);
            pending_.clear();
            return;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
}

bool WaitForAacFormat(const AacProbe& probe, unsigned timeoutMs, AudioFormat& format)
{
    constexpr auto kPoll = std::chrono::milliseconds(10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!probe.Found()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    format = probe.Format();
    return true;
}
