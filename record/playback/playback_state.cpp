#include "record/playback/playback_state.h"

#include <algorithm>

#include "record/playback/position_text.h"

namespace {

// Windows virtual-key codes; this file stays free of <windows.h>.
constexpr unsigned kKeyPause = 0x13;  // VK_PAUSE
constexpr unsigned kKeyEnd = 0x23;    // VK_END
constexpr unsigned kKeyHome = 0x24;   // VK_HOME
constexpr unsigned kKeyLeft = 0x25;   // VK_LEFT
constexpr unsigned kKeyRight = 0x27;  // VK_RIGHT
constexpr unsigned kKeyP = 'P';

}  // namespace

std::optional<PlaybackCommand> PlaybackCommandForKey(unsigned virtualKey, bool control)
{
    switch (virtualKey) {
    case kKeyPause:
    case kKeyP: return PlaybackCommand::PlayPause;
    case kKeyLeft: return control ? PlaybackCommand::Back1Min : PlaybackCommand::Back10s;
    case kKeyRight: return control ? PlaybackCommand::Forward1Min : PlaybackCommand::Forward10s;
    case kKeyHome: return PlaybackCommand::Home;
    case kKeyEnd: return PlaybackCommand::End;
    default: return std::nullopt;
    }
}

PlaybackState PlaybackState::ForFile(std::int64_t durationMs)
{
    PlaybackState state;
    state.endMs_ = std::max<std::int64_t>(durationMs, 0);
    return state;
}

PlaybackState PlaybackState::ForTimeShift(std::int64_t liveMs)
{
    PlaybackState state;
    state.timeShift_ = true;
    state.paused_ = true;
    state.positionMs_ = state.startMs_ = state.endMs_ = liveMs;
    return state;
}

PlaybackStep PlaybackState::Apply(PlaybackCommand command)
{
    switch (command) {
    case PlaybackCommand::PlayPause:
        paused_ = !paused_;
        return {paused_ ? PlaybackStep::Kind::Pause : PlaybackStep::Kind::Resume, positionMs_};
    case PlaybackCommand::Back10s: return Jump(-kShortJumpMs);
    case PlaybackCommand::Forward10s: return Jump(kShortJumpMs);
    case PlaybackCommand::Back1Min: return Jump(-kLongJumpMs);
    case PlaybackCommand::Forward1Min: return Jump(kLongJumpMs);
    case PlaybackCommand::Home: return SeekTo(startMs_);
    case PlaybackCommand::End:
        // The end of the buffer is live television itself.
        if (timeShift_)
            return {PlaybackStep::Kind::BackToLive, endMs_};
        return SeekTo(endMs_);
    case PlaybackCommand::Direct: return {PlaybackStep::Kind::BackToLive, endMs_};
    }
    return {};
}

PlaybackStep PlaybackState::SeekToShare(double share)
{
    share = std::clamp(share, 0.0, 1.0);
    const auto target = startMs_ + static_cast<std::int64_t>(share * static_cast<double>(endMs_ - startMs_));
    if (timeShift_ && target >= endMs_)
        return {PlaybackStep::Kind::BackToLive, endMs_};
    return SeekTo(target);
}

PlaybackStep PlaybackState::Jump(std::int64_t deltaMs)
{
    const std::int64_t target = positionMs_ + deltaMs;
    if (timeShift_ && target >= endMs_)
        return {PlaybackStep::Kind::BackToLive, endMs_};
    return SeekTo(target);
}

PlaybackStep PlaybackState::SeekTo(std::int64_t ms)
{
    positionMs_ = std::clamp(ms, startMs_, endMs_);
    return {PlaybackStep::Kind::Seek, positionMs_};
}

void PlaybackState::SetPosition(std::int64_t ms)
{
    positionMs_ = std::clamp(ms, startMs_, endMs_);
}

PlaybackStep PlaybackState::SetAvailable(std::int64_t startMs, std::int64_t liveMs)
{
    endMs_ = std::max(liveMs, startMs);
    startMs_ = startMs;
    if (positionMs_ >= startMs_) {
        positionMs_ = std::min(positionMs_, endMs_);
        return {};
    }
    positionMs_ = startMs_;
    return {PlaybackStep::Kind::Seek, positionMs_};
}

void PlaybackState::OnEndOfStream()
{
    positionMs_ = endMs_;
    paused_ = true;
}

std::string PlaybackState::Text() const
{
    if (timeShift_)
        return BehindLiveText(endMs_ - positionMs_);
    return FilePositionText(positionMs_, endMs_);
}

double PlaybackState::Share() const
{
    if (endMs_ <= startMs_)
        return timeShift_ ? 1.0 : 0.0;
    return static_cast<double>(positionMs_ - startMs_) / static_cast<double>(endMs_ - startMs_);
}
