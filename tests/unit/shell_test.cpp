// The shell's own pieces: text ring, bounded copy and join, folder test, the
// input-swallowing wait, the one-message pump, mode choice, page walk.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <vector>

#include "shell/page_sequence.h"
#include "shell/setup.h"

// Texts of this test program's own string table (shell_test.rc).
#define LONG_TEXT 4000
#define ALPHA 4001
#define NO_TEXT 4010

// The very first call of the process, made before any test runs, so that the
// ring's starting slot can be checked whatever tests are selected.
static const char *FirstText = (AppInstance = GetModuleHandleA(NULL), ResourceText(ALPHA));

// Which slot a text lives in, counted from the first call's slot.
static int SlotOf(const char *text) {
    return (int)((text - FirstText) / 128);
}

TEST(TextRing, SlotsInTurnMissingLongAndProductTexts) {
    ASSERT_STREQ("alpha", FirstText);
    // Whatever ran before, four calls in a row use four slots in order.
    const char *names[] = {"alpha", "beta", "gamma", "delta", "epsilon"};
    const char *texts[5];
    for (int i = 0; i < 5; i++)
        ASSERT_NE(nullptr, texts[i] = ResourceText(ALPHA + i));
    int seen = 0;
    for (int i = 0; i < 4; i++) {
        int slot = SlotOf(texts[i]);
        ASSERT_GE(slot, 0) << "the first call did not use the lowest slot";
        ASSERT_LT(slot, 4);
        EXPECT_EQ(0, texts[i] - FirstText - 128 * slot) << "slots are 128 bytes apart";
        EXPECT_EQ((SlotOf(texts[0]) + i) % 4, slot);
        seen |= 1 << slot;
        // The three texts after the first are still there; the first is gone.
        EXPECT_STREQ(names[i ? i : 4], texts[i]);
    }
    EXPECT_EQ(0xF, seen);
    EXPECT_EQ(texts[0], texts[4]);

    // A missing text is null, still uses its slot and leaves those around it.
    const char *before = ResourceText(ALPHA);
    ASSERT_NE(nullptr, before);
    EXPECT_EQ(nullptr, ResourceText(NO_TEXT));
    const char *after = ResourceText(ALPHA + 1);
    ASSERT_NE(nullptr, after);
    EXPECT_EQ((SlotOf(before) + 2) % 4, SlotOf(after));
    EXPECT_STREQ("alpha", before);
    EXPECT_STREQ("beta", after);

    // A long text is cut to 127 characters, inside its slot: the next is whole.
    const char *text = ResourceText(LONG_TEXT);
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(127u, strlen(text));
    for (int i = 0; i < 127; i++)
        ASSERT_EQ('A' + i % 26, text[i]) << "at " << i;
    EXPECT_STREQ("gamma", ResourceText(ALPHA + 2));
    EXPECT_EQ(127u, strlen(text));

    EXPECT_STREQ("SETUP.INF Reading error !", ResourceText(20));
}

TEST(BoundedText, CopyAndAppendTable) {
    // start: copied in first (NULL: the buffer is left all 'x', unterminated).
    // result NULL: not one byte may change. Never a write at or past cap.
    // clang-format off
    struct Row { bool append; const char *start; int cap; const char *text; int fit;
                 const char *result; } rows[] = {
        {false, NULL, 8, "abc", 1, "abc"},          {false, NULL, 8, "abcdefg", 1, "abcdefg"}, // full
        {false, NULL, 8, "", 1, ""},                {false, NULL, 8, "abcdefgh", 0, "abcdefg"},
        {false, NULL, 1, "a", 0, ""},               {false, NULL, 0, "abc", 0, NULL},
        {false, NULL, -5, "abc", 0, NULL},          {true, NULL, 0, "abc", 0, NULL},
        {true, NULL, -1, "abc", 0, NULL},           {true, "C:\\", 8, "AB", 1, "C:\\AB"},
        {true, "C:\\AB", 8, "CD", 1, "C:\\ABCD"},   {true, "C:\\ABCD", 8, "", 1, "C:\\ABCD"}, // full
        {true, "C:\\ABCD", 8, "E", 0, "C:\\ABCD"},  {true, "ab", 6, "cdefgh", 0, "abcde"},
        {true, NULL, 4, "z", 0, "xxx"}, // unterminated: terminated, not overrun
    };
    // clang-format on
    for (const Row &row : rows) {
        char buffer[12];
        memset(buffer, 'x', sizeof buffer);
        if (row.start)
            ASSERT_EQ(1, CopyText(buffer, row.cap, row.start));
        int fit = row.append ? AppendText(buffer, row.cap, row.text)
                             : CopyText(buffer, row.cap, row.text);
        SCOPED_TRACE(::testing::Message()
                     << (row.append ? "append " : "copy ") << row.text << " cap " << row.cap);
        EXPECT_EQ(row.fit, fit);
        if (row.result == NULL) {
            EXPECT_EQ(0, memcmp(buffer, "xxxxxxxxxxxx", sizeof buffer));
            continue;
        }
        EXPECT_STREQ(row.result, buffer);
        EXPECT_EQ('x', buffer[row.cap]) << "wrote past its capacity";
    }
}

