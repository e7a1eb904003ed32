#pragma once
// Which entry of a dialog's list shows a stored setting, and how much of an entry's
// text a setting keeps.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Position of the entry to select for the stored name: the entry equal to it, case
// aside; when there is none, the first entry that begins with it, case aside; -1
// when no entry fits. An empty name fits none: every entry begins with it, and
// taking the first would put a choice the user never made into the settings.
int ChooseEntry(const std::vector<std::wstring>& entries, std::wstring_view stored);

// The longest beginning of `text` that a setting of `capacity` units (terminator
// included) holds, never ending between the two halves of a surrogate pair.
std::wstring_view CutToSetting(std::wstring_view text, std::size_t capacity);
