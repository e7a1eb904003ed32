#pragma once
// Every audio and subtitle stream of a service, with its language and kind, as
// the programme map table describes them. Held by value in the channel record
// beside the PIDs of the fields it has always had, so the record stays a plain
// value of fixed size: the lists have room for what a terrestrial service
// carries (French services send up to four audio tracks and three subtitle
// tracks) and a longer list keeps its first entries.
//
// Every struct here has no padding, so a record zeroed and then filled compares
// equal byte for byte with one copied from it.
#include <cstdint>
#include <string_view>

enum class AudioCodec : std::uint8_t {
    Mpeg = 0,  // MPEG-1/2 audio
    Ac3,
    Eac3,
    Aac,
    AacLatm,
};

// What a track offers the viewer. French broadcasters mark the original
// version with the language code "qaa" and audio description with "qad"; the
// audio type of the language descriptor and the supplementary audio descriptor
// say the same in DVB's own terms.
enum class AudioKind : std::uint8_t {
    Main = 0,
    OriginalVersion,
    AudioDescription,   // spoken description for the blind
    CleanAudio,         // for the hard of hearing
    SpokenSubtitles,
};

struct AudioTrack {
    std::int32_t pid;
    char language[4];        // ISO 639-2 code as broadcast ("fra", "qaa"), lower case, NUL-terminated
    char spokenLanguage[4];  // the language actually spoken when the code above is "qaa"/"qad", else empty
    AudioCodec codec;
    AudioKind kind;
    std::uint8_t reserved[2];
};

enum class SubtitleFormat : std::uint8_t {
    Dvb = 0,   // bitmaps, subtitling descriptor 0x59
    Teletext,  // a teletext page, teletext descriptor 0x56
};

struct SubtitleTrack {
    std::int32_t pid;
    char language[4];
    std::uint16_t compositionPage;  // DVB: the page of the subtitles
    std::uint16_t ancillaryPage;    // DVB: the page shared by several languages
    std::uint16_t teletextPage;     // teletext: magazine and page, written in hex as shown (0x888)
    SubtitleFormat format;
    std::uint8_t type;  // DVB subtitling_type or teletext_type, as broadcast
};

constexpr std::size_t kMaxAudioTracks = 8;
constexpr std::size_t kMaxSubtitleTracks = 8;

struct ServiceStreams {
    std::uint8_t audioCount;
    std::uint8_t subtitleCount;
    std::uint8_t reserved[2];
    AudioTrack audio[kMaxAudioTracks];
    SubtitleTrack subtitles[kMaxSubtitleTracks];
};

static_assert(sizeof(AudioTrack) == 16 && sizeof(SubtitleTrack) == 16, "no padding in a track");
static_assert(sizeof(ServiceStreams) == 4 + 16 * (kMaxAudioTracks + kMaxSubtitleTracks), "no padding");

// Subtitles for the deaf and hard of hearing: DVB subtitling types 0x20-0x24,
// teletext type 5.
bool IsHardOfHearing(const SubtitleTrack& track);

// Adds a track when there is room; false when the list is full.
bool AddAudioTrack(ServiceStreams& streams, const AudioTrack& track);
bool AddSubtitleTrack(ServiceStreams& streams, const SubtitleTrack& track);

// The language text of a track as a view (up to its NUL).
std::string_view LanguageOf(const char (&code)[4]);

// Stores a broadcast ISO 639 code: three ASCII letters, lowered; anything else
// (a code of control or 8-bit bytes) is stored empty.
void SetLanguage(char (&code)[4], const std::uint8_t* bytes);

// "MPEG", "AC-3", "E-AC-3", "AAC", "AAC-LATM"; and back, false for a name
// this version does not know.
std::string_view AudioCodecName(AudioCodec codec);
bool AudioCodecFromName(std::string_view name, AudioCodec& codec);
