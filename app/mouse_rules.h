#pragma once
// The mouse gestures on the picture as pure decisions: what makes a click, and how
// far a drag moves the window.
#include <cstdint>
#include <optional>

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// A press this soon after the window gained the focus (or a context menu closed)
// came with the activation: it is no click.
constexpr std::uint32_t kActivationClickMs = 50;

// Click detection: a press and a release at the same screen point make a click,
// which the caller confirms after the double-click time has passed without a
// second press.
class ClickRule {
public:
    // A press at `at`, `sinceActivationMs` after the last activation (unsigned
    // tick difference, so a wrapped tick count still compares right).
    void Press(ScreenPoint at, std::uint32_t sinceActivationMs);
    // A release at `at`: true when it ends a click (start the single-click timer).
    bool Release(ScreenPoint at) const;
    // A double click: the release that follows ends no click.
    void DoubleClick() { pressed_.reset(); }

private:
    std::optional<ScreenPoint> pressed_;
};

// Moving the window while the left button is held. Each mouse move gives the
// window's outer top-left and the cursor's client position; their sum moves with
// the cursor on the screen (the client offset inside the window cancels out).
class DragRule {
public:
    // One mouse move. `held` is false in full screen or without the left button,
    // which ends the drag. Returns the window's new top-left when it must move.
    std::optional<ScreenPoint> Move(bool held, ScreenPoint windowTopLeft, ScreenPoint client);

private:
    bool dragging_ = false;
    ScreenPoint anchor_;
};
