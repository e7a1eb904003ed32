// The user's choices and a newer version's elements in the channel file: written
// after the described lines only when there are any, read back beside the records.
#include "channels/channel_file.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

Chaine Record(const char* name, std::int32_t sid)
{
    Chaine c = MakeEmptyChaine();
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    std::strcpy(c.Groupe, "GR1");
    c.Frequence = 586166;
    c.ONID = 8442;
    c.TSID = 1;
    c.SID = sid;
    c.Numero = sid - 255;
    c.PMT = 100;
    c.PCR = 120;
    c.Video = 120;
    return c;
}

std::string Latin1(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

// The text between two tags as a parser hands it over: references resolved, other
// bytes taken as Latin-1 (what Latin1 above turns back).
std::u16string Resolve(const std::string& s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != '&') {
            out += static_cast<char16_t>(static_cast<unsigned char>(s[i++]));
            continue;
        }
        const std::size_t end = s.find(';', i);
        const std::string ref = s.substr(i + 1, end - i - 1);
        i = end + 1;
        if (ref == "amp" || ref == "lt" || ref == "gt") {
            out += ref == "amp" ? u'&' : ref == "lt" ? u'<' : u'>';
            continue;
        }
        const bool hex = ref[1] == 'x';
        unsigned long code = std::strtoul(ref.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        out += static_cast<char16_t>(code);
    }
    return out;
}

// The written file as the DOM would show it: one entry per channel, one child per
// "\t\t<Tag>text</Tag>" line.
XmlNodeView Parse(const std::string& file)
{
    XmlNodeView root{u"Chaines", {}, {}};
    for (std::size_t at = 0; (at = file.find("\r\n", at)) != std::string::npos; at += 2) {
        const std::size_t start = file.rfind('\n', at - 1) + 1;
        const std::string line = file.substr(start, at - start);
        if (line == "\t<Chaine>")
            root.children.push_back(XmlNodeView{u"Chaine", {}, {}});
        if (line.rfind("\t\t<", 0) != 0)
            continue;
        const std::size_t close = line.find('>');
        const std::size_t endTag = line.rfind("</");
        const std::string name = line.substr(3, close - 3);
        root.children.back().children.push_back(
            XmlNodeView{std::u16string(name.begin(), name.end()), Resolve(line.substr(close + 1, endTag - close - 1)), {}});
    }
    return root;
}

// Everything written after the Video line of the only channel.
std::string AfterVideo(const std::string& file)
{
    const std::size_t from = file.find("</Video>\r\n") + 10;
    return file.substr(from, file.find("\t</Chaine>") - from);
}

