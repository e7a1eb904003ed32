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

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fresh folder per test, removed afterwards.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tsgen_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs a command line; returns its exit status, with stdout and stderr kept.
    int Run(const std::string& command)
    {
        const int status = std::system((command + " >" + (dir_ / "out.txt").string() + " 2>" +
                                        (dir_ / "err.txt").string()).c_str());
        out_ = ReadText(dir_ / "out.txt");
        err_ = ReadText(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path dir_;
    std::string out_, err_;
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
                expected[Hex(s.video->pid)] = s.video->codec == tsgen::VideoCodec::H264 ? "h264" : "mpeg2video";
            static const char* const kAudioCodecs[] = {"mp2", "ac3", "aac", "eac3"};
            for (const auto& a : s.audio)
                expected[Hex(a.pid)] = kAudioCodecs[static_cast<int>(a.kind)];
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
        // Every frame decodes: the pictures and audio frames are real ones.
        EXPECT_EQ(Run("ffmpeg -nostdin -v error -i " + file.string() + " -map 0 -f null -"), 0) << err_;
        EXPECT_EQ(err_, "") << "ffmpeg decodes without error";
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
