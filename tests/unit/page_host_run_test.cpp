// RunPage with real page windows from the program's templates: the loop and
// its results, Back and a second showing, pages that end inside their init,
// and the welcome page driven as a user would.
#include <gtest/gtest.h>

#include <string>

#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"
#include "support/page_driver.h"

namespace {

// Templates 105 and 106 are in the program but shown by no page, so their
// classes are free for the test's own page procedure.
const char ScriptedClass[] = "SETUP_SELTYPE";
const short ScriptedTemplate = IDD_SELECT_TYPE;

enum InitAction {
    POST_COMMAND, // a button click queued for the loop
    POST_CLOSE,   // closed without any command
    POST_COMMAND_THEN_CLOSE,
    CLOSE_IN_INIT,     // done inside WM_PAGE_INIT, quit message queued
    CLOSE_LOSING_QUIT, // done inside WM_PAGE_INIT, then the queue emptied
};

struct Script {
    InitAction action;
    WPARAM command;
    short resultInInit;
    // seen by the page
    int created;
    int initialised;
    int controlsAtInit;
    std::string titleAtInit;
    RECT rectAtInit;
};

Script Current;

LRESULT CALLBACK ScriptedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Current.created++;
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT: {
        Current.initialised++;
        Current.controlsAtInit =
            GetDlgItem(page, IDC_SIDE_PICTURE) != NULL && GetDlgItem(page, IDC_NEXT) != NULL;
        char title[PAGE_TEXT];
        GetWindowTextA(page, title, sizeof title);
        Current.titleAtInit = title;
        GetWindowRect(page, &Current.rectAtInit);
        switch (Current.action) {
        case POST_COMMAND:
            PostMessageA(page, WM_COMMAND, Current.command, 0);
            break;
        case POST_COMMAND_THEN_CLOSE:
            PostMessageA(page, WM_COMMAND, Current.command, 0);
            PostMessageA(page, WM_CLOSE, 0, 0);
            break;
        case POST_CLOSE:
            PostMessageA(page, WM_CLOSE, 0, 0);
            break;
        case CLOSE_IN_INIT:
            PageResult = Current.resultInInit;
            ClosePageWindow(page);
            break;
        case CLOSE_LOSING_QUIT: {
            PageResult = Current.resultInInit;
            ClosePageWindow(page);
            // As the copy page's one-second wait does: everything queued,
            // the quit message included, is dropped.
            MSG dropped;
            while (PeekMessageA(&dropped, NULL, 0, 0, PM_REMOVE)) {
            }
            break;
        }
        }
        break;
    }
    case WM_COMMAND:
        if (wParam == IDC_NEXT || wParam == IDC_CANCEL || wParam == IDC_BACK) {
            PageResult = wParam == IDC_NEXT ? 1 : wParam == IDC_CANCEL ? 0 : 2;
            ClosePageWindow(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

// Ends a RunPage that would otherwise never return, so that a broken host
// fails the test instead of hanging the suite.
struct Watchdog {
    DWORD thread;
    HANDLE done;
    volatile LONG fired;
};

DWORD WINAPI WatchdogThread(LPVOID parameter) {
    Watchdog *dog = static_cast<Watchdog *>(parameter);
    if (WaitForSingleObject(dog->done, 30000) == WAIT_TIMEOUT) {
        InterlockedExchange(&dog->fired, 1);
        PostThreadMessageA(dog->thread, WM_QUIT, 0, 0);
    }
    return 0;
}

short RunGuarded(const char *className, WNDPROC proc, short templateId, bool *hung) {
    Watchdog dog = {GetCurrentThreadId(), CreateEventA(NULL, TRUE, FALSE, NULL), 0};
    HANDLE thread = CreateThread(NULL, 0, WatchdogThread, &dog, 0, NULL);
    short result = RunPage(className, proc, templateId);
    SetEvent(dog.done);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(dog.done);
    *hung = dog.fired != 0;
    DropQuitMessage();
    return result;
}

bool QuitPending() {
    MSG message;
    return PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

class PageHost : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        BackdropWindow = NULL;
        CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, "Velor Scroll Mouse");
        CopyText(InstallConfig.Caption, sizeof InstallConfig.Caption,
                 "Velor Scroll Mouse Setup Program");
        Current = Script();
    }

    short Run(InitAction action, WPARAM command = 0, short resultInInit = 0) {
        Current.action = action;
        Current.command = command;
        Current.resultInInit = resultInInit;
        bool hung = false;
        short result = RunGuarded(ScriptedClass, ScriptedPageProc, ScriptedTemplate, &hung);
        EXPECT_FALSE(hung) << "RunPage did not end";
        return result;
    }
};

void ExpectCentred(const RECT &rect) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    EXPECT_EQ((ScreenWidth - width) / 2, rect.left);
    EXPECT_EQ((ScreenHeight - height) / 2, rect.top);
}

TEST_F(PageHost, NextEndsTheLoopWithOne) {
    PageResult = 0;
    EXPECT_EQ(1, Run(POST_COMMAND, IDC_NEXT));
    EXPECT_EQ(1, PageResult);
    EXPECT_EQ(1, Current.created);
    EXPECT_EQ(1, Current.initialised);
    EXPECT_TRUE(Current.controlsAtInit);
    EXPECT_EQ("Velor Scroll Mouse Setup", Current.titleAtInit);
    ExpectCentred(Current.rectAtInit);
    EXPECT_FALSE(QuitPending());

    WNDCLASSA pageClass;
    ASSERT_TRUE(GetClassInfoA(AppInstance, ScriptedClass, &pageClass));
    EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), pageClass.style);
    EXPECT_EQ(DLGWINDOWEXTRA, pageClass.cbWndExtra);
    EXPECT_EQ(0, pageClass.cbClsExtra);
    EXPECT_EQ((HBRUSH)5, pageClass.hbrBackground);
    EXPECT_TRUE(pageClass.hCursor != NULL);
}

