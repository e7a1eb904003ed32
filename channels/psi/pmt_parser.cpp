// Programme map table (table_id 0x02): the PIDs one service is played from.
//
// The fields Video, Son1, Son2 and Ac3 first take the streams of their classic
// kinds (MPEG-1/2 video, MPEG audio, AC-3), exactly as they always have. Streams
// of today's kinds (H.264, HEVC, AAC, E-AC-3) fill only what the classic kinds
// left empty, with the same first/last rules among themselves, and their codec
// is recorded beside the PID.
//
// Beside those fields, every audio stream (whatever its codec) and every
// subtitle stream goes into the record's stream list, in the table's order, with
// what its descriptors say of its language and kind.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

#include <cstring>

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
constexpr std::uint8_t kLanguageDescriptorTag = 0x0A;
constexpr std::uint8_t kTeletextDescriptorTag = 0x56;
constexpr std::uint8_t kSubtitlingDescriptorTag = 0x59;
constexpr std::uint8_t kExtensionDescriptorTag = 0x7F;
constexpr std::uint8_t kSupplementaryAudioExtension = 0x06;
// Teletext types that carry subtitles: plain, and for the hard of hearing.
constexpr std::uint8_t kTeletextSubtitles = 2;
constexpr std::uint8_t kTeletextHardOfHearing = 5;

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

// What an elementary stream's descriptors say of its language and kind.
struct StreamLanguage {
    std::uint8_t language[3] = {};
    std::uint8_t otherLanguage[3] = {};  // a second code of the language descriptor
    bool hasLanguage = false;
    bool hasOtherLanguage = false;
    std::uint8_t audioType = 0;            // 1 clean effects, 2 hard of hearing, 3 commentary for the blind
    int editorialClass = -1;               // supplementary audio descriptor, -1 when absent
    std::uint8_t supplementaryLanguage[3] = {};
    bool hasSupplementaryLanguage = false;
};

void ReadLanguageDescriptor(ByteCursor data, StreamLanguage& out)
{
    // Entries of three language bytes and an audio type; the first one is the track's.
    if (const std::uint8_t* first = data.bytes(3)) {
        std::memcpy(out.language, first, 3);
        out.hasLanguage = true;
        out.audioType = data.u8();
        if (const std::uint8_t* second = data.bytes(3)) {
            std::memcpy(out.otherLanguage, second, 3);
            out.hasOtherLanguage = true;
        }
    }
}

void ReadExtensionDescriptor(ByteCursor data, StreamLanguage& out)
{
    if (data.u8() != kSupplementaryAudioExtension || !data.ok())
        return;
    // mix_type(1) editorial_classification(5) reserved(1) language_code_present(1)
    const std::uint8_t flags = data.u8();
    if (!data.ok())
        return;
    out.editorialClass = (flags >> 2) & 0x1F;
    if ((flags & 0x01) != 0)
        if (const std::uint8_t* code = data.bytes(3)) {
            std::memcpy(out.supplementaryLanguage, code, 3);
            out.hasSupplementaryLanguage = true;
        }
}

StreamLanguage ReadStreamLanguage(ByteCursor descriptors)
{
    StreamLanguage out;
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t length = descriptors.u8();
        const ByteCursor data = descriptors.sub(length);
        if (!descriptors.ok())
            break;
        if (tag == kLanguageDescriptorTag && !out.hasLanguage)
            ReadLanguageDescriptor(data, out);
        else if (tag == kExtensionDescriptorTag)
            ReadExtensionDescriptor(data, out);
    }
    return out;
}

bool IsCode(const char (&code)[4], const char* wanted)
{
    return std::strcmp(code, wanted) == 0;
}

