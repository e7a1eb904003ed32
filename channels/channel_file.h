#pragma once
// The channel file "chaines.xml": its writer and the rules that turn a parsed
// document back into channel records. The file system and the XML parser are the
// platform's (channel_file_win.h); everything here works on plain bytes and on a
// small view of the parsed nodes.
//
// Text fields are written byte for byte where XML can carry them, so a name of
// printable ASCII (other than '&' and '<') appears exactly as broadcast. What XML
// cannot carry as it is gets a reference:
//   '&' '<'                    -> "&amp;" "&lt;"
//   '>' after "]]"             -> "&gt;"   (the sequence "]]>" is forbidden in text)
//   TAB LF CR                  -> "&#9;" "&#10;" "&#13;" (a parser folds raw CR into LF)
//   other bytes 0x01-0x1F      -> "&#xF0hh;" (XML 1.0 forbids them even as references)
//   0x81 0x8D 0x8F 0x90 0x9D   -> "&#xF0hh;" (no character in windows-1252)
// Bytes 0x80-0xFF otherwise go out unchanged, and the file then starts with an XML
// declaration of windows-1252, the system code page of a French Windows; a file
// without such bytes has no declaration. The reader maps U+F001..U+F0FF (private
// use characters) back to the byte hh, so every byte 0x01-0xFF of a name comes back.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/chaine.h"
#include "channels/channel_choices.h"

// A stream not of its field's classic kind (MPEG-1/2 video, MPEG audio, AC-3) has
// its codec named on the line after its PID: <CodecVideo>, <CodecSon1>,
// <CodecSon2>, <CodecAc3>, holding "H.264", "HEVC", "AAC", "AAC-LATM" or "E-AC-3".
// A file of classic channels has none of them, and a reader that does not know
// them skips them like any other unknown element.

// Every audio and subtitle track of a channel follows its PID and codec lines, in
// elements of their own (service_streams_file.h); a channel without tracks has none.

// The user's choices follow a channel's described elements (and its codec and
// track elements), each only when made: <NomUtilisateur> (the user's name, escaped like
// Nom), <Cache>1</Cache>, <Favori>1</Favori>; then the kept elements of a newer
// version, in their order. A channel without any of them is written exactly as an
// older version wrote it, and an older reader skips them. The channels' order in
// the file is the user's order, so no element holds it.

// The whole file, lines ending in CR LF, for the records of `list` in order.
std::string FormatChannelFile(const ChannelList& list);

// The same with the choices of each record: choices[i] goes with list[i], and
// only when its service key is that record's, so that a list of choices that has
// fallen out of step with the records gives no channel another one's choices.
std::string FormatChannelFile(const ChannelList& list, const std::vector<ChannelChoice>& choices);

// One node of a parsed document as the loader sees it: its name ("#text" for a
// text node), its text content, and its child nodes in document order.
struct XmlNodeView {
    std::u16string name;
    std::u16string text;
    std::vector<XmlNodeView> children;
};

// Converts UTF-16 text to the system's 8-bit code page.
using CodePageConverter = std::function<std::string(std::u16string_view)>;

// Decimal value of `text` read like atoi: leading white space, an optional sign,
// then digits up to the first other character; no digits gives 0. Values beyond
// the 32-bit range are clamped to it.
std::int32_t ParseChannelInteger(std::u16string_view text);

// Text content of a Nom or Groupe element as record bytes: private-use characters
// U+F001..U+F0FF become the byte they carry, the rest goes through `toCodePage`;
// at most 255 bytes are kept.
std::string DecodeChannelText(std::u16string_view text, const CodePageConverter& toCodePage);

// True for a text node holding only XML white space (the indentation between
// elements), which does not count as a child.
bool IsIgnorableWhitespace(const XmlNodeView& node);

// The record that one child of the root describes, whatever its name: the first
// "Nom" and "Groupe" children give the texts, and each integer field takes the
// first child of its name whose value is not 0. Each codec element gives the
// first known codec name among its children of that name; the classic kind else.
Chaine ChannelFromEntry(const XmlNodeView& entry, const CodePageConverter& toCodePage);

// The choices an entry holds for `record` (the record read from it): the first
// NomUtilisateur child gives the user's name (at most 255 bytes), a Cache or
// Favori child whose value is not 0 sets its flag, and every element this
// version does not know is kept, in order. Only elements whose name is plain
// ASCII without a namespace prefix are kept: the file may be declared
// windows-1252, and a prefix's declaration is not kept.
ChannelChoice ChoiceFromEntry(const XmlNodeView& entry, const Chaine& record,
                              const CodePageConverter& toCodePage);

// Appends one record per child of `root` (its own name is not checked).
void AppendChannelsFromRoot(const XmlNodeView& root, ChannelList& list,
                            const CodePageConverter& toCodePage);

// The same, appending each record's choices to `choices` too.
void AppendChannelsFromRoot(const XmlNodeView& root, ChannelList& list,
                            std::vector<ChannelChoice>& choices, const CodePageConverter& toCodePage);
