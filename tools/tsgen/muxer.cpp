#include "tools/tsgen/muxer.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "tools/tsgen/audio_es.h"
#include "tools/tsgen/clock_tables.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"
#include "tools/tsgen/eit_tables.h"
#include "tools/tsgen/h264_es.h"
#include "tools/tsgen/hevc_es.h"
#include "tools/tsgen/pes.h"
#include "tools/tsgen/schedule_tables.h"
#include "tools/tsgen/teletext_encoder.h"
#include "tools/tsgen/ts_packetizer.h"
#include "tools/tsgen/video_es.h"

namespace tsgen {
namespace {

constexpr std::uint64_t kClock27 = 27000000;
constexpr std::uint64_t kPacketBits = kTsPacketSize * 8;
// Every access unit is queued this long before it is presented: room for the
// multiplex to interleave the streams, and the decoders' buffering delay.
constexpr std::uint64_t kDecodeDelay27 = kClock27 / 2;
// Nothing is queued in the last moments, so that every section and access
// unit is whole when the file ends and the player loops.
constexpr std::uint64_t kTailGuard27 = kClock27 / 10;

std::uint64_t Millis27(int ms) { return static_cast<std::uint64_t>(ms) * (kClock27 / 1000); }

// A table repeated at a fixed interval; EIT contents depend on the instant.
struct TableSchedule {
    std::uint16_t pid;
    std::uint64_t interval27;
    std::function<std::vector<Section>(std::int64_t now)> build;
    std::uint64_t next27 = 0;
};

// An elementary stream: access unit k is queued at k * period and presented
// kDecodeDelay27 later.
struct StreamSchedule {
    std::uint16_t pid;
    std::uint8_t streamId;
    std::uint64_t period27;
    std::function<std::vector<std::uint8_t>(std::uint64_t index)> accessUnit;
    std::uint64_t next = 0;
    bool finished = false;
};

class MultiplexGenerator {
public:
    MultiplexGenerator(const Description& d, const Multiplex& mux, const SectionObserver& observer)
        : d_(d), mux_(mux), observer_(observer)
    {
        AddTables();
        AddStreams();
        for (const Service& s : mux_.services)
            if (s.pcrPid != kNoPcrPid)
                pcr_.emplace(s.pcrPid, std::nullopt);
    }

    void Run(const PacketSink& sink)
    {
        constexpr std::size_t kChunkPackets = 1024;
        const std::uint64_t rate = mux_.bitrate;
        const std::uint64_t end27 = static_cast<std::uint64_t>(d_.seconds * static_cast<double>(kClock27));
        const auto packets = static_cast<std::uint64_t>(d_.seconds * static_cast<double>(rate) / kPacketBits);
        std::vector<std::uint8_t> chunk(kChunkPackets * kTsPacketSize);
        for (std::uint64_t i = 0; i < packets; ++i) {
            const std::uint64_t now27 = i * kPacketBits * kClock27 / rate;
            if (now27 + kTailGuard27 < end27)
                QueueDue(now27, end27 - kTailGuard27);
            const std::uint64_t arrival27 = (i + 1) * kPacketBits * kClock27 / rate;
            const std::size_t slot = static_cast<std::size_t>(i % kChunkPackets);
            WriteNext(now27, arrival27, i, chunk.data() + slot * kTsPacketSize);
            if (slot + 1 == kChunkPackets || i + 1 == packets)
                sink(chunk.data(), (slot + 1) * kTsPacketSize);
        }
        for (const auto& [pid, packetizer] : packetizers_)
            if (packetizer->HasData())
                throw std::runtime_error(Where() + "le PID " + std::to_string(pid) +
                                         " n'a pas pu être envoyé en entier : débit du multiplex insuffisant");
    }

private:
    std::string Where() const { return "multiplex " + std::to_string(mux_.frequencyKHz) + " kHz : "; }

