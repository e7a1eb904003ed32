// The playback bar's commands on a file and on the time-shift buffer, and its texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/playback/playback_state.h"
#include "record/playback/position_text.h"

namespace {

using Kind = PlaybackStep::Kind;

TEST(PositionText, Clocks)
{
    EXPECT_EQ(FilePositionText(754'999, 3'900'000), "00:12:34 / 01:05:00");
    EXPECT_EQ(FilePositionText(-5, 0), "00:00:00 / 00:00:00");
    EXPECT_EQ(ClockText(360'000'000), "100:00:00");
    EXPECT_EQ(BehindLiveText(312'400), "-00:05:12");
    EXPECT_EQ(BehindLiveText(0), "-00:00:00");
}

TEST(PlaybackState, Keys)
{
    EXPECT_EQ(PlaybackCommandForKey('P', false), PlaybackCommand::PlayPause);
    EXPECT_EQ(PlaybackCommandForKey(0x13, false), PlaybackCommand::PlayPause);
    EXPECT_EQ(PlaybackCommandForKey(0x25, false), PlaybackCommand::Back10s);
    EXPECT_EQ(PlaybackCommandForKey(0x25, true), PlaybackCommand::Back1Min);
    EXPECT_EQ(PlaybackCommandForKey(0x27, true), PlaybackCommand::Forward1Min);
    EXPECT_EQ(PlaybackCommandForKey('M', false), std::nullopt);
}

struct Case {
    std::string name;
    bool timeShift;
    std::int64_t positionMs;
    PlaybackCommand command;
    PlaybackStep step;
    std::string text;  // the bar's text after the command
};

TEST(PlaybackState, Commands)
{
    // A 65-minute file; a buffer holding 10:00 to 20:00, live at 20:00.
    const std::vector<Case> cases = {
        {"file: pause", false, 60'000, PlaybackCommand::PlayPause, {Kind::Pause, 60'000}, "00:01:00 / 01:05:00"},
        {"file: 10 s on", false, 60'000, PlaybackCommand::Forward10s, {Kind::Seek, 70'000}, "00:01:10 / 01:05:00"},
        {"file: 10 s back from 4 s stops at the start", false, 4'000, PlaybackCommand::Back10s, {Kind::Seek, 0},
         "00:00:00 / 01:05:00"},
        {"file: a minute on near the end stops at the end", false, 3'870'000, PlaybackCommand::Forward1Min,
         {Kind::Seek, 3'900'000}, "01:05:00 / 01:05:00"},
        {"file: Home", false, 754'000, PlaybackCommand::Home, {Kind::Seek, 0}, "00:00:00 / 01:05:00"},
        {"file: End", false, 754'000, PlaybackCommand::End, {Kind::Seek, 3'900'000}, "01:05:00 / 01:05:00"},
        {"file: Direct", false, 754'000, PlaybackCommand::Direct, {Kind::BackToLive, 3'900'000}, "00:12:34 / 01:05:00"},
        {"buffer: a minute back", true, 900'000, PlaybackCommand::Back1Min, {Kind::Seek, 840'000}, "-00:06:00"},
        {"buffer: a minute back stops at the oldest kept", true, 630'000, PlaybackCommand::Back1Min,
         {Kind::Seek, 600'000}, "-00:10:00"},
        {"buffer: 10 s on", true, 900'000, PlaybackCommand::Forward10s, {Kind::Seek, 910'000}, "-00:04:50"},
        {"buffer: 10 s on past live goes live", true, 1'195'000, PlaybackCommand::Forward10s,
         {Kind::BackToLive, 1'200'000}, "-00:00:05"},
        {"buffer: End goes live", true, 900'000, PlaybackCommand::End, {Kind::BackToLive, 1'200'000}, "-00:05:00"},
        {"buffer: Home", true, 900'000, PlaybackCommand::Home, {Kind::Seek, 600'000}, "-00:10:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackState state = PlaybackState::ForFile(3'900'000);
        if (c.timeShift) {
            state = PlaybackState::ForTimeShift(600'000);
            state.SetAvailable(600'000, 1'200'000);
            state.Apply(PlaybackCommand::PlayPause);  // resumed
        }
        state.SetPosition(c.positionMs);
        EXPECT_EQ(state.Apply(c.command), c.step);
        EXPECT_EQ(state.Text(), c.text);
    }
}

TEST(PlaybackState, PausedTimeShiftFallsBehindAndFollowsTheDroppedPart)
{
    PlaybackState state = PlaybackState::ForTimeShift(1'000);
    EXPECT_TRUE(state.paused());
    EXPECT_EQ(state.SetAvailable(1'000, 6'000), PlaybackStep{});
    EXPECT_EQ(state.Text(), "-00:00:05");
    EXPECT_EQ(state.Apply(PlaybackCommand::PlayPause), (PlaybackStep{Kind::Resume, 1'000}));
    // The ring dropped the part being shown: the reader moves to the oldest kept.
    EXPECT_EQ(state.SetAvailable(3'000, 9'000), (PlaybackStep{Kind::Seek, 3'000}));
    EXPECT_EQ(state.SeekToShare(0.5), (PlaybackStep{Kind::Seek, 6'000}));
    EXPECT_EQ(state.SeekToShare(1.0), (PlaybackStep{Kind::BackToLive, 9'000}));
}

TEST(PlaybackState, FileEndsPausedAtItsEnd)
{
    PlaybackState state = PlaybackState::ForFile(10'000);
    EXPECT_EQ(state.SeekToShare(0.25), (PlaybackStep{Kind::Seek, 2'500}));
    state.OnEndOfStream();
    EXPECT_TRUE(state.paused());
    EXPECT_DOUBLE_EQ(state.Share(), 1.0);
    EXPECT_EQ(state.Text(), "00:00:10 / 00:00:10");
}

}  // namespace
