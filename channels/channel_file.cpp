#include "channels/channel_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "channels/service_streams_file.h"
#include "channels/stream_codec.h"

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n";
constexpr char16_t kByteCarrierFirst = 0xF001;  // U+F000 + byte, for bytes 0x01..0xFF
constexpr char16_t kByteCarrierLast = 0xF0FF;

std::size_t TextLength(const char (&field)[256])
{
    // The record promises a NUL, but a broken one must not send us past the array.
    const void* nul = std::memchr(field, 0, sizeof field);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : sizeof field;
}

bool UndefinedInWindows1252(unsigned char b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Whether a byte >= 0x80 goes out unchanged (and so needs the declaration).
bool WrittenRawHigh(unsigned char b)
{
    return b >= 0x80 && !UndefinedInWindows1252(b);
}

void AppendCarrier(std::string& out, unsigned char b)
{
    static const char hex[] = "0123456789ABCDEF";
    out += "&#xF0";
    out += hex[b >> 4];
    out += hex[b & 0x0F];
    out += ';';
}

std::string_view TextOf(const char (&field)[256])
{
    return {field, TextLength(field)};
}

void AppendText(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        switch (b) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '\t': out += "&#9;"; continue;
        case '\n': out += "&#10;"; continue;
        case '\r': out += "&#13;"; continue;
        case '>':
            if (i >= 2 && text[i - 1] == ']' && text[i - 2] == ']')
                out += "&gt;";
            else
                out += '>';
            continue;
        default:
            break;
        }
        if (b < 0x20 || UndefinedInWindows1252(b))
            AppendCarrier(out, b);
        else
            out += static_cast<char>(b);
    }
}

bool HasRawHigh(std::string_view text)
{
    for (char b : text)
        if (WrittenRawHigh(static_cast<unsigned char>(b)))
            return true;
    return false;
}

// The choices written with list[i]: none when they are missing or are another
// service's.
const ChannelChoice* ChoiceFor(const ChannelList& list, const std::vector<ChannelChoice>& choices,
                               std::size_t i)
{
    if (i >= choices.size() || !(choices[i].key == KeyOf(list[i])))
        return nullptr;
    return &choices[i];
}

bool NeedsDeclaration(const ChannelList& list, const std::vector<ChannelChoice>& choices)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (HasRawHigh(TextOf(list[i].Nom)) || HasRawHigh(TextOf(list[i].Groupe)))
            return true;
        if (const ChannelChoice* choice = ChoiceFor(list, choices, i); choice && HasRawHigh(choice->userName))
            return true;
    }
    return false;
}

void AppendTextLine(std::string& out, const char* tag, std::string_view text)
{
    out += "\t\t<";
    out += tag;
    out += '>';
    AppendText(out, text);
    out += "</";
    out += tag;
    out += ">\r\n";
}

void AppendIntLine(std::string& out, const char* tag, std::int32_t value)
{
    out += "\t\t<";
    out += tag;
    out += '>';
    out += std::to_string(value);
    out += "</";
    out += tag;
    out += ">\r\n";
}

// The codec of a stream that is not of its field's classic kind, after its PID.
void AppendCodecLine(std::string& out, const char* tag, StreamCodec codec)
{
    const std::string_view name = StreamCodecName(codec);
    if (name.empty())
        return;
    out += "\t\t<";
    out += tag;
    out += '>';
    out += name;
    out += "</";
    out += tag;
    out += ">\r\n";
}

// The element names this version reads; any other element of an entry is kept.
constexpr std::u16string_view kKnownElements[] = {
    u"Nom",  u"Groupe", u"Frequence",  u"ONID",      u"TSID",      u"SID",      u"Numero",
    u"PMT",  u"PCR",    u"Video",      u"Son1",      u"Son2",      u"Ac3",      u"CodecVideo",
    u"CodecSon1", u"CodecSon2", u"CodecAc3", u"NomUtilisateur", u"Cache", u"Favori",
    kAudioTrackElement, kDvbSubtitleElement, kTeletextSubtitleElement,
};

bool IsKnownElement(std::u16string_view name)
{
    for (std::u16string_view known : kKnownElements)
        if (name == known)
            return true;
    return false;
}

// An element name made of ASCII name characters, which reads the same whatever
// encoding the file declares. No colon: a prefixed name needs its namespace
// declared on the root, which is not kept, and would make the file unloadable.
// Text, comment and CDATA nodes ("#text" and the like) are not elements and fail
// here.
bool IsPlainElementName(std::u16string_view name)
{
    if (name.empty())
        return false;
    const auto letter = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
    };
    if (!letter(name[0]))
        return false;
    for (char16_t c : name)
        if (!letter(c) && !(c >= u'0' && c <= u'9') && c != u'-' && c != u'.')
            return false;
    return true;
}

