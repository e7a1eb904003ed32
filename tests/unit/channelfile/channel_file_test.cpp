#include "channels/channel_file.h"

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

Chaine Record(const char* name, const char* provider)
{
    Chaine c = MakeEmptyChaine();
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    std::strncpy(c.Groupe, provider, sizeof c.Groupe - 1);
    c.Frequence = 586166;
    c.ONID = 8442;
    c.SID = 257;
    c.TSID = 1;
    c.Numero = 2;
    c.PMT = 100;
    c.PCR = 120;
    c.Video = 120;
    return c;
}

// Latin-1 stand-in for the platform's code-page conversion.
std::string Latin1(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

XmlNodeView Node(std::u16string name, std::u16string text = {}, std::vector<XmlNodeView> children = {})
{
    return XmlNodeView{std::move(name), std::move(text), std::move(children)};
}

TEST(ChannelFileFormat, ChannelWithoutAudioTakesTwelveExactLines)
{
    const std::string expected =
        "<Chaines>\r\n"
        "\t<Chaine>\r\n"
        "\t\t<Nom>France 2</Nom>\r\n"
        "\t\t<Groupe>GR1</Groupe>\r\n"
        "\t\t<Frequence>586166</Frequence>\r\n"
        "\t\t<ONID>8442</ONID>\r\n"
        "\t\t<TSID>1</TSID>\r\n"
        "\t\t<SID>257</SID>\r\n"
        "\t\t<Numero>2</Numero>\r\n"
        "\t\t<PMT>100</PMT>\r\n"
        "\t\t<PCR>120</PCR>\r\n"
        "\t\t<Video>120</Video>\r\n"
        "\t</Chaine>\r\n"
        "</Chaines>\r\n";
    EXPECT_EQ(FormatChannelFile({Record("France 2", "GR1")}), expected);
}

TEST(ChannelFileFormat, EmptyListIsTwoLines)
{
    EXPECT_EQ(FormatChannelFile({}), "<Chaines>\r\n</Chaines>\r\n");
}

TEST(ChannelFileFormat, AudioLinesOnlyForPositivePidsAndNegativeNumbersKeepTheirSign)
{
    Chaine c = Record("A", "B");
    c.Son1 = 0;
    c.Son2 = 131;
    c.Ac3 = -4;
    c.Numero = -3;
    const std::string file = FormatChannelFile({c});
    EXPECT_EQ(file.find("<Son1>"), std::string::npos);
    EXPECT_NE(file.find("\t\t<Video>120</Video>\r\n\t\t<Son2>131</Son2>\r\n\t</Chaine>\r\n"), std::string::npos);
    EXPECT_EQ(file.find("<Ac3>"), std::string::npos);
    EXPECT_NE(file.find("\t\t<Numero>-3</Numero>\r\n"), std::string::npos);

    c.Son1 = 130;
    c.Ac3 = 133;
    EXPECT_NE(FormatChannelFile({c}).find("<Video>120</Video>\r\n\t\t<Son1>130</Son1>\r\n"
                                          "\t\t<Son2>131</Son2>\r\n\t\t<Ac3>133</Ac3>\r\n"),
              std::string::npos);
}

TEST(ChannelFileFormat, PrintableAsciiIsWrittenUnchangedWithoutDeclaration)
{
    std::string printable;
    for (char b = 0x20; b < 0x7F; ++b)
        if (b != '&' && b != '<' && b != '>')
            printable += b;
    const std::string file = FormatChannelFile({Record(printable.c_str(), "a > b")});
    EXPECT_EQ(file.rfind("<Chaines>\r\n", 0), 0u);
    EXPECT_NE(file.find("<Nom>" + printable + "</Nom>"), std::string::npos);
    EXPECT_NE(file.find("<Groupe>a > b</Groupe>"), std::string::npos);
}

TEST(ChannelFileFormat, MarkupAndBytesXmlCannotHoldAreReferenced)
{
    const std::string file = FormatChannelFile({Record("a&b<c]]>d\t\n\r\x01\x1F\x7F\x81\x9D", "")});
    EXPECT_NE(file.find("<Nom>a&amp;b&lt;c]]&gt;d&#9;&#10;&#13;&#xF001;&#xF01F;\x7F&#xF081;&#xF09D;</Nom>"),
              std::string::npos);
    // No byte went out raw above 0x7F, so the file is plain ASCII and needs no declaration.
    EXPECT_EQ(file.rfind("<Chaines>", 0), 0u);
}

TEST(ChannelFileFormat, RawHighBytesBringTheWindows1252Declaration)
{
    const std::string file = FormatChannelFile({Record("A", ""), Record("", "T\xE9l\xE9")});
    EXPECT_EQ(file.rfind("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Chaines>\r\n", 0), 0u);
    EXPECT_NE(file.find("<Groupe>T\xE9l\xE9</Groupe>"), std::string::npos);
}

TEST(ChannelFileFormat, NameFillingTheWholeFieldStopsAtTheArray)
{
    Chaine c = Record("", "");
    std::memset(c.Nom, 'x', sizeof c.Nom);  // no NUL at all
    const std::string file = FormatChannelFile({c});
    EXPECT_NE(file.find("<Nom>" + std::string(256, 'x') + "</Nom>"), std::string::npos);
}

TEST(ChannelFileInteger, ReadsLikeAtoi)
{
    EXPECT_EQ(ParseChannelInteger(u"586166"), 586166);
    EXPECT_EQ(ParseChannelInteger(u" \t\r\n-42abc"), -42);
    EXPECT_EQ(ParseChannelInteger(u"+7"), 7);
    EXPECT_EQ(ParseChannelInteger(u"0x10"), 0);
    EXPECT_EQ(ParseChannelInteger(u""), 0);
    EXPECT_EQ(ParseChannelInteger(u"abc"), 0);
    EXPECT_EQ(ParseChannelInteger(u"- 5"), 0);
    EXPECT_EQ(ParseChannelInteger(u"--5"), 0);
    EXPECT_EQ(ParseChannelInteger(u"2147483647"), INT32_MAX);
    EXPECT_EQ(ParseChannelInteger(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseChannelInteger(u"99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseChannelInteger(u"-99999999999999999999999"), INT32_MIN);
}

TEST(ChannelFileText, CarriersBecomeBytesAndTheRestIsConverted)
{
    EXPECT_EQ(DecodeChannelText(u"\xF001" u"a\u00E9\xF081\xF0FF" u"b\x20AC", Latin1),
              std::string("\x01" "a\xE9\x81\xFF" "b?"));
    // U+F000 would be a NUL: it is not a carrier and goes through the converter.
    EXPECT_EQ(DecodeChannelText(u"\xF000", Latin1), "?");
}

TEST(ChannelFileText, KeepsAtMost255Bytes)
{
    EXPECT_EQ(DecodeChannelText(std::u16string(300, u'\u00E9'), Latin1), std::string(255, '\xE9'));
    EXPECT_EQ(DecodeChannelText(std::u16string(300, u'\xF0E9'), Latin1), std::string(255, '\xE9'));
    EXPECT_EQ(DecodeChannelText(u"ab" + std::u16string(1, u'\0') + u"cd", Latin1), "ab");
}

TEST(ChannelFileSelection, FirstNameCountsEvenWhenEmptyAndNamesAreCaseSensitive)
{
    const XmlNodeView entry = Node(u"Chaine", {}, {
        Node(u"nom", u"lower"), Node(u"Nom", u""), Node(u"Nom", u"second"),
        Node(u"Groupe", u"GR1"), Node(u"Groupe", u"GR2")});
    const Chaine c = ChannelFromEntry(entry, Latin1);
    EXPECT_STREQ(c.Nom, "");
    EXPECT_STREQ(c.Groupe, "GR1");
}

TEST(ChannelFileSelection, IntegerFieldTakesTheFirstNonZeroValue)
{
    const XmlNodeView entry = Node(u"Chaine", {}, {
        Node(u"Son1", u"0"), Node(u"Son1", u"42"), Node(u"Son1", u"43"),
        Node(u"PMT", u"x"), Node(u"PMT", u" 100"),
        Node(u"SID", u"257"), Node(u"TSID", u"1"), Node(u"ONID", u"8442")});
    const Chaine c = ChannelFromEntry(entry, Latin1);
    EXPECT_EQ(c.Son1, 42);
    EXPECT_EQ(c.PMT, 100);
    EXPECT_EQ(c.SID, 257);
    EXPECT_EQ(c.TSID, 1);
    EXPECT_EQ(c.ONID, 8442);
    // Fields without an element stay empty.
    EXPECT_EQ(c.Numero, 0);
    EXPECT_EQ(c.Frequence, 0);
    EXPECT_STREQ(c.Nom, "");
    EXPECT_EQ(c.presentEvent.startTime, 0u);
}

TEST(ChannelFileSelection, EveryRootChildButIndentationGivesARecord)
{
    const XmlNodeView root = Node(u"Whatever", {}, {
        Node(u"#text", u"\r\n\t"),
        Node(u"Chaine", {}, {Node(u"Nom", u"A")}),
        Node(u"#text", u"\n\t"),
        Node(u"Autre", {}, {Node(u"Nom", u"B"), Node(u"Numero", u"5")}),
        Node(u"#comment", u" note "),
        Node(u"#text", u" stray "),
    });
    ChannelList list{Record("kept", "")};
    AppendChannelsFromRoot(root, list, Latin1);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_STREQ(list[0].Nom, "kept");
    EXPECT_STREQ(list[1].Nom, "A");
    EXPECT_STREQ(list[2].Nom, "B");
    EXPECT_EQ(list[2].Numero, 5);
    EXPECT_STREQ(list[3].Nom, "");
    EXPECT_STREQ(list[4].Nom, "");
}

TEST(ChannelFileSelection, RootWithoutChildrenAddsNothing)
{
    ChannelList list;
    AppendChannelsFromRoot(Node(u"Chaines", u"\n"), list, Latin1);
    EXPECT_TRUE(list.empty());
}

}  // namespace