    PidPacketizer& Packetizer(std::uint16_t pid)
    {
        auto& p = packetizers_[pid];
        if (!p)
            p = std::make_unique<PidPacketizer>(pid);
        return *p;
    }

    void AddTable(std::uint16_t pid, int intervalMs, std::function<std::vector<Section>(std::int64_t)> build)
    {
        tables_.push_back({pid, Millis27(intervalMs), std::move(build)});
        Packetizer(pid);
    }

    void AddTables()
    {
        const Repetition& r = d_.repeat;
        const Multiplex& mux = mux_;
        AddTable(kPidPat, r.pat, [&mux](std::int64_t) { return std::vector<Section>{BuildPat(mux)}; });
        for (const Service& s : mux.services)
            AddTable(s.pmtPid, r.pmt, [&s](std::int64_t) { return std::vector<Section>{BuildPmt(s)}; });
        AddTable(kPidSdt, r.sdt, [&mux](std::int64_t) { return std::vector<Section>{BuildSdt(mux)}; });
        const Description& d = d_;
        AddTable(kPidNit, r.nit, [&d, &mux](std::int64_t) { return std::vector<Section>{BuildNit(d, mux.networkId)}; });
        for (const Service& s : mux.services) {
            if (s.events.empty())
                continue;
            AddTable(kPidEit, r.eit, [&mux, &s](std::int64_t now) {
                const auto pf = BuildEitPresentFollowing(kTableEitActualPf, mux, s, now);
                return std::vector<Section>(pf.begin(), pf.end());
            });
        }
        for (const Multiplex& other : d.multiplexes) {
            if (&other == &mux)
                continue;
            for (const Service& s : other.services) {
                if (s.events.empty())
                    continue;
                AddTable(kPidEit, r.eitOther, [&other, &s](std::int64_t now) {
                    const auto pf = BuildEitPresentFollowing(kTableEitOtherPf, other, s, now);
                    return std::vector<Section>(pf.begin(), pf.end());
                });
            }
        }
        AddScheduleAndClock();
    }

    // Only when the description asks for them: a description without them
    // gives the very same stream as before these tables existed.
    void AddScheduleAndClock()
    {
        const Repetition& r = d_.repeat;
        const Description& d = d_;
        if (r.eitSchedule > 0) {
            for (const Multiplex& m : d.multiplexes) {
                const std::uint8_t table = &m == &mux_ ? kTableEitActualSchedule : kTableEitOtherSchedule;
                for (const Service& s : m.services) {
                    if (s.events.empty())
                        continue;
                    auto sections = std::make_shared<std::vector<Section>>(BuildEitSchedule(table, m, s, d.clock));
                    if (!sections->empty())
                        AddTable(kPidEit, r.eitSchedule, [sections](std::int64_t) { return *sections; });
                }
            }
        }
        if (r.tdt > 0)
            AddTable(kPidTdt, r.tdt, [](std::int64_t now) { return std::vector<Section>{BuildTdt(now)}; });
        if (r.tot > 0)
            AddTable(kPidTdt, r.tot, [](std::int64_t now) { return std::vector<Section>{BuildTot(now)}; });
    }

