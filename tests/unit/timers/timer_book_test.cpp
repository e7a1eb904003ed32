// The book every timer window shares: which new timers it takes and which it
// refuses (with what it tells the user), changes that keep the book as it was
// when refused, the listeners told after each change and no more once gone, and
// the timers found again after a restart.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "record/timers/timer_book.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z
const ServiceKey kFrance2{0x20FA, 1, 257};
const ServiceKey kFrance3SameMux{0x20FA, 1, 258};
const ServiceKey kTf1OtherMux{0x20FA, 6, 1537};

Timer Make(const ServiceKey& service, const char* title, std::int64_t start, std::int64_t minutes,
           Repeat repeat = Repeat::Once)
{
    Timer t;
    t.service = service;
    t.channel = "Cha\u00eene";
    t.title = title;
    t.start = start;
    t.end = start + minutes * 60;
    t.marginBefore = 2;
    t.marginAfter = 10;
    t.repeat = repeat;
    return t;
}

class TimerBookTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("brisome-book-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        ASSERT_EQ(book_.Open(folder_ / "guide.db"), "");
    }
    void TearDown() override
    {
        book_.Close();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    fs::path folder_;
    TimerBook book_;
};

TEST_F(TimerBookTest, NewTimersTakenOrRefusedWithTheirReason)
{
    // Already in the book: France 2 from 20:00 to 21:00 UTC (recorded 19:58 to 21:10).
    const Timer evening = Make(kFrance2, "Journal", kNow + 8 * 3600, 60);
    ASSERT_TRUE(book_.Add(evening, kNow).done);
    // And a final in three weeks, past any look-ahead counted from now.
    ASSERT_TRUE(book_.Add(Make(kFrance2, "Finale", kNow + 21 * 86400, 120), kNow).done);

    struct Case {
        const char* name;
        Timer timer;
        bool taken;
        const char* messageHolds;  // "" : no message
    } cases[] = {
        {"same multiplex, same time", Make(kFrance3SameMux, "M\u00e9t\u00e9o", kNow + 8 * 3600, 30), true, ""},
        {"other multiplex, overlapping", Make(kTf1OtherMux, "Film", kNow + 8 * 3600 + 1800, 90), false,
         "\u00ab Journal \u00bb"},
        {"other multiplex, only the margins overlap", Make(kTf1OtherMux, "Film", kNow + 9 * 3600 + 300, 90), false,
         "Journal"},
        {"other multiplex, after the margins", Make(kTf1OtherMux, "Film", kNow + 9 * 3600 + 15 * 60, 90), true, ""},
        {"other multiplex, three weeks ahead", Make(kTf1OtherMux, "Film", kNow + 21 * 86400 + 3600, 90), false,
         "\u00ab Finale \u00bb"},
        {"end before start", Make(kTf1OtherMux, "\u00c0 l'envers", kNow + 3600, -10), false, "apr\u00e8s son d"},
        {"already over", Make(kTf1OtherMux, "Pass\u00e9", kNow - 7200, 60), false, "termin\u00e9"},
        {"on the air now", Make(kTf1OtherMux, "En direct", kNow - 600, 60), true, ""},
        {"daily, every evening over the journal", Make(kTf1OtherMux, "Feuilleton", kNow + 8 * 3600, 20, Repeat::Daily),
         false, "Journal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = book_.Timers().size();
        const TimerBook::Outcome outcome = book_.Add(c.timer, kNow);
        EXPECT_EQ(outcome.done, c.taken);
        if (*c.messageHolds)
            EXPECT_NE(outcome.message.find(c.messageHolds), std::string::npos) << outcome.message;
        else
            EXPECT_EQ(outcome.message, "");
        EXPECT_EQ(book_.Timers().size(), before + (c.taken ? 1 : 0));
        if (outcome.done) {  // out again, so that each case meets only the journal and the final
            ASSERT_TRUE(book_.Remove(book_.Timers().back().id).done);
        }
    }
}

TEST_F(TimerBookTest, ChangesAndRemovalsAreToldAndKeptAcrossARestart)
{
    int told = 0;
    const int token = book_.Subscribe([&] { ++told; });
    Timer fromGuide = Make(kFrance2, "Journal", kNow + 3600, 60);
    fromGuide.eventId = 0x1234;
    ASSERT_TRUE(book_.Add(fromGuide, kNow).done);
    ASSERT_TRUE(book_.Add(Make(kFrance2, "Film", kNow + 7200, 100), kNow).done);
    EXPECT_EQ(told, 2);
    const Timer* journal = book_.ForEvent(kFrance2, 0x1234);
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(book_.ForEvent(kFrance3SameMux, 0x1234), nullptr);

    // A refused change leaves the timer as it was, untold.
    Timer wrong = *journal;
    wrong.end = wrong.start - 60;
    EXPECT_FALSE(book_.Change(wrong, kNow).done);
    EXPECT_EQ(book_.Find(journal->id)->end, kNow + 7200);
    EXPECT_EQ(told, 2);

    Timer later = *journal;
    later.start += 1800;
    later.end += 1800;
    ASSERT_TRUE(book_.Change(later, kNow).done);
    const std::int64_t filmId = book_.Timers().back().id;
    ASSERT_TRUE(book_.Remove(filmId).done);
    EXPECT_FALSE(book_.Remove(filmId).done);
    EXPECT_EQ(told, 4);

    // A listener gone is told nothing more; one may leave while being told.
    book_.Unsubscribe(token);
    int second = 0;
    int third = 0;
    int secondToken = 0;
    secondToken = book_.Subscribe([&] {
        ++second;
        book_.Unsubscribe(secondToken);
    });
    book_.Subscribe([&] { ++third; });
    ASSERT_TRUE(book_.Add(Make(kFrance2, "Magazine", kNow + 86400, 30), kNow).done);
    ASSERT_TRUE(book_.Add(Make(kFrance2, "Documentaire", kNow + 2 * 86400, 30), kNow).done);
    EXPECT_EQ(told, 4);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(third, 2);

    book_.Close();
    TimerBook again;
    ASSERT_EQ(again.Open(folder_ / "guide.db"), "");
    ASSERT_EQ(again.Timers().size(), 3u);
    const Timer* kept = again.ForEvent(kFrance2, 0x1234);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->start, kNow + 5400);
    EXPECT_EQ(kept->title, "Journal");
    again.Close();
}

}  // namespace
