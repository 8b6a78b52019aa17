// Caption, centring and the product name in template texts.
#include <gtest/gtest.h>

#include <string.h>

#include "pages/page_host.h"

namespace {

TEST(PageCaption, ProductNameBlankAndTemplateCaption) {
    char out[PAGE_TEXT];
    EXPECT_EQ(1, BuildPageCaption(out, sizeof out, "Velor Scroll Mouse", "Setup"));
    EXPECT_STREQ("Velor Scroll Mouse Setup", out);
    EXPECT_EQ(1, BuildPageCaption(out, sizeof out, "", "Setup"));
    EXPECT_STREQ(" Setup", out);
}

TEST(PageCaption, TooLongIsCutAndTerminated) {
    char longCaption[PAGE_TEXT];
    memset(longCaption, 'c', sizeof longCaption - 1);
    longCaption[sizeof longCaption - 1] = '\0';
    char out[PAGE_TEXT];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, BuildPageCaption(out, sizeof out, "Velor", longCaption));
    EXPECT_EQ(PAGE_TEXT - 1, (int)strlen(out));
    EXPECT_EQ(0, strncmp("Velor c", out, 7));
}

PagePlacement Centre(LONG left, LONG top, LONG right, LONG bottom, short w, short h) {
    RECT window = {left, top, right, bottom};
    PagePlacement place;
    CentrePage(&window, w, h, &place);
    return place;
}

TEST(PageCentring, OnePixelMoreThanTheExtentAndCentred) {
    PagePlacement p = Centre(0, 0, 427, 328, 1024, 768);
    EXPECT_EQ(428, p.width);
    EXPECT_EQ(329, p.height);
    EXPECT_EQ(298, p.x); // (1024 - 428) / 2
    EXPECT_EQ(219, p.y); // (768 - 329) / 2 = 219.5

    // Only the extent counts, not where the window was.
    p = Centre(100, 200, 527, 528, 640, 480);
    EXPECT_EQ(428, p.width);
    EXPECT_EQ(329, p.height);
    EXPECT_EQ(106, p.x);
    EXPECT_EQ(75, p.y); // 75.5 truncated
}

TEST(PageCentring, LargerThanTheScreenTruncatesTowardZero) {
    PagePlacement p = Centre(0, 0, 700, 500, 640, 480);
    EXPECT_EQ(701, p.width);
    EXPECT_EQ(501, p.height);
    EXPECT_EQ(-30, p.x); // -61 / 2 toward zero, not -31
    EXPECT_EQ(-10, p.y); // -21 / 2
}

TEST(PageCentring, SixteenBitArithmetic) {
    // 40001 does not fit a signed 16-bit width: it wraps to -25535.
    PagePlacement p = Centre(0, 0, 40000, 99, 1024, 768);
    EXPECT_EQ(-25535, p.width);
    EXPECT_EQ(13279, p.x); // (1024 + 25535) / 2
    EXPECT_EQ(100, p.height);
    EXPECT_EQ(334, p.y);
}

TEST(ProductText, NameGoesWhereThePercentSIs) {
    char out[PAGE_TEXT];
    EXPECT_EQ(1, FormatProductText(out, sizeof out,
                                   " This program will install %s into your computer.",
                                   "Velor Scroll Mouse"));
    EXPECT_STREQ(" This program will install Velor Scroll Mouse into your computer.", out);
    EXPECT_EQ(1, FormatProductText(out, sizeof out, "You have installed %s Successfully !", ""));
    EXPECT_STREQ("You have installed  Successfully !", out);
    EXPECT_EQ(1, FormatProductText(out, sizeof out, "100%% %d %", "x"));
    EXPECT_STREQ("100% %d %", out);
}

TEST(ProductText, ThirtyOneCharacterNameFitsAndLongerOutputIsCut) {
    const char *name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
    ASSERT_EQ(31u, strlen(name));
    char out[PAGE_TEXT];
    EXPECT_EQ(1, FormatProductText(out, sizeof out,
                                   " This program will install %s into your computer.", name));
    EXPECT_EQ(strlen(" This program will install  into your computer.") + 31, strlen(out));

    char format[PAGE_TEXT];
    memset(format, 'f', sizeof format - 3);
    strcpy(format + sizeof format - 3, "%s");
    EXPECT_EQ(0, FormatProductText(out, sizeof out, format, name));
    EXPECT_EQ(PAGE_TEXT - 1, (int)strlen(out));
    EXPECT_EQ('A', out[PAGE_TEXT - 3]);
}

} // namespace
