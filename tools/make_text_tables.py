#!/usr/bin/env python3
"""Writes channels/text/text_tables.cpp: the character tables of DVB text.

- ISO/IEC 8859 parts 1 to 15, positions 0xA0..0xFF (below 0xA0 every part is
  ASCII and the C1 controls), taken from Python's own iso8859_N codecs;
- the default table of DVB text, ISO/IEC 6937 with the euro sign at 0xA4,
  positions 0xA0..0xFF, from the table below;
- for its non-spacing diacritics 0xC1..0xCF: the Unicode combining mark, the
  spacing form (a diacritic followed by a space), and the precomposed letter of
  each diacritic with each ASCII letter, which is the Unicode canonical
  composition (NFC) of letter + mark.

Run it again only when a table changes: python3 tools/make_text_tables.py"""
import codecs
import pathlib
import unicodedata

UNASSIGNED = 0xFFFD

# ISO/IEC 6937, 0xA0..0xFF, without the diacritics (0 there). DVB puts the euro
# sign at 0xA4, left empty by ISO 6937; 0xA6 is '#' as in the first edition.
ISO6937_HIGH = {
    0xA0: 0x00A0, 0xA1: 0x00A1, 0xA2: 0x00A2, 0xA3: 0x00A3, 0xA4: 0x20AC, 0xA5: 0x00A5,
    0xA6: 0x0023, 0xA7: 0x00A7, 0xA8: 0x00A4, 0xA9: 0x2018, 0xAA: 0x201C, 0xAB: 0x00AB,
    0xAC: 0x2190, 0xAD: 0x2191, 0xAE: 0x2192, 0xAF: 0x2193,
    0xB0: 0x00B0, 0xB1: 0x00B1, 0xB2: 0x00B2, 0xB3: 0x00B3, 0xB4: 0x00D7, 0xB5: 0x00B5,
    0xB6: 0x00B6, 0xB7: 0x00B7, 0xB8: 0x00F7, 0xB9: 0x2019, 0xBA: 0x201D, 0xBB: 0x00BB,
    0xBC: 0x00BC, 0xBD: 0x00BD, 0xBE: 0x00BE, 0xBF: 0x00BF,
    0xD0: 0x2015, 0xD1: 0x00B9, 0xD2: 0x00AE, 0xD3: 0x00A9, 0xD4: 0x2122, 0xD5: 0x266A,
    0xD6: 0x00AC, 0xD7: 0x00A6, 0xDC: 0x215B, 0xDD: 0x215C, 0xDE: 0x215D, 0xDF: 0x215E,
    0xE0: 0x2126, 0xE1: 0x00C6, 0xE2: 0x0110, 0xE3: 0x00AA, 0xE4: 0x0126, 0xE6: 0x0132,
    0xE7: 0x013F, 0xE8: 0x0141, 0xE9: 0x00D8, 0xEA: 0x0152, 0xEB: 0x00BA, 0xEC: 0x00DE,
    0xED: 0x0166, 0xEE: 0x014A, 0xEF: 0x0149,
    0xF0: 0x0138, 0xF1: 0x00E6, 0xF2: 0x0111, 0xF3: 0x00F0, 0xF4: 0x0127, 0xF5: 0x0131,
    0xF6: 0x0133, 0xF7: 0x0140, 0xF8: 0x0142, 0xF9: 0x00F8, 0xFA: 0x0153, 0xFB: 0x00DF,
    0xFC: 0x00FE, 0xFD: 0x0167, 0xFE: 0x014B, 0xFF: 0x00AD,
}

# Diacritic byte: (combining mark, spacing form). 0xC9 (umlaut) and 0xCC
# (underline) come from the first edition of ISO 6937; older encoders still send them.
DIACRITICS = {
    0xC1: (0x0300, 0x0060),  # grave
    0xC2: (0x0301, 0x00B4),  # acute
    0xC3: (0x0302, 0x005E),  # circumflex
    0xC4: (0x0303, 0x007E),  # tilde
    0xC5: (0x0304, 0x00AF),  # macron
    0xC6: (0x0306, 0x02D8),  # breve
    0xC7: (0x0307, 0x02D9),  # dot above
    0xC8: (0x0308, 0x00A8),  # diaeresis
    0xC9: (0x0308, 0x00A8),  # umlaut
    0xCA: (0x030A, 0x02DA),  # ring above
    0xCB: (0x0327, 0x00B8),  # cedilla
    0xCC: (0x0332, 0x005F),  # underline
    0xCD: (0x030B, 0x02DD),  # double acute
    0xCE: (0x0328, 0x02DB),  # ogonek
    0xCF: (0x030C, 0x02C7),  # caron
}

LETTERS = [chr(c) for c in range(ord('A'), ord('Z') + 1)] + [chr(c) for c in range(ord('a'), ord('z') + 1)]
PARTS = [p for p in range(1, 16) if p != 12]


def iso8859_high(part):
    out = []
    for b in range(0xA0, 0x100):
        try:
            out.append(ord(bytes([b]).decode(f"iso8859_{part}")))
        except UnicodeDecodeError:
            out.append(UNASSIGNED)
    return out


def composed(mark, letter):
    text = unicodedata.normalize("NFC", letter + chr(mark))
    return ord(text) if len(text) == 1 else 0


def rows(values, per_line=12, indent="    "):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append(indent + ", ".join(f"0x{v:04X}" for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def main():
    out = ["// Written by tools/make_text_tables.py from Python's iso8859_N codecs, the",
           "// ISO/IEC 6937 table of DVB text and Unicode's canonical composition",
           f"// (Unicode {unicodedata.unidata_version}). Do not edit; run the script again.",
           '#include "channels/text/text_tables.h"',
           "",
           "const char16_t kIso8859High[16][96] = {"]
    for part in range(16):
        values = iso8859_high(part) if part in PARTS else [UNASSIGNED] * 96
        label = f"ISO/IEC 8859-{part}" if part in PARTS else "no such part"
        out.append(f"  {{ // {label}")
        out.append(rows(values))
        out.append("  },")
    out.append("};")
    out.append("")
    out.append("const char16_t kIso6937High[96] = {")
    out.append(rows([0 if b in DIACRITICS else ISO6937_HIGH.get(b, UNASSIGNED) for b in range(0xA0, 0x100)]))
    out.append("};")
    out.append("")
    marks = [DIACRITICS.get(0xC0 + i, (0, 0)) for i in range(16)]
    out.append("const char16_t kIso6937CombiningMark[16] = {")
    out.append(rows([m[0] for m in marks], 8))
    out.append("};")
    out.append("")
    out.append("const char16_t kIso6937SpacingMark[16] = {")
    out.append(rows([m[1] for m in marks], 8))
    out.append("};")
    out.append("")
    out.append("const char16_t kIso6937Composed[16][52] = {")
    for i in range(16):
        byte = 0xC0 + i
        values = [composed(DIACRITICS[byte][0], l) if byte in DIACRITICS else 0 for l in LETTERS]
        out.append(f"  {{ // 0x{byte:02X}")
        out.append(rows(values, 13))
        out.append("  },")
    out.append("};")
    target = pathlib.Path(__file__).resolve().parent.parent / "channels" / "text" / "text_tables.cpp"
    target.write_text("\n".join(out) + "\n", encoding="ascii")


if __name__ == "__main__":
    main()
