#pragma once
// What the playback bar's commands and keys do, for a file and for time-shifted
// television, as decisions on plain times; the window and the source filter
// carry them out.
//
// A file runs from 0 to its duration. The time-shift buffer holds from the
// oldest time it still keeps to the live edge, which moves on while the user
// watches the past or pauses; moving forward past the edge means going back to
// live, which ends time-shift.
#include <cstdint>
#include <optional>
#include <string>

enum class PlaybackCommand {
    PlayPause,
    Back10s,
    Forward10s,
    Back1Min,
    Forward1Min,
    Home,
    End,
    Direct,
};

// The command of a key of the main window (Windows virtual-key codes), if any.
std::optional<PlaybackCommand> PlaybackCommandForKey(unsigned virtualKey, bool control);

struct PlaybackStep {
    enum class Kind { Nothing, Pause, Resume, Seek, BackToLive };
    Kind kind = Kind::Nothing;
    std::int64_t targetMs = 0;  // Seek: where to play from

    bool operator==(const PlaybackStep&) const = default;
};

class PlaybackState {
public:
    static constexpr std::int64_t kShortJumpMs = 10'000;
    static constexpr std::int64_t kLongJumpMs = 60'000;

    static PlaybackState ForFile(std::int64_t durationMs);
    // Time-shift begins paused, at the moment of the pause, with nothing buffered.
    static PlaybackState ForTimeShift(std::int64_t liveMs);

    bool timeShift() const { return timeShift_; }
    bool paused() const { return paused_; }
    std::int64_t positionMs() const { return positionMs_; }
    std::int64_t startMs() const { return startMs_; }
    std::int64_t endMs() const { return endMs_; }

    PlaybackStep Apply(PlaybackCommand command);
    // A click on the slider: `share` of its length, 0 to 1.
    PlaybackStep SeekToShare(double share);

    // The time the source plays now.
    void SetPosition(std::int64_t ms);
    // Time-shift: what the buffer holds now. Returns a seek when the oldest part
    // dropped was where playback stood (paused too long), so the reader moves on.
    PlaybackStep SetAvailable(std::int64_t startMs, std::int64_t liveMs);
    // The file played to its end: playback pauses there.
    void OnEndOfStream();

    // "00:12:34 / 01:05:00" for a file, "-00:05:12" in time-shift.
    std::string Text() const;
    // Where the slider's thumb stands, 0 to 1.
    double Share() const;

private:
    PlaybackStep SeekTo(std::int64_t ms);
    PlaybackStep Jump(std::int64_t deltaMs);

    bool timeShift_ = false;
    bool paused_ = false;
    std::int64_t positionMs_ = 0;
    std::int64_t startMs_ = 0;
    std::int64_t endMs_ = 0;
};