    void AddStreams()
    {
        for (const Service& s : mux_.services) {
            if (s.video) {
                const VideoStream video = *s.video;
                const FrameRate rate = FrameRateOfCode(video.frameRateCode);
                const PictureColour colour = ColourOf(s.sid);
                const auto picture = video.codec == VideoCodec::H264   ? BuildH264Picture
                                     : video.codec == VideoCodec::Hevc ? BuildHevcPicture
                                                                       : BuildVideoPicture;
                AddStream(video.pid, kStreamIdVideo, kClock27 * rate.denominator / rate.numerator,
                          [video, colour, picture](std::uint64_t k) { return picture(video, k, colour); });
            }
            std::uint8_t audioId = kStreamIdAudio;
            for (const AudioStream& a : s.audio) {
                // Every frame of silence is the same: build it once.
                if (a.kind == AudioKind::Ac3 || a.kind == AudioKind::Eac3) {
                    auto frame = std::make_shared<std::vector<std::uint8_t>>(
                        a.kind == AudioKind::Ac3 ? BuildAc3Frame(a.bitrate) : BuildEac3Frame(a.bitrate));
                    AddStream(a.pid, kStreamIdPrivate1, kClock27 * kAc3SamplesPerFrame / kAudioSampleRate,
                              [frame](std::uint64_t) { return *frame; });
                } else if (a.kind == AudioKind::Aac) {
                    auto frame = std::make_shared<std::vector<std::uint8_t>>(BuildAacFrame(a.bitrate));
                    AddStream(a.pid, audioId++, kClock27 * kAacSamplesPerFrame / kAudioSampleRate,
                              [frame](std::uint64_t) { return *frame; });
                } else {
                    auto frame = std::make_shared<std::vector<std::uint8_t>>(BuildMpegAudioFrame(a.bitrate));
                    AddStream(a.pid, audioId++, kClock27 * kMpegAudioSamplesPerFrame / kAudioSampleRate,
                              [frame](std::uint64_t) { return *frame; });
                }
            }
            for (const SubtitleStream& t : s.subtitles) {
                const std::uint64_t period27 = Millis27(t.intervalMs);
                if (t.format == SubtitleFormat::Dvb)
                    AddStream(t.pid, kStreamIdPrivate1, period27, [t](std::uint64_t k) { return SubtitleSet(t, k); });
                else
                    AddStream(t.pid, kStreamIdPrivate1, period27, [t](std::uint64_t) { return TeletextSubtitle(t); });
            }
        }
    }

    // The subtitle of a DVB stream: a box of its colour edged in black in a
    // 4-bit region, and black and white stripes in a 2-bit region below it.
    static std::vector<std::uint8_t> SubtitleSet(const SubtitleStream& t, std::uint64_t k)
    {
        SubtitleDisplaySet set;
        set.page = t.compositionPage;
        set.timeoutSeconds = static_cast<std::uint8_t>(t.timeoutSeconds);
        set.version = static_cast<std::uint8_t>(k & 0x0F);
        set.clut = {{1, t.colour}, {2, 0xFFFFFFFF}, {3, 0xFF000000}};
        set.regions = {{1, 60, 470, 600, 48, 4, 0}, {2, 280, 530, 160, 16, 2, 0}};
        SubtitleObject box{1, 1, 0, 0, 4, {}};
        for (unsigned y = 0; y < 48; ++y) {
            std::vector<std::uint8_t> line(600, 3);
            if (y >= 4 && y < 44)
                std::fill(line.begin() + 4, line.end() - 4, 1);
            box.lines.push_back(std::move(line));
        }
        SubtitleObject stripes{2, 2, 0, 0, 2, {}};
        for (unsigned y = 0; y < 16; ++y) {
            std::vector<std::uint8_t> line(160);
            for (unsigned x = 0; x < 160; ++x)
                line[x] = (x / 20) % 2 ? 3 : 2;
            stripes.lines.push_back(std::move(line));
        }
        set.objects = {box, stripes};
        return EncodeDisplaySet(set);
    }

    static std::vector<std::uint8_t> TeletextSubtitle(const SubtitleStream& t)
    {
        TeletextPageSpec page;
        page.page = t.teletextPage;
        page.rows = {BoxedRow(22, static_cast<std::uint8_t>(t.colour), TeletextCodes(t.text).value_or(""))};
        return EncodeTeletextPage(page);
    }

    void AddStream(std::uint16_t pid, std::uint8_t streamId, std::uint64_t period27,
                   std::function<std::vector<std::uint8_t>(std::uint64_t)> accessUnit)
    {
        streams_.push_back({pid, streamId, period27, std::move(accessUnit)});
        Packetizer(pid);
    }

