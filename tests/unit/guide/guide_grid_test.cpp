// The guide grid's rules: what a view shows, where the keys lead, and the
// texts of the details pane, with French clocks (winter +1 h, summer +2 h).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "guide/grid/grid_details.h"
#include "guide/grid/grid_layout.h"
#include "guide/grid/grid_navigation.h"
#include "guide/grid/grid_refresh.h"
#include "guide/grid/grid_time.h"

namespace {

// 2026-12-09 00:00 UTC, a Wednesday; 01:00 in Paris.
constexpr std::int64_t kDay0 = 1796774400;
constexpr std::int64_t kH = 3600;

int Winter(std::int64_t) { return 3600; }

// Paris in 2026: summer time from 29 March 01:00 UTC to 25 October 01:00 UTC.
int Paris(std::int64_t utc)
{
    return (utc >= 1774746000 && utc < 1792890000) ? 7200 : 3600;
}

GuideEntry Event(ServiceKey key, std::int64_t start, std::int64_t minutes, std::string title)
{
    GuideEntry e;
    e.service = key;
    e.start = start;
    e.stop = start + minutes * 60;
    e.title = std::move(title);
    return e;
}

// Two channels sharing a service id on different multiplexes, and a third.
std::vector<GridRow> Rows()
{
    std::vector<GridRow> rows(3);
    rows[0] = {0, 1, "Un", {8442, 1, 257}, {}};
    rows[1] = {1, 2, "Deux", {8442, 2, 257}, {}};
    rows[2] = {2, 3, "Trois", {8442, 2, 258}, {}};
    const std::int64_t t = kDay0 + 19 * kH;  // 20:00 local
    FillRows(rows, {
                       Event({8442, 2, 257}, t + 30 * 60, 60, "B2"),
                       Event({8442, 1, 257}, t, 50, "A1"),
                       Event({8442, 2, 257}, t - 60 * 60, 90, "B1"),
                       Event({8442, 1, 257}, t + 50 * 60, 100, "A2"),
                       Event({8442, 1, 257}, t + 150 * 60, 40, "A3"),
                       Event({8442, 9, 257}, t, 60, "elsewhere"),
                       Event({8442, 1, 257}, t + 12 * kH, 60, "A4"),
                       Event({8442, 1, 257}, t + 30 * kH, 60, "A5"),
                   });
    return rows;
}

std::vector<std::string> Titles(const GridRow& row)
{
    std::vector<std::string> titles;
    for (const GuideEntry& e : row.events)
        titles.push_back(e.title);
    return titles;
}

TEST(GuideGrid, RowsTakeTheEventsOfTheirTripletInTimeOrder)
{
    const auto rows = Rows();
    EXPECT_EQ(Titles(rows[0]), (std::vector<std::string>{"A1", "A2", "A3", "A4", "A5"}));
    EXPECT_EQ(Titles(rows[1]), (std::vector<std::string>{"B1", "B2"}));
    EXPECT_TRUE(rows[2].events.empty());
}

TEST(GuideGrid, LocalDatesAndTextsAcrossOffsets)
{
    struct Case {
        std::int64_t utc;
        int offset;
        const char* day;
        const char* clock;
        const char* longDay;
    } cases[] = {
        {kDay0, 3600, "mer. 9", "01:00", "mercredi 9 d\xC3\xA9" "cembre 2026"},
        {kDay0 - 1, 3600, "mer. 9", "00:59", "mercredi 9 d\xC3\xA9" "cembre 2026"},
        {kDay0 - 3601, 3600, "mar. 8", "23:59", "mardi 8 d\xC3\xA9" "cembre 2026"},
        {1782900000, 7200, "mer. 1", "12:00", "mercredi 1 juillet 2026"},
        {951825600, 0, "mar. 29", "12:00", "mardi 29 f\xC3\xA9vrier 2000"},
        {-1, 0, "mer. 31", "23:59", "mercredi 31 d\xC3\xA9" "cembre 1969"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utc);
        const LocalDate d = LocalDateOf(c.utc, c.offset);
        EXPECT_EQ(ShortDayText(d), c.day);
        EXPECT_EQ(ClockText(d), c.clock);
        EXPECT_EQ(LongDayText(d), c.longDay);
    }
    EXPECT_EQ(LocalDayStart(kDay0 + 10 * kH, 3600), kDay0 - kH);
    EXPECT_EQ(FloorHalfHour(kDay0 + 29 * 60, 3600), kDay0);
    EXPECT_EQ(FloorHalfHour(kDay0 - 1, 3600), kDay0 - 1800);
}

GridGeometry Geometry()
{
    GridGeometry g;
    g.width = 170 + 4 * 120;  // two hours
    g.height = 22 + 2 * 30;   // two rows
    return g;
}

TEST(GuideGrid, BoxesAreClippedToTheViewAndMarkedCurrent)
{
    const auto rows = Rows();
    const GridGeometry g = Geometry();
    const GridView view{kDay0 + 19 * kH, 0};  // 20:00 to 22:00 local
    const std::int64_t now = view.start + 20 * 60;
    const auto boxes = LayOutBoxes(rows, g, view, now);
    struct Expected {
        int row, event;
        GridRect rect;
        bool current, startsBefore;
    } expected[] = {
        {0, 0, {170, 22, 370, 52}, true, false},   // A1 20:00-20:50
        {0, 1, {370, 22, 650, 52}, false, false},  // A2 20:50-22:30, cut at 22:00
        {1, 0, {170, 52, 290, 82}, true, true},    // B1 19:00-20:30, cut at 20:00
        {1, 1, {290, 52, 530, 82}, false, false},  // B2 20:30-21:30
    };
    ASSERT_EQ(boxes.size(), std::size(expected));
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(boxes[i].row, expected[i].row);
        EXPECT_EQ(boxes[i].event, expected[i].event);
        EXPECT_EQ(boxes[i].rect, expected[i].rect);
        EXPECT_EQ(boxes[i].current, expected[i].current);
        EXPECT_EQ(boxes[i].startsBefore, expected[i].startsBefore);
    }
    // The third row is out of view; a view scrolled down shows it alone.
    EXPECT_TRUE(LayOutBoxes(rows, g, GridView{view.start, 2}, now).empty());

