// The shell's own pieces: the wait and the one-message pump, the mode and the
// page walk.
#include <gtest/gtest.h>

#include "shell/page_sequence.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

// The commands a window of the test received.
static std::string Handled;
static LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Handled += message == WM_COMMAND ? std::to_string(wParam) + " " : "";
    return message == WM_COMMAND ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

TEST(MessageQueue, PumpTakesOneMessageAWholeOneIsCancelTheWaitDropsInput) {
    WNDCLASSA recording = {0, Recording, 0, 0, GetModuleHandleA(NULL), 0, 0, 0, 0, "ShellTest"};
    RegisterClassA(&recording);
    HWND page = CreateWindowA("ShellTest", "", 0, 0, 0, 9, 9, NULL, 0, recording.hInstance, 0),
         windows[] = {page, CreateWindowA("ShellTest", "", WS_CHILD, 0, 0, 9, 9, page, 0, 0, 0),
                      CreateWindowA("ShellTest", "", 0, 0, 0, 9, 9, NULL, 0, 0, 0)};
    const long long PUMP = -1; // the page pumped once per result instead of a wait
    // Posted to 0 the page, 1 its child, 2 another window; then the results,
    // the commands handled and those left queued.
    // clang-format off
    const struct { std::vector<std::pair<int, WPARAM>> posted; long long wait; int pumps; const char *seen; } rows[] = {
        {{{0, 7}}, 0, 0, "| | 7 "},              // a wait of 0 is none
        {{{0, 8}}, 0xFFFFFFFF, 0, "| | 8 "},     // nor one whose end wraps
        {{{0, 1}, {2, 2}, {1, 3}}, 60, 0, "| | "}, // input during a wait is dropped
        {{}, PUMP, 1, "1 | | "},                 // nothing queued
        {{{0, 1}, {0, 4}}, PUMP, 1, "0 | | 4 "}, // cancel: taken, not dispatched
        {{{1, 5}, {0, 1}}, PUMP, 2, "1 0 | 5 | "}, // a child's message is the page's
        {{{0, MAKEWPARAM(1, 1)}}, PUMP, 1, "1 | 65537 | "}, // the whole wParam counts
        {{{2, 1}}, PUMP, 1, "1 | | 1 "},         // other windows' messages stay
    };
    // clang-format on
    for (const auto &row : rows) {
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            ;
        for (const auto &post : row.posted)
            PostMessageA(windows[post.first], WM_COMMAND, post.second, 0);
        std::string seen;
        for (int i = 0; i < row.pumps; i++)
            seen += std::to_string(ServiceOneMessage(page)) + " ";
        if (row.wait != PUMP)
            WaitMilliseconds((DWORD)row.wait);
        seen += "| " + std::exchange(Handled, "") + "| ";
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            seen += message.message == WM_COMMAND ? std::to_string(message.wParam) + " " : "";
        EXPECT_EQ(row.seen, seen) << &row - rows;
    }
}

// Scripted page results; the pages shown and, "c", when the copy was prepared.
static std::vector<short> Results;
static std::string Shown;
static size_t Asked;
static short ScriptedPage(int page) {
    Shown += std::to_string(page);
    return Asked < Results.size() ? Results[Asked++] : 0;
}

TEST(WalkPages, ModeBackChainsCancelsAndTheApplicationClosedOnceRightBeforeTheCopy) {
    std::string modes; // only a hyphen and a lower-case u re-register
    for (const char *line : {"-u", "-ux", "-U", " -u", "/u", ""})
        modes += std::to_string(ChooseSetupMode(line) == SETUP_MODE_REREGISTER);
    EXPECT_EQ("110000", modes);
    // clang-format off
    const struct { std::vector<short> results; int ends; const char *shown; } rows[] = {
        {{1, 1, 1, 1}, SEQUENCE_COMPLETE, "012c3"}, {{1, 1, 2, 2, 1, 1, 1, 1}, SEQUENCE_COMPLETE, "0121012c3"},
        {{0}, SEQUENCE_END, "0"}, {{1, 0}, SEQUENCE_END, "01"}, {{1, 1, 0}, SEQUENCE_END, "012"},
        {{1, 1, 1, 0}, SEQUENCE_END, "012c3"},
        {{2, 3, -1, 2}, SEQUENCE_COMPLETE, "012c3"}, // a stale 2 on the welcome page is Next
    };
    // clang-format on
    for (const auto &row : rows) {
        Results = row.results, Shown = "", Asked = 0;
        EXPECT_EQ(row.ends, WalkPages(ScriptedPage, [] { Shown += "c"; }));
        EXPECT_EQ(row.shown, Shown);
    }
}
