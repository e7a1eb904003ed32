#include "standins/decoders/mpeg_video_stream.h"

#include <algorithm>
#include <cstring>

namespace standin {

std::optional<SequenceHeader> ParseSequenceHeader(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < 4) return std::nullopt;
    SequenceHeader h;
    h.width = (data[0] << 4) | (data[1] >> 4);
    h.height = ((data[1] & 0x0F) << 8) | data[2];
    h.aspectRatioCode = data[3] >> 4;
    h.frameRateCode = data[3] & 0x0F;
    if (h.width == 0 || h.height == 0 || h.width > kMaxPictureSide || h.height > kMaxPictureSide)
        return std::nullopt;
    return h;
}

std::int64_t FramePeriod100ns(int frameRateCode)
{
    // 10^7 / frame rate, with the NTSC rates as their exact 1001 fractions.
    switch (frameRateCode) {
    case 1: return 417084;   // 24000/1001
    case 2: return 416667;   // 24
    case 3: return 400000;   // 25
    case 4: return 333667;   // 30000/1001
    case 5: return 333333;   // 30
    case 6: return 200000;   // 50
    case 7: return 166833;   // 60000/1001
    case 8: return 166667;   // 60
    default: return 400000;
    }
}

std::optional<int> ParseServicePidUserData(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kPrefix[] = "BTVPID=";
    constexpr std::size_t prefixLength = sizeof kPrefix - 1;
    if (!data || size <= prefixLength || std::memcmp(data, kPrefix, prefixLength) != 0) return std::nullopt;
    int value = 0;
    std::size_t digits = 0;
    for (std::size_t i = prefixLength; i < size && data[i] >= '0' && data[i] <= '9'; ++i) {
        if (++digits > 4) return std::nullopt;
        value = value * 10 + (data[i] - '0');
    }
    if (digits == 0 || value > 0x1FFF) return std::nullopt;
    return value;
}

void MpegVideoScanner::Reset()
{
    window_ = 0xFFFFFFFF;
    isCollecting_ = false;
    collectedCount_ = 0;
}

void MpegVideoScanner::Feed(const std::uint8_t* data, std::size_t size, std::vector<VideoStreamEvent>& events)
{
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (isCollecting_) {
            if (collectedCount_ < kCollectLimit) collected_[collectedCount_] = b;
            ++collectedCount_;
            // A sequence header needs only its first four bytes.
            if (collecting_ == kSequenceHeaderCode && collectedCount_ == 4) FinishCollection(events);
        }
        window_ = (window_ << 8) | b;
        if ((window_ & 0xFFFFFF00u) == 0x00000100u) StartCode(b, events);
    }
}

void MpegVideoScanner::NalStart(std::uint8_t header, std::vector<VideoStreamEvent>& events)
{
    // nal_unit_type: 5 bits of the H.264 header byte, 6 bits of the first HEVC one.
    const bool hevc = format_ == VideoFormat::Hevc;
    const int type = hevc ? (header >> 1) & 0x3F : header & 0x1F;
    const int delimiter = hevc ? 35 : 9;
    const bool sei = hevc ? (type == 39 || type == 40) : type == 6;
    if (type == delimiter) {
        events.push_back({VideoStreamEvent::Kind::Picture, {}, -1});
    } else if (sei) {
        isCollecting_ = true;
        collecting_ = kSeiCollection;
        collectedCount_ = 0;
    }
}

void MpegVideoScanner::StartCode(std::uint8_t code, std::vector<VideoStreamEvent>& events)
{
    if (isCollecting_) {
        // The four bytes of this start code went into the payload: take them off.
        collectedCount_ = collectedCount_ >= 4 ? collectedCount_ - 4 : 0;
        FinishCollection(events);
    }
    if (format_ != VideoFormat::Mpeg2) {
        NalStart(code, events);
        return;
    }
    if (code == kPictureStartCode) {
        events.push_back({VideoStreamEvent::Kind::Picture, {}, -1});
    } else if (code == kSequenceHeaderCode || code == kUserDataStartCode) {
        isCollecting_ = true;
        collecting_ = code;
        collectedCount_ = 0;
    }
}

void MpegVideoScanner::FinishCollection(std::vector<VideoStreamEvent>& events)
{
    isCollecting_ = false;
    const std::size_t kept = std::min(collectedCount_, kCollectLimit);
    if (collecting_ == kSequenceHeaderCode) {
        if (auto h = ParseSequenceHeader(collected_, kept))
            events.push_back({VideoStreamEvent::Kind::SequenceHeader, *h, -1});
    } else if (collecting_ == kSeiCollection) {
        // The marker follows the SEI's payload type, size and 16-byte UUID.
        static constexpr char kPrefix[] = "BTVPID=";
        for (std::size_t at = 0; at + sizeof kPrefix - 1 < kept; ++at)
            if (std::memcmp(collected_ + at, kPrefix, sizeof kPrefix - 1) == 0) {
                if (auto pid = ParseServicePidUserData(collected_ + at, kept - at))
                    events.push_back({VideoStreamEvent::Kind::ServicePid, {}, *pid});
                break;
            }
    } else if (collecting_ == kUserDataStartCode) {
        if (auto pid = ParseServicePidUserData(collected_, kept))
            events.push_back({VideoStreamEvent::Kind::ServicePid, {}, *pid});
    }
    collectedCount_ = 0;
}

}  // namespace standin
