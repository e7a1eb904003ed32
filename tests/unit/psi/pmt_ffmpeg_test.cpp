// ParsePmt on programme maps written by an outside multiplexer: ffmpeg muxes
// streams of each codec into a transport stream at test time, and the PMT is
// taken from it as a receiver would (native build only: ffmpeg does not run
// under Wine).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "channels/psi/section_assembler.h"

namespace {

namespace fs = std::filesystem;

std::string CommandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// Encoders of this ffmpeg that the test needs and it lacks, "" when it has them all.
std::string MissingEncoders(const std::vector<std::string>& wanted)
{
    const std::string list = CommandOutput("ffmpeg -hide_banner -encoders 2>/dev/null");
    std::string missing;
    for (const std::string& name : wanted)
        if (list.find(" " + name + " ") == std::string::npos)
            missing += (missing.empty() ? "" : ", ") + name;
    return list.empty() ? "ffmpeg" : missing;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first section of `tableId` on `pid`, whole and with a valid CRC.
std::optional<std::vector<std::uint8_t>> FirstSection(const std::vector<std::uint8_t>& ts, std::uint16_t pid,
                                                      std::uint8_t tableId)
{
    std::optional<std::vector<std::uint8_t>> found;
    SectionAssembler assembler(pid, [&](const std::uint8_t* s, std::size_t n) {
        if (!found && n > 0 && s[0] == tableId)
            found.emplace(s, s + n);
    });
    assembler.Feed(ts.data(), ts.size());
    return found;
}

class PmtFromFfmpeg : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("pmt_ffmpeg_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Muxes half a second of a test picture and a tone per audio encoder, and
    // returns the service's record as ParsePmt fills it.
    // DVB carriage ("system B"): AC-3 and E-AC-3 as private data with their descriptors.
    Chaine Mux(const std::string& video, const std::vector<std::string>& audio,
               const std::string& flags = "system_b")
    {
        const fs::path file = dir_ / "out.ts";
        std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=0.5";
        for (std::size_t i = 0; i < audio.size(); ++i)
            command += " -f lavfi -i sine=duration=0.5:sample_rate=48000";
        command += " -map 0:v";
        for (std::size_t i = 0; i < audio.size(); ++i)
            command += " -map " + std::to_string(i + 1) + ":a -c:a:" + std::to_string(i) + " " + audio[i];
        command += " -c:v " + video + " -mpegts_flags " + flags + " -f mpegts " + file.string() + " 2>" +
                   (dir_ / "err.txt").string();
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;

        Chaine record = MakeEmptyChaine();
        const std::vector<std::uint8_t> ts = ReadAll(file);
        const auto pat = FirstSection(ts, kPatPid, kPatTableId);
        if (!pat || pat->size() < 16) {
            ADD_FAILURE() << "no PAT in ffmpeg's stream";
            return record;
        }
        // ffmpeg's PAT lists the one programme, with no network entry before it.
        const std::uint16_t pmtPid = static_cast<std::uint16_t>(((*pat)[10] & 0x1F) << 8 | (*pat)[11]);
        const auto pmt = FirstSection(ts, pmtPid, kPmtTableId);
        if (!pmt) {
            ADD_FAILURE() << "no PMT on PID " << pmtPid;
            return record;
        }
        ChannelList list{record};
        ParsePmt(pmt->data(), pmt->size(), 0, list);
        return list[0];
    }

    fs::path dir_;
};

TEST_F(PmtFromFfmpeg, EveryCodecOfTodaysBroadcasts)
{
    if (const std::string missing = MissingEncoders({"libx264", "libx265", "aac", "eac3"}); !missing.empty())
        GTEST_SKIP() << "ffmpeg lacks the encoders " << missing << ": install Debian's ffmpeg (scripts/setup.sh)";

    const Chaine h264 = Mux("libx264 -preset ultrafast", {"aac", "eac3"});
    EXPECT_NE(h264.Video, 0);
    EXPECT_NE(h264.PCR, 0);
    EXPECT_EQ(h264.VideoCodec, StreamCodec::H264);
    EXPECT_NE(h264.Son1, 0);
    EXPECT_EQ(h264.Son1Codec, StreamCodec::AacAdts);
    EXPECT_NE(h264.Ac3, 0);
    EXPECT_EQ(h264.Ac3Codec, StreamCodec::Eac3);

    const Chaine hevc =
        Mux("libx265 -preset ultrafast -x265-params log-level=error", {"aac", "aac"}, "system_b+latm");
    EXPECT_NE(hevc.Video, 0);
    EXPECT_EQ(hevc.VideoCodec, StreamCodec::Hevc);
    EXPECT_EQ(hevc.Son1Codec, StreamCodec::AacLatm);
    EXPECT_EQ(hevc.Son2Codec, StreamCodec::AacLatm);
    EXPECT_NE(hevc.Son2, hevc.Son1);
}

TEST_F(PmtFromFfmpeg, ClassicCodecsStayOnTheirFields)
{
    if (const std::string missing = MissingEncoders({"mpeg2video", "mp2", "ac3"}); !missing.empty())
        GTEST_SKIP() << "ffmpeg lacks the encoders " << missing;
    const Chaine c = Mux("mpeg2video", {"mp2", "ac3"});
    EXPECT_NE(c.Video, 0);
    EXPECT_EQ(c.VideoCodec, StreamCodec::Classic);
    EXPECT_NE(c.Son1, 0);
    EXPECT_EQ(c.Son1Codec, StreamCodec::Classic);
    EXPECT_NE(c.Ac3, 0);
    EXPECT_EQ(c.Ac3Codec, StreamCodec::Classic);
}

}  // namespace
