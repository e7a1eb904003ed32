// Saving and loading through the real file system and the platform's MSXML.
#include "channels/channel_file_win.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "channels/channel_file.h"

namespace {

class ChannelFileDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"brisome_chfile_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(counter_++);
        CreateDirectoryW(dir_.c_str(), nullptr);
        path_ = dir_ + L"\\chaines.xml";
    }
    void TearDown() override
    {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(dir_.c_str());
        CoUninitialize();
    }
    void WriteRaw(const std::string& bytes)
    {
        std::ofstream(std::filesystem::path(path_), std::ios::binary) << bytes;
    }
    std::string ReadRaw()
    {
        std::ifstream in(std::filesystem::path(path_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    ChannelList Load(bool expectSuccess = true)
    {
        ChannelList list;
        EXPECT_EQ(LoadChannelFile(list, path_), expectSuccess);
        return list;
    }

    std::wstring dir_;
    std::wstring path_;
    static inline int counter_ = 0;
};

Chaine Record(const std::string& name, const std::string& provider)
{
    Chaine c = MakeEmptyChaine();
    std::memcpy(c.Nom, name.data(), std::min(name.size(), sizeof c.Nom - 1));
    std::memcpy(c.Groupe, provider.data(), std::min(provider.size(), sizeof c.Groupe - 1));
    return c;
}

TEST_F(ChannelFileDisk, TracksSurviveSaveAndLoad)
{
    Chaine c = Record("Demo VO", "GR1");
    c.Son1 = 273;
    AudioTrack vo{};
    vo.pid = 273;
    SetLanguage(vo.language, reinterpret_cast<const std::uint8_t*>("qaa"));
    SetLanguage(vo.spokenLanguage, reinterpret_cast<const std::uint8_t*>("eng"));
    vo.kind = AudioKind::OriginalVersion;
    AddAudioTrack(c.Streams, vo);
    SubtitleTrack teletext{};
    teletext.pid = 280;
    teletext.format = SubtitleFormat::Teletext;
    teletext.type = 5;
    teletext.teletextPage = 0x889;
    AddSubtitleTrack(c.Streams, teletext);
    ASSERT_TRUE(SaveChannelFile({c}, path_));
    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(std::memcmp(&loaded[0], &c, sizeof c), 0);
}

TEST_F(ChannelFileDisk, CodecsSurviveSaveAndLoad)
{
    Chaine c = Record("Demo HD", "GR1");
    c.Video = 272;
    c.VideoCodec = StreamCodec::Hevc;
    c.Son1 = 273;
    c.Son1Codec = StreamCodec::AacLatm;
    c.Ac3 = 275;
    c.Ac3Codec = StreamCodec::Eac3;
    ASSERT_TRUE(SaveChannelFile({c}, path_));
    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(std::memcmp(&loaded[0], &c, sizeof c), 0);
}

TEST_F(ChannelFileDisk, EachChoiceSurvivesSaveAndLoadAndNoChoiceChangesNoByte)
{
    ChannelList list{Record("France 2", "GR1"), Record("Arte", "GR1")};
    list[1].SID = 263;
    WriteRaw(FormatChannelFile(list));
    ChannelList loaded;
    std::vector<ChannelChoice> choices;
    ASSERT_TRUE(LoadChannelFile(loaded, choices, path_));
    ASSERT_TRUE(SaveChannelFile(loaded, choices, path_));
    EXPECT_EQ(ReadRaw(), FormatChannelFile(list));

    choices[0].userName = "M&M's <cha\xEEne> ]]> \x01 ";
    choices[0].hidden = true;
    choices[1].favourite = true;
    ASSERT_TRUE(SaveChannelFile(loaded, choices, path_));
    ChannelList again;
    std::vector<ChannelChoice> read;
    ASSERT_TRUE(LoadChannelFile(again, read, path_));
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(std::memcmp(&again[i], &list[i], sizeof list[i]), 0);
        EXPECT_EQ(read[i].userName, choices[i].userName);
        EXPECT_EQ(read[i].hidden, choices[i].hidden);
        EXPECT_EQ(read[i].favourite, choices[i].favourite);
    }
}

TEST_F(ChannelFileDisk, ANewerVersionsElementsSurviveLoadAndSave)
{
    // Elements of a later version among and after the known ones, one holding
    // elements, one with an attribute (only names and texts are kept).
    WriteRaw("<Chaines>\r\n\t<Chaine>\r\n\t\t<Nom>TF1</Nom>\r\n\t\t<Verrou>1</Verrou>\r\n"
             "\t\t<SID>257</SID>\r\n\t\t<Favori>1</Favori>\r\n"
             "\t\t<Note lang=\"fr\">\xC3\xA9t\xC3\xA9 &amp; \xE2\x82\xAC</Note>\r\n"
             "\t\t<Couleurs><Fond>noir</Fond><Texte>blanc</Texte></Couleurs>\r\n"
             "\t\t<!-- note -->\r\n\t</Chaine>\r\n</Chaines>\r\n");
    const std::vector<KeptElement> expected{
        {u"Verrou", u"1"}, {u"Note", u"\u00E9t\u00E9 & \u20AC"}, {u"Couleurs", u"noirblanc"}};
    for (int pass = 0; pass < 2; ++pass) {
        ChannelList loaded;
        std::vector<ChannelChoice> choices;
        ASSERT_TRUE(LoadChannelFile(loaded, choices, path_));
        ASSERT_EQ(choices.size(), 1u);
        EXPECT_EQ(loaded[0].SID, 257);
        EXPECT_TRUE(choices[0].favourite);
        EXPECT_EQ(choices[0].keptElements, expected);
        ASSERT_TRUE(SaveChannelFile(loaded, choices, path_));
    }
}

TEST_F(ChannelFileDisk, SavedBytesAreExactlyTheFormattedFile)
{
    ChannelList list{Record("France 2", "GR1"), Record("Arte", "GR1")};
    list[0].Son1 = 130;
    ASSERT_TRUE(SaveChannelFile(list, path_));
    EXPECT_EQ(ReadRaw(), FormatChannelFile(list));  // no CR doubled, nothing added
}

TEST_F(ChannelFileDisk, FieldsSurviveSaveAndLoad)
{
    Chaine c = Record("France 5", "GR1");
    c.Frequence = 586166;
    c.ONID = 8442;
    c.SID = 260;
    c.TSID = 1;
    c.Numero = -5;
    c.PMT = 1280;
    c.PCR = 0x1FFF;
    c.Video = 120;
    c.Son1 = 130;
    c.Son2 = 131;
    c.Ac3 = 133;
    Chaine negativeAudio = Record("Radio", "");
    negativeAudio.Son1 = -1;
    negativeAudio.Ac3 = -2;
    ASSERT_TRUE(SaveChannelFile({c, negativeAudio}, path_));

    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(std::memcmp(&loaded[0], &c, sizeof c), 0);
    EXPECT_STREQ(loaded[1].Nom, "Radio");
    EXPECT_EQ(loaded[1].Son1, 0);
    EXPECT_EQ(loaded[1].Ac3, 0);
}

TEST_F(ChannelFileDisk, EveryByteOfANameSurvivesSaveAndLoad)
{
    // All 255 non-zero bytes in one name, then each byte alone at both ends of a
    // name, where a parser trims white space.
    std::string all;
    for (int b = 1; b <= 0xFF; ++b)
        all += static_cast<char>(b);
    ChannelList list{Record(all, std::string(all.rbegin(), all.rend()))};
    for (int b = 1; b <= 0xFF; ++b) {
        const std::string one(1, static_cast<char>(b));
        list.push_back(Record(one + "x" + one, one));
    }
    ASSERT_TRUE(SaveChannelFile(list, path_));

    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(std::string(loaded[i].Nom), std::string(list[i].Nom)) << "record " << i;
        EXPECT_EQ(std::string(loaded[i].Groupe), std::string(list[i].Groupe)) << "record " << i;
    }
}

