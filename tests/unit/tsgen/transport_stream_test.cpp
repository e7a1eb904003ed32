// The transport layer of the generated demo streams: packets, continuity
// counters, PCRs, table sections and their repetition, PES timing.
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "channels/psi/section_assembler.h"
#include "demo_fixture.h"
#include "tools/tsgen/video_es.h"
#include "tools/tsgen/psi_tables.h"
#include "ts_reading.h"

namespace {

using tsinspect::Packet;
constexpr std::uint64_t kMs27 = 27000;

std::string Where(const tsgen::Multiplex& m) { return "multiplex " + std::to_string(m.frequencyKHz); }

TEST(GeneratedStream, PacketsAreWholeAndContinuityCountersRunPerPid)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    for (std::size_t m = 0; m < demo.streams.size(); ++m) {
        const auto& ts = demo.streams[m];
        const auto& mux = demo.description.multiplexes[m];
        SCOPED_TRACE(Where(mux));
        EXPECT_EQ(ts.size() % 188, 0u);
        // Length in time: the description's seconds at the multiplex's bit rate.
        EXPECT_NEAR(static_cast<double>(ts.size()) * 8 / mux.bitrate, demo.description.seconds, 0.01);
        std::map<std::uint16_t, int> last;  // PID -> counter of the last packet
        std::set<std::uint16_t> seen;
        for (const Packet& p : tsinspect::SplitPackets(ts)) {
            ASSERT_NE(p.bytes, nullptr) << "packet " << p.index << " malformed";
            if (p.pid == tsgen::kPidNull)
                continue;
            // The first packet of each PID tells a looping player to resynchronise.
            EXPECT_EQ(p.discontinuity, seen.insert(p.pid).second) << "PID " << p.pid << " packet " << p.index;
            const auto it = last.find(p.pid);
            if (it != last.end()) {
                const int expected = p.hasPayload ? (it->second + 1) % 16 : it->second;
                ASSERT_EQ(p.continuity, expected) << "PID " << p.pid << " packet " << p.index;
            }
            last[p.pid] = p.continuity;
        }
    }
}

TEST(GeneratedStream, PcrsFollowTheBitRateAtMost40MsApart)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    for (std::size_t m = 0; m < demo.streams.size(); ++m) {
        const auto& mux = demo.description.multiplexes[m];
        SCOPED_TRACE(Where(mux));
        std::set<std::uint16_t> pcrPids;
        for (const auto& s : mux.services)
            if (s.pcrPid != tsgen::kNoPcrPid)
                pcrPids.insert(s.pcrPid);
        ASSERT_FALSE(pcrPids.empty());
        std::map<std::uint16_t, Packet> previous;
        for (const Packet& p : tsinspect::SplitPackets(demo.streams[m])) {
            if (!p.pcr)
                continue;
            EXPECT_TRUE(pcrPids.count(p.pid)) << "PCR on PID " << p.pid;
            // A player paced by the PCR plays the file at its bit rate: the PCR
            // is the arrival time of its packet (byte 10 of it, within 1 tick).
            const std::uint64_t arrival = (p.index * 188 + 11) * 8 * 27000000ull / mux.bitrate;
            EXPECT_NEAR(static_cast<double>(*p.pcr), static_cast<double>(arrival), 1.0);
            const auto it = previous.find(p.pid);
            if (it != previous.end()) {
                ASSERT_GT(*p.pcr, *it->second.pcr);
                EXPECT_LE(*p.pcr - *it->second.pcr, 40 * kMs27) << "PID " << p.pid;
            } else {
                EXPECT_LE(*p.pcr, 40 * kMs27) << "first PCR of PID " << p.pid;
            }
            previous[p.pid] = p;
        }
        EXPECT_EQ(previous.size(), pcrPids.size()) << "every PCR PID carries PCRs";
        for (const auto& [pid, p] : previous)
            EXPECT_GT(p.index * 188 * 8 * 27000000ull / mux.bitrate + 40 * kMs27,
                      PacketTime27(demo.streams[m].size() / 188, mux.bitrate))
                << "PCRs go on to the end of the file on PID " << pid;
    }
}

// Every section start on a table PID, and the sections that pass the CRC check.
struct TableTraffic {
    std::size_t starts = 0;
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> sections;  // packet index, bytes
};

std::map<std::uint16_t, TableTraffic> ReadTables(const tsgen::Multiplex& mux, const std::vector<std::uint8_t>& ts)
{
    std::map<std::uint16_t, TableTraffic> traffic;
    std::vector<std::uint16_t> pids = {tsgen::kPidPat, tsgen::kPidNit, tsgen::kPidSdt, tsgen::kPidEit};
    for (const auto& s : mux.services)
        pids.push_back(s.pmtPid);
    for (std::uint16_t pid : pids) {
        TableTraffic& t = traffic[pid];
        std::size_t index = 0;
        SectionAssembler assembler(pid, [&](const std::uint8_t* section, std::size_t length) {
            t.sections.emplace_back(index, std::vector<std::uint8_t>(section, section + length));
        });
        for (const Packet& p : tsinspect::SplitPackets(ts)) {
            if (p.pid != pid)
                continue;
            index = p.index;
            t.starts += p.unitStart;
            assembler.FeedPacket(p);
        }
    }
    return traffic;
}

