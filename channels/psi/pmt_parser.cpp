// Programme map table (table_id 0x02): the PIDs one service is played from.
//
// The fields Video, Son1, Son2 and Ac3 first take the streams of their classic
// kinds (MPEG-1/2 video, MPEG audio, AC-3), exactly as they always have. Streams
// of today's kinds (H.264, HEVC, AAC, E-AC-3) fill only what the classic kinds
// left empty, with the same first/last rules among themselves, and their codec
// is recorded beside the PID.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

namespace {

constexpr std::uint8_t kMpeg1Video = 0x01;
constexpr std::uint8_t kMpeg2Video = 0x02;
constexpr std::uint8_t kMpeg1Audio = 0x03;
constexpr std::uint8_t kMpeg2Audio = 0x04;
// DVB carries AC-3 and E-AC-3 as PES private data, told apart by their descriptors.
constexpr std::uint8_t kPesPrivateData = 0x06;
constexpr std::uint8_t kAacAdts = 0x0F;
constexpr std::uint8_t kAacLatm = 0x11;
constexpr std::uint8_t kH264Video = 0x1B;
constexpr std::uint8_t kHevcVideo = 0x24;
constexpr std::uint8_t kAc3DescriptorTag = 0x6A;
constexpr std::uint8_t kEnhancedAc3DescriptorTag = 0x7A;

bool HasDescriptor(ByteCursor descriptors, std::uint8_t wanted)
{
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t length = descriptors.u8();
        descriptors.skip(length);
        if (!descriptors.ok())
            return false;
        if (tag == wanted)
            return true;
    }
    return false;
}

struct CodedPid {
    std::int32_t pid = 0;
    StreamCodec codec = StreamCodec::Classic;
};

// The streams of today's kinds, gathered with the classic rules: the last video,
// the first audio and the last audio after it, the last E-AC-3.
struct ModernStreams {
    CodedPid video;
    CodedPid audio1;
    CodedPid audio2;
    std::int32_t eac3 = 0;

    void AddAudio(std::int32_t pid, StreamCodec codec)
    {
        if (audio1.pid == 0)
            audio1 = {pid, codec};
        else
            audio2 = {pid, codec};
    }
};

void ApplyModern(const ModernStreams& modern, Chaine& record)
{
    if (record.Video == 0 && modern.video.pid != 0) {
        record.Video = modern.video.pid;
        record.VideoCodec = modern.video.codec;
    }
    if (record.Son1 == 0 && modern.audio1.pid != 0) {
        record.Son1 = modern.audio1.pid;
        record.Son1Codec = modern.audio1.codec;
        if (record.Son2 == 0 && modern.audio2.pid != 0) {
            record.Son2 = modern.audio2.pid;
            record.Son2Codec = modern.audio2.codec;
        }
    } else if (record.Son2 == 0 && modern.audio1.pid != 0) {
        // A classic first track: today's first one becomes the second.
        record.Son2 = modern.audio1.pid;
        record.Son2Codec = modern.audio1.codec;
    }
    if (record.Ac3 == 0 && modern.eac3 != 0) {
        record.Ac3 = modern.eac3;
        record.Ac3Codec = StreamCodec::Eac3;
    }
}

}  // namespace

void ParsePmt(const std::uint8_t* section, std::size_t length, std::size_t position, ChannelList& list)
{
    if (position >= list.size())
        return;
    Chaine& record = list[position];

    ByteCursor body = SectionBody(section, length);
    body.skip(8);  // table_id .. last_section_number
    const std::uint16_t pcr = body.pid13();
    const std::uint16_t programInfoLength = body.len12();
    if (!body.ok())
        return;
    // Kept as read, 0x1FFF (no PCR) included.
    record.PCR = pcr;

    ModernStreams modern;
    body.skip(programInfoLength);
    while (body.remaining() > 0) {
        const std::uint8_t streamType = body.u8();
        const std::uint16_t pid = body.pid13();
        const std::uint16_t esInfoLength = body.len12();
        const ByteCursor descriptors = body.sub(esInfoLength);
        if (!body.ok())
            break;

        switch (streamType) {
        case kMpeg1Video:
        case kMpeg2Video:
            record.Video = pid;
            record.VideoCodec = StreamCodec::Classic;
            break;
        case kMpeg1Audio:
        case kMpeg2Audio:
            // First audio stream on Son1; any later one replaces Son2.
            if (record.Son1 == 0) {
                record.Son1 = pid;
                record.Son1Codec = StreamCodec::Classic;
            } else {
                record.Son2 = pid;
                record.Son2Codec = StreamCodec::Classic;
            }
            break;
        case kPesPrivateData:
            if (HasDescriptor(descriptors, kAc3DescriptorTag)) {
                record.Ac3 = pid;
                record.Ac3Codec = StreamCodec::Classic;
            } else if (HasDescriptor(descriptors, kEnhancedAc3DescriptorTag)) {
                modern.eac3 = pid;
            }
            break;
        case kH264Video:
            modern.video = {pid, StreamCodec::H264};
            break;
        case kHevcVideo:
            modern.video = {pid, StreamCodec::Hevc};
            break;
        case kAacAdts:
            modern.AddAudio(pid, StreamCodec::AacAdts);
            break;
        case kAacLatm:
            modern.AddAudio(pid, StreamCodec::AacLatm);
            break;
        default:
            break;
        }
    }
    ApplyModern(modern, record);
}
