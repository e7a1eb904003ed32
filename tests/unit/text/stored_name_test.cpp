// A name as broadcast goes through the channel file and comes back as the same
// bytes, so it decodes the same as a freshly scanned one.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "channels/channel_file.h"
#include "channels/text/dvb_text.h"

namespace {

// Windows-1252, the code page the file declares when it holds raw high bytes:
// 0x80..0x9F differ from Latin-1 (0 where the code page has no character).
constexpr char16_t kCp1252Row8[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t FromCp1252(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kCp1252Row8[b - 0x80] : b;
}

// The platform's conversion to the system code page (a French Windows: 1252).
std::string ToCp1252(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text) {
        char byte = '?';
        for (int b = 1; b < 256; ++b)
            if (FromCp1252(static_cast<unsigned char>(b)) == c)
                byte = static_cast<char>(b);
        out += byte;
    }
    return out;
}

// What an XML parser hands back as the text of the file's first <Nom> element:
// raw bytes read in windows-1252, references resolved.
std::u16string ParsedName(const std::string& file)
{
    const std::size_t start = file.find("<Nom>") + 5;
    const std::size_t end = file.find("</Nom>", start);
    std::u16string text;
    for (std::size_t i = start; i < end; ++i) {
        if (file[i] != '&') {
            text += FromCp1252(static_cast<unsigned char>(file[i]));
            continue;
        }
        const std::size_t semicolon = file.find(';', i);
        const std::string entity = file.substr(i + 1, semicolon - i - 1);
        if (entity == "amp")
            text += u'&';
        else if (entity == "lt")
            text += u'<';
        else if (entity == "gt")
            text += u'>';
        else if (entity.rfind("#x", 0) == 0)
            text += static_cast<char16_t>(std::stoul(entity.substr(2), nullptr, 16));
        else
            text += static_cast<char16_t>(std::stoul(entity.substr(1)));
        i = semicolon;
    }
    return text;
}

TEST(StoredName, SelectorAndControlBytesSurviveTheChannelFileAndDecodeTheSame)
{
    const std::string names[] = {
        "\x15" "Cha\xC3\xAEne B",                  // UTF-8, the selector a carrier in the file
        "\x0B" "Prix \xA4 \xBD" "uvre",                 // 8859-15
        "T\xC2" "el\xC2" "e\x86 & <Info>\x8A\x81",  // default table, emphasis, break, a byte 1252 lacks
    };
    for (const std::string& name : names) {
        Chaine record = MakeEmptyChaine();
        std::memcpy(record.Nom, name.data(), name.size());
        const std::string file = FormatChannelFile({record});

        const std::string loaded = DecodeChannelText(ParsedName(file), ToCp1252);
        EXPECT_EQ(loaded, std::string(record.Nom)) << file;
        Chaine back = MakeEmptyChaine();
        std::memcpy(back.Nom, loaded.data(), loaded.size());
        EXPECT_EQ(DecodeDvbText(back.Nom), DecodeDvbText(record.Nom)) << file;
    }
    Chaine utf8 = MakeEmptyChaine();
    std::memcpy(utf8.Nom, names[0].data(), names[0].size());
    EXPECT_EQ(DecodeDvbText(utf8.Nom), u"Cha\u00EEne B");
}

}  // namespace