TEST(ChannelFileChoices, EachChoiceIsWrittenAfterTheDescribedLinesAndReadBack)
{
    const std::u16string keptText = u"a<b>&c \u00E9\u20AC\U0001F4FA\tfin\n";
    const struct {
        const char* what;
        std::string userName;
        bool hidden;
        bool favourite;
        std::vector<KeptElement> kept;
        std::string lines;
        bool declared;
    } cases[] = {
        {"user name", "Ma cha\xEEne", false, false, {},
         "\t\t<NomUtilisateur>Ma cha\xEEne</NomUtilisateur>\r\n", true},
        {"name needing escapes", "A&B <C> ]]> \t", false, false, {},
         "\t\t<NomUtilisateur>A&amp;B &lt;C> ]]&gt; &#9;</NomUtilisateur>\r\n", false},
        {"hidden", "", true, false, {}, "\t\t<Cache>1</Cache>\r\n", false},
        {"favourite", "", false, true, {}, "\t\t<Favori>1</Favori>\r\n", false},
        {"kept elements", "", false, false,
         {{u"Verrou", u"1"}, {u"Note", keptText}, {u"Vide", u""}},
         "\t\t<Verrou>1</Verrou>\r\n"
         "\t\t<Note>a&lt;b&gt;&amp;c &#xE9;&#x20AC;&#x1F4FA;&#x9;fin&#xA;</Note>\r\n"
         "\t\t<Vide></Vide>\r\n", false},
        {"all at once", "Moi", true, true, {{u"Ordre", u"3"}},
         "\t\t<NomUtilisateur>Moi</NomUtilisateur>\r\n\t\t<Cache>1</Cache>\r\n"
         "\t\t<Favori>1</Favori>\r\n\t\t<Ordre>3</Ordre>\r\n", false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        Chaine c = Record("France 2", 257);
        c.Son1 = 130;
        c.Son1Codec = StreamCodec::AacAdts;
        std::vector<ChannelChoice> choices = ChoicesOf({c});
        choices[0].userName = t.userName;
        choices[0].hidden = t.hidden;
        choices[0].favourite = t.favourite;
        choices[0].keptElements = t.kept;

        const std::string file = FormatChannelFile({c}, choices);
        EXPECT_EQ(AfterVideo(file), "\t\t<Son1>130</Son1>\r\n\t\t<CodecSon1>AAC</CodecSon1>\r\n" + t.lines);
        EXPECT_EQ(file.rfind("<?xml", 0) == 0, t.declared);

        ChannelList list;
        std::vector<ChannelChoice> read;
        AppendChannelsFromRoot(Parse(file), list, read, Latin1);
        ASSERT_EQ(list.size(), 1u);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(std::memcmp(&list[0], &c, sizeof c), 0);
        EXPECT_TRUE(read[0].key == KeyOf(c));
        EXPECT_EQ(read[0].broadcastName, "France 2");
        EXPECT_EQ(read[0].userName, t.userName);
        EXPECT_EQ(read[0].hidden, t.hidden);
        EXPECT_EQ(read[0].favourite, t.favourite);
        EXPECT_EQ(read[0].keptElements, t.kept);
    }
}

TEST(ChannelFileChoices, ChannelsWithoutChoicesAreWrittenAsBefore)
{
    const ChannelList list{Record("France 2", 257), Record("Arte", 263)};
    const std::string classic = FormatChannelFile(list);
    EXPECT_EQ(FormatChannelFile(list, ChoicesOf(list)), classic);
    EXPECT_EQ(FormatChannelFile(list, {}), classic);

    // Choices out of step with the records (another service's, or a user name
    // that is only a NUL) are not written for them.
    std::vector<ChannelChoice> stale = ChoicesOf({list[1], list[0]});
    stale[0].favourite = stale[1].hidden = true;
    EXPECT_EQ(FormatChannelFile(list, stale), classic);
    std::vector<ChannelChoice> empty = ChoicesOf(list);
    empty[0].userName = std::string(1, '\0');
    EXPECT_EQ(FormatChannelFile(list, empty), classic);

    // And a classic file reads back with no choice made.
    ChannelList read;
    std::vector<ChannelChoice> choices;
    AppendChannelsFromRoot(Parse(classic), read, choices, Latin1);
    ASSERT_EQ(choices.size(), 2u);
    for (const ChannelChoice& c : choices)
        EXPECT_TRUE(c.userName.empty() && !c.hidden && !c.favourite && c.keptElements.empty());
    EXPECT_EQ(choices[1].broadcastName, "Arte");
}

TEST(ChannelFileChoices, ReadingKeepsOnlyForeignElementsItCanWriteBack)
{
    const XmlNodeView entry{u"Chaine", {}, {
        {u"#text", u"\n\t\t", {}},
        {u"Nom", u"TF1", {}},
        {u"NomUtilisateur", u"Premi\u00E8re", {}},
        {u"NomUtilisateur", u"Seconde", {}},
        {u"Cache", u"0", {}},
        {u"Cache", u"2", {}},
        {u"Favori", u"non", {}},
        {u"Futur", u"x", {}},
        {u"#comment", u"note", {}},
        {u"\u00C9t\u00E9", u"accented name", {}},
        {u"9Chiffre", u"bad name", {}},
        {u"ns:Futur", u"prefixed", {}},
        {u"Futur", u"y", {}},
    }};
    const ChannelChoice choice = ChoiceFromEntry(entry, ChannelFromEntry(entry, Latin1), Latin1);
    EXPECT_EQ(choice.broadcastName, "TF1");
    EXPECT_EQ(choice.userName, "Premi\xE8re");
    EXPECT_TRUE(choice.hidden);
    EXPECT_FALSE(choice.favourite);
    const std::vector<KeptElement> expected{{u"Futur", u"x"}, {u"Futur", u"y"}};
    EXPECT_EQ(choice.keptElements, expected);

    // A long user name is cut to what the record's name holds.
    const XmlNodeView longName{u"Chaine", {}, {{u"NomUtilisateur", std::u16string(300, u'n'), {}}}};
    EXPECT_EQ(ChoiceFromEntry(longName, MakeEmptyChaine(), Latin1).userName.size(), kUserNameCapacity);
}

}  // namespace
