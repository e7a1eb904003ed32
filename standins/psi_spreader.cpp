#include "standins/psi_spreader.h"

#include <algorithm>
#include <cstring>

namespace standins {

namespace {
constexpr std::size_t kPayloadPerPacket = kTsPacketSize - 4;
constexpr std::uint16_t kPatPid = 0x0000;
}  // namespace

void PsiSpreader::Push(const std::uint8_t* bytes, std::int64_t dueMicros)
{
    const TsPacket packet = ReadTsPacket(bytes, kTsPacketSize);
    std::int64_t out = dueMicros;
    if (packet.ok() && IsPsi(packet.pid)) {
        if (packet.pid == kPatPid) LearnPmtPids(packet);
        if (!Spread(packet, dueMicros, out)) return;
    }
    Packet copy;
    std::memcpy(copy.data(), bytes, kTsPacketSize);
    waiting_.emplace(out, copy);
}

bool PsiSpreader::PopDue(std::int64_t nowMicros, std::uint8_t* packet)
{
    if (waiting_.empty() || waiting_.begin()->first > nowMicros) return false;
    std::memcpy(packet, waiting_.begin()->second.data(), kTsPacketSize);
    waiting_.erase(waiting_.begin());
    return true;
}

void PsiSpreader::Reset()
{
    waiting_.clear();
    pids_.clear();
    pmtPids_.reset();
}

bool PsiSpreader::Spread(const TsPacket& packet, std::int64_t due, std::int64_t& out)
{
    PidState& state = pids_[packet.pid];
    if (!packet.hasPayload || packet.payloadSize == 0) {
        out = std::max(due, state.lastOut);
        state.lastOut = out;
        return true;
    }
    if (packet.unitStart) {
        const std::size_t pointer = packet.payload[0];
        // A packet that also ends the previous section is that section's last one.
        const std::int64_t earliest = state.continuations > 0 ? state.lastOut + state.gap : state.lastOut;
        state.continuations = 0;
        state.dropping = false;
        // Leaving out a section whose packet also ends the previous one would damage
        // that one: only a section that starts its packet may go.
        if (pointer == 0 && state.lastOut - due > kMaxLagMicros) {
            state.dropping = true;
            return false;
        }
        const std::size_t start = 1 + pointer;
        if (start + 3 <= packet.payloadSize && packet.payload[start] != 0xFF) {
            const std::size_t length =
                3 + ((static_cast<std::size_t>(packet.payload[start + 1] & 0x0F) << 8) | packet.payload[start + 2]);
            const std::size_t here = packet.payloadSize - start;
            if (length > here) {
                state.continuations = static_cast<int>((length - here + kPayloadPerPacket - 1) / kPayloadPerPacket);
                state.gap = kSpreadMicros / state.continuations;
            }
        }
        out = std::max(due, earliest);
    } else if (state.dropping) {
        return false;
    } else if (state.continuations > 0) {
        --state.continuations;
        out = std::max(due, state.lastOut + state.gap);
    } else {
        out = std::max(due, state.lastOut);
    }
    state.lastOut = out;
    return true;
}

void PsiSpreader::LearnPmtPids(const TsPacket& packet)
{
    // The PAT of a DVB-T multiplex fits one packet; its programme loop is read as far
    // as this packet holds it.
    if (!packet.unitStart) return;
    const std::size_t start = 1 + static_cast<std::size_t>(packet.payload[0]);
    if (start + 8 > packet.payloadSize || packet.payload[start] != 0x00) return;
    const std::uint8_t* section = packet.payload + start;
    const std::size_t length = 3 + ((static_cast<std::size_t>(section[1] & 0x0F) << 8) | section[2]);
    // Programme loop: after the 8-byte header, up to the 4-byte CRC.
    const std::size_t end = std::min(length >= 4 ? length - 4 : 0, packet.payloadSize - start);
    for (std::size_t at = 8; at + 4 <= end; at += 4) {
        const std::uint16_t programme = static_cast<std::uint16_t>((section[at] << 8) | section[at + 1]);
        const std::uint16_t pid = static_cast<std::uint16_t>(((section[at + 2] & 0x1F) << 8) | section[at + 3]);
        if (programme != 0) pmtPids_.set(pid);
    }
}

}  // namespace standins
