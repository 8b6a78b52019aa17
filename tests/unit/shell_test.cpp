// The shell's own pieces: text ring, bounded copy and join, the wait and the
// one-message pump, the mode, the page walk and closing the mouse application.
#include <gtest/gtest.h>

#include <algorithm>
#include <string.h>
#include <string>
#include <vector>

#include "shell/page_sequence.h"
#include "shell/setup.h"

// The process's first text, before any test runs: it must land in slot 0.
static const char *const Slot0 = (AppInstance = GetModuleHandleA(NULL), ResourceText(4001));

TEST(TextRing, SlotsInTurnMissingTextsUseOneLongTextsAreCut) {
    std::string cut; // the 130 letters of text 4000, cut to 127
    for (int i = 0; i < 127; i++)
        cut += (char)('A' + i % 26);
    const struct {
        short id;
        const char *text;
    } calls[] = {
        {4002, "beta"}, {4003, "gamma"}, {4010, NULL}, {4000, cut.c_str()}, {4001, "alpha"}};
    ASSERT_STREQ("alpha", Slot0);
    const char *texts[5], *first = ResourceText(4001);
    for (int i = 0; i < 5; i++) {
        texts[i] = ResourceText(calls[i].id);
        // Slot0 is the lowest slot: every text lies 0 to 3 slots above it.
        EXPECT_EQ(calls[i].text ? Slot0 + (first - Slot0 + 128 * (i + 1)) % 512 : NULL, texts[i]);
    }
    // Each text still stands after the three calls that follow it.
    EXPECT_EQ("gamma" + cut + "alpha", std::string(texts[1]) + texts[3] + texts[4]);
}

TEST(BoundedText, CopyAndAppendNeverWritePastTheCapacity) {
    // start: copied in first (NULL: the buffer stays all 'x', unterminated);
    // the whole buffer after the call, '.' for a terminator.
    // clang-format off
    const struct { bool append; const char *start; int cap; const char *text; int fit;
                   const char *buffer; } rows[] = {
        {false, NULL, 8, "abc", 1, "abc.xxxxxxxx"},   {false, NULL, 8, "abcdefg", 1, "abcdefg.xxxx"},
        {false, NULL, 8, "", 1, ".xxxxxxxxxxx"},      {false, NULL, 8, "abcdefgh", 0, "abcdefg.xxxx"},
        {false, NULL, 1, "a", 0, ".xxxxxxxxxxx"},     {false, NULL, 0, "abc", 0, "xxxxxxxxxxxx"},
        {false, NULL, -5, "abc", 0, "xxxxxxxxxxxx"},  {true, NULL, 0, "abc", 0, "xxxxxxxxxxxx"},
        {true, NULL, -1, "abc", 0, "xxxxxxxxxxxx"},   {true, "C:\\", 8, "AB", 1, "C:\\AB.xxxxxx"},
        {true, "C:\\AB", 8, "CD", 1, "C:\\ABCD.xxxx"}, {true, "C:\\ABCD", 8, "", 1, "C:\\ABCD.xxxx"},
        {true, "C:\\ABCD", 8, "E", 0, "C:\\ABCD.xxxx"}, {true, "ab", 6, "cdefgh", 0, "abcde.xxxxxx"},
        {true, NULL, 4, "z", 0, "xxx.xxxxxxxx"}, // unterminated: terminated, not overrun
    };
    // clang-format on
    for (const auto &row : rows) {
        char buffer[12];
        memset(buffer, 'x', sizeof buffer);
        if (row.start)
            CopyText(buffer, row.cap, row.start);
        int fit = row.append ? AppendText(buffer, row.cap, row.text)
                             : CopyText(buffer, row.cap, row.text);
        std::string image(buffer, sizeof buffer);
        std::replace(image.begin(), image.end(), '\0', '.');
        EXPECT_EQ(std::to_string(row.fit) + row.buffer, std::to_string(fit) + image) << row.cap;
    }
}

// Windows that record the commands and close requests they receive.
static std::vector<WPARAM> Handled;
static int Closes;

static LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Closes += message == WM_CLOSE;
    if (message == WM_COMMAND)
        Handled.push_back(wParam);
    return message == WM_COMMAND ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

static HWND Window(const char *title, HWND parent = NULL) {
    WNDCLASSA recording = {0, Recording, 0, 0, GetModuleHandleA(NULL)};
    recording.lpszClassName = "ShellTest";
    RegisterClassA(&recording); // fails harmlessly once registered
    return CreateWindowA("ShellTest", title, parent ? WS_CHILD : 0, 0, 0, 9, 9, parent, 0, 0, 0);
}

// The commands still queued, in order; the queue is empty afterwards.
static std::vector<WPARAM> Queued() {
    std::vector<WPARAM> left;
    for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
        if (message.message == WM_COMMAND)
            left.push_back(message.wParam);
    return left;
}

