#include "standins/decoders/mpeg_video_stream.h"
#include "standins/decoders/video_decoder_core.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace standin;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, std::initializer_list<int> v)
{
    for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
}

Bytes SequenceHeaderBytes(int width, int height, int frameRateCode = 3)
{
    Bytes b;
    Append(b, {0, 0, 1, 0xB3, width >> 4, ((width & 0xF) << 4) | (height >> 8), height & 0xFF,
               0x20 | frameRateCode, 0xFF, 0xFF, 0xE0, 0x18});
    return b;
}

Bytes UserData(const std::string& text)
{
    Bytes b;
    Append(b, {0, 0, 1, 0xB2});
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

Bytes Picture()
{
    Bytes b;
    Append(b, {0, 0, 1, 0x00, 0x00, 0x0F, 0xFF, 0xF8, 0x12, 0x34, 0x00, 0x00, 0x01, 0x01, 0xAA, 0x55});
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace

TEST(SequenceHeader, ReadsTwelveBitSizesAndRateCode)
{
    const Bytes b = SequenceHeaderBytes(720, 576, 3);
    auto h = ParseSequenceHeader(b.data() + 4, b.size() - 4);
    ASSERT_TRUE(h);
    EXPECT_EQ(720, h->width);
    EXPECT_EQ(576, h->height);
    EXPECT_EQ(2, h->aspectRatioCode);
    EXPECT_EQ(3, h->frameRateCode);

    const Bytes big = SequenceHeaderBytes(1920, 1088, 4);
    h = ParseSequenceHeader(big.data() + 4, 4);
    ASSERT_TRUE(h);
    EXPECT_EQ(1920, h->width);
    EXPECT_EQ(1088, h->height);
    EXPECT_EQ(333667, FramePeriod100ns(h->frameRateCode));
}

TEST(SequenceHeader, RefusesTruncatedAndZeroSizes)
{
    const Bytes b = SequenceHeaderBytes(720, 576);
    for (std::size_t n = 0; n < 4; ++n) EXPECT_FALSE(ParseSequenceHeader(b.data() + 4, n)) << n;
    EXPECT_FALSE(ParseSequenceHeader(nullptr, 4));
    const Bytes zero = SequenceHeaderBytes(0, 576);
    EXPECT_FALSE(ParseSequenceHeader(zero.data() + 4, 4));
    const Bytes flat = SequenceHeaderBytes(720, 0);
    EXPECT_FALSE(ParseSequenceHeader(flat.data() + 4, 4));
}

TEST(ServicePidUserData, AcceptsOnlyTheMarkerWithAPid)
{
    auto parse = [](const std::string& s) {
        return ParseServicePidUserData(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    EXPECT_EQ(120, parse("BTVPID=120"));
    EXPECT_EQ(8191, parse("BTVPID=8191"));
    EXPECT_EQ(0, parse("BTVPID=0"));
    EXPECT_EQ(511, parse(std::string("BTVPID=511\0\xFF", 12)));
    EXPECT_FALSE(parse("BTVPID=8192"));    // beyond 13 bits
    EXPECT_FALSE(parse("BTVPID=12345"));   // five digits
    EXPECT_FALSE(parse("BTVPID="));
    EXPECT_FALSE(parse("BTVPID=x"));
    EXPECT_FALSE(parse("BTVPI"));
    EXPECT_FALSE(parse("btvpid=120"));
    EXPECT_FALSE(parse("CC 0 some caption"));
}

TEST(MpegVideoScanner, ReportsHeaderMarkerAndPicturesInOrder)
{
    const Bytes stream = Concat({SequenceHeaderBytes(352, 288), UserData("BTVPID=300"), Picture(), Picture()});
    MpegVideoScanner scanner;
    std::vector<VideoStreamEvent> events;
    scanner.Feed(stream.data(), stream.size(), events);
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(VideoStreamEvent::Kind::SequenceHeader, events[0].kind);
    EXPECT_EQ(352, events[0].sequence.width);
    EXPECT_EQ(VideoStreamEvent::Kind::ServicePid, events[1].kind);
    EXPECT_EQ(300, events[1].pid);
    EXPECT_EQ(VideoStreamEvent::Kind::Picture, events[2].kind);
    EXPECT_EQ(VideoStreamEvent::Kind::Picture, events[3].kind);
}

TEST(MpegVideoScanner, SameResultWhateverTheSplitBetweenSamples)
{
    const Bytes stream = Concat({SequenceHeaderBytes(720, 576), UserData("BTVPID=4097"), Picture(),
                                 SequenceHeaderBytes(720, 576), UserData("BTVPID=4097"), Picture(), Picture()});
    for (std::size_t piece = 1; piece <= 7; ++piece) {
        MpegVideoScanner scanner;
        std::vector<VideoStreamEvent> events;
        for (std::size_t pos = 0; pos < stream.size(); pos += piece)
            scanner.Feed(stream.data() + pos, std::min(piece, stream.size() - pos), events);
        int pictures = 0, headers = 0, pids = 0;
        for (const auto& e : events) {
            pictures += e.kind == VideoStreamEvent::Kind::Picture;
            headers += e.kind == VideoStreamEvent::Kind::SequenceHeader;
            if (e.kind == VideoStreamEvent::Kind::ServicePid) {
                ++pids;
                EXPECT_EQ(4097, e.pid);
            }
        }
        EXPECT_EQ(3, pictures) << "piece " << piece;
        EXPECT_EQ(2, headers) << "piece " << piece;
        EXPECT_EQ(2, pids) << "piece " << piece;
    }
}

TEST(MpegVideoScanner, TruncatedHeaderAndLongUserDataAreHarmless)
{
    // A sequence header cut short by the next start code, then user data far longer
    // than any marker: neither yields an event, the pictures still count.
    Bytes stream;
    Append(stream, {0, 0, 1, 0xB3, 0x2D});
    const Bytes pic = Picture();
    stream.insert(stream.end(), pic.begin(), pic.end());
    const Bytes longData = UserData(std::string(500, 'A'));
    stream.insert(stream.end(), longData.begin(), longData.end());
    stream.insert(stream.end(), pic.begin(), pic.end());
    // Stream ends in the middle of a header.
    Append(stream, {0, 0, 1, 0xB3, 0x2D, 0x02});

    MpegVideoScanner scanner;
    std::vector<VideoStreamEvent> events;
    scanner.Feed(stream.data(), stream.size(), events);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(VideoStreamEvent::Kind::Picture, events[0].kind);
    EXPECT_EQ(VideoStreamEvent::Kind::Picture, events[1].kind);
}

TEST(VideoDecoderCore, FramesTakeTheSizeOfTheLatestSequenceHeader)
{
    VideoDecoderCore core(720, 576);
    const Bytes before = Picture();
    auto frames = core.Feed(before.data(), before.size());
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(720, frames[0].width);   // from the connection's format
    EXPECT_EQ(-1, frames[0].pid);
    EXPECT_EQ(1u, frames[0].frameNumber);

    const Bytes after = Concat({SequenceHeaderBytes(352, 288, 6), UserData("BTVPID=160"), Picture(), Picture()});
    frames = core.Feed(after.data(), after.size());
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ(352, frames[1].width);
    EXPECT_EQ(288, frames[1].height);
    EXPECT_EQ(160, frames[1].pid);
    EXPECT_EQ(3u, frames[1].frameNumber);
    EXPECT_EQ(200000, frames[1].period100ns);

    core.Restart();
    frames = core.Feed(before.data(), before.size());
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(1u, frames[0].frameNumber);
    EXPECT_EQ(352, frames[0].width);   // the stream has not changed
    EXPECT_EQ(160, frames[0].pid);
}

TEST(VideoDecoderCore, InsaneConnectionSizeFallsBackToStandardDefinition)
{
    VideoDecoderCore core(0, -5);
    EXPECT_EQ(720, core.Width());
    EXPECT_EQ(576, core.Height());
    VideoDecoderCore huge(100000, 576);
    EXPECT_EQ(720, huge.Width());
}