    EXPECT_EQ(NowLine(g, view, now), 170 + 80);
    EXPECT_FALSE(NowLine(g, view, view.start - 1));
    EXPECT_FALSE(NowLine(g, view, view.start + 2 * kH));

    struct Hit {
        int x, y;
        std::optional<GridPlace> place;
    } hits[] = {
        {170, 22, GridPlace{0, 0}}, {369, 51, GridPlace{0, 0}}, {370, 22, GridPlace{0, 1}},
        {300, 60, GridPlace{1, 1}}, {100, 30, std::nullopt},    {600, 60, std::nullopt},
        {200, 10, std::nullopt},
    };
    for (const Hit& h : hits)
        EXPECT_EQ(HitTest(boxes, h.x, h.y), h.place) << h.x << "," << h.y;
}

TEST(GuideGrid, HalfHourMarksInLocalTimeAcrossTheSummerChange)
{
    GridGeometry g = Geometry();
    const GridView view{kDay0 + 19 * kH + 600, 0};  // 20:10 local
    std::vector<std::string> labels;
    std::vector<int> xs;
    for (const GridMark& m : HalfHourMarks(g, view, Winter)) {
        labels.push_back(m.label);
        xs.push_back(m.x);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"20:30", "21:00", "21:30", "22:00"}));
    EXPECT_EQ(xs, (std::vector<int>{250, 370, 490, 610}));

    // 2026-10-25, 01:00 UTC: 03:00 summer time becomes 02:00 winter time.
    const GridView change{1792888200, 0};  // 00:30 UTC
    labels.clear();
    for (const GridMark& m : HalfHourMarks(g, change, Paris))
        labels.push_back(m.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"02:30", "02:00", "02:30", "03:00"}));
}

GridContext Context(const std::vector<GridRow>& rows, std::int64_t now)
{
    return GridContext{rows, Geometry(), now, Winter};
}

