// The finish and destination pages run through the real page host from the
// program's templates, and the destination's folder chooser on the
// platform's own open-file dialog, all worked from a driver thread: what
// they show, what their buttons leave in the process-wide choices and
// results. The mouse-type page is worked by the end-to-end scenarios.
#include "pages/destination.h"
#include "resources/resource_ids.h"
#include "support/page_driver.h"

#include <gtest/gtest.h>
#include <direct.h>
#include <functional>
#include <string>
#include <vector>

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
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
        RestartChoice = 1;
    }
    void TearDown() override { DropQuitMessage(); }

    // Runs the work while a driver works the first window of the class and
    // title that shows; the steps are skipped when none came.
    static void Drive(const std::function<void()> &work, const char *className, const char *title,
                      const std::function<void(HWND)> &steps) {
        RunDriven(work, [&] {
            HWND window = WaitForWindow(className, title);
            if (window != NULL)
                steps(window);
        });
    }

    // The chooser, once the hook has filled its field.
    static void DriveChooser(const std::function<void(HWND)> &steps) {
        Drive([] { BrowseForFolder(NULL); }, "#32770", "Browse Directory",
              [&](HWND dialog) {
                  WaitFor([&] { return ItemText(dialog, IDC_BROWSE_FOLDER) == "C:\\VELOR"; });
                  steps(dialog);
              });
    }
};

