// The page host running real pages from the program's templates, the
// destination check on real folders, and the folder chooser on the platform's
// own dialog worked from a driver thread.
#include <gtest/gtest.h>

#include <ctype.h>
#include <direct.h>
#include <string>
#include <vector>

#include "pages/destination.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "support/files.h"
#include "support/page_driver.h"

namespace {

// What the test page does once filled in: post a command (0: WM_CLOSE), or
// close itself inside its init with a result (and lose the quit message to a
// wait dropping everything queued, as the copy page's does).
enum { POST, CLOSE_IN_INIT, CLOSE_LOSING_QUIT } Action;
WPARAM Command;
std::string Seen; // each showing: created, initialised, its title and controls

LRESULT CALLBACK ScriptedPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        Seen += "created ";
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    if (message == WM_COMMAND && wParam >= IDC_NEXT && wParam <= IDC_BACK) {
        PageResult = wParam == IDC_NEXT ? 1 : wParam == IDC_CANCEL ? 0 : 2;
        ClosePageWindow(page);
        return 0;
    }
    if (message != WM_PAGE_INIT)
        return DefWindowProcA(page, message, wParam, lParam);
    Seen += "init " + WindowText(page) + (GetDlgItem(page, IDC_SIDE_PICTURE) ? " framed" : "");
    if (Action == POST)
        PostMessageA(page, Command ? WM_COMMAND : WM_CLOSE, Command, 0);
    if (Action != POST) {
        PageResult = (short)Command;
        ClosePageWindow(page);
    }
    for (MSG dropped; Action == CLOSE_LOSING_QUIT && PeekMessageA(&dropped, 0, 0, 0, PM_REMOVE);)
        ;
    return 0;
}

TEST(PageHost, ShowingsEndWithTheirResultsOrTheOneBeforeAndLeaveNoQuitBehind) {
    AppInstance = GetModuleHandleA(NULL);
    CopyText(InstallConfig.ProductName, 32, "Velor Scroll Mouse");
    // In order: each showing also proves that the one before left the class,
    // the queue and the result in order. Template 105 is shown by no page.
    // clang-format off
    const struct { decltype(Action) action; WPARAM command; short before, result; } showings[] = {
        {POST, IDC_NEXT, 0, 1}, {POST, IDC_BACK, 1, 2},
        {POST, IDC_CANCEL, 1, 0},              // a second showing with the class of the first
        {POST, 0, 2, 2}, {POST, 0, 0, 0},      // closed without a command: the result before
        {CLOSE_IN_INIT, 1, 0, 1}, {POST, IDC_BACK, 0, 2}, {CLOSE_LOSING_QUIT, 0, 1, 0},
        {POST, IDC_NEXT, 0, 1},
    };
    // clang-format on
    for (const auto &showing : showings) {
        Action = showing.action, Command = showing.command, Seen = "";
        PageResult = showing.before;
        EXPECT_EQ(showing.result, RunPage("SETUP_SELTYPE", ScriptedPage, IDD_SELECT_TYPE));
        EXPECT_EQ("created init Velor Scroll Mouse Setup framed", Seen) << &showing - showings;
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    }
    PageResult = 1;
    EXPECT_EQ(0, RunPage("SETUP_SELTYPE", ScriptedPage, 4321)) << "a missing template";
}

TEST(PageFrame, CentredOnePixelLargerInSixteenBitsAndTheNameInTheTexts) {
    // clang-format off
    const struct { RECT window; short screenWidth, screenHeight; std::vector<int> placed; } rows[] = {
        {{0, 0, 427, 328}, 1024, 768, {298, 219, 428, 329}},     // 219.5 truncated
        {{100, 200, 527, 528}, 640, 480, {106, 75, 428, 329}},   // only the extent counts
        {{0, 0, 700, 500}, 640, 480, {-30, -10, 701, 501}},      // toward zero, not -31
        {{0, 0, 40000, 99}, 1024, 768, {13279, 334, -25535, 100}}, // 40001 wraps in 16 bits
    };
    // clang-format on
    for (const auto &row : rows) {
        PagePlacement p;
        CentrePage(&row.window, row.screenWidth, row.screenHeight, &p);
        EXPECT_EQ(row.placed, std::vector<int>({p.x, p.y, p.width, p.height}));
    }
    char text[PAGE_TEXT], longFormat[PAGE_TEXT] = {};
    memset(longFormat, 'f', PAGE_TEXT - 3);
    const std::string name(31, 'N');
    // clang-format off
    const struct { const char *format; int fit; std::string text; } texts[] = {
        {" This program will install %s into your computer.", 1,
         " This program will install " + name + " into your computer."},
        {"100%% %d %", 1, "100% %d %"}, {strcat(longFormat, "%s"), 0, std::string(125, 'f') + "NN"},
    };
    // clang-format on
    for (const auto &row : texts) {
        EXPECT_EQ(row.fit, FormatProductText(text, sizeof text, row.format, name.c_str()));
        EXPECT_EQ(row.text, text);
    }
}

