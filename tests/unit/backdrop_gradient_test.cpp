// Band edges, band colours and picture placement of the backdrop.
#include <gtest/gtest.h>

#include "backdrop/backdrop.h"
#include "resources/resource_ids.h"

namespace {

struct Band {
    short top;
    short bottom;
};

Band EdgesOf(short height, short band) {
    Band edges;
    BandEdges(BandStep(height), band, &edges.top, &edges.bottom);
    return edges;
}

TEST(BackdropGradient, StepIsTheHeightTimesTheSinglePrecisionConstant) {
    EXPECT_EQ(3.0117650032043457f, BandStep(768));
    EXPECT_EQ(1.8823530673980713f, BandStep(480));
    EXPECT_EQ(3.0117650032043457, (double)BandStep(768));
    EXPECT_EQ(1.8823530673980713, (double)BandStep(480));
}

TEST(BackdropGradient, EdgesAt768) {
    const short expectedTops[] = {0, 3, 6, 9, 12};
    for (short i = 0; i < 5; i++)
        EXPECT_EQ(expectedTops[i], EdgesOf(768, i).top) << "band " << i;
    for (short i = 0; i < BACKDROP_BANDS; i++) {
        Band b = EdgesOf(768, i);
        int rows = b.bottom - b.top;
        EXPECT_TRUE(rows == 3 || rows == 4) << "band " << i << " has " << rows << " rows";
    }
    EXPECT_EQ(764, EdgesOf(768, 254).top);
    EXPECT_EQ(768, EdgesOf(768, 254).bottom);
}

TEST(BackdropGradient, EdgesAt480) {
    const short expectedTops[] = {0, 1, 3, 5, 7};
    for (short i = 0; i < 5; i++)
        EXPECT_EQ(expectedTops[i], EdgesOf(480, i).top) << "band " << i;
    for (short i = 0; i < BACKDROP_BANDS; i++) {
        int rows = EdgesOf(480, i).bottom - EdgesOf(480, i).top;
        EXPECT_TRUE(rows == 1 || rows == 2) << "band " << i << " has " << rows << " rows";
    }
    EXPECT_EQ(480, EdgesOf(480, 254).bottom);
}

TEST(BackdropGradient, BandsTileEveryHeightUpTo4096) {
    for (short height = 1; height <= 4096; height++) {
        float step = BandStep(height);
        short previousBottom = 0;
        for (short i = 0; i < BACKDROP_BANDS; i++) {
            short top, bottom;
            BandEdges(step, i, &top, &bottom);
            ASSERT_EQ(previousBottom, top) << "height " << height << " band " << i;
            ASSERT_LE(top, bottom) << "height " << height << " band " << i;
            previousBottom = bottom;
        }
        ASSERT_EQ(height, previousBottom) << "height " << height;
    }
}

TEST(BackdropGradient, ShortScreensHaveEmptyBands) {
    int empty = 0;
    for (short i = 0; i < BACKDROP_BANDS; i++) {
        Band b = EdgesOf(200, i);
        if (b.top == b.bottom)
            empty++;
    }
    EXPECT_EQ(55, empty);
}

TEST(BackdropGradient, ColoursRunFromBlueToAlmostBlack) {
    EXPECT_EQ(RGB(0, 0, 255), BandColour(0));
    EXPECT_EQ(RGB(0, 0, 254), BandColour(1));
    EXPECT_EQ(RGB(0, 0, 1), BandColour(254));
    EXPECT_EQ((COLORREF)0x00FF0000, BandColour(0));
}

TEST(BackdropPictures, TestRectanglesOnA1024By768Screen) {
    short id;
    RECT test;
    ASSERT_EQ(1, BackdropPicture(0, 1024, 768, 0, &id, &test));
    EXPECT_EQ(IDB_BACKDROP_BANNER, id);
    EXPECT_EQ(306, id);
    EXPECT_EQ(20, test.left);
    EXPECT_EQ(10, test.top);
    EXPECT_EQ(320, test.right);
    EXPECT_EQ(60, test.bottom);

    ASSERT_EQ(1, BackdropPicture(1, 1024, 768, 0, &id, &test));
    EXPECT_EQ(305, id);
    EXPECT_EQ(854, test.left);
    EXPECT_EQ(10, test.top);
    EXPECT_EQ(1024, test.right);
    EXPECT_EQ(50, test.bottom);

    ASSERT_EQ(1, BackdropPicture(2, 1024, 768, 0, &id, &test));
    EXPECT_EQ(307, id);
    EXPECT_EQ(20, test.left);
    EXPECT_EQ(708, test.top);
    EXPECT_EQ(600, test.right);
    EXPECT_EQ(758, test.bottom);
}

TEST(BackdropPictures, OemLeavesOutTheBottomPicture) {
    short id;
    RECT test;
    EXPECT_EQ(1, BackdropPicture(0, 640, 480, 1, &id, &test));
    EXPECT_EQ(1, BackdropPicture(1, 640, 480, 1, &id, &test));
    EXPECT_EQ(470, test.left);
    EXPECT_EQ(0, BackdropPicture(2, 640, 480, 1, &id, &test));
    EXPECT_EQ(0, BackdropPicture(2, 640, 480, -7, &id, &test));
    EXPECT_EQ(1, BackdropPicture(2, 640, 480, 0, &id, &test));
    EXPECT_EQ(420, test.top);
    EXPECT_EQ(470, test.bottom);
}

} // namespace
