#include "standins/renderer/video_placement.h"

#include <gtest/gtest.h>

using namespace standin;

TEST(VideoPlacement, LetterBoxKeepsTheShapeAndCentres)
{
    // A 4:3 picture in a wide 800 x 400 window: pillar bars left and right.
    VideoPlacement p = PlaceVideo({0, 0, 800, 400}, {0, 0, 720, 576}, 720, 576, 4, 3, true);
    EXPECT_EQ((Box{133, 0, 666, 400}), p.picture);
    ASSERT_EQ(2u, p.bars.size());
    EXPECT_EQ((Box{0, 0, 133, 400}), p.bars[0]);
    EXPECT_EQ((Box{666, 0, 800, 400}), p.bars[1]);

    // Same picture in a tall window: bars above and below; square pixels without aspect.
    p = PlaceVideo({10, 20, 410, 820}, {0, 0, 720, 576}, 720, 576, 0, 0, true);
    EXPECT_EQ((Box{10, 260, 410, 580}), p.picture);
    ASSERT_EQ(2u, p.bars.size());
    EXPECT_EQ((Box{10, 20, 410, 260}), p.bars[0]);
    EXPECT_EQ((Box{10, 580, 410, 820}), p.bars[1]);

    // Exact fit: no bars.
    p = PlaceVideo({0, 0, 640, 480}, {0, 0, 720, 576}, 720, 576, 4, 3, true);
    EXPECT_EQ((Box{0, 0, 640, 480}), p.picture);
    EXPECT_TRUE(p.bars.empty());
}

TEST(VideoPlacement, StretchAndDegenerateRectangles)
{
    VideoPlacement p = PlaceVideo({0, 0, 800, 400}, {0, 0, 720, 576}, 720, 576, 4, 3, false);
    EXPECT_EQ((Box{0, 0, 800, 400}), p.picture);
    EXPECT_TRUE(p.bars.empty());

    p = PlaceVideo({0, 0, 0, 400}, {0, 0, 720, 576}, 720, 576, 4, 3, true);
    EXPECT_TRUE(p.picture.Empty());
    EXPECT_TRUE(p.bars.empty());
    p = PlaceVideo({0, 0, 1, 1}, {0, 0, 720, 576}, 720, 576, 4, 3, true);
    EXPECT_LE(p.picture.Width(), 1);
}

TEST(VideoPlacement, SourceRectangleIsClippedToThePicture)
{
    EXPECT_EQ((Box{0, 0, 720, 576}), ClipSource({}, 720, 576));
    EXPECT_EQ((Box{0, 0, 720, 576}), ClipSource({800, 0, 900, 10}, 720, 576));
    EXPECT_EQ((Box{100, 0, 720, 300}), ClipSource({100, -5, 5000, 300}, 720, 576));
}
