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
    std::strcpy(c.Nom, name);
    c.SID = sid;
    c.Video = 120;
    return c;
}

std::string Latin1(std::u16string_view text)
{
    return std::string(text.begin(), text.end());  // every text here is Latin-1
}

// The text between two tags as a parser hands it over: references resolved (a
// character beyond U+FFFF as its surrogate pair), other bytes taken as Latin-1.
std::u16string Resolve(const std::string& s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += static_cast<char16_t>(static_cast<unsigned char>(s[i]));
            continue;
        }
        const std::size_t end = s.find(';', i);
        const std::string ref = s.substr(i + 1, end - i - 1);
        i = end;
        unsigned long code = ref == "amp" ? '&' : ref == "lt" ? '<' : ref == "gt" ? '>' :
            std::strtoul(ref.c_str() + (ref[1] == 'x' ? 2 : 1), nullptr, ref[1] == 'x' ? 16 : 10);
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        out += static_cast<char16_t>(code);
    }
    return out;
}

// The written file as the DOM shows it: an entry per channel, a child per field line.
XmlNodeView Parse(const std::string& file)
{
    XmlNodeView root{u"Chaines", {}, {}};
    for (std::size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = file.substr(start, end - start);
        if (line == "\t<Chaine>")
            root.children.push_back(XmlNodeView{u"Chaine", {}, {}});
        const std::size_t close = line.find('>');
        if (line.rfind("\t\t<", 0) == 0)
            root.children.back().children.push_back(XmlNodeView{
                Resolve(line.substr(3, close - 3)), Resolve(line.substr(close + 1, line.rfind("</") - close - 1)), {}});
    }
    return root;
}

TEST(ChannelFileChoices, EachChoiceIsWrittenAfterTheDescribedLinesAndReadBack)
{
    const struct {
        std::string userName;
        bool hidden, favourite;
        std::vector<KeptElement> kept;
        std::string lines;
    } cases[] = {
        {"Ma cha\xEEne", false, false, {}, "\t\t<NomUtilisateur>Ma cha\xEEne</NomUtilisateur>\r\n"},
        {"A&B <C> ]]> \t", false, false, {},
         "\t\t<NomUtilisateur>A&amp;B &lt;C> ]]&gt; &#9;</NomUtilisateur>\r\n"},
        {"", true, false, {}, "\t\t<Cache>1</Cache>\r\n"},
        {"", false, true, {{u"Ordre", u"3"}}, "\t\t<Favori>1</Favori>\r\n\t\t<Ordre>3</Ordre>\r\n"},
        {"", false, false, {{u"Note", u"a<b>&c \u00E9\U0001F4FA\tfin\n"}, {u"Vide", u""}},
         "\t\t<Note>a&lt;b&gt;&amp;c &#xE9;&#x1F4FA;&#x9;fin&#xA;</Note>\r\n\t\t<Vide></Vide>\r\n"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.lines);
        Chaine c = Record("France 2", 257);
        c.Son1 = 130;
        c.Son1Codec = StreamCodec::AacAdts;
        std::vector<ChannelChoice> choices = ChoicesOf({c});
        choices[0].userName = t.userName;
        choices[0].hidden = t.hidden;
        choices[0].favourite = t.favourite;
        choices[0].keptElements = t.kept;

        const std::string file = FormatChannelFile({c}, choices);
        EXPECT_NE(file.find("<CodecSon1>AAC</CodecSon1>\r\n" + t.lines + "\t</Chaine>"), std::string::npos);
        ChannelList list;
        std::vector<ChannelChoice> read;
        AppendChannelsFromRoot(Parse(file), list, read, Latin1);
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
    // Choices out of step with the records are another service's: not written.
    std::vector<ChannelChoice> stale = ChoicesOf({list[1], list[0]});
    stale[0].favourite = stale[1].hidden = true;
    EXPECT_EQ(FormatChannelFile(list, stale), classic);
}

TEST(ChannelFileChoices, OnlyTheFirstUserNameCountsAndOnlyWritableElementsAreKept)
{
    const XmlNodeView entry{u"Chaine", {}, {
        {u"NomUtilisateur", u"Premier", {}}, {u"NomUtilisateur", u"Second", {}},
        {u"Cache", u"0", {}}, {u"Cache", u"2", {}}, {u"Futur", u"x", {}}, {u"#comment", u"note", {}},
        {u"\u00C9t\u00E9", u"", {}}, {u"ns:Futur", u"", {}}, {u"Futur", u"y", {}}}};
    const ChannelChoice choice = ChoiceFromEntry(entry, MakeEmptyChaine(), Latin1);
    EXPECT_EQ(choice.userName, "Premier");
    EXPECT_TRUE(choice.hidden);
    EXPECT_EQ(choice.keptElements, (std::vector<KeptElement>{{u"Futur", u"x"}, {u"Futur", u"y"}}));
}

}  // namespace
