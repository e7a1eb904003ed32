#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "guide/guide_slots.h"

namespace {

GuideEvent Numbered(std::uint64_t start)
{
    GuideEvent e;
    std::memset(&e, 0, sizeof e);
    e.startTime = start;
    std::snprintf(e.title, sizeof e.title, "%llu", static_cast<unsigned long long>(start));
    std::memset(e.description, 'a' + static_cast<int>(start % 26), sizeof e.description - 1);
    return e;
}

bool Consistent(const GuideEvent& e)
{
    if (e.startTime == 0)
        return e.title[0] == '\0';
    const GuideEvent expected = Numbered(e.startTime);
    return std::memcmp(&e, &expected, sizeof e) == 0;
}

TEST(GuideSlots, ReaderNeverSeesAHalfWrittenSlot)
{
    Chaine channel = MakeEmptyChaine();
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (std::uint64_t n = 1; n <= 20000; ++n)
            StoreGuideEvent(channel, Numbered(n));
        done = true;
    });
    int torn = 0;
    while (!done) {
        const GuideSlots s = ReadGuideSlots(channel);
        torn += !Consistent(s.present) + !Consistent(s.following);
        if (s.following.startTime != 0 && s.present.startTime >= s.following.startTime)
            ++torn;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    const GuideSlots last = ReadGuideSlots(channel);
    EXPECT_EQ(last.present.startTime, 19999u);
    EXPECT_EQ(last.following.startTime, 20000u);
}

TEST(GuideSlots, EqualStartIsRefusedAndSlotsAreCopiedWhole)
{
    Chaine channel = MakeEmptyChaine();
    EXPECT_TRUE(StoreGuideEvent(channel, Numbered(5)));
    GuideEvent same = Numbered(5);
    std::strcpy(same.title, "other");
    EXPECT_FALSE(StoreGuideEvent(channel, same));
    EXPECT_TRUE(StoreGuideEvent(channel, Numbered(3)));
    EXPECT_FALSE(StoreGuideEvent(channel, Numbered(5)));  // now the following event
    const GuideSlots s = ReadGuideSlots(channel);
    EXPECT_TRUE(Consistent(s.present));
    EXPECT_TRUE(Consistent(s.following));
    EXPECT_EQ(s.following.startTime, 5u);
}

}  // namespace
