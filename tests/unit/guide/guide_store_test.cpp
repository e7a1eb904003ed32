// guide.db on a temporary folder: what is written comes back, search, purge,
// and the files the store cannot use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "guide/schedule/guide_store.h"
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
    e.content = 0x10;
    e.minimumAge = 12;
    e.flags = kFlagHighDefinition;
    return e;
}

class GuideStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("brisome-store-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = folder_ / "guide.db";
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    fs::path folder_, file_;
};

std::vector<std::string> Titles(const std::vector<GuideEntry>& entries)
{
    std::vector<std::string> titles;
    for (const auto& e : entries)
        titles.push_back(e.title);
    return titles;
}

// FTS5's own check of the search index against the events it indexes, on a
// second connection: empty when they agree.
std::string SearchIndexFault(const fs::path& file)
{
    sqlite3* db = nullptr;
    std::string fault;
    if (sqlite3_open(file.string().c_str(), &db) != SQLITE_OK)
        fault = "not opened";
    char* error = nullptr;
    if (fault.empty() &&
        sqlite3_exec(db, "INSERT INTO events_text(events_text, rank) VALUES ('integrity-check', 1)", nullptr, nullptr,
                     &error) != SQLITE_OK)
        fault = error ? error : "integrity-check failed";
    sqlite3_free(error);
    sqlite3_close(db);
    return fault;
}

TEST_F(GuideStoreTest, WhatIsCommittedIsThereAtTheNextOpen)
{
    {
        GuideStore store;
        ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened) << store.message();
        ASSERT_TRUE(store.Write({{{kOne, "Télé Été"}, {kTwo, "Autre"}},
                                 {Entry(kOne, kNow, 60, "Midi", "Le « journal »\nde midi"), Entry(kTwo, kNow, 30, "Radio")}}));
        // A newer version moves the noon programme: the overlapped one goes.
        ASSERT_TRUE(store.Write({{}, {Entry(kOne, kNow + 1800, 60, "Décalé")}}));
    }
    GuideStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    const auto services = store.Services();
    ASSERT_EQ(services.size(), 2u);
    EXPECT_EQ(services[0].name, "Télé Été");
    const auto events = store.Events();
    ASSERT_EQ(Titles(events), (std::vector<std::string>{"Décalé", "Radio"}));
    EXPECT_EQ(events[0].stop, kNow + 1800 + 3600);
    EXPECT_EQ(events[0].content, 0x10);
    EXPECT_EQ(events[0].minimumAge, 12);
    EXPECT_EQ(events[0].flags, kFlagHighDefinition);
    EXPECT_EQ(Titles(store.Events(kTwo, kNow, kNow + 60)), (std::vector<std::string>{"Radio"}));
}

struct SpanCase {
    const char* name;
    std::vector<GuideEntry> batch;
    std::vector<GuideSpan> spans;
    std::vector<std::string> titles;  // stored afterwards
};

void PrintTo(const SpanCase& c, std::ostream* os) { *os << c.name; }


class StoreSpanTest : public GuideStoreTest, public testing::WithParamInterface<SpanCase> {};

// Noon to 15:00 is a segment the batch gives whole; 15:00 is past it.
const GuideEntry kNoonShow = Entry(kOne, kNow, 30, "Midi");
const GuideEntry kDropped = Entry(kOne, kNow + 1800, 30, "Feuilleton annulé");
const GuideEntry kLater = Entry(kOne, kNow + 3 * 3600, 60, "Soirée");
const GuideEntry kOtherService = Entry(kTwo, kNow + 1800, 30, "Voisine");
const GuideSpan kNoonSegment{kOne, kNow, kNow + 3 * 3600};

