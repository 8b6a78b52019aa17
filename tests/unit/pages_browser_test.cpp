// The folder chooser on the platform's own open-file dialog, worked from a
// driver thread: what the folder field shows, and what OK and Cancel leave
// in the destination folder.
#include "pages/destination.h"
#include "resources/resource_ids.h"
#include "support/page_driver.h"

#include <gtest/gtest.h>
#include <direct.h>
#include <string>
#include <vector>

namespace {

const char ChooserTitle[] = "Browse Directory";

class FolderChooser : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
    }
    void TearDown() override { DropQuitMessage(); }
};

// The field once the hook has filled it on opening.
HWND OpenedChooser(const std::string &expected) {
    HWND dialog = WaitForWindow("#32770", ChooserTitle);
    if (dialog != NULL)
        WaitFor([&] { return ItemText(dialog, IDC_BROWSE_FOLDER) == expected; });
    return dialog;
}

int FindEntry(HWND list, const char *name) {
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH];
        text[0] = '\0';
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        std::string entry = text;
        if (lstrcmpiA(entry.c_str(), name) == 0 ||
            lstrcmpiA(entry.c_str(), (std::string("[") + name + "]").c_str()) == 0)
            return i;
    }
    return -1;
}

TEST_F(FolderChooser, OkAtOnceKeepsTheDestination) {
    std::string field;
    DWORD selection = 0;
    bool focused = false;
    DWORD mainThread = GetCurrentThreadId();
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = OpenedChooser("C:\\VELOR");
                  if (dialog == NULL)
                      return;
                  HWND edit = GetDlgItem(dialog, IDC_BROWSE_FOLDER);
                  field = WindowText(edit);
                  selection = (DWORD)SendMessageA(edit, EM_GETSEL, 0, 0);
                  GUITHREADINFO info;
                  info.cbSize = sizeof info;
                  focused = GetGUIThreadInfo(mainThread, &info) && info.hwndFocus == edit;
                  PressButton(dialog, IDC_BROWSE_OK);
              });
    EXPECT_EQ("C:\\VELOR", field);
    // The whole text is selected and has the focus, so typing replaces it.
    EXPECT_EQ(0u, LOWORD(selection));
    EXPECT_EQ(8u, HIWORD(selection));
    EXPECT_TRUE(focused);
    EXPECT_STREQ("C:\\VELOR", InstallConfig.DefaultPath);
    EXPECT_STREQ("C:\\VELOR", BrowseBuffer);
}

TEST_F(FolderChooser, TypedFolderBecomesTheDestinationOnOk) {
    bool opened = false;
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = OpenedChooser("C:\\VELOR");
                  if (dialog == NULL)
                      return;
                  opened = true;
                  SetDlgItemTextA(dialog, IDC_BROWSE_FOLDER, "C:\\windows\\Dorvantix");
                  PressButton(dialog, IDC_BROWSE_OK);
              });
    EXPECT_TRUE(opened);
    EXPECT_STREQ("C:\\windows\\Dorvantix", InstallConfig.DefaultPath);
}

TEST_F(FolderChooser, OverlongFieldIsCutTo79Characters) {
    std::string longText = "C:\\" + std::string(97, 'D');
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = OpenedChooser("C:\\VELOR");
                  if (dialog == NULL)
                      return;
                  SetDlgItemTextA(dialog, IDC_BROWSE_FOLDER, longText.c_str());
                  PressButton(dialog, IDC_BROWSE_OK);
              });
    EXPECT_EQ(longText.substr(0, 79), std::string(InstallConfig.DefaultPath));
}

TEST_F(FolderChooser, DoubleClickedFolderShowsAndCancelLeavesEverything) {
    char before[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(before, sizeof before));
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    // The Windows folder's own name, as the list under the root shows it.
    std::string windowsName = std::string(windowsDir).substr(3);
    std::string entered;
    int entry = -1;
    RunDriven(
        [] { BrowseForFolder(NULL); },
        [&] {
            HWND dialog = OpenedChooser("C:\\VELOR");
            if (dialog == NULL)
                return;
            HWND list = GetDlgItem(dialog, IDC_BROWSE_FOLDER_LIST);
            WaitFor([&] { return (entry = FindEntry(list, windowsName.c_str())) >= 0; });
            if (entry >= 0) {
                SendMessageA(list, LB_SETCURSEL, entry, 0);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_FOLDER_LIST, LBN_DBLCLK),
                             reinterpret_cast<LPARAM>(list));
                WaitFor([&] {
                    return lstrcmpiA(ItemText(dialog, IDC_BROWSE_FOLDER).c_str(), windowsDir) == 0;
                });
            }
            entered = ItemText(dialog, IDC_BROWSE_FOLDER);
            PressButton(dialog, IDC_BROWSE_CANCEL);
        });
    ASSERT_GE(entry, 0) << "no entry " << windowsName << " in the folder list";
    EXPECT_EQ(0, lstrcmpiA(windowsDir, entered.c_str())) << entered;
    EXPECT_STREQ("C:\\VELOR", InstallConfig.DefaultPath);
    char after[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(after, sizeof after));
    EXPECT_STREQ(before, after);
}

TEST_F(FolderChooser, FolderTooLongForTheFieldLeavesThePreviousText) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string deep = std::string(temp) + "browse-long";
    CreateDirectoryA(deep.c_str(), NULL);
    std::vector<std::string> made = {deep};
    while (deep.size() < 100) {
        deep += "\\level-of-a-deep-tree";
        CreateDirectoryA(deep.c_str(), NULL);
        made.push_back(deep);
    }
    char before[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(before, sizeof before));
    std::string shortField, longField;
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = OpenedChooser("C:\\VELOR");
                  if (dialog == NULL)
                      return;
                  // The current folder is the process's: move it as the
                  // dialog would, then have the hook refresh (sent, so it is
                  // done when the call returns).
                  SetCurrentDirectoryA(made[0].c_str());
                  SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
                  shortField = ItemText(dialog, IDC_BROWSE_FOLDER);
                  SetCurrentDirectoryA(deep.c_str());
                  SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
                  longField = ItemText(dialog, IDC_BROWSE_FOLDER);
                  PressButton(dialog, IDC_BROWSE_CANCEL);
              });
    EXPECT_EQ(0, lstrcmpiA(made[0].c_str(), shortField.c_str())) << shortField;
    EXPECT_EQ(shortField, longField);
    char after[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(after, sizeof after));
    EXPECT_STREQ(before, after);
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
}

} // namespace
