// Folder test, the input-swallowing wait and the one-message pump, against
// the real file system and the real message queue.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include "shell/setup.h"

TEST(IsDirectory, FolderFileAndMissingPath) {
    char base[MAX_PATH], folder[MAX_PATH], file[MAX_PATH], missing[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof base, base), 0u);
    snprintf(folder, sizeof folder, "%sshell_isdir_%lu", base, GetCurrentProcessId());
    snprintf(file, sizeof file, "%s\\plain.txt", folder);
    snprintf(missing, sizeof missing, "%s\\absent", folder);
    ASSERT_TRUE(CreateDirectoryA(folder, NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    FILE *f = fopen(file, "w");
    ASSERT_NE(nullptr, f);
    fputs("x", f);
    fclose(f);

    EXPECT_EQ(1, IsDirectory(folder));
    EXPECT_EQ(0, IsDirectory(file));
    EXPECT_EQ(0, IsDirectory(missing));
    EXPECT_EQ(0, IsDirectory(""));

    DeleteFileA(file);
    RemoveDirectoryA(folder);
    EXPECT_EQ(0, IsDirectory(folder)) << "a removed folder still counts";
}

// A real window whose procedure counts what reaches it.
static int CommandsSeen;
static WPARAM LastCommand;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        CommandsSeen++;
        LastCommand = wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageQueue : public ::testing::Test {
  protected:
    HWND window = NULL;
    HWND other = NULL;
    HWND child = NULL;

    void SetUp() override {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ShellQueueTest";
        RegisterClassA(&wc); // fails harmlessly once registered
        window = CreateWindowA("ShellQueueTest", "queue", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                               wc.hInstance, NULL);
        other = CreateWindowA("ShellQueueTest", "other", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                              wc.hInstance, NULL);
        child = CreateWindowA("ShellQueueTest", "child", WS_CHILD, 0, 0, 10, 10, window, NULL,
                              wc.hInstance, NULL);
        ASSERT_NE(nullptr, window);
        ASSERT_NE(nullptr, other);
        ASSERT_NE(nullptr, child);
        Drain();
        CommandsSeen = 0;
        LastCommand = 0;
    }

    void TearDown() override {
        DestroyWindow(other);
        DestroyWindow(window);
        Drain();
    }

    static void Drain() {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        }
    }

    static bool Queued(HWND target, UINT type, WPARAM wParam) {
        MSG message;
        // Look through the queue without disturbing its order for the checks.
        bool found = false;
        MSG kept[64];
        int count = 0;
        while (count < 64 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            kept[count++] = message;
        for (int i = 0; i < count; i++) {
            if (kept[i].hwnd == target && kept[i].message == type && kept[i].wParam == wParam)
                found = true;
            PostMessageA(kept[i].hwnd, kept[i].message, kept[i].wParam, kept[i].lParam);
        }
        return found;
    }
};

TEST_F(MessageQueue, ZeroWaitLeavesTheQueueAlone) {
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 7, 0));
    WaitMilliseconds(0);
    EXPECT_TRUE(Queued(window, WM_COMMAND, 7));
    EXPECT_EQ(0, CommandsSeen);
}

TEST_F(MessageQueue, WaitWhoseEndWouldWrapIsNoWait) {
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 8, 0));
    WaitMilliseconds(0xFFFFFFFFu);
    EXPECT_TRUE(Queued(window, WM_COMMAND, 8));
}

TEST_F(MessageQueue, ShortWaitDropsQueuedInputUnhandled) {
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 1, 0));
    ASSERT_TRUE(PostMessageA(other, WM_COMMAND, 2, 0));
    ASSERT_TRUE(PostMessageA(child, WM_LBUTTONDOWN, 0, 0));
    WaitMilliseconds(60);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) << "left: " << message.message;
    EXPECT_EQ(0, CommandsSeen) << "a message was handled during the wait";
}

TEST_F(MessageQueue, EmptyQueueGivesOne) {
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(0, CommandsSeen);
}

TEST_F(MessageQueue, CancelCommandAtTheHeadGivesZeroAndIsGone) {
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 1, 0));
    EXPECT_EQ(0, ServiceOneMessage(window));
    EXPECT_EQ(0, CommandsSeen) << "the cancel command was dispatched";
    EXPECT_FALSE(Queued(window, WM_COMMAND, 1));
    EXPECT_EQ(1, ServiceOneMessage(window));
}

TEST_F(MessageQueue, OtherCommandIsDispatchedAndGivesOne) {
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 2, 0));
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen);
    EXPECT_EQ(2u, LastCommand);
    EXPECT_FALSE(Queued(window, WM_COMMAND, 2));
}

TEST_F(MessageQueue, CancelWithANotificationCodeIsNoCancel) {
    // Control 1 but notification 1: the whole wParam must be 1.
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, MAKEWPARAM(1, 1), 0));
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen);
}

TEST_F(MessageQueue, OneMessagePerCallAndChildrenCount) {
    ASSERT_TRUE(PostMessageA(child, WM_COMMAND, 5, 0));
    ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 1, 0));
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen) << "the child's message comes first";
    EXPECT_EQ(5u, LastCommand);
    EXPECT_EQ(0, ServiceOneMessage(window));
    EXPECT_EQ(1, CommandsSeen);
}

TEST_F(MessageQueue, OtherWindowsMessagesStay) {
    ASSERT_TRUE(PostMessageA(other, WM_COMMAND, 1, 0));
    EXPECT_EQ(1, ServiceOneMessage(window));
    EXPECT_EQ(0, CommandsSeen);
    EXPECT_TRUE(Queued(other, WM_COMMAND, 1));
}