TEST(GuideGrid, KeysMoveFromProgrammeToProgramme)
{
    const auto rows = Rows();
    const std::int64_t now = kDay0 + 19 * kH + 20 * 60;  // 20:20 local
    const GridContext c = Context(rows, now);
    const GridState open = StateAtNow(c, 0);
    EXPECT_EQ(open.place, (GridPlace{0, 0}));
    EXPECT_EQ(open.view.start, kDay0 + 19 * kH);

    struct Step {
        GridMove move;
        GridPlace place;
        std::int64_t viewStart;
    } steps[] = {
        {GridMove::Right, {0, 1}, kDay0 + 19 * kH},          // A2 starts in view
        {GridMove::Right, {0, 2}, kDay0 + 21 * kH + 30 * 60},  // A3 at 22:30: the view follows
        {GridMove::Left, {0, 1}, kDay0 + 19 * kH + 30 * 60},   // A2 ends at 22:30: back to its start
        {GridMove::Down, {1, 1}, kDay0 + 19 * kH + 30 * 60},   // B2 is on at 20:50
        {GridMove::Down, {2, -1}, kDay0 + 19 * kH + 30 * 60},  // an empty row
        {GridMove::Down, {2, -1}, kDay0 + 19 * kH + 30 * 60},  // the last row stays
        {GridMove::Up, {1, 1}, kDay0 + 19 * kH + 30 * 60},
        {GridMove::Home, {1, 0}, kDay0 + 19 * kH},
        {GridMove::Up, {0, 0}, kDay0 + 19 * kH},  // B1 shows from 20:00: A1
        {GridMove::Left, {0, 0}, kDay0 + 19 * kH},  // the first stays
        {GridMove::PageDown, {0, 2}, kDay0 + 22 * kH},  // 23:00: A3 is on
        {GridMove::PageUp, {0, 0}, kDay0 + 19 * kH},
        {GridMove::PageUp, {0, 0}, kDay0 + 18 * kH},  // B1 from 19:00 is the first held
    };
    GridState s = open;
    for (const Step& step : steps) {
        SCOPED_TRACE(static_cast<int>(&step - steps));
        s = Navigate(c, s, step.move);
        EXPECT_EQ(s.place, step.place);
        EXPECT_EQ(s.view.start, step.viewStart);
    }
}

TEST(GuideGrid, DaysAndSearchChoicesMoveTheView)
{
    const auto rows = Rows();
    const std::int64_t now = kDay0 + 19 * kH + 20 * 60;  // Wednesday 20:20
    const GridContext c = Context(rows, now);
    const auto days = GuideDays(now, kDay0 + 49 * kH + 60 * 60, Winter);  // A5 ends Friday 03:00
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0], kDay0 - kH);
    EXPECT_EQ(days[2], kDay0 + 47 * kH);

    GridState s = StateAtNow(c, 0);
    s = JumpToDay(c, s, days[1]);  // Thursday at 20:00: nothing yet held then
    EXPECT_EQ(s.view.start, kDay0 + 43 * kH);
    EXPECT_EQ(s.place, (GridPlace{0, 4}));
    s = JumpToDay(c, s, days[0]);
    EXPECT_EQ(s.view.start, kDay0 + 19 * kH);
    EXPECT_EQ(s.place, (GridPlace{0, 0}));

    s = ShowPlace(c, s, GridPlace{1, 1});
    EXPECT_EQ(s.place, (GridPlace{1, 1}));
    EXPECT_EQ(s.view.start, kDay0 + 19 * kH + 30 * 60);
    EXPECT_EQ(ShowPlace(c, s, GridPlace{2, 0}).place, s.place) << "a place without programme changes nothing";

    // The day the clocks go forward is 23 hours long.
    const auto spring = GuideDays(1774656000, 1774656000 + 3 * 86400, Paris);  // 28 March 00:00 UTC
    ASSERT_EQ(spring.size(), 4u);
    EXPECT_EQ(spring[0], 1774652400);  // 28 March 00:00 local
    EXPECT_EQ(spring[2] - spring[1], 23 * kH);
    EXPECT_EQ(spring[3] - spring[2], 24 * kH);
}

TEST(GuideGrid, NoRowsOrEmptyRowsNeverCrash)
{
    const std::vector<GridRow> none;
    const GridContext c = Context(none, kDay0);
    GridState s = StateAtNow(c, 0);
    for (GridMove m : {GridMove::Left, GridMove::Right, GridMove::Up, GridMove::Down, GridMove::PageUp,
                       GridMove::PageDown, GridMove::Home})
        s = Navigate(c, s, m);
    EXPECT_EQ(s.place, GridPlace{});
    GridGeometry tiny;
    EXPECT_TRUE(LayOutBoxes(none, tiny, s.view, kDay0).empty());
    EXPECT_TRUE(HalfHourMarks(tiny, s.view, Winter).empty());
}

