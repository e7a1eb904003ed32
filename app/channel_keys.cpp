#include "app/channel_keys.h"

#include "app/channel_navigation.h"
#include "app/channel_switching.h"
#include "app/recording_guard.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "graph/channel_switch.h"

namespace {

constexpr UINT kTypedNumberDelayMs = 1000;
constexpr WPARAM kKeyFavourite = 'F';

// Hidden channels are passed over here; their numbers still reach them.
void StepChannel(Step step)
{
    const auto stepping = SteppingChoices(Chaines, ChannelChoices, currentChannel, RecordingHoldsTuner());
    const int index = StepVisible(stepping, currentChannel, step == Step::Next ? StepWay::Next : StepWay::Previous);
    if (index >= 0)
        SelectChannel(index);
}

void StepFavourite()
{
    const int index = NextFavourite(SteppingChoices(Chaines, ChannelChoices, currentChannel, RecordingHoldsTuner()), currentChannel);
    if (index >= 0)
        SelectChannel(index);
}

void TypeDigit(int digit)
{
    typedNumber = AppendTypedDigit(typedNumber, digit);
    SetTimer(mainWindow, TIMER_CHANNEL_NUMBER, kTypedNumberDelayMs, nullptr);
}

}  // namespace

void OnChannelKey(WPARAM virtualKey)
{
    if (virtualKey == VK_UP) {
        StepChannel(Step::Previous);
    } else if (virtualKey == VK_DOWN) {
        StepChannel(Step::Next);
    } else if (virtualKey == kKeyFavourite) {
        StepFavourite();
    } else if (const auto digit = DigitOfKey(static_cast<unsigned>(virtualKey))) {
        TypeDigit(*digit);
    }
}

void OnTypedNumberTimer()
{
    KillTimer(mainWindow, TIMER_CHANNEL_NUMBER);
    const std::int32_t index = ChannelForTypedNumber(Chaines, typedNumber, RecordingHoldsTuner(), currentChannel);
    if (index >= 0)
        SelectChannel(index);
    typedNumber = 0;
}

void OnChannelWheel(WPARAM wParam)
{
    if (const auto step = WheelStep(GET_WHEEL_DELTA_WPARAM(wParam)))
        StepChannel(*step);
}
