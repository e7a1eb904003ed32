// The now-playing texts: their fields, their byte count and their bound.
#include "app/now_playing_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NowPlayingText, AnnouncesTheNameAndTitleAsFieldsFiveAndSix)
{
    const std::u16string text = NowPlayingText(u"France 2", u"Journal \u00e9t\u00e9");
    EXPECT_EQ(text, u"\\0Music\\01\\0{0} - {1}\\0France 2\\0Journal \u00e9t\u00e9\\0\\0\\0");
    EXPECT_EQ(NowPlayingByteCount(text), (text.size() + 1) * 2);
}

TEST(NowPlayingText, ClearingTextHasNineFieldsAnd46Bytes)
{
    const std::u16string text = NowPlayingClearText();
    EXPECT_EQ(text, u"\\0Music\\00\\0\\0\\0\\0\\0\\0");
    EXPECT_EQ(text.size(), 22u);
    EXPECT_EQ(NowPlayingByteCount(text), 46u);
}

TEST(NowPlayingText, LongTextsStayWithinTheBoundKeepingEveryField)
{
    const std::u16string longName(2000, u'N');
    const std::u16string longTitle(2000, u'T');
    const std::u16string tail = u"\\0\\0\\0";

    const std::u16string titleCut = NowPlayingText(u"Arte", longTitle);
    EXPECT_EQ(titleCut.size() + 1, kNowPlayingMaxUnits);
    EXPECT_EQ(titleCut.substr(titleCut.size() - tail.size()), tail);
    EXPECT_NE(titleCut.find(u"\\0Arte\\0TTT"), std::u16string::npos);

    const std::u16string both = NowPlayingText(longName, longTitle);
    EXPECT_EQ(both.size() + 1, kNowPlayingMaxUnits);
    EXPECT_EQ(both.substr(both.size() - 2 - tail.size()), u"\\0" + tail);  // the title gave all its room
    EXPECT_EQ(NowPlayingByteCount(both), 2 * kNowPlayingMaxUnits);

    // A pair straddling the cut goes whole: no lone high surrogate is left.
    std::u16string pairs;
    for (int i = 0; i < 600; ++i)
        pairs += u"\U0001F4FA";
    const std::u16string cut = NowPlayingText(u"A", pairs);
    EXPECT_LE(cut.size() + 1, kNowPlayingMaxUnits);
    const std::size_t titleEnd = cut.size() - tail.size();
    EXPECT_EQ(cut[titleEnd - 1], u'\xDCFA');
}

}  // namespace
