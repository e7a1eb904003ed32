#include "app/mouse_rules.h"

void ClickRule::Press(ScreenPoint at, std::uint32_t sinceActivationMs)
{
    if (sinceActivationMs <= kActivationClickMs)
        pressed_.reset();
    else
        pressed_ = at;
}

bool ClickRule::Release(ScreenPoint at) const
{
    return pressed_ && *pressed_ == at;
}

std::optional<ScreenPoint> DragRule::Move(bool held, ScreenPoint windowTopLeft, ScreenPoint client)
{
    if (!held) {
        dragging_ = false;
        return std::nullopt;
    }
    const ScreenPoint at{windowTopLeft.x + client.x, windowTopLeft.y + client.y};
    std::optional<ScreenPoint> moved;
    // The first move only takes the anchor; later ones follow the cursor's travel.
    if (dragging_)
        moved = ScreenPoint{windowTopLeft.x + at.x - anchor_.x, windowTopLeft.y + at.y - anchor_.y};
    anchor_ = at;
    dragging_ = true;
    return moved;
}