AudioTrack MakeAudioTrack(std::int32_t pid, AudioCodec codec, const StreamLanguage& lang)
{
    AudioTrack track{};
    track.pid = pid;
    track.codec = codec;
    if (lang.hasLanguage)
        SetLanguage(track.language, lang.language);
    else if (lang.hasSupplementaryLanguage)
        SetLanguage(track.language, lang.supplementaryLanguage);

    // The broadcasters' private codes first, then DVB's own marks, the
    // supplementary audio descriptor (the most precise) last.
    if (IsCode(track.language, "qaa"))
        track.kind = AudioKind::OriginalVersion;
    else if (IsCode(track.language, "qad"))
        track.kind = AudioKind::AudioDescription;
    if (lang.audioType == 2)
        track.kind = AudioKind::CleanAudio;
    else if (lang.audioType == 3)
        track.kind = AudioKind::AudioDescription;
    switch (lang.editorialClass) {
    case 1: track.kind = AudioKind::AudioDescription; break;
    case 2: track.kind = AudioKind::CleanAudio; break;
    case 3: track.kind = AudioKind::SpokenSubtitles; break;
    default: break;
    }

    // "qaa" and "qad" say what the track is, not what is spoken: a second code
    // of the language descriptor, or the supplementary one, says that.
    if (IsCode(track.language, "qaa") || IsCode(track.language, "qad")) {
        if (lang.hasOtherLanguage)
            SetLanguage(track.spokenLanguage, lang.otherLanguage);
        else if (lang.hasSupplementaryLanguage)
            SetLanguage(track.spokenLanguage, lang.supplementaryLanguage);
        if (IsCode(track.spokenLanguage, "qaa") || IsCode(track.spokenLanguage, "qad"))
            std::memset(track.spokenLanguage, 0, sizeof track.spokenLanguage);
    }
    return track;
}

void AddSubtitles(ByteCursor descriptors, std::int32_t pid, ServiceStreams& streams)
{
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t length = descriptors.u8();
        ByteCursor data = descriptors.sub(length);
        if (!descriptors.ok())
            return;
        if (tag == kSubtitlingDescriptorTag) {
            // language(3) subtitling_type(1) composition_page_id(2) ancillary_page_id(2)
            while (data.remaining() >= 8) {
                SubtitleTrack track{};
                track.pid = pid;
                track.format = SubtitleFormat::Dvb;
                SetLanguage(track.language, data.bytes(3));
                track.type = data.u8();
                track.compositionPage = data.u16();
                track.ancillaryPage = data.u16();
                AddSubtitleTrack(streams, track);
            }
        } else if (tag == kTeletextDescriptorTag) {
            // language(3) teletext_type(5) magazine(3) page_number(8, two hex digits)
            while (data.remaining() >= 5) {
                SubtitleTrack track{};
                track.pid = pid;
                track.format = SubtitleFormat::Teletext;
                SetLanguage(track.language, data.bytes(3));
                const std::uint8_t typeAndMagazine = data.u8();
                const std::uint8_t page = data.u8();
                track.type = typeAndMagazine >> 3;
                if (track.type != kTeletextSubtitles && track.type != kTeletextHardOfHearing)
                    continue;  // the index page and other pages are not subtitles
                const unsigned magazine = (typeAndMagazine & 0x07) == 0 ? 8 : (typeAndMagazine & 0x07);
                track.teletextPage = static_cast<std::uint16_t>(magazine << 8 | page);
                AddSubtitleTrack(streams, track);
            }
        }
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
    // A table read again describes the service afresh.
    std::memset(&record.Streams, 0, sizeof record.Streams);

    ModernStreams modern;
    body.skip(programInfoLength);
    while (body.remaining() > 0) {
        const std::uint8_t streamType = body.u8();
        const std::uint16_t pid = body.pid13();
        const std::uint16_t esInfoLength = body.len12();
        const ByteCursor descriptors = body.sub(esInfoLength);
        if (!body.ok())
            break;

        const StreamLanguage lang = ReadStreamLanguage(descriptors);
        auto audio = [&](AudioCodec codec) { AddAudioTrack(record.Streams, MakeAudioTrack(pid, codec, lang)); };
        switch (streamType) {
        case kMpeg1Video:
        case kMpeg2Video:
            record.Video = pid;
            record.VideoCodec = StreamCodec::Classic;
            break;
        case kMpeg1Audio:
        case kMpeg2Audio:
            // First audio stream on Son1; any later one replaces Son2.
            audio(AudioCodec::Mpeg);
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
                audio(AudioCodec::Ac3);
            } else if (HasDescriptor(descriptors, kEnhancedAc3DescriptorTag)) {
                modern.eac3 = pid;
                audio(AudioCodec::Eac3);
            } else {
                AddSubtitles(descriptors, pid, record.Streams);
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
            audio(AudioCodec::Aac);
            break;
        case kAacLatm:
            modern.AddAudio(pid, StreamCodec::AacLatm);
            audio(AudioCodec::AacLatm);
            break;
        default:
            break;
        }
    }
    ApplyModern(modern, record);
}