TEST(IsDirectory, FolderFileAndMissingPath) {
    char base[MAX_PATH], folder[MAX_PATH], file[MAX_PATH], missing[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof base, base), 0u);
    snprintf(folder, sizeof folder, "%sshell_isdir_%lu", base, GetCurrentProcessId());
    snprintf(file, sizeof file, "%s\\plain.txt", folder);
    snprintf(missing, sizeof missing, "%s\\absent", folder);
    ASSERT_TRUE(CreateDirectoryA(folder, NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    FILE *f = fopen(file, "w");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_EQ(1, IsDirectory(folder));
    EXPECT_EQ(0, IsDirectory(file));
    EXPECT_EQ(0, IsDirectory(missing));
    EXPECT_EQ(0, IsDirectory(""));
    DeleteFileA(file);
    RemoveDirectoryA(folder);
    EXPECT_EQ(0, IsDirectory(folder)) << "a removed folder still counts";
}

// Real windows whose procedure counts the commands (and close requests) that reach it.
static int CommandsSeen, CloseRequests;
static WPARAM LastCommand;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        CloseRequests++;
    if (message != WM_COMMAND)
        return DefWindowProcA(window, message, wParam, lParam);
    CommandsSeen++;
    LastCommand = wParam;
    return 0;
}

static HWND MakeWindow(const char *title, DWORD style, HWND parent) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ShellTestWindow";
    RegisterClassA(&wc); // fails harmlessly once registered
    return CreateWindowA("ShellTestWindow", title, style, 0, 0, 50, 50, parent, NULL, wc.hInstance,
                         NULL);
}

static void Drain() {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    }
    CommandsSeen = 0;
    LastCommand = 0;
}

// Looks through the queue without disturbing its order for the checks.
static bool Queued(HWND target, UINT type, WPARAM wParam) {
    MSG kept[64];
    int count = 0;
    bool found = false;
    while (count < 64 && PeekMessageA(&kept[count], NULL, 0, 0, PM_REMOVE))
        count++;
    for (int i = 0; i < count; i++) {
        found |= kept[i].hwnd == target && kept[i].message == type && kept[i].wParam == wParam;
        PostMessageA(kept[i].hwnd, kept[i].message, kept[i].wParam, kept[i].lParam);
    }
    return found;
}

TEST(MessageQueue, WaitAndOneMessagePump) {
    HWND window = MakeWindow("queue", WS_OVERLAPPED, NULL);
    HWND other = MakeWindow("other", WS_OVERLAPPED, NULL);
    HWND child = MakeWindow("child", WS_CHILD, window);
    ASSERT_TRUE(window && other && child);
    const int SERVICE = -1;
    // to: 0 the page's window, 1 another top window.
    // wait SERVICE: one ServiceOneMessage instead of a wait.
    // clang-format off
    struct Row { int to; WPARAM command; long long wait; int gives, handled; bool stays; } rows[] = {
        {0, 7, 0, 0, 0, true},                       // zero wait leaves the queue alone
        {0, 8, 0xFFFFFFFFu, 0, 0, true},             // a wait whose end would wrap is no wait
        {0, 1, SERVICE, 0, 0, false},                // cancel at the head: gone, not dispatched
        {0, 2, SERVICE, 1, 1, false},                // any other command is dispatched
        {0, MAKEWPARAM(1, 1), SERVICE, 1, 1, false}, // the whole wParam must be 1
        {1, 1, SERVICE, 1, 0, true},                 // other windows' messages stay
    };
    // clang-format on
    for (const Row &row : rows) {
        SCOPED_TRACE(::testing::Message() << "command " << row.command << " wait " << row.wait);
        Drain();
        HWND target = row.to ? other : window;
        ASSERT_TRUE(PostMessageA(target, WM_COMMAND, row.command, 0));
        if (row.wait == SERVICE)
            EXPECT_EQ(row.gives, ServiceOneMessage(window));
        else
            WaitMilliseconds((DWORD)row.wait);
        EXPECT_EQ(row.handled, CommandsSeen);
        if (row.handled)
            EXPECT_EQ(row.command, LastCommand);
        EXPECT_EQ(row.stays, Queued(target, WM_COMMAND, row.command));
    }
    Drain();
    EXPECT_EQ(1, ServiceOneMessage(window)) << "an empty queue";
    EXPECT_EQ(0, CommandsSeen);

    // A short wait drops queued input, none of it handled.
    Drain();
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 1, 0));
    ASSERT_TRUE(PostMessageA(other, WM_COMMAND, 2, 0));
    ASSERT_TRUE(PostMessageA(child, WM_LBUTTONDOWN, 0, 0));
    WaitMilliseconds(60);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) << "left: " << message.message;
    EXPECT_EQ(0, CommandsSeen) << "a message was handled during the wait";

    // One message per call, and the children's messages count.
    Drain();
    ASSERT_TRUE(PostMessageA(child, WM_COMMAND, 5, 0));
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 1, 0));
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen) << "the child's message comes first";
    EXPECT_EQ(5u, LastCommand);
    EXPECT_EQ(0, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen);
    DestroyWindow(other);
    DestroyWindow(window);
    Drain();
}