TEST_P(StoreSpanTest, ASpanGivenWholeLosesWhatTheBatchDoesNotHold)
{
    GuideStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    ASSERT_TRUE(store.Write({{}, {kNoonShow, kDropped, kLater, kOtherService}}));
    ASSERT_TRUE(store.Write({{}, GetParam().batch, GetParam().spans}));
    EXPECT_EQ(Titles(store.Events()), GetParam().titles);
    const bool dropped = std::find(GetParam().titles.begin(), GetParam().titles.end(), kDropped.title) ==
                         GetParam().titles.end();
    EXPECT_EQ(store.Search("feuilleton annule", kNow).empty(), dropped);
    EXPECT_EQ(SearchIndexFault(file_), "");
}

GuideEntry Renamed(GuideEntry e, const char* title)
{
    e.title = title;
    return e;
}

INSTANTIATE_TEST_SUITE_P(
    Spans, StoreSpanTest,
    testing::Values(
        SpanCase{"all_held_nothing_goes", {kNoonShow, kDropped}, {kNoonSegment},
                 {"Midi", "Feuilleton annulé", "Soirée", "Voisine"}},
        SpanCase{"dropped_by_the_new_version", {kNoonShow}, {kNoonSegment}, {"Midi", "Soirée", "Voisine"}},
        SpanCase{"without_a_span_only_overlaps_go", {kNoonShow}, {}, {"Midi", "Feuilleton annulé", "Soirée", "Voisine"}},
        SpanCase{"a_segment_emptied", {}, {kNoonSegment}, {"Soirée", "Voisine"}},
        SpanCase{"renamed_and_dropped", {Renamed(kNoonShow, "Midi (nouveau)")}, {kNoonSegment},
                 {"Midi (nouveau)", "Soirée", "Voisine"}},
        SpanCase{"another_service_span_leaves_this_one", {}, {{kTwo, kNow, kNow + 3 * 3600}},
                 {"Midi", "Feuilleton annulé", "Soirée"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GuideStoreTest, RewritesKeepTheSearchIndexInStepAlsoInAFileOfTheEarlierLayout)
{
    {
        GuideStore store;
        ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    }
    // The earlier layout: the index fed by triggers, a row written through them.
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(file_.string().c_str(), &old), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(old, R"sql(
        CREATE TRIGGER events_added AFTER INSERT ON events BEGIN
          INSERT INTO events_text(rowid, title, subtitle, description)
          VALUES (new.id, new.title, new.subtitle, new.description);
        END;
        CREATE TRIGGER events_removed AFTER DELETE ON events BEGIN
          INSERT INTO events_text(events_text, rowid, title, subtitle, description)
          VALUES ('delete', old.id, old.title, old.subtitle, old.description);
        END;
        INSERT INTO services(id, onid, tsid, sid) VALUES (1, 8442, 1, 257);
        INSERT INTO events(service, event_id, start, stop, title, subtitle, description, content, genre, rating, flags)
        VALUES (1, 7, 1796817600, 1796819400, 'Ancien titre', '', 'Texte ancien', 0, '', 0, 0);
        )sql",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(old);

    GuideStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    ASSERT_EQ(Titles(store.Search("ancien", kNow)), (std::vector<std::string>{"Ancien titre"}));
    // The same schedule written again and again, then changed: each event is
    // indexed once, under its latest texts.
    const std::vector<GuideEntry> day = {Entry(kOne, kNow, 30, "Nouveau titre"), Entry(kOne, kNow + 1800, 30, "Suite"),
                                         Entry(kTwo, kNow, 60, "Voisine")};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(store.Write({{}, day}));
    ASSERT_TRUE(store.Write({{}, {Renamed(day[1], "Suite changée")}}));
    EXPECT_TRUE(store.Search("ancien", kNow).empty());
    EXPECT_EQ(Titles(store.Search("titre", kNow)), (std::vector<std::string>{"Nouveau titre"}));
    EXPECT_EQ(Titles(store.Search("suite", kNow)), (std::vector<std::string>{"Suite changée"}));
    EXPECT_EQ(store.Purge(kNow + 6 * 3600), 3);
    EXPECT_TRUE(store.Search("voisine", kNow).empty());
    EXPECT_EQ(SearchIndexFault(file_), "");
}

TEST_F(GuideStoreTest, SearchIgnoresAccentsAndCaseAndListsUpcomingSoonestFirst)
{
    GuideStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    ASSERT_TRUE(store.Write({{},
                             {Entry(kOne, kNow - 7200, 60, "Un Été passé"), Entry(kOne, kNow + 7200, 60, "L'ÉTÉ indien"),
                              Entry(kTwo, kNow + 3600, 60, "Météo", "Prévisions de l'été"),
                              Entry(kTwo, kNow + 9000, 60, "Sport", "Le résumé")}}));
    struct Case {
        const char* words;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"ete", {"Météo", "L'ÉTÉ indien"}},
        {"  Été  indien ", {"L'ÉTÉ indien"}},
        {"prevision ete", {"Météo"}},
        {"resume", {"Sport"}},
        {"\"); DROP TABLE events; --", {}},
        {"*:^", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Titles(store.Search(c.words, kNow)), c.titles) << c.words;
    EXPECT_EQ(store.Events().size(), 4u);
}

TEST_F(GuideStoreTest, PurgeRemovesWhatEndedMoreThanAnHourAgo)
{
    GuideStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    ASSERT_TRUE(store.Write({{},
                             {Entry(kOne, kNow - 3 * 3600, 60, "Ancien"), Entry(kOne, kNow - 5400, 60, "Récent"),
                              Entry(kOne, kNow, 60, "Maintenant")}}));
    EXPECT_EQ(store.Purge(kNow), 1);
    EXPECT_EQ(Titles(store.Events()), (std::vector<std::string>{"Récent", "Maintenant"}));
    EXPECT_TRUE(store.Search("ancien", kNow - 4 * 3600).empty());
}

TEST_F(GuideStoreTest, AnUnreadableFileIsMovedAsideAndANewOneMade)
{
    std::ofstream(file_, std::ios::binary) << std::string(8192, 'x');
    GuideStore store;
    EXPECT_EQ(store.Open(file_), StoreOpenStatus::Recreated);
    EXPECT_NE(store.message().find("guide.db.illisible"), std::string::npos);
    EXPECT_EQ(fs::file_size(folder_ / "guide.db.illisible"), 8192u);
    EXPECT_TRUE(store.Write({{}, {Entry(kOne, kNow, 60, "Neuf")}}));
}

TEST_F(GuideStoreTest, AFileThatCannotBeUsedLeavesTheGuideInMemory)
{
    // A folder where the file should be: nothing can open it, nothing is moved.
    fs::create_directories(file_);
    GuideStore store;
    EXPECT_EQ(store.Open(file_), StoreOpenStatus::Unavailable);
    EXPECT_NE(store.message().find("mémoire"), std::string::npos);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(store.Write({{}, {Entry(kOne, kNow, 60, "Perdu")}}));
    EXPECT_TRUE(fs::is_directory(file_));
    EXPECT_FALSE(fs::exists(folder_ / "guide.db.illisible"));
}

TEST_F(GuideStoreTest, AFileLockedByAnotherProcessIsNotMovedAside)
{
    {
        GuideStore first;
        ASSERT_EQ(first.Open(file_), StoreOpenStatus::Opened);
        ASSERT_TRUE(first.Write({{}, {Entry(kOne, kNow, 60, "Gardé")}}));
    }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file_.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    GuideStore store;
    EXPECT_EQ(store.Open(file_), StoreOpenStatus::Unavailable);
    EXPECT_NE(store.message().find("autre programme"), std::string::npos);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_FALSE(fs::exists(folder_ / "guide.db.illisible"));
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    EXPECT_EQ(Titles(store.Events()), (std::vector<std::string>{"Gardé"}));
}

}  // namespace
