// The tsgen command as used by the project (native build only): the demo
// broadcast written to files and read by an outside demultiplexer, ffprobe;
// the section dump the fuzzers start from; faults reported with their line.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "channels/text/dvb_text.h"
#include "tools/tsgen/text_coding.h"
#include "tools/tsgen/video_es.h"
#include "demo_fixture.h"
#include "tests/support/command_fixture.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class ToolTest : public CommandTest {
protected:
    ToolTest() : CommandTest("tsgen_test_") {}
};

// A broadcast text as ffprobe prints it: decoded from its character table, in UTF-8.
std::string Utf8Of(const std::string& broadcast)
{
    const std::u16string text = DecodeDvbText(
        std::span(reinterpret_cast<const std::uint8_t*>(broadcast.data()), broadcast.size()));
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        tsgen::AppendUtf8(out, c);
    }
    return out;
}

// "programs.program.3.streams.stream.1.id="0x110"" -> [3]["streams.stream.1.id"] = 0x110
std::map<int, std::map<std::string, std::string>> ReadFlatPrograms(const std::string& flat)
{
    std::map<int, std::map<std::string, std::string>> programs;
    std::istringstream lines(flat);
    const std::string prefix = "programs.program.";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        const std::size_t dot = line.find('.', prefix.size());
        const std::size_t equals = line.find('=');
        if (dot == std::string::npos || equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        programs[std::stoi(line.substr(prefix.size(), dot - prefix.size()))]
                [line.substr(dot + 1, equals - dot - 1)] = value;
    }
    return programs;
}

std::string Hex(unsigned pid)
{
    std::ostringstream s;
    s << "0x" << std::hex << pid;
    return s.str();
}

TEST_F(ToolTest, FfprobeReadsTheDemoAsDescribed)
{
    ASSERT_EQ(Run(std::string(TSGEN_EXE) + " " + DEMO_BROADCAST + " " + (dir_ / "ts").string()), 0) << err_;
    const DemoBroadcast& demo = DemoBroadcast::Get();
    for (const tsgen::Multiplex& mux : demo.description.multiplexes) {
        const fs::path file = dir_ / "ts" / (std::to_string(mux.frequencyKHz) + ".ts");
        SCOPED_TRACE(file.string());
        ASSERT_TRUE(fs::exists(file));
        ASSERT_EQ(Run("ffprobe -v error -show_programs -show_streams -of flat " + file.string()), 0) << err_;
        EXPECT_EQ(err_, "") << "ffprobe reports no error";
        const auto programs = ReadFlatPrograms(out_);
        ASSERT_EQ(programs.size(), mux.services.size());
        for (const tsgen::Service& s : mux.services) {
            SCOPED_TRACE(s.name);
            const std::map<std::string, std::string>* found = nullptr;
            for (const auto& [index, fields] : programs)
                if (fields.count("program_id") && fields.at("program_id") == std::to_string(s.sid))
                    found = &fields;
            ASSERT_NE(found, nullptr);
            const auto& p = *found;
            EXPECT_EQ(p.at("pmt_pid"), std::to_string(s.pmtPid));
            EXPECT_EQ(p.at("pcr_pid"), std::to_string(s.pcrPid));
            // An outside reader of the character tables agrees with ours on every name.
            EXPECT_EQ(p.at("tags.service_name"), Utf8Of(s.name));
            EXPECT_EQ(p.at("tags.service_provider"), Utf8Of(s.provider));
            // The streams by PID, with the codec ffprobe recognised.
            std::map<std::string, std::string> expected;
            if (s.video)
                expected[Hex(s.video->pid)] = s.video->codec == tsgen::VideoCodec::H264   ? "h264"
                                              : s.video->codec == tsgen::VideoCodec::Hevc ? "hevc"
                                                                                          : "mpeg2video";
            static const char* const kAudioCodecs[] = {"mp2", "ac3", "aac", "eac3"};
            for (const auto& a : s.audio)
                expected[Hex(a.pid)] = kAudioCodecs[static_cast<int>(a.kind)];
            for (const auto& t : s.subtitles)
                expected[Hex(t.pid)] = t.format == tsgen::SubtitleFormat::Teletext ? "dvb_teletext" : "dvb_subtitle";
            std::map<std::string, std::string> actual;
            for (std::size_t k = 0; p.count("streams.stream." + std::to_string(k) + ".id"); ++k) {
                const std::string base = "streams.stream." + std::to_string(k) + ".";
                actual[p.at(base + "id")] = p.at(base + "codec_name");
                if (s.video && p.at(base + "id") == Hex(s.video->pid)) {
                    EXPECT_EQ(p.at(base + "width"), std::to_string(s.video->width));
                    EXPECT_EQ(p.at(base + "height"), std::to_string(s.video->height));
                    const tsgen::FrameRate rate = tsgen::FrameRateOfCode(s.video->frameRateCode);
                    EXPECT_EQ(p.at(base + "r_frame_rate"),
                              std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator));
                } else if (p.count(base + "sample_rate")) {
                    EXPECT_EQ(p.at(base + "sample_rate"), "48000");
                    EXPECT_EQ(p.at(base + "channels"), "2");
                }
            }
            EXPECT_EQ(actual, expected);
        }
        // Every frame decodes: the pictures and audio frames are real ones (the
        // subtitles go through as they are: the null output has no encoder for them).
        EXPECT_EQ(Run("ffmpeg -nostdin -v error -i " + file.string() + " -map 0 -c:s copy -f null -"), 0) << err_;
        EXPECT_EQ(err_, "") << "ffmpeg decodes without error";
    }
}

