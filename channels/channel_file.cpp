#include "channels/channel_file.h"

#include <climits>
#include <cstring>

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

void AppendText(std::string& out, const char (&field)[256])
{
    const std::size_t n = TextLength(field);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(field[i]);
        switch (b) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '\t': out += "&#9;"; continue;
        case '\n': out += "&#10;"; continue;
        case '\r': out += "&#13;"; continue;
        case '>':
            if (i >= 2 && field[i - 1] == ']' && field[i - 2] == ']')
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

bool NeedsDeclaration(const ChannelList& list)
{
    for (const Chaine& c : list)
        for (const auto* field : {&c.Nom, &c.Groupe})
            for (std::size_t i = 0, n = TextLength(*field); i < n; ++i)
                if (WrittenRawHigh(static_cast<unsigned char>((*field)[i])))
                    return true;
    return false;
}

void AppendTextLine(std::string& out, const char* tag, const char (&field)[256])
{
    out += "\t\t<";
    out += tag;
    out += '>';
    AppendText(out, field);
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
    std::string out;
    out.reserve(64 + list.size() * 400);
    if (NeedsDeclaration(list))
        out += kDeclaration;
    out += "<Chaines>\r\n";
    for (const Chaine& c : list) {
        out += "\t<Chaine>\r\n";
        AppendTextLine(out, "Nom", c.Nom);
        AppendTextLine(out, "Groupe", c.Groupe);
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
    return c;
}

void AppendChannelsFromRoot(const XmlNodeView& root, ChannelList& list,
                            const CodePageConverter& toCodePage)
{
    for (const XmlNodeView& entry : root.children)
        if (!IsIgnorableWhitespace(entry))
            list.push_back(ChannelFromEntry(entry, toCodePage));
}
