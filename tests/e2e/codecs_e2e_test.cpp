// Today's broadcasts: the demo's HD multiplex (H.264 and HEVC with E-AC-3 and AAC
// sound) is scanned and kept after the older channels, and the program plays it,
// switching between MPEG-2 and H.264 channels both ways, and to and from HEVC.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

// Bright pixels of the codec band under the test picture: the rows below the
// last one whose column at a fifth of the width shows the background. The band
// reads "H.264" or "HEVC", so the two codecs leave different counts.
int BandInk(const WindowPicture& picture, std::uint32_t background)
{
    const int x = picture.width / 5;
    int bottom = -1;
    for (int y = 0; y < picture.height; ++y)
        if (picture.At(x, y) == background)
            bottom = y;
    if (bottom < 0)
        return -1;
    int ink = 0;
    for (int y = bottom + 1; y < picture.height && y <= bottom + picture.height / 8; ++y)
        for (int i = 0; i < picture.width; ++i)
            ink += (picture.At(i, y) >> 8 & 0xFF) > 0x80;
    return ink;
}

TEST(Codecs, TheHdMultiplexIsKeptLastAndPlaysBothWaysFromMpeg2)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    int hd = -1;
    for (size_t i = 0; i < channels.size(); ++i)
        if (hd < 0 && channels[i].VideoCodec == StreamCodec::H264)
            hd = static_cast<int>(i);
    ASSERT_GT(hd, 0) << "no H.264 channel kept by the scan";
    int hevc = -1;
    for (size_t i = 0; i < channels.size(); ++i)
        if (hevc < 0 && channels[i].VideoCodec == StreamCodec::Hevc)
            hevc = static_cast<int>(i);
    ASSERT_GT(hevc, hd) << "no HEVC channel kept by the scan";
    // Numbered after every older channel: those keep their positions.
    for (int i = 0; i < hd; ++i)
        EXPECT_EQ(channels[static_cast<size_t>(i)].VideoCodec, StreamCodec::Classic) << channels[static_cast<size_t>(i)].Nom;
    EXPECT_EQ(channels[static_cast<size_t>(hd)].Son1Codec, StreamCodec::AacAdts);
    EXPECT_EQ(channels[static_cast<size_t>(hd)].Ac3Codec, StreamCodec::Eac3);
    const std::string file = installation.Dir().Read(L"chaines.xml");
    EXPECT_NE(file.find("\t\t<CodecVideo>H.264</CodecVideo>\r\n"), std::string::npos);
    EXPECT_NE(file.find("\t\t<CodecAc3>E-AC-3</CodecAc3>\r\n"), std::string::npos);

    Program program = installation.Start();
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    const auto shows = [&](int index, const wchar_t* screenshot) {
        return WaitForPicture(window, installation.Path(),
                              standin::TestPictureBackground(channels[static_cast<size_t>(index)].Video), 15000,
                              screenshot);
    };
    ASSERT_TRUE(shows(0, L"codecs-mpeg2.bmp"));

    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hd, 0), 0);
    EXPECT_TRUE(shows(hd, L"codecs-h264.bmp")) << "no picture of the H.264 channel";
    EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[static_cast<size_t>(hd)]); },
                          5000));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(0, 0), 0);
    EXPECT_TRUE(shows(0, L"codecs-back-to-mpeg2.bmp")) << "no picture after H.264";
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hd, 0), 0);
    EXPECT_TRUE(shows(hd, L"codecs-h264-again.bmp"));
    const int h264Ink = BandInk(ReadWindowPicture(window, installation.Path()),
                                standin::TestPictureBackground(channels[static_cast<size_t>(hd)].Video));

    // To HEVC (the same decoder, another input type) and back to MPEG-2.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hevc, 0), 0);
    EXPECT_TRUE(shows(hevc, L"codecs-hevc.bmp")) << "no picture of the HEVC channel";
    const int hevcInk = BandInk(ReadWindowPicture(window, installation.Path()),
                                standin::TestPictureBackground(channels[static_cast<size_t>(hevc)].Video));
    EXPECT_GT(hevcInk, 0) << "the codec band under the picture";
    EXPECT_NE(hevcInk, h264Ink) << "the band reads HEVC, not H.264";
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(0, 0), 0);
    EXPECT_TRUE(shows(0, L"codecs-back-from-hevc.bmp")) << "no picture after HEVC";
    EXPECT_TRUE(boxes.Texts().empty());

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