// The Next check on real folders of the prefix; the message boxes answered by
// a recording stand-in, the free space by the platform or by the row.
std::vector<std::string> Shown; // the texts shown, then the roots asked, the folders made
int Answer, FreeAnswer;         // FreeAnswer below 0: the platform's own figure
unsigned long long FreeKilobytes;

const DestinationOps Ops = {IsDirectory,
                            [](HWND, short text, UINT type) {
                                Shown.push_back(std::to_string(text) +
                                                (type == (MB_OKCANCEL | MB_ICONQUESTION) ? "?"
                                                 : type == (MB_OK | MB_ICONWARNING)      ? "!"
                                                                                         : "?!"));
                                return text == 32 ? Answer : IDOK;
                            },
                            [](const char *root, unsigned long long *kilobytes) {
                                Shown.push_back(root);
                                if (FreeAnswer < 0)
                                    return PlatformDestinationOps.FreeKilobytes(root, kilobytes);
                                *kilobytes = FreeKilobytes;
                                return FreeAnswer;
                            },
                            [](const char *path) {
                                Shown.push_back("made");
                                return PlatformDestinationOps.CreateFolder(path);
                            }};

TEST(DestinationCheck, FormQuestionSpaceAndCreationInThatOrder) {
    Scratch base("dst");
    WriteFile(base / "FILE", "a file, not a folder");
    const std::string root = base.path.substr(0, 3); // its drive, "C:\"
    // '~' stands for the test folder, its drive letter in lower case.
    // clang-format off
    const struct { std::string path; int freeAnswer; unsigned long long free; short minimum; int answer,
                   accepted; std::vector<std::string> shown; } rows[] = {
        {"C:", -1, 0, 1024, IDOK, 0, {"33!"}}, {"C", -1, 0, 1024, IDOK, 0, {"33!"}},
        {"", -1, 0, 1024, IDOK, 0, {"33!"}}, {"1:\\VELOR", -1, 0, 1024, IDOK, 0, {"1:\\", "33!"}},
        {"~\\missing\\deeper", -1, 0, 1024, IDOK, 0, {root, "made", "33!"}},
        {"~\\FILE", -1, 0, 1024, IDOK, 0, {root, "made", "33!"}},
        {root, -1, 0, 1024, IDOK, 1, {"32?", root}}, // an existing folder is never made
        {"~", -1, 0, 1024, IDCANCEL, 0, {"32?"}}, {"~", -1, 0, 1024, IDOK, 1, {"32?", root}},
        {"~\\new", -1, 0, 32767, IDOK, 1, {root, "made"}}, {"~\\zero", 1, 0, 0, IDOK, 1, {root, "made"}},
        {"~\\exact", 1, 2048, 2048, IDOK, 1, {root, "made"}},
        {"~\\small", 1, 2047, 2048, IDOK, 0, {root, "34!"}},
        {"~\\huge", 1, 0xFFFFFFFFFull, -1, IDOK, 0, {root, "34!"}}, // 65535 in the script
        {"~\\above4GiB", 1, 0x100000001ull, 32767, IDOK, 1, {root, "made"}},
        {"~\\noanswer", 0, 123456, 1024, IDOK, 0, {root, "33!"}},  // a failed query
    };
    // clang-format on
    for (const auto &row : rows) {
        std::string path = row.path[0] == '~' ? (char)tolower(base.path[0]) + base.path.substr(1) +
                                                    row.path.substr(1)
                                              : row.path;
        Shown.clear();
        FreeAnswer = row.freeAnswer, FreeKilobytes = row.free, Answer = row.answer;
        InstallConfig.MinimumSpace = row.minimum;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR"); // a longer text behind
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, path.c_str());
        EXPECT_EQ(row.accepted, AcceptDestination(NULL, &Ops)) << path;
        EXPECT_EQ(row.shown, Shown) << path;
        if (row.path[0] == '~')
            EXPECT_EQ(row.accepted || row.path == "~", IsDirectory(path.c_str()) != 0) << path;
    }
    EXPECT_FALSE(fs::exists(base / "missing"));
    // Free space above 4 GiB: 4 GiB and 4 KiB, and the largest factors.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
}