TEST_F(ChannelFileDisk, MarkupCharactersInNamesKeepTheFileLoadable)
{
    ASSERT_TRUE(SaveChannelFile({Record("M&M's <live> ]]> x", "a]]b>c")}, path_));
    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_STREQ(loaded[0].Nom, "M&M's <live> ]]> x");
    EXPECT_STREQ(loaded[0].Groupe, "a]]b>c");
}

TEST_F(ChannelFileDisk, EmptyListLoadsAsSuccessWithNoRecord)
{
    ASSERT_TRUE(SaveChannelFile({}, path_));
    EXPECT_TRUE(Load().empty());
}

TEST_F(ChannelFileDisk, MissingOrMalformedFileFailsAndAppendsNothing)
{
    ChannelList list{Record("kept", "")};
    EXPECT_FALSE(LoadChannelFile(list, path_));
    WriteRaw("<Chaines>\r\n\t<Chaine>\r\n\t\t<Nom>A</Nom>\r\n\t</Chaine>\r\n");  // root never closed
    EXPECT_FALSE(LoadChannelFile(list, path_));
    WriteRaw("<Chaines><Chaine><Nom>A & B</Nom></Chaine></Chaines>");  // bare ampersand
    EXPECT_FALSE(LoadChannelFile(list, path_));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].Nom, "kept");
}

