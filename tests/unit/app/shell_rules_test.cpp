// The shell's pure rules: audio-track menu states and status-bar part widths.
#include "app/audio_track_menu.h"
#include "app/status_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(AudioTrackMenu, StatesFollowTheActiveTrack)
{
    using S = ItemState;
    auto first = AudioTrackMenuStates(false, false, 0x102, 0);
    EXPECT_EQ(first.firstTrack, S::CheckedGrey);
    EXPECT_EQ(first.secondTrack, S::Enabled);
    EXPECT_EQ(first.ac3Track, S::Grey);

    auto second = AudioTrackMenuStates(false, true, 0x102, 0x103);
    EXPECT_EQ(second.firstTrack, S::Enabled);
    EXPECT_EQ(second.secondTrack, S::CheckedGrey);
    EXPECT_EQ(second.ac3Track, S::Grey);

    auto ac3 = AudioTrackMenuStates(true, false, 0x102, 0x103);
    EXPECT_EQ(ac3.firstTrack, S::Enabled);
    EXPECT_EQ(ac3.secondTrack, S::Grey);
    EXPECT_EQ(ac3.ac3Track, S::CheckedGrey);
}

TEST(AudioTrackMenu, TracksAreNotStacked)
{
    // Only enabled items are carried out: no second track twice, no AC-3 beside it.
    auto second = AudioTrackMenuStates(false, true, 0x102, 0x103);
    EXPECT_FALSE(IsOffered(second.secondTrack));
    EXPECT_FALSE(IsOffered(second.ac3Track));
    EXPECT_TRUE(IsOffered(second.firstTrack));
    auto ac3 = AudioTrackMenuStates(true, false, 0x102, 0x103);
    EXPECT_FALSE(IsOffered(ac3.secondTrack));
    EXPECT_FALSE(IsOffered(ac3.ac3Track));
    auto noSecond = AudioTrackMenuStates(false, false, 0, 0x103);
    EXPECT_FALSE(IsOffered(noSecond.secondTrack));
    EXPECT_TRUE(IsOffered(noSecond.ac3Track));
}

TEST(StatusBarLayout, TitlesShareTheWidthBeyond500)
{
    using Edges = std::array<int, kStatusParts>;
    EXPECT_EQ(StatusBarRightEdges(792), (Edges{100, 160, 446, 506, -1}));
    EXPECT_EQ(StatusBarRightEdges(500), (Edges{100, 160, 300, 360, -1}));
    EXPECT_EQ(StatusBarRightEdges(0), (Edges{100, 160, 300, 360, -1}));
    EXPECT_EQ(StatusBarRightEdges(501), (Edges{100, 160, 300, 360, -1}));  // (501-500)/2 = 0
    EXPECT_EQ(StatusBarRightEdges(503), (Edges{100, 160, 301, 361, -1}));
}

}  // namespace
