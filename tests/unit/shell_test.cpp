// The shell's own pieces: text ring, bounded copy and join, the wait and the
// one-message pump, the mode and the page walk.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/page_sequence.h"
#include "shell/setup.h"

// The process's first text, before any test runs: it must land in slot 0.
static const char *const Slot0 = (AppInstance = GetModuleHandleA(NULL), ResourceText(4001));

TEST(TextRing, SlotsInTurnMissingTextsUseOneLongTextsAreCut) {
    std::string cut, zero = Slot0; // the 130 letters of text 4000, cut to 127
    for (int i = 0; i < 127; i++)
        cut += (char)('A' + i % 26);
    const std::pair<short, const char *> calls[] = {
        {4002, "beta"}, {4003, "gamma"}, {4010, NULL}, {4000, cut.c_str()}, {4001, "alpha"}};
    const char *texts[5], *first = ResourceText(4001);
    for (int i = 0; i < 5; i++) { // Slot0 is the lowest: each text lies 0 to 3 slots above it
        texts[i] = ResourceText(calls[i].first);
        EXPECT_EQ(calls[i].second ? Slot0 + (first - Slot0 + 128 * (i + 1)) % 512 : NULL, texts[i]);
    }
    // Each text still stands after the three calls that follow it.
    EXPECT_EQ("alpha gamma" + cut + "alpha", zero + " " + texts[1] + texts[3] + texts[4]);
}

TEST(BoundedText, CopyAndAppendNeverWritePastTheCapacity) {
    // start: copied in first (NULL: the buffer stays all 'x', unterminated);
    // the whole buffer after the call, '.' for a terminator.
    // clang-format off
    const struct { bool append; const char *start; int cap; const char *text, *fitAndBuffer; } rows[] = {
        {false, NULL, 8, "abc", "1abc.xxxxxxxx"},    {false, NULL, 8, "abcdefg", "1abcdefg.xxxx"},
        {false, NULL, 8, "", "1.xxxxxxxxxxx"},       {false, NULL, 8, "abcdefgh", "0abcdefg.xxxx"},
        {false, NULL, 1, "a", "0.xxxxxxxxxxx"},      {false, NULL, 0, "abc", "0xxxxxxxxxxxx"},
        {false, NULL, -5, "abc", "0xxxxxxxxxxxx"},   {true, NULL, 0, "abc", "0xxxxxxxxxxxx"},
        {true, NULL, -1, "abc", "0xxxxxxxxxxxx"},    {true, "C:\\", 8, "AB", "1C:\\AB.xxxxxx"},
        {true, "C:\\AB", 8, "CD", "1C:\\ABCD.xxxx"}, {true, "C:\\ABCD", 8, "", "1C:\\ABCD.xxxx"},
        {true, "C:\\ABCD", 8, "E", "0C:\\ABCD.xxxx"}, {true, "ab", 6, "cdefgh", "0abcde.xxxxxx"},
        {true, NULL, 4, "z", "0xxx.xxxxxxxx"}, // unterminated: terminated, not overrun
    };
    // clang-format on
    for (const auto &row : rows) {
        char buffer[12];
        memset(buffer, 'x', sizeof buffer);
        if (row.start)
            CopyText(buffer, row.cap, row.start);
        int fit = row.append ? AppendText(buffer, row.cap, row.text)
                             : CopyText(buffer, row.cap, row.text);
        std::string image = std::to_string(fit) + std::string(buffer, sizeof buffer);
        std::replace(image.begin(), image.end(), '\0', '.');
        EXPECT_EQ(row.fitAndBuffer, image) << row.text << " " << row.cap;
    }
}

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