TEST(GuideGrid, DetailsShowEveryPartAndTheWholeDescription)
{
    GuideEntry e = Event({1, 2, 3}, kDay0 + 19 * kH + 50 * 60, 105, "L'\xC3\xA9t\xC3\xA9 meurtrier");
    e.subtitle = "Film de Jean Becker";
    e.content = 0x10;
    e.minimumAge = 12;
    e.flags = kFlagHighDefinition | kFlagWideScreen | kFlagAudioDescription | kFlagDeafSubtitles;
    const std::string longText(5000, 'x');
    e.description = "R\xC3\xA9" "alisateur : Jean Becker\nActeurs : Isabelle Adjani\n" + longText;
    EXPECT_EQ(EventDetails(e, "France 2", Winter),
              "mercredi 9 d\xC3\xA9" "cembre 2026, 20:50 - 22:35\r\nFrance 2\r\nL'\xC3\xA9t\xC3\xA9 meurtrier\r\n"
              "Film de Jean Becker\r\n"
              "Film \xC2\xB7 D\xC3\xA9" "conseill\xC3\xA9 aux moins de 12 ans (-12) \xC2\xB7 HD \xC2\xB7 16:9 \xC2\xB7 "
              "Audiodescription \xC2\xB7 Sous-titres pour sourds et malentendants\r\n\r\n"
              "R\xC3\xA9" "alisateur : Jean Becker\r\nActeurs : Isabelle Adjani\r\n" +
                  longText);

    GuideEntry bare = Event({1, 2, 3}, kDay0, 30, "Info\r\nflash");
    EXPECT_EQ(EventDetails(bare, "Un", Winter), "mercredi 9 d\xC3\xA9" "cembre 2026, 01:00 - 01:30\r\nUn\r\nInfo\r\nflash");
    EXPECT_EQ(SearchResultLine(bare, "Un", Winter), "mer. 9  01:00  Un  Info  flash");
}

TEST(GuideGrid, NewScheduleKeepsTheSelectionAndTheView)
{
    const std::int64_t t = kDay0 + 19 * kH;
    const std::vector<GridRow> before = Rows();
    // Row 0 holds A1 A2 A3 A4 A5; A2 (event_id 0 like all of them) is selected.
    const GridView view{t - kH, 1};
    const GridState selectedA2{view, {0, 1}};
    auto withRow0 = [&](std::vector<GuideEntry> events) {
        std::vector<GridRow> rows = before;
        rows[0].events = std::move(events);
        return rows;
    };
    GuideEntry a2 = before[0].events[1];
    a2.eventId = 42;
    GuideEntry a2Moved = a2;
    a2Moved.start += 20 * 60;
    GuideEntry other = Event(before[0].key, t + 50 * 60, 100, "Autre");
    other.eventId = 43;
    struct Case {
        const char* name;
        std::vector<GridRow> rows;
        GridState state;
        std::optional<GuideEntry> selected;
        int event;  // selected afterwards in row 0
    } cases[] = {
        {"a_programme_added_before_it", withRow0({before[0].events[0], Event(before[0].key, t + 50, 10, "Flash"), a2}),
         selectedA2, a2, 2},
        {"moved_by_a_new_version", withRow0({before[0].events[0], a2Moved}), selectedA2, a2, 1},
        {"replaced_by_another_at_its_time", withRow0({before[0].events[0], other}), selectedA2, a2, 1},
        {"its_row_emptied", withRow0({}), selectedA2, a2, -1},
        {"opened_before_the_schedule_goes_to_now", before, {view, {0, -1}}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const GridContext context{c.rows, GridGeometry{800, 400}, t + 10 * 60, Winter};
        const GridState after = KeepPlace(context, c.state, c.selected);
        EXPECT_EQ(after.place, (GridPlace{0, c.event})) << c.name;
        // The view stays, unless there was nothing to keep: then it goes to now.
        EXPECT_EQ(after.view.start, c.selected ? view.start : t) << c.name;
    }
    EXPECT_TRUE(SameSchedule(before, Rows()));
    EXPECT_FALSE(SameSchedule(before, withRow0({before[0].events[0], a2})));
    std::vector<GridRow> retitled = before;
    retitled[2].events.push_back(Event(before[2].key, t, 10, "Nouveau"));
    EXPECT_FALSE(SameSchedule(before, retitled));
}

TEST(GuideGrid, ClockNoticeOnlyBeyondAMinute)
{
    struct Case {
        std::optional<std::int64_t> difference;
        std::string start;  // of the notice; empty: no notice
    } cases[] = {
        {std::nullopt, ""},
        {0, ""},
        {60, ""},
        {-60, ""},
        {61, "L'horloge du PC avance de 1 min "},
        {-125, "L'horloge du PC retarde de 2 min "},
        {3 * 3600 + 5 * 60, "L'horloge du PC avance de 3 h 5 min "},
    };
    for (const Case& c : cases) {
        const std::string notice = ClockNotice(c.difference);
        if (c.start.empty())
            EXPECT_EQ(notice, "");
        else
            EXPECT_EQ(notice.substr(0, c.start.size()), c.start);
    }
}

}  // namespace