bool Checked(HWND page, int id) {
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A user's click on a radio button: it marks itself and tells the page.
void ClickRadio(HWND page, int id) {
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

TEST_F(WizardPages, FinishKeepsTheRestartUnlessLaterIsChosen) {
    PageResult = 1; // the copy page's result, which the finish page leaves
    const struct {
        bool chooseLater, now, later;
        int restart;
    } showings[] = {{false, true, false, 1},
                    {true, true, false, 0},
                    // Should the page come again, it shows the choice made.
                    {false, false, true, 0}};
    for (const auto &showing : showings) {
        bool shown = false, now = false, later = false;
        std::string heading;
        Drive([] { RunPage("SETUP_END", FinishPageProc, IDD_FINISH); }, "SETUP_END", Title,
              [&](HWND page) {
                  shown = true;
                  WaitFor([&] {
                      return Checked(page, IDC_RESTART_NOW) || Checked(page, IDC_RESTART_LATER);
                  });
                  now = Checked(page, IDC_RESTART_NOW);
                  later = Checked(page, IDC_RESTART_LATER);
                  heading = ItemText(page, IDC_HEADING);
                  if (showing.chooseLater)
                      ClickRadio(page, IDC_RESTART_LATER);
                  PressButton(page, IDC_FINISH);
              });
        EXPECT_TRUE(shown);
        EXPECT_EQ(showing.now, now);
        EXPECT_EQ(showing.later, later);
        EXPECT_EQ("You have installed Velor Scroll Mouse Successfully !", heading);
        EXPECT_EQ(showing.restart, RestartChoice);
        EXPECT_EQ(1, PageResult);
    }
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
    Drive([&] { result = RunDestination(); }, "SETUP_SELDIR", Title,
          [&](HWND page) {
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
    const struct {
        int button;
        short result;
        const char *notice;
    } presses[] = {{IDC_BACK, 2, ""},
                   {IDC_CANCEL, 0, "Velor Scroll Mouse installation is not completed !"}};
    for (const auto &press : presses) {
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "not a folder");
        short result = -1;
        std::string notice;
        Drive([&] { result = RunDestination(); }, "SETUP_SELDIR", Title,
              [&](HWND page) {
                  PressButton(page, press.button);
                  if (*press.notice)
                      notice = AnswerMessageBox(Caption, IDOK);
              });
        EXPECT_EQ(press.result, result);
        EXPECT_EQ(press.notice, notice);
        EXPECT_STREQ("not a folder", InstallConfig.DefaultPath);
    }
}

TEST_F(WizardPages, ChooserOkTakesTheFieldCutTo79Characters) {
    const std::string longText = "C:\\" + std::string(97, 'D');
    const struct {
        std::string typed, expected;
    } cases[] = {{"", "C:\\VELOR"},
                 {"C:\\windows\\Dorvantix", "C:\\windows\\Dorvantix"},
                 {longText, longText.substr(0, 79)}};
    DWORD mainThread = GetCurrentThreadId();
    for (const auto &c : cases) {
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
        std::string field;
        DWORD selection = 0;
        bool focused = false;
        DriveChooser([&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_BROWSE_FOLDER);
            field = WindowText(edit);
            selection = (DWORD)SendMessageA(edit, EM_GETSEL, 0, 0);
            GUITHREADINFO info;
            info.cbSize = sizeof info;
            focused = GetGUIThreadInfo(mainThread, &info) && info.hwndFocus == edit;
            if (!c.typed.empty())
                SetDlgItemTextA(dialog, IDC_BROWSE_FOLDER, c.typed.c_str());
            PressButton(dialog, IDC_BROWSE_OK);
        });
        EXPECT_EQ("C:\\VELOR", field);
        // The whole text is selected and has the focus, so typing replaces it.
        EXPECT_EQ(0u, LOWORD(selection));
        EXPECT_EQ(8u, HIWORD(selection));
        EXPECT_TRUE(focused);
        EXPECT_EQ(c.expected, std::string(InstallConfig.DefaultPath));
        EXPECT_EQ(c.expected, std::string(BrowseBuffer));
    }
}

TEST_F(WizardPages, ChooserFolderChangesShowInTheFieldAndCancelLeavesEverything) {
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    // The Windows folder's own name, as the list under the root shows it.
    std::string windowsName = std::string(windowsDir).substr(3);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::vector<std::string> made = {std::string(temp) + "browse-long"};
    while (made.back().size() < 100)
        made.push_back(made.back() + "\\level-of-a-deep-tree");
    for (const std::string &folder : made)
        CreateDirectoryA(folder.c_str(), NULL);
    char before[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(before, sizeof before));
    std::string entered, shortField, longField;
    int entry = -1;
    DriveChooser([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_BROWSE_FOLDER_LIST);
        // The folder's entry, shown bare or in brackets.
        WaitFor([&] {
            entry = (int)SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)windowsName.c_str());
            if (entry < 0)
                entry = (int)SendMessageA(list, LB_FINDSTRINGEXACT, -1,
                                          (LPARAM)("[" + windowsName + "]").c_str());
            return entry >= 0;
        });
        if (entry >= 0) {
            SendMessageA(list, LB_SETCURSEL, entry, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_FOLDER_LIST, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(list));
            WaitFor([&] {
                return lstrcmpiA(ItemText(dialog, IDC_BROWSE_FOLDER).c_str(), windowsDir) == 0;
            });
        }
        entered = ItemText(dialog, IDC_BROWSE_FOLDER);
        // The current folder is the process's: move it as the dialog would,
        // then have the hook refresh (sent, so it is done on return). A
        // folder too long for the field leaves the previous text.
        SetCurrentDirectoryA(made.front().c_str());
        SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
        shortField = ItemText(dialog, IDC_BROWSE_FOLDER);
        SetCurrentDirectoryA(made.back().c_str());
        SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
        longField = ItemText(dialog, IDC_BROWSE_FOLDER);
        PressButton(dialog, IDC_BROWSE_CANCEL);
    });
    ASSERT_GE(entry, 0) << "no entry " << windowsName << " in the folder list";
    EXPECT_EQ(0, lstrcmpiA(windowsDir, entered.c_str())) << entered;
    EXPECT_EQ(0, lstrcmpiA(made.front().c_str(), shortField.c_str())) << shortField;
    EXPECT_EQ(shortField, longField);
    EXPECT_STREQ("C:\\VELOR", InstallConfig.DefaultPath);
    char after[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(after, sizeof after));
    EXPECT_STREQ(before, after);
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
}

} // namespace
