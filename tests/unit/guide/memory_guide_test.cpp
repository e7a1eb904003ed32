// The guide in memory answers as guide.db does; the program's guide falls back
// to it when guide.db cannot be opened or written, and the purge at start-up
// goes by the broadcast's clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "guide/guide_database.h"
#include "guide/schedule/memory_guide.h"
#include "guide/schedule/search_words.h"
#include "sqlite3.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z
constexpr ServiceKey kOne{0x20FA, 1, 0x0101};
constexpr ServiceKey kTwo{0x20FA, 2, 0x0201};

GuideEntry Entry(ServiceKey service, std::int64_t start, int minutes, const std::string& title,
                 const std::string& description = {})
{
    GuideEntry e;
    e.service = service;
    e.eventId = static_cast<std::uint16_t>(start / 60);
    e.start = start;
    e.stop = start + minutes * 60;
    e.title = title;
    e.description = description;
    return e;
}

std::vector<std::string> Titles(const std::vector<GuideEntry>& entries)
{
    std::vector<std::string> titles;
    for (const auto& e : entries)
        titles.push_back(e.title);
    return titles;
}

fs::path Folder()
{
    const fs::path folder = fs::temp_directory_path() /
                            ("brisome-memory-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(SearchWords, FoldsCaseAndAccentsAndSplitsOnTheRest)
{
    struct Case {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"L'ÉTÉ indien", {"l", "ete", "indien"}},
        {"Œuvre d’Ælfric, Straße", {"oeuvre", "d", "aelfric", "strasse"}},
        {"Çà et là : 20h45 × 2", {"ca", "et", "la", "20h45", "2"}},
        {"« Noël »\nÀ BIENTÔT", {"noel", "a", "bientot"}},
        {"bad \xC3 \xFF\xFE bytes\xE2\x82", {"bad", "bytes"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchWords(c.text), c.words) << c.text;
}

// The same events in guide.db and in memory: every question gets the same answer.
TEST(MemoryGuide, AnswersAsTheStoreDoes)
{
    const GuideBatch batch{{{kOne, "Télé Été"}, {kTwo, "Autre"}},
                           {Entry(kOne, kNow - 7200, 60, "Un Été passé"), Entry(kOne, kNow + 7200, 60, "L'ÉTÉ indien"),
                            Entry(kTwo, kNow + 3600, 60, "Météo", "Prévisions de l'été"),
                            Entry(kTwo, kNow + 9000, 60, "Sport", "Le résumé"), Entry(kOne, kNow, 60, "Midi")},
                           };
    const fs::path folder = Folder();
    GuideStore store;
    ASSERT_EQ(store.Open(folder / "guide.db"), StoreOpenStatus::Opened);
    ASSERT_TRUE(store.Write(batch));
    MemoryGuide memory;
    memory.Apply(batch);

    for (const char* words : {"ete", "  Été  indien ", "prevision ete", "resume", "midi", "\"); DROP", "*:^", "x"})
        EXPECT_EQ(Titles(memory.Search(words, kNow, 200)), Titles(store.Search(words, kNow))) << words;
    EXPECT_EQ(Titles(memory.Search("ete", kNow - 7200, 1)), Titles(store.Search("ete", kNow - 7200, 1)));
    EXPECT_EQ(Titles(memory.AllEvents()), Titles(store.Events()));
    EXPECT_EQ(Titles(memory.Events(kOne, kNow, kNow + 7201)), Titles(store.Events(kOne, kNow, kNow + 7201)));
    EXPECT_EQ(memory.Span(), store.Span());
    ASSERT_EQ(memory.Services().size(), 2u);
    EXPECT_EQ(memory.Services()[0].name, "Télé Été");

    // A later batch carries the whole service again: what it no longer has goes.
    memory.Apply({{}, {Entry(kOne, kNow, 30, "Midi court")}});
    EXPECT_EQ(Titles(memory.Events(kOne, 0, kNow * 2)), (std::vector<std::string>{"Midi court"}));
    // Ended exactly an hour ago is kept, as the store keeps it.
    memory.Purge(kNow + 3 * 3600);
    EXPECT_EQ(Titles(memory.AllEvents()), (std::vector<std::string>{"Météo", "Sport"}));
    store.Close();
    fs::remove_all(folder);
}

TEST(ProgramGuide, AGuideDbThatCannotBeOpenedLeavesTheGuideInMemory)
{
    const fs::path folder = Folder();
    fs::create_directories(folder / "guide.db");  // nothing can open a folder
    EXPECT_NE(OpenGuideDatabase(folder, kNow).find("mémoire"), std::string::npos);
    EXPECT_FALSE(GuideDatabaseInUse());
    EXPECT_EQ(StoreGuideBatch({{{kOne, "Un"}}, {Entry(kOne, kNow, 60, "En mémoire")}}), "");
    EXPECT_EQ(Titles(TheGuide().Search("memoire", kNow, 10)), (std::vector<std::string>{"En mémoire"}));
    CloseGuideDatabase();
    fs::remove_all(folder);
}

TEST(ProgramGuide, AWriteThatFailsTellsOnceAndGoesOnInMemory)
{
    const fs::path folder = Folder();
    ASSERT_EQ(OpenGuideDatabase(folder, kNow), "");
    EXPECT_EQ(StoreGuideBatch({{}, {Entry(kOne, kNow, 60, "Écrit")}}), "");
    EXPECT_TRUE(GuideDatabaseInUse());

    // Another process takes the file for itself.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "guide.db").string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_NE(StoreGuideBatch({{}, {Entry(kTwo, kNow, 60, "Pas écrit")}}).find("autre programme"),
              std::string::npos);
    EXPECT_FALSE(GuideDatabaseInUse());
    EXPECT_EQ(StoreGuideBatch({{}, {Entry(kTwo, kNow + 3600, 60, "Suite")}}), "");
    EXPECT_EQ(Titles(TheGuide().Events(kTwo, 0, kNow * 2)), (std::vector<std::string>{"Suite"}));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    CloseGuideDatabase();
    fs::remove_all(folder);
}

TEST(ProgramGuide, TheStartUpPurgeGoesByTheBroadcastClock)
{
    // A PC nine months ahead of its broadcast: what the broadcast airs today has
    // not ended.
    const std::int64_t ahead = 270 * 86400;
    const fs::path folder = Folder();
    ASSERT_EQ(OpenGuideDatabase(folder, kNow), "");
    StoreGuideBatch({{}, {Entry(kOne, kNow, 60, "Aujourd'hui"), Entry(kOne, kNow - 86400, 60, "Hier")}});
    EXPECT_EQ(StoreClockDifference(-ahead), "");
    CloseGuideDatabase();
    ASSERT_EQ(OpenGuideDatabase(folder, kNow + ahead), "");
    EXPECT_EQ(Titles(TheGuide().AllEvents()), (std::vector<std::string>{"Aujourd'hui"}));
    EXPECT_EQ(StoredClockDifference(), -ahead);
    CloseGuideDatabase();
    fs::remove_all(folder);
}

}  // namespace