    void QueueDue(std::uint64_t now27, std::uint64_t lastDeadline27)
    {
        for (TableSchedule& t : tables_) {
            if (t.next27 > now27)
                continue;
            const std::int64_t now = d_.clock + static_cast<std::int64_t>(now27 / kClock27);
            for (Section& section : t.build(now)) {
                if (observer_)
                    observer_(t.pid, section);
                PendingUnit unit;
                unit.bytes = std::move(section);
                unit.isSection = true;
                unit.order = order_++;
                Packetizer(t.pid).Push(std::move(unit));
            }
            t.next27 += t.interval27;
        }
        for (StreamSchedule& s : streams_) {
            while (!s.finished && s.next * s.period27 <= now27) {
                const std::uint64_t deadline27 = s.next * s.period27 + kDecodeDelay27;
                if (deadline27 > lastDeadline27) {
                    s.finished = true;
                    break;
                }
                PendingUnit unit;
                unit.bytes = BuildPes(s.streamId, deadline27 / 300, s.accessUnit(s.next));
                unit.deadline27 = deadline27;
                Packetizer(s.pid).Push(std::move(unit));
                ++s.next;
            }
        }
    }

    void WriteNext(std::uint64_t now27, std::uint64_t arrival27, std::uint64_t index, std::uint8_t* out)
    {
        // 1. A PCR that is due, on its own PID, with that PID's data if it has any.
        for (auto& [pid, last] : pcr_) {
            if (last && now27 - *last < Millis27(d_.repeat.pcr))
                continue;
            last = now27;
            // The PCR tells when its own last byte arrives: byte 10 of the packet.
            const std::uint64_t pcr = (index * kPacketBits + 11 * 8) * kClock27 / mux_.bitrate;
            PidPacketizer& p = Packetizer(pid);
            CheckInTime(p, arrival27);
            p.WritePacket(pcr, out);
            return;
        }
        // 2. Tables first: they are small and a scan waits for them.
        PidPacketizer* best = nullptr;
        for (auto& [pid, p] : packetizers_)
            if (p->HasData() && p->Head().isSection && (!best || p->Head().order < best->Head().order))
                best = p.get();
        // 3. Then the access unit whose presentation is nearest.
        if (!best)
            for (auto& [pid, p] : packetizers_)
                if (p->HasData() && !p->Head().isSection &&
                    (!best || p->Head().deadline27 < best->Head().deadline27))
                    best = p.get();
        if (best) {
            CheckInTime(*best, arrival27);
            best->WritePacket(std::nullopt, out);
            return;
        }
        WriteNullPacket(out);
    }

    void CheckInTime(const PidPacketizer& p, std::uint64_t arrival27) const
    {
        if (p.HasData() && !p.Head().isSection && arrival27 > p.Head().deadline27)
            throw std::runtime_error(Where() + "débit de " + std::to_string(mux_.bitrate) +
                                     " bit/s insuffisant pour ses services (PID " + std::to_string(p.pid()) +
                                     " en retard)");
    }

    const Description& d_;
    const Multiplex& mux_;
    const SectionObserver& observer_;
    std::vector<TableSchedule> tables_;
    std::vector<StreamSchedule> streams_;
    std::map<std::uint16_t, std::unique_ptr<PidPacketizer>> packetizers_;
    std::map<std::uint16_t, std::optional<std::uint64_t>> pcr_;  // PCR PID -> when its last PCR went
    std::uint64_t order_ = 0;
};

}  // namespace

void GenerateMultiplex(const Description& description, const Multiplex& mux, const PacketSink& sink,
                       const SectionObserver& observer)
{
    MultiplexGenerator(description, mux, observer).Run(sink);
}

std::vector<std::uint8_t> GenerateMultiplex(const Description& description, const Multiplex& mux,
                                            const SectionObserver& observer)
{
    std::vector<std::uint8_t> ts;
    GenerateMultiplex(
        description, mux, [&ts](const std::uint8_t* bytes, std::size_t size) { ts.insert(ts.end(), bytes, bytes + size); },
        observer);
    return ts;
}

}  // namespace tsgen
