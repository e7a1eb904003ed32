#pragma once
// The character tables of DVB text (channels/text/text_tables.cpp, written by
// tools/make_text_tables.py). U+FFFD marks a position a table leaves unassigned.

// ISO/IEC 8859 part n (1 to 15), bytes 0xA0..0xFF; below 0xA0 every part is
// ASCII and the C1 controls. Rows 0 and 12 (no such part) are all U+FFFD.
extern const char16_t kIso8859High[16][96];

// The default table (ISO/IEC 6937, euro sign at 0xA4), bytes 0xA0..0xFF; 0 at
// the non-spacing diacritics 0xC1..0xCF.
extern const char16_t kIso6937High[96];

// For diacritic byte 0xC0 + i: its Unicode combining mark (0: not a diacritic),
// its spacing form, and its precomposed letter with 'A'..'Z' then 'a'..'z'
// (0 where Unicode has none).
extern const char16_t kIso6937CombiningMark[16];
extern const char16_t kIso6937SpacingMark[16];
extern const char16_t kIso6937Composed[16][52];