TEST(GeneratedStream, EverySectionPassesItsCrcAndTablesRepeatOnTime)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    const tsgen::Repetition& r = demo.description.repeat;
    for (std::size_t m = 0; m < demo.streams.size(); ++m) {
        const auto& mux = demo.description.multiplexes[m];
        SCOPED_TRACE(Where(mux));
        const auto traffic = ReadTables(mux, demo.streams[m]);
        const std::uint64_t end27 = PacketTime27(demo.streams[m].size() / 188, mux.bitrate);
        // Gaps between successive sections of one table, and before the first.
        auto checkGaps = [&](const std::vector<std::size_t>& at, int intervalMs, const std::string& what) {
            ASSERT_FALSE(at.empty()) << what;
            std::uint64_t previous = 0;
            for (std::size_t index : at) {
                const std::uint64_t t = PacketTime27(index, mux.bitrate);
                EXPECT_LE(t - previous, static_cast<std::uint64_t>(intervalMs + 10) * kMs27) << what;
                previous = t;
            }
            EXPECT_LE(end27 - previous, static_cast<std::uint64_t>(intervalMs) * kMs27 + 110 * kMs27) << what;
        };
        for (const auto& [pid, t] : traffic) {
            // Each section starts in a packet of its own: one start per section,
            // and the assembler hands out only sections with a valid CRC_32.
            EXPECT_EQ(t.sections.size(), t.starts) << "PID " << pid;
        }
        std::map<std::string, std::vector<std::size_t>> byTable;
        for (const auto& [pid, t] : traffic) {
            for (const auto& [index, s] : t.sections) {
                const int sid = s[3] << 8 | s[4];
                std::string key = std::to_string(s[0]) + "/" + std::to_string(sid);
                if (s[0] == tsgen::kTableEitActualPf || s[0] == tsgen::kTableEitOtherPf)
                    key += "/" + std::to_string(s[6]);  // section 0 (present) or 1 (following)
                byTable[key].push_back(index);
            }
        }
        checkGaps(byTable["0/" + std::to_string(mux.tsid)], r.pat, "PAT");
        checkGaps(byTable["66/" + std::to_string(mux.tsid)], r.sdt, "SDT");
        checkGaps(byTable["64/" + std::to_string(mux.networkId)], r.nit, "NIT");
        for (const auto& s : mux.services) {
            checkGaps(byTable["2/" + std::to_string(s.sid)], r.pmt, "PMT " + std::to_string(s.sid));
            checkGaps(byTable["78/" + std::to_string(s.sid) + "/0"], r.eit, "EIT 4E " + std::to_string(s.sid));
            checkGaps(byTable["78/" + std::to_string(s.sid) + "/1"], r.eit, "EIT 4E " + std::to_string(s.sid));
        }
        for (const auto& other : demo.description.multiplexes) {
            if (&other == &mux)
                continue;
            for (const auto& s : other.services)
                checkGaps(byTable["79/" + std::to_string(s.sid) + "/0"], r.eitOther, "EIT 4F " + std::to_string(s.sid));
        }
    }
}

TEST(GeneratedStream, AccessUnitsArriveWholeBeforeTheirPresentationTime)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    for (std::size_t m = 0; m < demo.streams.size(); ++m) {
        const auto& mux = demo.description.multiplexes[m];
        SCOPED_TRACE(Where(mux));
        std::map<std::uint16_t, std::uint64_t> period90;  // expected PTS step per ES PID
        std::map<std::uint16_t, std::uint8_t> streamId;
        for (const auto& s : mux.services) {
            if (s.video) {
                const tsgen::FrameRate rate = tsgen::FrameRateOfCode(s.video->frameRateCode);
                period90[s.video->pid] = 90000ull * rate.denominator / rate.numerator;
                streamId[s.video->pid] = 0xE0;
            }
            for (const auto& a : s.audio) {
                const bool dolby = a.kind == tsgen::AudioKind::Ac3 || a.kind == tsgen::AudioKind::Eac3;
                period90[a.pid] = dolby ? 2880 : a.kind == tsgen::AudioKind::Aac ? 1920 : 2160;
                streamId[a.pid] = dolby ? 0xBD : 0xC0;
            }
        }
        std::map<std::uint16_t, std::uint64_t> lastPts;
        std::map<std::uint16_t, std::size_t> count;
        std::map<std::uint16_t, std::size_t> lastPacket;
        auto checkComplete = [&](std::uint16_t pid) {
            // The PES's last packet ends before it is due.
            if (lastPts.count(pid)) {
                EXPECT_LE(PacketTime27(lastPacket[pid] + 1, mux.bitrate), lastPts[pid] * 300) << "PID " << pid;
            }
        };
        for (const Packet& p : tsinspect::SplitPackets(demo.streams[m])) {
            if (!period90.count(p.pid) || !p.hasPayload)
                continue;
            if (p.unitStart) {
                checkComplete(p.pid);
                ASSERT_GE(p.payloadSize, 14u);
                if (streamId[p.pid] == 0xC0) {
                    EXPECT_EQ(p.payload[3] & 0xE0, 0xC0) << "MPEG audio stream_id on PID " << p.pid;
                } else {
                    EXPECT_EQ(p.payload[3], streamId[p.pid]) << "stream_id on PID " << p.pid;
                }
                const auto pts = tsinspect::PesPts(p.payload, p.payloadSize);
                ASSERT_TRUE(pts) << "PID " << p.pid;
                if (lastPts.count(p.pid)) {
                    EXPECT_EQ(*pts - lastPts[p.pid], period90[p.pid]) << "PID " << p.pid;
                }
                lastPts[p.pid] = *pts;
                ++count[p.pid];
            }
            lastPacket[p.pid] = p.index;
        }
        for (const auto& [pid, period] : period90) {
            checkComplete(pid);
            // Nearly the whole length carries frames: all but the decoding delay.
            const double seconds = static_cast<double>(count[pid] * period) / 90000;
            EXPECT_GT(seconds, demo.description.seconds - 0.7) << "PID " << pid;
        }
    }
}

}  // namespace