// The chooser as the destination page opens it, once its field is filled.
void Chooser(const std::function<void(HWND)> &steps) {
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = WaitForWindow("#32770", "Browse Directory");
                  if (dialog && WaitFor([&] { return ItemText(dialog, 1003) == "C:\\VELOR"; }))
                      steps(dialog);
              });
}

TEST(Chooser, OkTakesTheFieldCutTo79CancelLeavesTheFolderAndTheCurrentOne) {
    const std::string longText = "C:\\" + std::string(97, 'D');
    const std::pair<std::string, std::string> typed[] = {
        {"", "C:\\VELOR"}, {"C:\\windows\\Dorvantix", ""}, {longText, longText.substr(0, 79)}};
    DWORD mainThread = GetCurrentThreadId();
    for (const auto &row : typed) {
        DWORD selection = 0;
        HWND focus = NULL, field = NULL;
        Chooser([&](HWND dialog) {
            field = GetDlgItem(dialog, 1003);
            SendMessageTimeoutA(field, EM_GETSEL, 0, 0, 0, WaitBound, (PDWORD_PTR)&selection);
            GUITHREADINFO info = {sizeof info};
            GetGUIThreadInfo(mainThread, &info);
            focus = info.hwndFocus;
            if (!row.first.empty())
                SetDlgItemTextA(dialog, 1003, row.first.c_str());
            PressButton(dialog, IDOK);
        });
        // All of the field selected, with the focus: typing replaces it.
        EXPECT_EQ(MAKELONG(0, 8), (LONG)selection);
        EXPECT_EQ(field, focus);
        EXPECT_EQ(row.second.empty() ? row.first : row.second, InstallConfig.DefaultPath);
    }
    char windows[MAX_PATH], before[MAX_PATH], after[MAX_PATH], now[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    Scratch deep("browse" + std::string(90, 'd'));
    std::string entered, changed, stays, name = windows + 3;
    _getcwd(before, sizeof before);
    Chooser([&](HWND dialog) {
        // A double-click on the Windows folder under C:\ enters it; another
        // drive chosen shows the folder the dialog made current then.
        HWND list = GetDlgItem(dialog, 1121);
        LRESULT entry = -1;
        WaitFor([&] {
            entry = SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)name.c_str());
            entry = entry >= 0 ? entry
                               : SendMessageA(list, LB_FINDSTRINGEXACT, -1,
                                              (LPARAM)("[" + name + "]").c_str());
            return entry >= 0;
        });
        SendMessageA(list, LB_SETCURSEL, entry, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), (LPARAM)list);
        WaitFor([&] { return !lstrcmpiA((entered = ItemText(dialog, 1003)).c_str(), windows); });
        SetCurrentDirectoryA(before); // on another drive than the one in the list
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1137, CBN_SELCHANGE), 0);
        WaitFor([&] { return (changed = ItemText(dialog, 1003)) != entered; });
        GetCurrentDirectoryA(sizeof now, now);
        // A current folder too long for the field leaves the text as it was.
        SetCurrentDirectoryA(deep.path.c_str());
        SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
        stays = ItemText(dialog, 1003);
        PressButton(dialog, IDCANCEL);
    });
    _getcwd(after, sizeof after);
    EXPECT_EQ(0, lstrcmpiA(windows, entered.c_str())) << entered;
    EXPECT_EQ(0, lstrcmpiA(now, changed.c_str())) << changed;
    EXPECT_EQ(changed + " C:\\VELOR " + before,
              stays + " " + InstallConfig.DefaultPath + " " + after);
}

} // namespace