TEST(MessageQueue, PumpTakesOneMessageAWholeOneIsCancelTheWaitDropsInput) {
    HWND page = Window("page"), windows[3] = {page, Window("child", page), Window("other")};
    const long long PUMP = -1; // the page pumped once per result instead of a wait
    // Posted to 0 the page, 1 its child, 2 another window; the results, the
    // commands handled and those left queued.
    // clang-format off
    const struct { std::vector<std::pair<int, WPARAM>> posted; long long wait;
                   std::vector<int> results; std::vector<WPARAM> handled, left; } rows[] = {
        {{{0, 7}}, 0, {}, {}, {7}},                     // a wait of 0 is none
        {{{0, 8}}, 0xFFFFFFFF, {}, {}, {8}},            // nor one whose end wraps
        {{{0, 1}, {2, 2}, {1, 3}}, 60, {}, {}, {}},     // input during a wait is dropped
        {{}, PUMP, {1}, {}, {}},                        // nothing queued
        {{{0, 1}, {0, 4}}, PUMP, {0}, {}, {4}},         // cancel: taken, not dispatched
        {{{1, 5}, {0, 1}}, PUMP, {1, 0}, {5}, {}},      // a child's message is the page's
        {{{0, MAKEWPARAM(1, 1)}}, PUMP, {1}, {MAKEWPARAM(1, 1)}, {}}, // the whole wParam counts
        {{{2, 1}}, PUMP, {1}, {}, {1}},                 // other windows' messages stay
    };
    // clang-format on
    for (const auto &row : rows) {
        Queued();
        Handled.clear();
        for (const auto &post : row.posted)
            PostMessageA(windows[post.first], WM_COMMAND, post.second, 0);
        std::vector<int> results;
        while (row.wait == PUMP && results.size() < row.results.size())
            results.push_back(ServiceOneMessage(page));
        if (row.wait != PUMP)
            WaitMilliseconds((DWORD)row.wait);
        EXPECT_EQ(row.results, results) << &row - rows;
        EXPECT_EQ(row.handled, Handled) << &row - rows;
        EXPECT_EQ(row.left, Queued()) << &row - rows;
    }
}

TEST(ChooseSetupMode, OnlyAHyphenThenALowerCaseU) {
    const std::pair<const char *, int> modes[] = {
        {"-u", SETUP_MODE_REREGISTER}, {"-ux", SETUP_MODE_REREGISTER}, {"-U", SETUP_MODE_NORMAL},
        {" -u", SETUP_MODE_NORMAL},    {"/u", SETUP_MODE_NORMAL},      {"", SETUP_MODE_NORMAL}};
    for (const auto &mode : modes)
        EXPECT_EQ(mode.second, ChooseSetupMode(mode.first)) << mode.first;
}

// Scripted page results; the pages shown and when the copy was prepared (the
// number of pages shown by then).
static std::vector<short> Results;
static std::vector<int> Shown, Prepared;

static short ScriptedPage(int page) {
    Shown.push_back(page);
    return Shown.size() <= Results.size() ? Results[Shown.size() - 1] : 0;
}

TEST(WalkPages, BackChainsCancelsAndTheApplicationClosedOnceBeforeTheCopy) {
    const int W = PAGE_WELCOME, M = PAGE_MOUSE_TYPE, D = PAGE_DESTINATION, I = PAGE_INSTALL;
    // clang-format off
    const struct { std::vector<short> results; int ends; std::vector<int> shown, prepared; } rows[] = {
        {{1, 1, 1, 1}, SEQUENCE_COMPLETE, {W, M, D, I}, {3}},
        {{1, 1, 2, 2, 1, 1, 1, 1}, SEQUENCE_COMPLETE, {W, M, D, M, W, M, D, I}, {7}},
        {{0}, SEQUENCE_END, {W}, {}},                   {{1, 0}, SEQUENCE_END, {W, M}, {}},
        {{1, 1, 0}, SEQUENCE_END, {W, M, D}, {}},       {{1, 1, 1, 0}, SEQUENCE_END, {W, M, D, I}, {3}},
        // A stale 2 on the welcome page is Next; other values go forward.
        {{2, 3, -1, 2}, SEQUENCE_COMPLETE, {W, M, D, I}, {3}},
    };
    // clang-format on
    for (const auto &row : rows) {
        Results = row.results;
        Shown.clear();
        Prepared.clear();
        EXPECT_EQ(row.ends, WalkPages(ScriptedPage, [] { Prepared.push_back((int)Shown.size()); }));
        EXPECT_EQ(row.shown, Shown);
        EXPECT_EQ(row.prepared, Prepared);
    }
}

TEST(CloseMouseApplication, SendsCloseToTheWindowOfThatExactTitle) {
    HWND bystander = Window("Dorvantix Help"), application = Window("Dorvantix");
    Closes = 0;
    CloseMouseApplication();
    CloseMouseApplication(); // nothing left to close
    EXPECT_EQ(1, Closes);
    EXPECT_FALSE(IsWindow(application));
    EXPECT_TRUE(IsWindow(bystander));
}
