// Fuzzes the channel file's selection rules and its writer. The input is decoded
// into a small node tree (what the DOM would hand the loader), the records it
// gives are checked, then written back and the written text checked: nothing in
// it may make the file unloadable, and every name must read back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "channels/channel_file.h"

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    char16_t Unit() { return static_cast<char16_t>(Byte() | (Byte() << 8)); }
    bool Empty() const { return pos_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

const char16_t* const kNames[] = {u"Nom",  u"Groupe", u"Frequence", u"ONID", u"TSID", u"SID",
                                  u"Numero", u"PMT",  u"PCR",       u"Video", u"Son1", u"Son2",
                                  u"Ac3",  u"#text",  u"nom",       u"Chaine", u"CodecVideo", u"CodecSon1",
                                  u"CodecSon2", u"CodecAc3"};

std::u16string Text(Input& in)
{
    std::u16string text;
    const std::size_t length = in.Byte() % 80;
    for (std::size_t i = 0; i < length && !in.Empty(); ++i) {
        const std::uint8_t kind = in.Byte();
        // Mostly digits, blanks and signs so that integers are exercised; the rest
        // anything at all, carriers of bytes included.
        if (kind < 96)
            text += static_cast<char16_t>(u"0123456789 \t-+\n"[kind % 15]);
        else if (kind < 128)
            text += static_cast<char16_t>(0xF000 + in.Byte());
        else
            text += in.Unit();
    }
    return text;
}

XmlNodeView Tree(Input& in)
{
    XmlNodeView root{u"Chaines", {}, {}};
    const std::size_t entries = in.Byte() % 8;
    for (std::size_t e = 0; e < entries && !in.Empty(); ++e) {
        XmlNodeView entry{kNames[in.Byte() % std::size(kNames)], {}, {}};
        if (entry.name == u"#text")
            entry.text = Text(in);
        const std::size_t fields = in.Byte() % 24;
        for (std::size_t f = 0; f < fields && !in.Empty(); ++f) {
            XmlNodeView field{kNames[in.Byte() % std::size(kNames)], {}, {}};
            field.text = Text(in);
            entry.children.push_back(std::move(field));
        }
        root.children.push_back(std::move(entry));
    }
    return root;
}

// A converter whose output may be longer than its input, like a double-byte code page.
std::string Widening(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0x80 | (c >> 9));
            out += static_cast<char>(c & 0xFF);
        }
    }
    return out;
}

// Inverse of the writer's references, for the text between two tags.
std::string Unescape(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != '&') {
            out += s[i++];
            continue;
        }
        const std::size_t end = s.find(';', i);
        if (end == std::string::npos)
            std::abort();
        const std::string ref = s.substr(i + 1, end - i - 1);
        if (ref == "amp") out += '&';
        else if (ref == "lt") out += '<';
        else if (ref == "gt") out += '>';
        else if (ref == "#9") out += '\t';
        else if (ref == "#10") out += '\n';
        else if (ref == "#13") out += '\r';
        else if (ref.size() == 6 && ref.compare(0, 4, "#xF0") == 0)
            out += static_cast<char>(std::strtoul(ref.c_str() + 4, nullptr, 16));
        else
            std::abort();
        i = end + 1;
    }
    return out;
}

void CheckRoundTrip(const std::string& file, const char* tag, const char (&field)[256], std::size_t& from)
{
    const std::string open = std::string("<") + tag + ">";
    const std::string close = std::string("</") + tag + ">";
    const std::size_t start = file.find(open, from);
    const std::size_t end = file.find(close, start);
    if (start == std::string::npos || end == std::string::npos)
        std::abort();
    const std::string written = file.substr(start + open.size(), end - start - open.size());
    if (Unescape(written) != std::string(field))
        std::abort();
    from = end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const XmlNodeView root = Tree(in);
    ChannelList list;
    AppendChannelsFromRoot(root, list, Widening);

    for (const Chaine& c : list)
        if (!std::memchr(c.Nom, 0, 256) || !std::memchr(c.Groupe, 0, 256))
            std::abort();
    (void)ParseChannelInteger(Text(in));

    const std::string file = FormatChannelFile(list);
    if (file.find("]]>") != std::string::npos)
        std::abort();
    for (unsigned char b : file) {
        const bool control = b < 0x20 && b != '\t' && b != '\r' && b != '\n';
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (control || undefined)
            std::abort();
    }
    std::size_t from = 0;
    for (const Chaine& c : list) {
        CheckRoundTrip(file, "Nom", c.Nom, from);
        CheckRoundTrip(file, "Groupe", c.Groupe, from);
    }
    return 0;
}
