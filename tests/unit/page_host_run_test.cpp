// The page host: caption, centring and product-name arithmetic, then RunPage
// with real page windows from the program's templates (the loop and its
// results, Back and a second showing, pages that end inside their init) and
// the welcome page driven as a user would.
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"
#include "support/page_driver.h"

namespace {

// Templates 105 and 106 are in the program but shown by no page, so their
// classes are free for the test's own page procedure.
const char ScriptedClass[] = "SETUP_SELTYPE";

// What the test page's init does.
enum InitAction {
    POST_COMMAND, // a button click queued for the loop
    POST_CLOSE,   // closed without any command
    POST_COMMAND_THEN_CLOSE,
    CLOSE_IN_INIT,     // done inside WM_PAGE_INIT, quit message queued
    CLOSE_LOSING_QUIT, // done inside WM_PAGE_INIT, then the queue emptied
};

// In order, so that each showing also proves the one before it left the
// class, the queue and the result in order.
const struct Showing {
    InitAction action;
    WPARAM command;
    short resultInInit, resultBefore, result;
} Showings[] = {
    {POST_COMMAND, IDC_NEXT, 0, 0, 1},
    {POST_COMMAND, IDC_BACK, 0, 1, 2},
    {POST_COMMAND, IDC_CANCEL, 0, 1, 0}, // a second showing with the first class
    // Closed without a command: the previous result goes on.
    {POST_CLOSE, 0, 0, 2, 2},
    {POST_CLOSE, 0, 0, 0, 0},
    // A command with a notification code other than a click matches nothing.
    {POST_COMMAND_THEN_CLOSE, MAKEWPARAM(IDC_NEXT, 1), 0, 2, 2},
    // Done inside its init: the quit message it left must not end the next page.
    {CLOSE_IN_INIT, 0, 1, 0, 1},
    {POST_COMMAND, IDC_BACK, 0, 0, 2},
    {CLOSE_LOSING_QUIT, 0, 0, 1, 0},
    {POST_COMMAND, IDC_NEXT, 0, 0, 1},
};

const Showing *Row;
struct {
    int created, initialised, controls;
    std::string title;
    RECT rect;
} Seen;

LRESULT CALLBACK ScriptedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Seen.created++;
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT: {
        Seen.initialised++;
        Seen.controls = GetDlgItem(page, IDC_SIDE_PICTURE) && GetDlgItem(page, IDC_NEXT);
        Seen.title = WindowText(page);
        GetWindowRect(page, &Seen.rect);
        if (Row->action == POST_COMMAND || Row->action == POST_COMMAND_THEN_CLOSE)
            PostMessageA(page, WM_COMMAND, Row->command, 0);
        if (Row->action == POST_CLOSE || Row->action == POST_COMMAND_THEN_CLOSE)
            PostMessageA(page, WM_CLOSE, 0, 0);
        if (Row->action == CLOSE_IN_INIT || Row->action == CLOSE_LOSING_QUIT) {
            PageResult = Row->resultInInit;
            ClosePageWindow(page);
        }
        // As the copy page's one-second wait does: everything queued, the
        // quit message included, is dropped.
        MSG dropped;
        while (Row->action == CLOSE_LOSING_QUIT && PeekMessageA(&dropped, NULL, 0, 0, PM_REMOVE)) {
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

// Ends a RunPage loop that would otherwise never return, so that a broken
// host fails the test instead of hanging the suite.
bool gaveUp;
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    gaveUp = true;
    PostQuitMessage(0);
}

short RunGuarded(const char *className, WNDPROC proc, short templateId) {
    gaveUp = false;
    UINT_PTR timer = SetTimer(NULL, 0, 30000, GiveUp);
    short result = RunPage(className, proc, templateId);
    KillTimer(NULL, timer);
    EXPECT_FALSE(gaveUp) << "RunPage did not end";
    // Only the guard's own quit is taken: one the host left must show.
    if (gaveUp)
        DropQuitMessage();
    return result;
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
    }
};

void ExpectCentred(const RECT &rect) {
    EXPECT_EQ((ScreenWidth - (rect.right - rect.left)) / 2, rect.left);
    EXPECT_EQ((ScreenHeight - (rect.bottom - rect.top)) / 2, rect.top);
}

TEST_F(PageHost, ShowingsEndWithTheirResultsAndLeaveNothingQueued) {
    for (const Showing &showing : Showings) {
        SCOPED_TRACE(testing::Message() << "showing " << &showing - Showings);
        Row = &showing;
        Seen = {};
        PageResult = showing.resultBefore;
        EXPECT_EQ(showing.result, RunGuarded(ScriptedClass, ScriptedPageProc, IDD_SELECT_TYPE));
        EXPECT_EQ(showing.result, PageResult);
        EXPECT_EQ(1, Seen.created);
        EXPECT_EQ(1, Seen.initialised);
        EXPECT_TRUE(Seen.controls);
        EXPECT_EQ("Velor Scroll Mouse Setup", Seen.title);
        ExpectCentred(Seen.rect);
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    }
    WNDCLASSA pageClass;
    ASSERT_TRUE(GetClassInfoA(AppInstance, ScriptedClass, &pageClass));
    EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), pageClass.style);
    EXPECT_EQ(DLGWINDOWEXTRA, pageClass.cbWndExtra);
    EXPECT_EQ(0, pageClass.cbClsExtra);
    EXPECT_EQ((HBRUSH)5, pageClass.hbrBackground);
    EXPECT_TRUE(pageClass.hCursor != NULL);
    EXPECT_EQ((WNDPROC)ScriptedPageProc, pageClass.lpfnWndProc);
}

