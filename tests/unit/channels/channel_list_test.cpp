#include "channels/chaine.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

Chaine Numbered(std::int32_t numero, const char* name)
{
    Chaine c = MakeEmptyChaine();
    c.Numero = numero;
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    return c;
}

std::string Names(const ChannelList& list)
{
    std::string s;
    for (const Chaine& c : list)
        s += c.Nom;
    return s;
}

TEST(ChannelList, EmptyRecordIsAllZero)
{
    Chaine c = MakeEmptyChaine();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&c);
    for (std::size_t i = 0; i < sizeof c; ++i)
        ASSERT_EQ(p[i], 0u) << "byte " << i;
}

TEST(ChannelList, SortGivesTheExchangeSortOrderForEqualNumbers)
{
    // 2 (P), 2 (Q), 1 (R) ends as R, Q, P: the sort is not stable.
    ChannelList list{Numbered(2, "P"), Numbered(2, "Q"), Numbered(1, "R")};
    SortByNumero(list);
    EXPECT_EQ(Names(list), "RQP");

    ChannelList three{Numbered(3, "c"), Numbered(1, "a"), Numbered(2, "b")};
    SortByNumero(three);
    EXPECT_EQ(Names(three), "abc");
}

TEST(ChannelList, SortPutsUnnumberedFirstAndLeavesAllZeroAlone)
{
    ChannelList zeros{Numbered(0, "x"), Numbered(0, "y"), Numbered(0, "z")};
    SortByNumero(zeros);
    EXPECT_EQ(Names(zeros), "xyz");

    ChannelList mixed{Numbered(5, "e"), Numbered(0, "n"), Numbered(-1, "m"), Numbered(1, "a")};
    SortByNumero(mixed);
    EXPECT_EQ(Names(mixed), "mnae");  // signed comparison
}

TEST(ChannelList, FindByNumeroReturnsTheFirstMatch)
{
    ChannelList list;
    EXPECT_EQ(FindByNumero(list, 0), -1);
    for (int i = 0; i < 9; ++i)
        list.push_back(Numbered(i == 3 || i == 7 ? 5 : 10 + i, "c"));
    EXPECT_EQ(FindByNumero(list, 5), 3);
    EXPECT_EQ(FindByNumero(list, 99), -1);
}

TEST(ChannelList, RemoveAtShiftsLaterRecordsUp)
{
    ChannelList list{Numbered(1, "a"), Numbered(2, "b"), Numbered(3, "c")};
    RemoveAt(list, 0);
    EXPECT_EQ(Names(list), "bc");
    RemoveAt(list, 5);  // out of range: nothing
    EXPECT_EQ(Names(list), "bc");
}

TEST(ChannelList, AppendKeepsA255ByteName)
{
    Chaine c = MakeEmptyChaine();
    std::memset(c.Nom, 'x', 255);
    ChannelList list;
    list.push_back(c);
    EXPECT_EQ(std::strlen(list[0].Nom), 255u);
    EXPECT_EQ(list[0].Nom[255], '\0');
}

TEST(ChannelList, ValidIndex)
{
    ChannelList list{Numbered(1, "a"), Numbered(2, "b")};
    EXPECT_TRUE(IsValidChannelIndex(list, 0));
    EXPECT_TRUE(IsValidChannelIndex(list, 1));
    EXPECT_FALSE(IsValidChannelIndex(list, 2));
    EXPECT_FALSE(IsValidChannelIndex(list, -1));
}

}  // namespace

#include "channels/psi/crc32.h"

namespace {

TEST(Crc32Mpeg, KnownValuesAndSelfCheck)
{
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32Mpeg(digits, sizeof digits), 0x0376E6E7u);  // CRC-32/MPEG-2 check value

    // A PAT with one programme; appending its CRC makes the whole section check to 0.
    std::uint8_t pat[16] = {0x00, 0xB0, 0x0D, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x00, 0x01, 0xE1, 0x00};
    const std::uint32_t crc = Crc32Mpeg(pat, 12);
    for (int i = 0; i < 4; ++i)
        pat[12 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(Crc32Mpeg(pat, 16), 0u);
}

}  // namespace
