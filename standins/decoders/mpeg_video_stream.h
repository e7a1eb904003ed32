#pragma once
// Reading just enough of an MPEG-2 video elementary stream to stand in for a decoder:
// the picture size of each sequence header, the service marker that the project's
// broadcast generator writes into user data, and one event per coded picture. Start
// codes may be split across the samples that the demultiplexer delivers, so the
// scanner keeps its state between calls.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace standin {

// Start code values (the byte after 00 00 01).
inline constexpr std::uint8_t kPictureStartCode = 0x00;
inline constexpr std::uint8_t kUserDataStartCode = 0xB2;
inline constexpr std::uint8_t kSequenceHeaderCode = 0xB3;

// Largest picture the stand-ins agree to draw; bigger headers are treated as damaged.
inline constexpr int kMaxPictureSide = 4096;

struct SequenceHeader {
    int width = 0;             // horizontal_size_value, 12 bits
    int height = 0;            // vertical_size_value, 12 bits
    int aspectRatioCode = 0;   // 4 bits
    int frameRateCode = 0;     // 4 bits
};

// `data` starts right after the 00 00 01 B3 start code. Needs 4 bytes; a zero size
// or a size beyond kMaxPictureSide is refused.
std::optional<SequenceHeader> ParseSequenceHeader(const std::uint8_t* data, std::size_t size);

// Frame period in 100 ns units for a frame_rate_code; 25 Hz for reserved codes.
std::int64_t FramePeriod100ns(int frameRateCode);

// The service marker: user data that reads "BTVPID=" followed by 1 to 4 decimal
// digits (the PID of the video stream, at most 8191), optionally followed by bytes
// that are not digits. `data` starts right after 00 00 01 B2.
std::optional<int> ParseServicePidUserData(const std::uint8_t* data, std::size_t size);

// How the stream is cut into units: MPEG-2 start codes, or H.264 / HEVC NAL units
// (an access unit delimiter starts each picture; the service marker travels in an
// SEI message, anywhere in its first bytes).
enum class VideoFormat { Mpeg2, H264, Hevc };

struct VideoStreamEvent {
    enum class Kind { SequenceHeader, ServicePid, Picture };
    Kind kind;
    SequenceHeader sequence;   // for SequenceHeader
    int pid = -1;              // for ServicePid
};

class MpegVideoScanner {
public:
    explicit MpegVideoScanner(VideoFormat format = VideoFormat::Mpeg2) : format_(format) {}

    // Scans `size` bytes that follow whatever was fed before and appends what they
    // complete to `events`.
    void Feed(const std::uint8_t* data, std::size_t size, std::vector<VideoStreamEvent>& events);
    // Forgets any partial start code or header (after a flush or a stop).
    void Reset();

private:
    // User data longer than this cannot be the marker; only its start is kept.
    static constexpr std::size_t kCollectLimit = 48;
    static constexpr std::uint8_t kSeiCollection = 0xFF;  // not an MPEG-2 code that is collected

    void NalStart(std::uint8_t header, std::vector<VideoStreamEvent>& events);

    VideoFormat format_;

    void StartCode(std::uint8_t code, std::vector<VideoStreamEvent>& events);
    void FinishCollection(std::vector<VideoStreamEvent>& events);

    std::uint32_t window_ = 0xFFFFFFFF;   // the last four bytes seen
    std::uint8_t collecting_ = 0;          // start code whose payload is being kept, or 0
    bool isCollecting_ = false;
    std::uint8_t collected_[kCollectLimit] = {};
    std::size_t collectedCount_ = 0;       // bytes seen since the start code (may exceed the limit)
};

}  // namespace standin