TEST_F(ChannelFileDisk, HandWrittenFileFollowsTheSelectionRules)
{
    WriteRaw("<Liste>\n"
             "  <Chaine><Son1>0</Son1><Son1>42</Son1><Frequence>474166</Frequence></Chaine>\n"
             "  <Autre><Nom>Autre</Nom><Numero>7</Numero></Autre>\n"
             "  <Chaine><Numero> 12 </Numero><Nom>" + std::string(300, 'n') + "</Nom></Chaine>\n"
             "</Liste>\n");
    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0].Son1, 42);
    EXPECT_EQ(loaded[0].Frequence, 474166);
    EXPECT_EQ(loaded[0].Numero, 0);
    EXPECT_STREQ(loaded[0].Nom, "");
    EXPECT_STREQ(loaded[1].Nom, "Autre");
    EXPECT_EQ(loaded[1].Numero, 7);
    EXPECT_EQ(loaded[2].Numero, 12);
    EXPECT_EQ(std::string(loaded[2].Nom), std::string(255, 'n'));
}

TEST_F(ChannelFileDisk, Utf8TextIsConvertedToTheSystemCodePageAndCut)
{
    // 300 times "é" in UTF-8 (a file without declaration is UTF-8): 300 bytes in
    // code page 1252 once converted, of which 255 are kept.
    std::string name;
    for (int i = 0; i < 300; ++i)
        name += "\xC3\xA9";
    WriteRaw("<Chaines><Chaine><Nom>" + name + "</Nom><Groupe>T\xC3\xA9l\xC3\xA9</Groupe></Chaine></Chaines>");
    const ChannelList loaded = Load();
    ASSERT_EQ(loaded.size(), 1u);
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(std::string(loaded[0].Nom), std::string(255, '\xE9'));
    EXPECT_STREQ(loaded[0].Groupe, "T\xE9l\xE9");
}

TEST_F(ChannelFileDisk, DefaultsUseChainesXmlInTheCurrentDirectory)
{
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
    const ChannelList saved = Chaines;
    const std::vector<ChannelChoice> savedChoices = ChannelChoices;
    Chaines = {Record("Globale", "")};
    ChannelChoices = ChoicesOf(Chaines);
    ChannelChoices[0].favourite = true;
    SaveChannelFile();
    Chaines.clear();
    ChannelChoices.clear();
    const bool loaded = LoadChannelFile();
    const ChannelList result = Chaines;
    const std::vector<ChannelChoice> resultChoices = ChannelChoices;
    Chaines = saved;
    ChannelChoices = savedChoices;
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_STREQ(result[0].Nom, "Globale");
    ASSERT_EQ(resultChoices.size(), 1u);
    EXPECT_TRUE(resultChoices[0].favourite);
}

}  // namespace
