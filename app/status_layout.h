#pragma once
// Right edges of the five status-bar parts for a status bar of a given width:
// name 100 px, each start time 60 px, the width beyond 500 shared by the two titles.
#include <array>

constexpr int kStatusParts = 5;

std::array<int, kStatusParts> StatusBarRightEdges(int width);
