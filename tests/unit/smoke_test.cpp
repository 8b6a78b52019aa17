#include <gtest/gtest.h>
#include "shell/setup.h"

TEST(Smoke, StringTableIsLinked)
{
    char text[128];
    ASSERT_GT(LoadStringA(GetModuleHandleA(NULL), 20, text, sizeof text), 0);
    EXPECT_STREQ("SETUP.INF Reading error !", text);
}