void AppendCharacterReference(std::string& out, std::uint32_t code)
{
    static const char hex[] = "0123456789ABCDEF";
    out += "&#x";
    bool started = false;
    for (int shift = 20; shift >= 0; shift -= 4) {
        const unsigned digit = (code >> shift) & 0x0F;
        if (digit != 0 || started || shift == 0) {
            out += hex[digit];
            started = true;
        }
    }
    out += ';';
}

// A kept element's text in plain ASCII: every other character as a reference, so
// it reads back the same under either encoding the file may declare.
void AppendKeptText(std::string& out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'&')
            out += "&amp;";
        else if (c == u'<')
            out += "&lt;";
        else if (c == u'>')
            out += "&gt;";
        else if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else if (c == u'\t' || c == u'\n' || c == u'\r')
            AppendCharacterReference(out, c);
        else if (c < 0x20)
            continue;  // not a character of XML 1.0: no parser hands one over
        else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                 text[i + 1] <= 0xDFFF) {
            AppendCharacterReference(out, 0x10000 + ((c - 0xD800u) << 10) + (text[i + 1] - 0xDC00u));
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF)
            AppendCharacterReference(out, 0xFFFD);  // a broken pair cannot be written
        else
            AppendCharacterReference(out, c);
    }
}

void AppendKeptLine(std::string& out, const KeptElement& element)
{
    if (!IsPlainElementName(element.name) || IsKnownElement(element.name))
        return;  // would not read back as the same element
    const std::string name(element.name.begin(), element.name.end());  // ASCII, checked above
    out += "\t\t<";
    out += name;
    out += '>';
    AppendKeptText(out, element.text);
    out += "</";
    out += name;
    out += ">\r\n";
}

void AppendChoiceLines(std::string& out, const ChannelChoice& choice)
{
    // Cut like a record's name: at its first NUL, and to what a reader keeps.
    std::string_view userName = choice.userName;
    userName = userName.substr(0, std::min(userName.find('\0'), kUserNameCapacity));
    if (!userName.empty())
        AppendTextLine(out, "NomUtilisateur", userName);
    if (choice.hidden)
        out += "\t\t<Cache>1</Cache>\r\n";
    if (choice.favourite)
        out += "\t\t<Favori>1</Favori>\r\n";
    for (const KeptElement& element : choice.keptElements)
        AppendKeptLine(out, element);
}

bool IsXmlSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Child "name" of `entry` whose value is not 0, or 0.
std::int32_t FirstNonZero(const XmlNodeView& entry, std::u16string_view name)
{
    for (const XmlNodeView& child : entry.children)
        if (child.name == name)
            if (const std::int32_t v = ParseChannelInteger(child.text); v != 0)
                return v;
    return 0;
}

// The first child "name" holding a codec this program knows; classic when none does.
StreamCodec FirstCodec(const XmlNodeView& entry, std::u16string_view name)
{
    for (const XmlNodeView& child : entry.children)
        if (child.name == name)
            if (const auto codec = StreamCodecFromName(child.text))
                return *codec;
    return StreamCodec::Classic;
}

void CopyFirstText(const XmlNodeView& entry, std::u16string_view name, char (&field)[256],
                   const CodePageConverter& toCodePage)
{
    for (const XmlNodeView& child : entry.children) {
        if (child.name != name)
            continue;
        const std::string bytes = DecodeChannelText(child.text, toCodePage);
        std::memcpy(field, bytes.data(), bytes.size());
        field[bytes.size()] = '\0';
        return;  // only the first one counts, even when empty
    }
}

}  // namespace

std::string FormatChannelFile(const ChannelList& list)
{
    return FormatChannelFile(list, {});
}

std::string FormatChannelFile(const ChannelList& list, const std::vector<ChannelChoice>& choices)
{
    std::string out;
    out.reserve(64 + list.size() * 400);
    if (NeedsDeclaration(list, choices))
        out += kDeclaration;
    out += "<Chaines>\r\n";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Chaine& c = list[i];
        out += "\t<Chaine>\r\n";
        AppendTextLine(out, "Nom", TextOf(c.Nom));
        AppendTextLine(out, "Groupe", TextOf(c.Groupe));
        AppendIntLine(out, "Frequence", c.Frequence);
        AppendIntLine(out, "ONID", c.ONID);
        AppendIntLine(out, "TSID", c.TSID);
        AppendIntLine(out, "SID", c.SID);
        AppendIntLine(out, "Numero", c.Numero);
        AppendIntLine(out, "PMT", c.PMT);
        AppendIntLine(out, "PCR", c.PCR);
        AppendIntLine(out, "Video", c.Video);
        AppendCodecLine(out, "CodecVideo", c.VideoCodec);
        if (c.Son1 > 0) {
            AppendIntLine(out, "Son1", c.Son1);
            AppendCodecLine(out, "CodecSon1", c.Son1Codec);
        }
        if (c.Son2 > 0) {
            AppendIntLine(out, "Son2", c.Son2);
            AppendCodecLine(out, "CodecSon2", c.Son2Codec);
        }
        if (c.Ac3 > 0) {
            AppendIntLine(out, "Ac3", c.Ac3);
            AppendCodecLine(out, "CodecAc3", c.Ac3Codec);
        }
        AppendStreamLines(out, c.Streams);
        if (const ChannelChoice* choice = ChoiceFor(list, choices, i))
            AppendChoiceLines(out, *choice);
        out += "\t</Chaine>\r\n";
    }
    out += "</Chaines>\r\n";
    return out;
}