// "streams.stream.1.codec_name="hevc"" -> [id of stream 1]["codec_name"] = hevc
std::map<std::string, std::map<std::string, std::string>> ReadFlatStreamsById(const std::string& flat)
{
    std::map<int, std::map<std::string, std::string>> byIndex;
    std::istringstream lines(flat);
    const std::string prefix = "streams.stream.";
    for (std::string line; std::getline(lines, line);) {
        const std::size_t dot = line.find('.', prefix.size());
        const std::size_t equals = line.find('=');
        if (line.rfind(prefix, 0) != 0 || dot == std::string::npos || equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        byIndex[std::stoi(line.substr(prefix.size(), dot - prefix.size()))][line.substr(dot + 1, equals - dot - 1)] =
            value;
    }
    std::map<std::string, std::map<std::string, std::string>> byId;
    for (auto& [index, fields] : byIndex)
        byId[fields["id"]] = fields;
    return byId;
}

// Every HEVC picture decodes, by an outside decoder, to the flat colour of its
// service: a single wrong bin of the arithmetic coding would show as garbage.
TEST_F(ToolTest, HevcStreamsDecodeToTheServiceColourAtEachSizeAndRate)
{
    if (Run("ffprobe -version") != 0 || Run("ffmpeg -version") != 0)
        GTEST_SKIP() << "ffprobe or ffmpeg is not installed: the HEVC streams cannot be checked";
    struct Case {
        std::uint16_t sid;
        const char* line;
        int width, height;
        const char* rate;
        const char* sampleAspect;
        const char* level;  // 30 times the lowest level that carries the size and rate
    };
    const Case cases[] = {
        {0x0A01, "video pid=0x101 codec=hevc size=1920x1080 aspect=16:9 rate=25 bitrate=2000000", 1920, 1080,
         "25/1", "1:1", "120"},
        {0x0A02, "video pid=0x201 codec=hevc size=1280x720 aspect=16:9 rate=50 bitrate=1500000", 1280, 720, "50/1",
         "1:1", "120"},
        {0x0A03, "video pid=0x301 codec=hevc size=720x576 aspect=4:3 rate=29.97 bitrate=1000000", 720, 576,
         "30000/1001", "16:15", "90"},
    };
    {
        std::ofstream text(dir_ / "hevc.txt");
        text << "mux uhf=21 tsid=1 onid=1 bitrate=8000000\n";
        for (const Case& c : cases)
            text << "service sid=" << c.sid << " name=S" << c.sid << " pmt=0x" << std::hex << (c.sid & 0xF) * 0x100
                 << std::dec << "\n" << c.line << "\n";
    }
    ASSERT_EQ(Run(std::string(TSGEN_EXE) + " --seconds 2 " + (dir_ / "hevc.txt").string() + " " +
                  (dir_ / "ts").string()),
              0)
        << err_;
    const std::string file = (dir_ / "ts" / "474166.ts").string();

    ASSERT_EQ(Run("ffprobe -v error -show_streams -of flat " + file), 0) << err_;
    EXPECT_EQ(err_, "");
    const auto streams = ReadFlatStreamsById(out_);
    for (const Case& c : cases) {
        const std::string pid = Hex(static_cast<unsigned>((c.sid & 0xF) * 0x100 + 1));
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(streams.count(pid));
        const auto& s = streams.at(pid);
        EXPECT_EQ(s.at("codec_name"), "hevc");
        EXPECT_EQ(s.at("profile"), "Main");
        EXPECT_EQ(s.at("width"), std::to_string(c.width));
        EXPECT_EQ(s.at("height"), std::to_string(c.height));
        EXPECT_EQ(s.at("r_frame_rate"), c.rate);
        EXPECT_EQ(s.at("sample_aspect_ratio"), c.sampleAspect);
        EXPECT_EQ(s.at("level"), c.level);
    }

    EXPECT_EQ(Run("ffmpeg -nostdin -v error -i " + file + " -map 0 -f null -"), 0) << err_;
    EXPECT_EQ(err_, "") << "ffmpeg decodes without error";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const fs::path raw = dir_ / "pictures.yuv";
        // Thirty pictures: past the second IDR picture at every rate.
        ASSERT_EQ(Run("ffmpeg -nostdin -v error -i " + file + " -map 0:#" +
                      Hex(static_cast<unsigned>((c.sid & 0xF) * 0x100 + 1)) +
                      " -frames:v 30 -f rawvideo -pix_fmt yuv420p -y " + raw.string()),
                  0)
            << err_;
        const std::string pixels = ReadText(raw);
        const std::size_t luma = static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height);
        const std::size_t frame = luma * 3 / 2;
        ASSERT_EQ(pixels.size(), 30 * frame);
        const tsgen::PictureColour colour = tsgen::ColourOf(c.sid);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const std::size_t at = i % frame;
            const std::uint8_t expected = at < luma ? colour.y : at < luma * 5 / 4 ? colour.cb : colour.cr;
            wrong += static_cast<std::uint8_t>(pixels[i]) != expected;
        }
        EXPECT_EQ(wrong, 0u) << "samples off the service's colour";
        fs::remove(raw);
    }
}

