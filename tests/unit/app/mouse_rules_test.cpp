// Mouse gestures on the picture: what counts as a click, how far a drag moves.
#include "app/mouse_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ClickRule, OnlyAPressAndReleaseInOnePlaceOutsideActivationIsAClick)
{
    ClickRule click;
    EXPECT_FALSE(click.Release({0, 0}));  // no press yet, even at the origin

    click.Press({200, 150}, 1000);
    EXPECT_TRUE(click.Release({200, 150}));
    EXPECT_FALSE(click.Release({201, 150}));  // the mouse moved in between

    // The press that comes with the activation, or right after a menu closed.
    click.Press({200, 150}, kActivationClickMs);
    EXPECT_FALSE(click.Release({200, 150}));
    click.Press({200, 150}, kActivationClickMs + 1);
    EXPECT_TRUE(click.Release({200, 150}));

    // The release after a double click starts nothing.
    click.DoubleClick();
    EXPECT_FALSE(click.Release({200, 150}));
}

TEST(DragRule, TheWindowFollowsTheCursorFromTheSecondMove)
{
    DragRule drag;
    // First move with the button held only anchors.
    EXPECT_EQ(drag.Move(true, {100, 50}, {10, 20}), std::nullopt);
    // The cursor went 30 right and 5 up: so does the window.
    EXPECT_EQ(drag.Move(true, {100, 50}, {40, 15}), (ScreenPoint{130, 45}));
    // The window moved under a still cursor: the client position shrank by as much,
    // so the window stays where it is.
    EXPECT_EQ(drag.Move(true, {130, 45}, {10, 20}), (ScreenPoint{130, 45}));
    // Left of the window (negative client x) drags on.
    EXPECT_EQ(drag.Move(true, {130, 45}, {-15, 20}), (ScreenPoint{105, 45}));

    // Releasing (or full screen) ends it: the next held move only anchors again.
    EXPECT_EQ(drag.Move(false, {105, 45}, {50, 50}), std::nullopt);
    EXPECT_EQ(drag.Move(true, {105, 45}, {60, 60}), std::nullopt);
    EXPECT_EQ(drag.Move(true, {105, 45}, {61, 58}), (ScreenPoint{106, 43}));
}

}  // namespace