std::int32_t ParseChannelInteger(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 1LL + INT32_MAX)
            value = 1LL + INT32_MAX;  // saturated; more digits change nothing
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    return static_cast<std::int32_t>(value);
}

std::string DecodeChannelText(std::u16string_view text, const CodePageConverter& toCodePage)
{
    std::string out;
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        if (end > runStart)
            out += toCodePage(text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size() && out.size() < 255; ++i) {
        const char16_t c = text[i];
        if (c >= kByteCarrierFirst && c <= kByteCarrierLast) {
            flush(i);
            out += static_cast<char>(c - 0xF000);
            runStart = i + 1;
        }
    }
    if (out.size() < 255)
        flush(text.size());
    // A converter may hand back a NUL for an odd character; the field ends there anyway.
    if (const std::size_t nul = out.find('\0'); nul != std::string::npos)
        out.resize(nul);
    if (out.size() > 255)
        out.resize(255);
    return out;
}

bool IsIgnorableWhitespace(const XmlNodeView& node)
{
    if (node.name != u"#text")
        return false;
    for (char16_t c : node.text)
        if (!IsXmlSpace(c))
            return false;
    return true;
}

Chaine ChannelFromEntry(const XmlNodeView& entry, const CodePageConverter& toCodePage)
{
    Chaine c = MakeEmptyChaine();
    CopyFirstText(entry, u"Nom", c.Nom, toCodePage);
    CopyFirstText(entry, u"Groupe", c.Groupe, toCodePage);
    c.Frequence = FirstNonZero(entry, u"Frequence");
    c.ONID = FirstNonZero(entry, u"ONID");
    c.TSID = FirstNonZero(entry, u"TSID");
    c.SID = FirstNonZero(entry, u"SID");
    c.Numero = FirstNonZero(entry, u"Numero");
    c.PMT = FirstNonZero(entry, u"PMT");
    c.PCR = FirstNonZero(entry, u"PCR");
    c.Video = FirstNonZero(entry, u"Video");
    c.Son1 = FirstNonZero(entry, u"Son1");
    c.Son2 = FirstNonZero(entry, u"Son2");
    c.Ac3 = FirstNonZero(entry, u"Ac3");
    c.VideoCodec = FirstCodec(entry, u"CodecVideo");
    c.Son1Codec = FirstCodec(entry, u"CodecSon1");
    c.Son2Codec = FirstCodec(entry, u"CodecSon2");
    c.Ac3Codec = FirstCodec(entry, u"CodecAc3");
    c.Streams = StreamsFromEntry(entry);
    return c;
}

ChannelChoice ChoiceFromEntry(const XmlNodeView& entry, const Chaine& record,
                              const CodePageConverter& toCodePage)
{
    ChannelChoice choice = ChoicesOf({record}).front();
    for (const XmlNodeView& child : entry.children) {
        if (child.name == u"NomUtilisateur") {
            choice.userName = DecodeChannelText(child.text, toCodePage);
            break;  // like Nom, only the first one counts
        }
    }
    choice.hidden = FirstNonZero(entry, u"Cache") != 0;
    choice.favourite = FirstNonZero(entry, u"Favori") != 0;
    for (const XmlNodeView& child : entry.children)
        if (IsPlainElementName(child.name) && !IsKnownElement(child.name))
            choice.keptElements.push_back(KeptElement{child.name, child.text});
    return choice;
}

void AppendChannelsFromRoot(const XmlNodeView& root, ChannelList& list,
                            std::vector<ChannelChoice>& choices, const CodePageConverter& toCodePage)
{
    for (const XmlNodeView& entry : root.children) {
        if (IsIgnorableWhitespace(entry))
            continue;
        list.push_back(ChannelFromEntry(entry, toCodePage));
        choices.push_back(ChoiceFromEntry(entry, list.back(), toCodePage));
    }
}

void AppendChannelsFromRoot(const XmlNodeView& root, ChannelList& list,
                            const CodePageConverter& toCodePage)
{
    for (const XmlNodeView& entry : root.children)
        if (!IsIgnorableWhitespace(entry))
            list.push_back(ChannelFromEntry(entry, toCodePage));
}