TEST(ChooseSetupMode, OnlyHyphenThenLowerCaseU) {
    for (const char *line : {"-u", "-ux", "-u extra"})
        EXPECT_EQ(SETUP_MODE_REREGISTER, ChooseSetupMode(line)) << line;
    for (const char *line : {"-U", " -u", "/u", "u", "-", ""})
        EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode(line)) << line;
    EXPECT_EQ(SETUP_MODE_NORMAL, ChooseSetupMode(NULL));
}

TEST(NextPageStep, EveryRowOfTheTable) {
    // clang-format off
    const struct { int page; short result; int next; } rows[] = {
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
    }; // clang-format on
    for (const auto &row : rows)
        EXPECT_EQ(row.next, NextPageStep(row.page, row.result))
            << "page " << row.page << " result " << row.result;
}

// Scripted page results, and what the walk did with them; prepared: how many
// pages were shown when the hook ran.
static struct {
    std::vector<short> script;
    size_t at;
    std::vector<int> shown, prepared;
} Walk;

static short ScriptedPage(int page) {
    Walk.shown.push_back(page);
    return Walk.at < Walk.script.size() ? Walk.script[Walk.at++] : 0; // runaway: a cancel
}

static void NoteCopyPrepared(void) {
    Walk.prepared.push_back((int)Walk.shown.size());
}

TEST(WalkPages, ScriptedWalks) {
    const int W = PAGE_WELCOME, M = PAGE_MOUSE_TYPE, D = PAGE_DESTINATION, I = PAGE_INSTALL;
    // clang-format off
    const struct { std::vector<short> results; bool hook; int ends;
                   std::vector<int> shown, copyPreparedAfter; } rows[] = {
        // Straight through: the application is closed before the copy.
        {{1, 1, 1, 1}, true, SEQUENCE_COMPLETE, {W, M, D, I}, {3}},
        // Back from the destination, Back from the mouse type, then on to the end.
        {{1, 1, 2, 2, 1, 1, 1, 1}, true, SEQUENCE_COMPLETE, {W, M, D, M, W, M, D, I}, {7}},
        // Cancel on any page before the copy page ends without the copy.
        {{0}, true, SEQUENCE_END, {W}, {}},
        {{1, 0}, true, SEQUENCE_END, {W, M}, {}},
        {{1, 1, 0}, true, SEQUENCE_END, {W, M, D}, {}},
        // Cancel on the copy page ends after it.
        {{1, 1, 1, 0}, true, SEQUENCE_END, {W, M, D, I}, {3}},
        // No hook at all.
        {{2, 1, 1, 5}, false, SEQUENCE_COMPLETE, {W, M, D, I}, {}},
    };
    // clang-format on
    for (const auto &row : rows) {
        Walk = {row.results, 0, {}, {}};
        EXPECT_EQ(row.ends, WalkPages(ScriptedPage, row.hook ? NoteCopyPrepared : NULL));
        EXPECT_EQ(row.shown, Walk.shown);
        EXPECT_EQ(row.copyPreparedAfter, Walk.prepared);
    }
}

TEST(CloseMouseApplication, SendsCloseToTheWindowByTitle) {
    HWND bystander = MakeWindow("Dorvantix Help", WS_OVERLAPPED, NULL);
    HWND application = MakeWindow("Dorvantix", WS_OVERLAPPED, NULL);
    ASSERT_NE(nullptr, application);
    CloseRequests = 0;
    CloseMouseApplication();
    EXPECT_EQ(1, CloseRequests);
    EXPECT_FALSE(IsWindow(application)) << "the default handling destroys it";
    EXPECT_TRUE(IsWindow(bystander)) << "only the exact title is closed";
    // Nothing left to close: no error, nothing sent.
    CloseMouseApplication();
    EXPECT_EQ(1, CloseRequests);
    DestroyWindow(bystander);
}