TEST_F(PageHost, BackThenASecondShowingWithTheFirstClass) {
    EXPECT_EQ(2, Run(POST_COMMAND, IDC_BACK));
    EXPECT_EQ(2, PageResult);
    int createdBefore = Current.created;
    Current.controlsAtInit = 0;
    EXPECT_EQ(0, Run(POST_COMMAND, IDC_CANCEL));
    EXPECT_EQ(createdBefore + 1, Current.created);
    EXPECT_TRUE(Current.controlsAtInit);
    EXPECT_EQ("Velor Scroll Mouse Setup", Current.titleAtInit);
    EXPECT_EQ(1, Run(POST_COMMAND, IDC_NEXT));

    WNDCLASSA pageClass;
    ASSERT_TRUE(GetClassInfoA(AppInstance, ScriptedClass, &pageClass));
    EXPECT_EQ((WNDPROC)ScriptedPageProc, pageClass.lpfnWndProc);
}

TEST_F(PageHost, ClosedWithoutACommandHandsOnThePreviousResult) {
    PageResult = 2;
    EXPECT_EQ(2, Run(POST_CLOSE));
    PageResult = 0;
    EXPECT_EQ(0, Run(POST_CLOSE));
    // A command with a notification code other than a click matches nothing.
    PageResult = 2;
    EXPECT_EQ(2, Run(POST_COMMAND_THEN_CLOSE, MAKEWPARAM(IDC_NEXT, 1)));
}

TEST_F(PageHost, PageDoneInsideItsInit) {
    EXPECT_EQ(1, Run(CLOSE_IN_INIT, 0, 1));
    // The quit message it left was taken, so the next page runs its loop.
    EXPECT_FALSE(QuitPending());
    EXPECT_EQ(2, Run(POST_COMMAND, IDC_BACK));
}

TEST_F(PageHost, PageDoneInsideItsInitWhoseQuitWasDropped) {
    PageResult = 1;
    EXPECT_EQ(0, Run(CLOSE_LOSING_QUIT, 0, 0));
    EXPECT_EQ(1, Current.initialised);
    EXPECT_EQ(1, Run(POST_COMMAND, IDC_NEXT));
}

TEST_F(PageHost, MissingTemplateAbandonsTheSetup) {
    PageResult = 1;
    bool hung = false;
    EXPECT_EQ(0, RunGuarded(ScriptedClass, ScriptedPageProc, 4321, &hung));
    EXPECT_FALSE(hung);
    EXPECT_EQ(0, PageResult);
}

struct WelcomeSeen {
    HWND page;
    std::string title;
    std::string text;
    int backEnabled;
    RECT rect;
    std::string notice;
    int openAfterBack;
};

WelcomeSeen ReadWelcome() {
    WelcomeSeen seen = WelcomeSeen();
    seen.page = WaitForWindow("SETUP_BEGIN", NULL);
    if (seen.page == NULL)
        return seen;
    // The page is filled in before its loop serves anything.
    WaitFor([&] { return ItemText(seen.page, IDC_WELCOME_TEXT).find('%') == std::string::npos; });
    seen.title = WindowText(seen.page);
    seen.text = ItemText(seen.page, IDC_WELCOME_TEXT);
    seen.backEnabled = IsWindowEnabled(GetDlgItem(seen.page, IDC_BACK));
    GetWindowRect(seen.page, &seen.rect);
    return seen;
}

TEST_F(PageHost, WelcomePageNext) {
    short result = -1;
    WelcomeSeen seen;
    RunDriven(
        [&] {
            bool hung = false;
            result = RunGuarded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME, &hung);
            EXPECT_FALSE(hung);
        },
        [&] {
            seen = ReadWelcome();
            if (seen.page == NULL)
                return;
            // Its Back button is disabled; a Back command does nothing either.
            PressButton(seen.page, IDC_BACK);
            Sleep(200);
            seen.openAfterBack = IsWindow(seen.page);
            PressButton(seen.page, IDC_NEXT);
        });
    ASSERT_TRUE(seen.page != NULL);
    EXPECT_EQ(1, result);
    EXPECT_EQ("Velor Scroll Mouse Setup", seen.title);
    EXPECT_EQ(" This program will install Velor Scroll Mouse into your computer.", seen.text);
    EXPECT_FALSE(seen.backEnabled);
    EXPECT_TRUE(seen.openAfterBack);
    ExpectCentred(seen.rect);
}

TEST_F(PageHost, WelcomePageCancelShowsTheNotice) {
    short result = -1;
    WelcomeSeen seen;
    PageResult = 1;
    RunDriven(
        [&] {
            bool hung = false;
            result = RunGuarded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME, &hung);
            EXPECT_FALSE(hung);
        },
        [&] {
            seen = ReadWelcome();
            if (seen.page == NULL)
                return;
            PressButton(seen.page, IDC_CANCEL);
            seen.notice = AnswerMessageBox("Velor Scroll Mouse Setup Program", IDOK);
        });
    ASSERT_TRUE(seen.page != NULL);
    EXPECT_EQ(0, result);
    EXPECT_EQ("Velor Scroll Mouse installation is not completed !", seen.notice);
    EXPECT_FALSE(IsWindow(seen.page));
}

} // namespace
