// The text ring, and the bounded copy and join everyone relies on.
#include <gtest/gtest.h>

#include <string.h>

#include "shell/setup.h"

// Texts of this test program's own string table (shell_text_ring_test.rc).
#define LONG_TEXT 4000
#define ALPHA 4001
#define BETA 4002
#define GAMMA 4003
#define DELTA 4004
#define EPSILON 4005
#define NO_TEXT 4010

// The very first call of the process, made before any test runs, so that the
// ring's starting slot can be checked whatever tests are selected.
static const char *FirstText = (AppInstance = GetModuleHandleA(NULL), ResourceText(ALPHA));

// Which slot a text lives in, counted from the first call's slot.
static int SlotOf(const char *text) {
    return (int)((text - FirstText) / 128);
}

TEST(TextRing, FirstCallFillsTheLowestSlotAndTheFifthReusesIt) {
    ASSERT_NE(nullptr, FirstText);
    EXPECT_STREQ("alpha", FirstText);
    // Whatever ran before, four calls in a row use four slots in order.
    const char *texts[5];
    texts[0] = ResourceText(ALPHA);
    texts[1] = ResourceText(BETA);
    texts[2] = ResourceText(GAMMA);
    texts[3] = ResourceText(DELTA);
    texts[4] = ResourceText(EPSILON);
    for (int i = 0; i < 5; i++)
        ASSERT_NE(nullptr, texts[i]);
    int seen = 0;
    for (int i = 0; i < 4; i++) {
        int slot = SlotOf(texts[i]);
        ASSERT_GE(slot, 0) << "the first call did not use the lowest slot";
        ASSERT_LT(slot, 4);
        EXPECT_EQ(0, texts[i] - FirstText - 128 * slot) << "slots are 128 bytes apart";
        EXPECT_EQ((SlotOf(texts[0]) + i) % 4, slot);
        seen |= 1 << slot;
    }
    EXPECT_EQ(0xF, seen);
    // The three texts after the first are still there; the first is gone.
    EXPECT_STREQ("beta", texts[1]);
    EXPECT_STREQ("gamma", texts[2]);
    EXPECT_STREQ("delta", texts[3]);
    EXPECT_EQ(texts[0], texts[4]);
    EXPECT_STREQ("epsilon", texts[0]);
}

TEST(TextRing, MissingTextIsNullAndStillUsesItsSlot) {
    const char *before = ResourceText(ALPHA);
    ASSERT_NE(nullptr, before);
    EXPECT_EQ(nullptr, ResourceText(NO_TEXT));
    const char *after = ResourceText(BETA);
    ASSERT_NE(nullptr, after);
    EXPECT_EQ((SlotOf(before) + 2) % 4, SlotOf(after));
    // The missing text did not touch the slots around it.
    EXPECT_STREQ("alpha", before);
    EXPECT_STREQ("beta", after);
}

TEST(TextRing, LongTextIsCutTo127Characters) {
    const char *text = ResourceText(LONG_TEXT);
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(127u, strlen(text));
    for (int i = 0; i < 127; i++)
        ASSERT_EQ('A' + i % 26, text[i]) << "at " << i;
    // The cut stays inside its slot: the next text is whole.
    const char *next = ResourceText(GAMMA);
    EXPECT_STREQ("gamma", next);
    EXPECT_EQ(127u, strlen(text));
}

TEST(TextRing, ProductTextsComeThroughTheRing) {
    AppInstance = GetModuleHandleA(NULL);
    EXPECT_STREQ("SETUP.INF Reading error !", ResourceText(20));
}

TEST(CopyText, CopiesWhatFitsAndTerminates) {
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, "abc"));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, "abcdefg")); // exactly full
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, ""));
    EXPECT_STREQ("", buffer);
}

TEST(CopyText, CutsTooLongTextAndSaysSo) {
    char buffer[10];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0, CopyText(buffer, 8, "abcdefgh"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ('x', buffer[8]) << "wrote past its capacity";
    EXPECT_EQ(0, CopyText(buffer, 1, "a"));
    EXPECT_STREQ("", buffer);
}

TEST(CopyText, NoCapacityWritesNothing) {
    char buffer[4] = {'q', 'q', 'q', 'q'};
    EXPECT_EQ(0, CopyText(buffer, 0, "abc"));
    EXPECT_EQ(0, CopyText(buffer, -5, "abc"));
    EXPECT_EQ(0, memcmp(buffer, "qqqq", 4));
    EXPECT_EQ(0, AppendText(buffer, 0, "abc"));
    EXPECT_EQ(0, AppendText(buffer, -1, "abc"));
    EXPECT_EQ(0, memcmp(buffer, "qqqq", 4));
}

TEST(AppendText, JoinsWithinCapacity) {
    char buffer[12];
    memset(buffer, 'x', sizeof buffer);
    CopyText(buffer, 8, "C:\\");
    EXPECT_EQ(1, AppendText(buffer, 8, "AB"));
    EXPECT_STREQ("C:\\AB", buffer);
    EXPECT_EQ(1, AppendText(buffer, 8, "CD")); // exactly full
    EXPECT_STREQ("C:\\ABCD", buffer);
    EXPECT_EQ(1, AppendText(buffer, 8, ""));
    EXPECT_EQ(0, AppendText(buffer, 8, "E"));
    EXPECT_STREQ("C:\\ABCD", buffer);
    EXPECT_EQ('x', buffer[8]);
}

TEST(AppendText, CutsTheTailAndTerminates) {
    char buffer[10];
    memset(buffer, 'x', sizeof buffer);
    CopyText(buffer, 6, "ab");
    EXPECT_EQ(0, AppendText(buffer, 6, "cdefgh"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_EQ('x', buffer[6]);
}

TEST(AppendText, UnterminatedDestinationIsTerminatedNotOverrun) {
    char buffer[6];
    memset(buffer, 'y', sizeof buffer);
    EXPECT_EQ(0, AppendText(buffer, 4, "z"));
    EXPECT_EQ('\0', buffer[3]);
    EXPECT_EQ('y', buffer[4]);
}
