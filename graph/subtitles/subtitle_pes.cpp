#include "graph/subtitles/subtitle_pes.h"

namespace {

constexpr std::size_t kFixedHeader = 6;

std::size_t AnnouncedLength(const std::vector<std::uint8_t>& packet)
{
    if (packet.size() < kFixedHeader) return 0;
    return (static_cast<std::size_t>(packet[4]) << 8) | packet[5];
}

}  // namespace

bool ParseSubtitlePes(const std::uint8_t* data, std::size_t size, SubtitlePes& out)
{
    // Start code, stream id, length, then the optional header that private
    // streams carry: flags and the header data length.
    if (size < kFixedHeader + 3 || data[0] != 0 || data[1] != 0 || data[2] != 1) return false;
    const std::size_t announced = (static_cast<std::size_t>(data[4]) << 8) | data[5];
    std::size_t end = size;
    if (announced != 0) {
        if (kFixedHeader + announced > size) return false;
        end = kFixedHeader + announced;
    }
    if ((data[6] & 0xC0) != 0x80) return false;
    const bool ptsFlag = (data[7] & 0x80) != 0;
    const std::size_t headerEnd = kFixedHeader + 3 + data[8];
    if (headerEnd > end) return false;
    out.hasPts = false;
    out.pts = 0;
    if (ptsFlag) {
        if (data[8] < 5) return false;
        const std::uint8_t* p = data + kFixedHeader + 3;
        out.pts = (static_cast<std::int64_t>(p[0] & 0x0E) << 29) | (static_cast<std::int64_t>(p[1]) << 22) |
                  (static_cast<std::int64_t>(p[2] & 0xFE) << 14) | (static_cast<std::int64_t>(p[3]) << 7) |
                  (p[4] >> 1);
        out.hasPts = true;
    }
    out.data.assign(data + headerEnd, data + end);
    return true;
}

std::vector<SubtitlePes> SubtitlePesAssembler::Feed(const std::uint8_t* data, std::size_t size, bool starts,
                                                    bool lost, std::optional<std::int64_t> time)
{
    std::vector<SubtitlePes> out;
    if (lost) Reset();
    if (starts) {
        // Whatever was being built ends here: an unbounded packet is whole, a
        // bounded one that is still short lost its end.
        if (collecting_ && AnnouncedLength(packet_) == 0) Finish(out);
        packet_.clear();
        collecting_ = true;
        time_ = time;
    }
    if (!collecting_ || !data) return out;
    if (packet_.size() + size > kLargestPacket) {
        Reset();
        return out;
    }
    packet_.insert(packet_.end(), data, data + size);
    const std::size_t announced = AnnouncedLength(packet_);
    if (announced != 0 && packet_.size() >= kFixedHeader + announced) {
        Finish(out);
        Reset();
    }
    return out;
}

bool SubtitlePesAssembler::Finish(std::vector<SubtitlePes>& out)
{
    SubtitlePes pes;
    if (!ParseSubtitlePes(packet_.data(), packet_.size(), pes)) return false;
    pes.sampleTime = time_;
    out.push_back(std::move(pes));
    return true;
}

void SubtitlePesAssembler::Reset()
{
    packet_.clear();
    collecting_ = false;
    time_.reset();
}
