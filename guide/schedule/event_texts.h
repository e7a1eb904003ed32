#pragma once
// From broadcast event to what a French viewer reads: texts through the DVB
// text decoder into UTF-8, genre names, the French age marks.
#include <cstdint>
#include <string>
#include <string_view>

#include "guide/schedule/guide_entry.h"
#include "guide/schedule/schedule_event.h"

// A DVB text (selector byte included) as UTF-8.
std::string DvbTextToUtf8(std::string_view bytes);

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// The genre of a content descriptor's nibbles (EN 300 468 table 28, level 1,
// plus "Documentaire" for its level-2 entry); empty for none, the special
// characteristics and the reserved or user-defined nibbles.
std::string FrenchGenre(std::uint8_t content);

// The CSA mark for a minimum age: "-10", "-12", "-16" or "-18" (the highest
// mark the age reaches); empty under 10.
std::string FrenchAgeMark(std::uint8_t minimumAge);

// The event decoded. The description is the extended items, one "item : value"
// per line, then the extended text; with no extended text, the short text is
// not repeated there (it is the subtitle).
GuideEntry DecodeEvent(const ServiceKey& service, const ScheduleEvent& event);
