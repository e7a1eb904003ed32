// The timers in guide.db, beside the guide: what is stored comes back after a
// restart, a failed change leaves the stored timers as they were, and a file
// that cannot be used never stops the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "record/timers/timer_store.h"
#include "sqlite3.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z

Timer Sample(const char* title, std::int64_t start)
{
    Timer t;
    t.service = {0x20FA, 6, 1537};
    t.channel = "France 5";
    t.title = title;
    t.start = start;
    t.end = start + 5400;
    t.marginBefore = 0;
    t.marginAfter = 15;
    return t;
}

class TimerStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("brisome-timers-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = folder_ / "guide.db";
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    void Sql(const char* sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file_.string().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }

    fs::path folder_, file_;
};

TEST_F(TimerStoreTest, TimersComeBackAfterARestartBesideTheGuide)
{
    Timer fromGuide = Sample("La Grande Librairie \u00e9t\u00e9", kNow);
    fromGuide.eventId = 0xFFFF;
    fromGuide.repeat = Repeat::Weekly;
    fromGuide.state = TimerState::Failed;
    fromGuide.detail = "programme interrompu";
    Timer byHand = Sample("Documentaire", kNow + 86400);
    {
        GuideStore guide;  // the guide's own connection on the same file
        ASSERT_EQ(guide.Open(file_), StoreOpenStatus::Opened);
        TimerStore store;
        ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
        ASSERT_TRUE(store.Add(byHand));
        ASSERT_TRUE(store.Add(fromGuide));
        EXPECT_NE(fromGuide.id, byHand.id);
        GuideEntry e;
        e.service = fromGuide.service;
        e.start = kNow;
        e.stop = kNow + 60;
        e.title = "Guide";
        ASSERT_TRUE(guide.Write({{}, {e}}));
        byHand.state = TimerState::Conflict;
        byHand.detail = "Film";
        ASSERT_TRUE(store.Update(byHand));
    }
    TimerStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    const std::vector<Timer> timers = store.Load();
    ASSERT_EQ(timers.size(), 2u);
    const Timer& a = timers[0];
    EXPECT_EQ(a.id, fromGuide.id);
    EXPECT_EQ(a.title, fromGuide.title);
    EXPECT_EQ(a.channel, "France 5");
    EXPECT_EQ(a.service, fromGuide.service);
    EXPECT_EQ(a.eventId, std::optional<std::uint16_t>(0xFFFF));
    EXPECT_EQ(a.start, kNow);
    EXPECT_EQ(a.end, kNow + 5400);
    EXPECT_EQ(a.marginBefore, 0);
    EXPECT_EQ(a.marginAfter, 15);
    EXPECT_EQ(a.repeat, Repeat::Weekly);
    EXPECT_EQ(StateText(a), "\u00c9chec : programme interrompu");
    EXPECT_EQ(timers[1].eventId, std::nullopt);
    EXPECT_EQ(StateText(timers[1]), "Conflit avec Film");

    ASSERT_TRUE(store.Remove(a.id));
    EXPECT_EQ(store.Load().size(), 1u);
    GuideStore guide;
    ASSERT_EQ(guide.Open(file_), StoreOpenStatus::Opened);
    EXPECT_EQ(guide.Events().size(), 1u);
}

TEST_F(TimerStoreTest, ValuesNoVersionWritesAreReadAsTheNearestSensibleOnes)
{
    {
        TimerStore store;
        ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
        Timer t = Sample("Odd", kNow);
        ASSERT_TRUE(store.Add(t));
    }
    Sql("UPDATE timers SET repeat = 9, state = -1, margin_before = -5, margin_after = 100000, event_id = 70000, "
        "stop = start - 60, sid = 99999");
    TimerStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    const std::vector<Timer> timers = store.Load();
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0].repeat, Repeat::Once);
    EXPECT_EQ(timers[0].state, TimerState::Planned);
    EXPECT_EQ(timers[0].marginBefore, 0);
    EXPECT_EQ(timers[0].marginAfter, kMaxMarginMinutes);
    EXPECT_EQ(timers[0].eventId, std::nullopt);
    EXPECT_EQ(timers[0].end, timers[0].start);
    EXPECT_EQ(timers[0].service.sid, 0xFFFF);
}

TEST_F(TimerStoreTest, AChangeThatCannotBeWrittenLeavesTheStoredTimersAsTheyWere)
{
    TimerStore store;
    ASSERT_EQ(store.Open(file_), StoreOpenStatus::Opened);
    Timer one = Sample("Un", kNow), two = Sample("Deux", kNow + 3600);
    ASSERT_TRUE(store.Add(one));
    ASSERT_TRUE(store.Add(two));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file_.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    one.state = two.state = TimerState::Done;
    EXPECT_FALSE(store.Update(std::vector<const Timer*>{&one, &two}));
    EXPECT_NE(store.message().find("autre programme"), std::string::npos);
    Timer three = Sample("Trois", kNow);
    EXPECT_FALSE(store.Add(three));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    const std::vector<Timer> timers = store.Load();
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_EQ(timers[0].state, TimerState::Planned);
    EXPECT_EQ(timers[1].state, TimerState::Planned);
    EXPECT_TRUE(store.Update(std::vector<const Timer*>{&one, &two}));
    EXPECT_EQ(store.Load()[1].state, TimerState::Done);
}

TEST_F(TimerStoreTest, UnreadableOrUnusableFilesNeverStopTheProgram)
{
    std::ofstream(file_, std::ios::binary) << std::string(8192, 'x');
    {
        TimerStore store;
        EXPECT_EQ(store.Open(file_), StoreOpenStatus::Recreated);
        EXPECT_NE(store.message().find("guide.db.illisible"), std::string::npos);
        EXPECT_EQ(fs::file_size(folder_ / "guide.db.illisible"), 8192u);
        Timer t = Sample("Neuf", kNow);
        EXPECT_TRUE(store.Add(t));
    }
    fs::remove_all(folder_);
    fs::create_directories(file_);  // a folder where the file should be
    TimerStore store;
    EXPECT_EQ(store.Open(file_), StoreOpenStatus::Unavailable);
    EXPECT_NE(store.message().find("m\u00e9moire"), std::string::npos);
    Timer t = Sample("Perdu", kNow);
    EXPECT_FALSE(store.Add(t));
    EXPECT_FALSE(store.Update(t));
    EXPECT_FALSE(store.Remove(1));
    EXPECT_TRUE(store.Load().empty());
}

}  // namespace
