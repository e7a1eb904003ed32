#pragma once
// What a broadcast description file says: the multiplexes to generate, their
// services with PIDs and names, the programme guide events, and how often the
// tables are repeated. Texts are byte strings, already in broadcast coding.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tsgen {

inline constexpr std::uint16_t kNoPcrPid = 0x1FFF;

enum class VideoCodec { Mpeg2, H264, Hevc };

struct VideoStream {
    VideoCodec codec = VideoCodec::Mpeg2;
    std::uint16_t pid = 0;
    int width = 720;
    int height = 576;
    int aspectCode = 3;        // MPEG-2 aspect_ratio_information: 2 = 4:3, 3 = 16:9
    int frameRateCode = 3;     // MPEG-2 frame_rate_code: 3 = 25 Hz
    std::uint32_t bitrate = 1200000;  // pictures are padded up to this rate
};

enum class AudioKind { Mpeg, Ac3, Aac, Eac3 };

struct AudioStream {
    AudioKind kind = AudioKind::Mpeg;
    std::uint16_t pid = 0;
    std::string language = "fra";  // ISO 639-2, three letters
    std::string secondLanguage;    // a second code of the language descriptor ("eng" after "qaa"), or none
    std::uint32_t bitrate = 192000;
};

enum class SubtitleFormat { Dvb, Teletext };

// A subtitle stream: the same subtitle at every interval, shown for its time-out.
struct SubtitleStream {
    SubtitleFormat format = SubtitleFormat::Dvb;
    std::uint16_t pid = 0;
    std::string language = "fra";
    std::uint8_t type = 0x10;            // subtitling_type (DVB) or teletext_type (2 or 5)
    std::uint16_t compositionPage = 1;   // DVB
    std::uint16_t ancillaryPage = 1;     // DVB
    std::uint16_t teletextPage = 0x888;  // magazine and page, as shown
    std::uint32_t colour = 0xFFFFFF00;   // DVB: the box's colour 0xAARRGGBB; teletext: its text colour 0-7
    std::string text;                    // teletext: the row, ISO 8859-1
    int intervalMs = 2000;
    int timeoutSeconds = 1;              // DVB page time-out
};

struct Event {
    std::int64_t start = 0;     // UTC, seconds since 1970-01-01
    std::int32_t duration = 0;  // seconds
    std::uint16_t eventId = 0;
    std::string language = "fra";
    std::string title;
    std::string text;
    // Sent in the schedule tables only (the present/following sections keep
    // the short event alone).
    std::string longText;          // extended event descriptors, cut as needed
    std::uint8_t genre = 0;        // content nibbles; 0: no content descriptor
    std::uint8_t minimumAge = 0;   // parental rating for FRA; 0: none
    bool hd = false;               // component descriptors: HD 16:9 video,
    bool wide = false;             // 16:9 video,
    bool audioDescription = false; // audio description,
    bool deafSubtitles = false;    // subtitles for the hard of hearing
};

struct Service {
    std::uint16_t sid = 0;
    std::string name;
    std::string provider;
    std::uint8_t type = 0x01;   // service_type of the service descriptor
    std::uint16_t pmtPid = 0;
    std::uint16_t pcrPid = kNoPcrPid;
    std::optional<VideoStream> video;
    std::vector<AudioStream> audio;  // in PMT order
    std::vector<SubtitleStream> subtitles;  // after the audio, in PMT order
    std::optional<std::uint16_t> lcn;
    bool visible = true;
    std::vector<Event> events;       // sorted by start, not overlapping
};

struct Multiplex {
    std::uint32_t frequencyKHz = 0;
    std::uint16_t tsid = 0;
    std::uint16_t onid = 0;
    std::uint16_t networkId = 0;
    std::uint32_t bitrate = 5000000;
    std::vector<Service> services;
};

struct Network {
    std::uint16_t id = 0;
    std::string name;
};

// Repetition intervals, in milliseconds.
struct Repetition {
    int pat = 100;
    int pmt = 100;
    int sdt = 500;
    int nit = 1000;
    int eit = 500;
    int eitOther = 500;
    int pcr = 30;
    // Tables sent only when the description asks for them (0: not sent).
    int eitSchedule = 0;  // EIT schedule, 0x50.. and 0x60..
    int tdt = 0;          // time and date table
    int tot = 0;          // time offset table (France's offsets)
};

struct Description {
    std::int64_t clock = 0;   // UTC "now" of the broadcast, seconds since 1970-01-01
    double seconds = 4.0;     // length of every generated stream
    Repetition repeat;
    std::vector<Network> networks;
    std::vector<Multiplex> multiplexes;
};

// UHF channel N of the French plan, in kHz (channel 21 is 474166 kHz).
constexpr std::uint32_t UhfChannelToKHz(int channel)
{
    return static_cast<std::uint32_t>(channel) * 8000u + 306166u;
}

}  // namespace tsgen