TEST_F(PageHost, MissingTemplateAbandonsTheSetup) {
    Row = &Showings[0]; // should a page come all the same
    PageResult = 1;
    EXPECT_EQ(0, RunGuarded(ScriptedClass, ScriptedPageProc, 4321));
    EXPECT_EQ(0, PageResult);
}

// The welcome page as a user sees it: its text, a Back that does nothing,
// then Next, or Cancel with its notice.
TEST_F(PageHost, WelcomePageNextAndCancel) {
    const struct {
        int button;
        short result;
        const char *notice;
    } presses[] = {{IDC_NEXT, 1, ""},
                   {IDC_CANCEL, 0, "Velor Scroll Mouse installation is not completed !"}};
    for (const auto &press : presses) {
        PageResult = 1 - press.result;
        short result = -1;
        HWND page = NULL;
        std::string title, text, notice;
        int backEnabled = -1, openAfterBack = 0;
        RECT rect = {0, 0, 0, 0};
        RunDriven([&] { result = RunGuarded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME); },
                  [&] {
                      page = WaitForWindow("SETUP_BEGIN", NULL);
                      if (page == NULL)
                          return;
                      // The page is filled in before its loop serves anything.
                      WaitFor([&] {
                          return ItemText(page, IDC_WELCOME_TEXT).find('%') == std::string::npos;
                      });
                      title = WindowText(page);
                      text = ItemText(page, IDC_WELCOME_TEXT);
                      backEnabled = IsWindowEnabled(GetDlgItem(page, IDC_BACK));
                      GetWindowRect(page, &rect);
                      PressButton(page, IDC_BACK);
                      Sleep(200);
                      openAfterBack = IsWindow(page);
                      PressButton(page, press.button);
                      if (*press.notice)
                          notice = AnswerMessageBox("Velor Scroll Mouse Setup Program", IDOK);
                  });
        ASSERT_TRUE(page != NULL);
        EXPECT_EQ(press.result, result);
        EXPECT_EQ("Velor Scroll Mouse Setup", title);
        EXPECT_EQ(" This program will install Velor Scroll Mouse into your computer.", text);
        EXPECT_FALSE(backEnabled);
        EXPECT_TRUE(openAfterBack);
        ExpectCentred(rect);
        EXPECT_EQ(press.notice, notice);
        EXPECT_FALSE(IsWindow(page));
    }
}

TEST(PageCaption, ProductNameBlankTemplateCaptionAndCut) {
    char out[PAGE_TEXT];
    EXPECT_EQ(1, BuildPageCaption(out, sizeof out, "Velor Scroll Mouse", "Setup"));
    EXPECT_STREQ("Velor Scroll Mouse Setup", out);
    EXPECT_EQ(1, BuildPageCaption(out, sizeof out, "", "Setup"));
    EXPECT_STREQ(" Setup", out);

    char longCaption[PAGE_TEXT];
    memset(longCaption, 'c', sizeof longCaption - 1);
    longCaption[sizeof longCaption - 1] = '\0';
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, BuildPageCaption(out, sizeof out, "Velor", longCaption));
    EXPECT_EQ(PAGE_TEXT - 1, (int)strlen(out));
    EXPECT_EQ(0, strncmp("Velor c", out, 7));
}

TEST(PageCentring, OnePixelMoreThanTheExtentInSixteenBits) {
    const struct {
        LONG left, top, right, bottom;
        short screenWidth, screenHeight;
        int width, height, x, y;
    } cases[] = {
        {0, 0, 427, 328, 1024, 768, 428, 329, 298, 219}, // 219.5 truncated
        // Only the extent counts, not where the window was.
        {100, 200, 527, 528, 640, 480, 428, 329, 106, 75},
        // Larger than the screen: -61 / 2 goes toward zero, not to -31.
        {0, 0, 700, 500, 640, 480, 701, 501, -30, -10},
        // 40001 does not fit a signed 16-bit width: it wraps to -25535.
        {0, 0, 40000, 99, 1024, 768, -25535, 100, 13279, 334},
    };
    for (const auto &c : cases) {
        RECT window = {c.left, c.top, c.right, c.bottom};
        PagePlacement p;
        CentrePage(&window, c.screenWidth, c.screenHeight, &p);
        EXPECT_EQ(std::vector<int>({c.width, c.height, c.x, c.y}),
                  std::vector<int>({p.width, p.height, p.x, p.y}))
            << c.right;
    }
}

TEST(ProductText, NameGoesWhereThePercentSIsAndLongOutputIsCut) {
    const char *welcome = " This program will install %s into your computer.";
    const struct {
        const char *format, *name, *expected;
    } cases[] = {
        {welcome, "Velor Scroll Mouse",
         " This program will install Velor Scroll Mouse into your computer."},
        {"You have installed %s Successfully !", "", "You have installed  Successfully !"},
        {"100%% %d %", "x", "100% %d %"},
        // The longest name a script holds fits.
        {welcome, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde",
         " This program will install ABCDEFGHIJKLMNOPQRSTUVWXYZabcde into your computer."},
    };
    char out[PAGE_TEXT];
    for (const auto &c : cases) {
        EXPECT_EQ(1, FormatProductText(out, sizeof out, c.format, c.name)) << c.format;
        EXPECT_STREQ(c.expected, out);
    }

    char format[PAGE_TEXT];
    memset(format, 'f', sizeof format - 3);
    strcpy(format + sizeof format - 3, "%s");
    EXPECT_EQ(0, FormatProductText(out, sizeof out, format, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"));
    EXPECT_EQ(PAGE_TEXT - 1, (int)strlen(out));
    EXPECT_EQ('A', out[PAGE_TEXT - 3]);
}

} // namespace
