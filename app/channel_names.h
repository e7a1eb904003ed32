#pragma once
// The name a channel shows: the user's, else the broadcast one, decoded.
#include <cstddef>
#include <string>

// Channel `index` of Chaines (a valid index).
std::wstring ShownChannelName(std::size_t index);