TEST_F(ToolTest, DumpsEachDistinctSectionForTheFuzzers)
{
    // The calling form of the fuzz script: no output folder.
    ASSERT_EQ(Run(std::string(TSGEN_EXE) + " --dump-sections " + (dir_ / "seeds").string() + " " + DEMO_BROADCAST), 0)
        << err_;
    for (const char* name : {"pat_1.bin", "pmt_257.bin", "sdt_1.bin", "nit_8442.bin", "eit4e_1.bin", "eit4f_1.bin"})
        EXPECT_TRUE(fs::exists(dir_ / "seeds" / name)) << name;
    std::set<std::string> contents;
    for (const auto& entry : fs::directory_iterator(dir_ / "seeds"))
        EXPECT_TRUE(contents.insert(ReadText(entry.path())).second) << "duplicate " << entry.path();
    EXPECT_GT(contents.size(), 20u);
    EXPECT_FALSE(fs::exists(dir_ / "seeds" / "474166.ts")) << "no stream without an output folder";
}

TEST_F(ToolTest, FaultsStopWithTheLineAndAnError)
{
    std::ofstream(dir_ / "bad.txt") << "mux uhf=21 tsid=1 onid=1\n"
                                       "service sid=1 name=A pmt=0x100\n"
                                       "video pid=0x100\n";
    EXPECT_EQ(Run(std::string(TSGEN_EXE) + " " + (dir_ / "bad.txt").string() + " " + (dir_ / "out").string()), 1);
    EXPECT_NE(err_.find("bad.txt: ligne 3 :"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(dir_ / "out" / "474166.ts"));

    // A bit rate too low for the services is refused, not written short.
    std::ofstream(dir_ / "slow.txt") << "mux uhf=21 tsid=1 onid=1 bitrate=500000\n"
                                        "service sid=1 name=A pmt=0x100\n"
                                        "video pid=0x101 bitrate=1200000\n";
    EXPECT_EQ(Run(std::string(TSGEN_EXE) + " " + (dir_ / "slow.txt").string() + " " + (dir_ / "out").string()), 1);
    EXPECT_NE(err_.find("insuffisant"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(dir_ / "out" / "474166.ts")) << "no stream cut short is left behind";

    EXPECT_EQ(Run(std::string(TSGEN_EXE) + " " + DEMO_BROADCAST), 2) << "no output folder";
    EXPECT_EQ(Run(std::string(TSGEN_EXE) + " --seconds 0 " + DEMO_BROADCAST + " " + (dir_ / "out").string()), 2);
}

}  // namespace
