// The finish and destination pages run through the real page host from the
// program's templates, worked from a driver thread: what they show, what
// their buttons leave in the process-wide choices and results. The
// mouse-type page is worked by the end-to-end scenarios.
#include "pages/destination.h"
#include "resources/resource_ids.h"
#include "support/page_driver.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char Title[] = "Velor Scroll Mouse Setup";
const char Caption[] = "Velor Scroll Mouse Setup Program";

class WizardPages : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        BackdropWindow = NULL; // top-level pages, as in the re-registration run
        CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, "Velor Scroll Mouse");
        CopyText(InstallConfig.Caption, PATH_TEXT, Caption);
        InstallConfig.MinimumSpace = 1024;
        RestartChoice = 1;
    }
    void TearDown() override { DropQuitMessage(); }
};

bool Checked(HWND page, int id) {
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A user's click on a radio button: it marks itself and tells the page.
void ClickRadio(HWND page, int id) {
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

struct FinishSeen {
    bool shown = false;
    bool now = false;
    bool later = false;
    std::string heading;
};

void RunFinish(FinishSeen &seen, bool chooseLater) {
    RunDriven([] { RunPage("SETUP_END", FinishPageProc, IDD_FINISH); },
              [&] {
                  HWND page = WaitForWindow("SETUP_END", Title);
                  if (page == NULL)
                      return;
                  seen.shown = true;
                  WaitFor([&] {
                      return Checked(page, IDC_RESTART_NOW) || Checked(page, IDC_RESTART_LATER);
                  });
                  seen.now = Checked(page, IDC_RESTART_NOW);
                  seen.later = Checked(page, IDC_RESTART_LATER);
                  seen.heading = ItemText(page, IDC_HEADING);
                  if (chooseLater)
                      ClickRadio(page, IDC_RESTART_LATER);
                  PressButton(page, IDC_FINISH);
              });
}

TEST_F(WizardPages, FinishKeepsTheRestartUnlessLaterIsChosen) {
    PageResult = 1; // the copy page's result, which the finish page leaves
    FinishSeen kept;
    RunFinish(kept, false);
    EXPECT_TRUE(kept.shown);
    EXPECT_TRUE(kept.now);
    EXPECT_FALSE(kept.later);
    EXPECT_EQ("You have installed Velor Scroll Mouse Successfully !", kept.heading);
    EXPECT_EQ(1, RestartChoice);
    EXPECT_EQ(1, PageResult);

    FinishSeen later;
    RunFinish(later, true);
    EXPECT_TRUE(later.now);
    EXPECT_EQ(0, RestartChoice);
    EXPECT_EQ(1, PageResult);

    // Should the page come again, it shows the choice made.
    FinishSeen again;
    RunFinish(again, false);
    EXPECT_TRUE(again.later);
    EXPECT_FALSE(again.now);
    EXPECT_EQ(0, RestartChoice);
}

short RunDestination() {
    return RunPage("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION);
}

TEST_F(WizardPages, DestinationRefusesAsksAndAcceptsWithItsMessages) {
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:");
    short result = -1;
    std::string heading, shownFolder, refusal, question, firstQuestionAgain;
    bool stayedAfterRefusal = false, stayedAfterCancel = false;
    RunDriven([&] { result = RunDestination(); },
              [&] {
                  HWND page = WaitForWindow("SETUP_SELDIR", Title);
                  if (page == NULL)
                      return;
                  heading = ItemText(page, IDC_HEADING);
                  shownFolder = ItemText(page, IDC_FOLDER);
                  PressButton(page, IDC_NEXT);
                  refusal = AnswerMessageBox(Caption, IDOK);
                  stayedAfterRefusal = IsWindow(page) != 0;
                  // An existing folder: the question, answered Cancel, then OK.
                  SetDlgItemTextA(page, IDC_FOLDER, windowsDir);
                  PressButton(page, IDC_NEXT);
                  question = AnswerMessageBox(Caption, IDCANCEL);
                  Sleep(200);
                  stayedAfterCancel = IsWindow(page) != 0;
                  PressButton(page, IDC_NEXT);
                  firstQuestionAgain = AnswerMessageBox(Caption, IDOK);
              });
    EXPECT_EQ("Velor Scroll Mouse files are to be installed :", heading);
    EXPECT_EQ("C:", shownFolder);
    EXPECT_EQ("Can not create directory !\nThe specified directory is either invalid or disk "
              "drive is write protected.",
              refusal);
    EXPECT_TRUE(stayedAfterRefusal);
    EXPECT_EQ("The specified directory is already exist !\nDo you still want to install into "
              "this directory ?",
              question);
    EXPECT_TRUE(stayedAfterCancel);
    EXPECT_EQ(question, firstQuestionAgain);
    EXPECT_EQ(1, result);
    EXPECT_STREQ(windowsDir, InstallConfig.DefaultPath);
}

TEST_F(WizardPages, DestinationBackTestsNothingAndCancelNotifies) {
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "not a folder");
    short result = -1;
    std::string titles;
    RunDriven([&] { result = RunDestination(); },
              [&] {
                  HWND page = WaitForWindow("SETUP_SELDIR", Title);
                  if (page != NULL)
                      PressButton(page, IDC_BACK);
              });
    EXPECT_EQ(2, result);
    EXPECT_STREQ("not a folder", InstallConfig.DefaultPath);

    std::string notice;
    RunDriven([&] { result = RunDestination(); },
              [&] {
                  HWND page = WaitForWindow("SETUP_SELDIR", Title);
                  if (page == NULL)
                      return;
                  PressButton(page, IDC_CANCEL);
                  notice = AnswerMessageBox(Caption, IDOK);
              });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Velor Scroll Mouse installation is not completed !", notice);
}

} // namespace
