// How the command line picks the mode, and the order of the pages.
#include <gtest/gtest.h>

#include <vector>

#include "shell/page_sequence.h"
#include "shell/setup.h"

TEST(ChooseSetupMode, OnlyHyphenThenLowerCaseU) {
    EXPECT_EQ(SETUP_MODE_REREGISTER, ChooseSetupMode("-u"));
    EXPECT_EQ(SETUP_MODE_REREGISTER, ChooseSetupMode("-ux"));
    EXPECT_EQ(SETUP_MODE_REREGISTER, ChooseSetupMode("-u extra"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode("-U"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode(" -u"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode("/u"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode("u"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode("-"));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode(""));
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode(NULL));
}

struct Row {
    int page;
    short result;
    int next;
};

TEST(NextPageStep, EveryRowOfTheTable) {
    const Row rows[] = {
        {PAGE_WELCOME, 0, SEQUENCE_END},         {PAGE_WELCOME, 1, PAGE_MOUSE_TYPE},
        {PAGE_WELCOME, 2, PAGE_MOUSE_TYPE}, // a stale Back counts as Next
        {PAGE_WELCOME, -1, PAGE_MOUSE_TYPE},     {PAGE_MOUSE_TYPE, 0, SEQUENCE_END},
        {PAGE_MOUSE_TYPE, 2, PAGE_WELCOME},      {PAGE_MOUSE_TYPE, 1, PAGE_DESTINATION},
        {PAGE_MOUSE_TYPE, 3, PAGE_DESTINATION},  {PAGE_DESTINATION, 0, SEQUENCE_END},
        {PAGE_DESTINATION, 2, PAGE_MOUSE_TYPE},  {PAGE_DESTINATION, 1, PAGE_INSTALL},
        {PAGE_DESTINATION, 32767, PAGE_INSTALL}, {PAGE_INSTALL, 0, SEQUENCE_END},
        {PAGE_INSTALL, 1, SEQUENCE_COMPLETE},    {PAGE_INSTALL, 2, SEQUENCE_COMPLETE},
        {PAGE_FINISH, 1, SEQUENCE_END}, // not part of the walk
        {PAGE_COUNT, 1, SEQUENCE_END},
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.next, NextPageStep(row.page, row.result))
            << "page " << row.page << " result " << row.result;
}

// Scripted page results, and what the walk did with them.
static std::vector<short> Script;
static size_t ScriptAt;
static std::vector<int> Shown;
static std::vector<int> CopyPreparedAfter; // pages shown when the hook ran

static short ScriptedPage(int page) {
    Shown.push_back(page);
    if (ScriptAt >= Script.size())
        return 0; // a runaway walk ends as a cancel
    return Script[ScriptAt++];
}

static void NoteCopyPrepared(void) {
    CopyPreparedAfter.push_back((int)Shown.size());
}

static int Walk(std::vector<short> results) {
    Script = results;
    ScriptAt = 0;
    Shown.clear();
    CopyPreparedAfter.clear();
    return WalkPages(ScriptedPage, NoteCopyPrepared);
}

TEST(WalkPages, StraightThroughClosesTheApplicationBeforeTheCopy) {
    EXPECT_EQ(SEQUENCE_COMPLETE, Walk({1, 1, 1, 1}));
    EXPECT_EQ((std::vector<int>{PAGE_WELCOME, PAGE_MOUSE_TYPE, PAGE_DESTINATION, PAGE_INSTALL}),
              Shown);
    EXPECT_EQ(std::vector<int>{3}, CopyPreparedAfter);
}

TEST(WalkPages, BackAndForth) {
    // Back from the destination, Back from the mouse type, then on to the end.
    EXPECT_EQ(SEQUENCE_COMPLETE, Walk({1, 1, 2, 2, 1, 1, 1, 1}));
    EXPECT_EQ((std::vector<int>{PAGE_WELCOME, PAGE_MOUSE_TYPE, PAGE_DESTINATION, PAGE_MOUSE_TYPE,
                                PAGE_WELCOME, PAGE_MOUSE_TYPE, PAGE_DESTINATION, PAGE_INSTALL}),
              Shown);
    EXPECT_EQ(std::vector<int>{7}, CopyPreparedAfter);
}

TEST(WalkPages, CancelOnAnyPageEndsWithoutTheCopy) {
    EXPECT_EQ(SEQUENCE_END, Walk({0}));
    EXPECT_EQ(std::vector<int>{PAGE_WELCOME}, Shown);
    EXPECT_EQ(SEQUENCE_END, Walk({1, 0}));
    EXPECT_EQ(2u, Shown.size());
    EXPECT_EQ(SEQUENCE_END, Walk({1, 1, 0}));
    EXPECT_EQ(3u, Shown.size());
    EXPECT_TRUE(CopyPreparedAfter.empty());
}

TEST(WalkPages, CancelOnTheCopyPageEndsAfterIt) {
    EXPECT_EQ(SEQUENCE_END, Walk({1, 1, 1, 0}));
    EXPECT_EQ(PAGE_INSTALL, Shown.back());
    EXPECT_EQ(std::vector<int>{3}, CopyPreparedAfter);
}

TEST(WalkPages, WorksWithoutAHook) {
    Script = {2, 1, 1, 5};
    ScriptAt = 0;
    Shown.clear();
    EXPECT_EQ(SEQUENCE_COMPLETE, WalkPages(ScriptedPage, NULL));
    EXPECT_EQ(4u, Shown.size());
}

// The running mouse application is found by its title and closed.
static int CloseRequests;

static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        CloseRequests++;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(CloseMouseApplication, SendsCloseToTheWindowByTitle) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ApplicationProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ShellMouseApplication";
    ASSERT_NE(0, RegisterClassA(&wc));
    HWND bystander = CreateWindowA("ShellMouseApplication", "Dorvantix Help", WS_OVERLAPPED, 0, 0,
                                   40, 40, NULL, NULL, wc.hInstance, NULL);
    HWND application = CreateWindowA("ShellMouseApplication", "Dorvantix", WS_OVERLAPPED, 0, 0, 40,
                                     40, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, application);
    CloseMouseApplication();
    EXPECT_EQ(1, CloseRequests);
    EXPECT_FALSE(IsWindow(application)) << "the default handling destroys it";
    EXPECT_TRUE(IsWindow(bystander)) << "only the exact title is closed";
    // Nothing left to close: no error, nothing sent.
    CloseMouseApplication();
    EXPECT_EQ(1, CloseRequests);
    DestroyWindow(bystander);
}
