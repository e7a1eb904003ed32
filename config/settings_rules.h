#pragma once
// The text rules of the settings file, apart from the file itself.
#include <string_view>

enum class PriorityLevel { High, AboveNormal, Normal, BelowNormal, Other };

// Priority command (40033, 40039, 40034 or 40040) for a stored "Priorité" text:
// "Haute", "Normale" and "Inférieure" compared case-sensitively and whole; any
// other text, or none, gives above normal.
int PriorityCommandFromText(std::wstring_view text);

// Text stored for the process's priority: everything but high, normal and below
// normal (above normal, idle, real-time) is stored as "Supérieure".
const wchar_t* PriorityTextFor(PriorityLevel level);

// A flag is set only by the exact text "Vrai"; any other text leaves it as it was.
bool FlagFromText(std::wstring_view text, bool current);
const wchar_t* FlagText(bool value);

// The recording margins of timers ("Marge avant", "Marge apres"): whole minutes,
// digits only, 0 allowed; anything else gives `fallback`, and a count past a
// day is held to a day.
inline constexpr int kMaxMarginSetting = 24 * 60;
int MarginFromText(std::wstring_view text, int fallback);
