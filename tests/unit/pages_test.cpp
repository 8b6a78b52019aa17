// The page host running pages from the program's templates, the destination
// check on real folders, and the folder chooser on the platform's own dialog
// worked from a driver thread.
#include <gtest/gtest.h>

#include <direct.h>

#include "pages/destination.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "support/files.h"
#include "support/page_driver.h"

// What the test page does when filled in: set a result (-1: none), then close
// by a posted WM_CLOSE (0) or inside its init (1), there also losing its
// quit message to a wait that drops everything queued, as the copy page (2).
static short SetResult;
static int Closing;
static std::string Seen; // its title and whether it has the frame of every page

static LRESULT CALLBACK ScriptedPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    if (message != WM_PAGE_INIT)
        return DefWindowProcA(page, message, wParam, lParam);
    Seen = WindowText(page) + (GetDlgItem(page, IDC_SIDE_PICTURE) ? " framed" : "");
    PageResult = SetResult < 0 ? PageResult : SetResult;
    Closing ? ClosePageWindow(page) : (void)PostMessageA(page, WM_CLOSE, 0, 0);
    for (MSG dropped; Closing == 2 && PeekMessageA(&dropped, 0, 0, 0, PM_REMOVE);)
        ;
    return 0;
}

TEST(PageHost, ShowingsEndWithTheirResultsOrTheOneBeforeAndLeaveNoQuitBehind) {
    AppInstance = GetModuleHandleA(NULL);
    CopyText(InstallConfig.ProductName, 32, "Velor Scroll Mouse");
    // In order, so that each showing also proves that the one before left the
    // class, the queue and the result in order. Template 105 is shown by no page.
    // clang-format off
    const struct { short set; int closing; short before, result; } showings[] = {
        {1, 0, 0, 1}, {2, 0, 1, 2}, {0, 0, 1, 0}, {-1, 0, 2, 2}, {-1, 0, 0, 0}, // stale results
        {1, 1, 0, 1}, {2, 0, 0, 2}, {0, 2, 1, 0}, {1, 0, 0, 1},
    };
    // clang-format on
    for (const auto &showing : showings) {
        SetResult = showing.set, Closing = showing.closing, PageResult = showing.before;
        short result = RunPage("SETUP_SELTYPE", ScriptedPage, IDD_SELECT_TYPE);
        MSG quit;
        EXPECT_EQ(std::to_string(showing.result) + " Velor Scroll Mouse Setup framed 0",
                  std::to_string(result) + " " + Seen + " " +
                      std::to_string(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE)));
    }
    EXPECT_EQ(0, RunPage("SETUP_SELTYPE", ScriptedPage, 4321)) << "a missing template";
    // Centred one pixel wider and taller than the window, in 16 bits: 219.5
    // truncated; only the extent counts; toward zero, not -31; 40001 wraps.
    // clang-format off
    const std::pair<RECT, std::vector<int>> frames[] = {
        {{0, 0, 427, 328}, {298, 219, 428, 329}}, {{100, 200, 527, 528}, {298, 219, 428, 329}},
        {{0, 0, 1100, 800}, {-38, -16, 1101, 801}}, {{0, 0, 40000, 99}, {13279, 334, -25535, 100}}};
    // clang-format on
    for (const auto &frame : frames) {
        PagePlacement p;
        CentrePage(&frame.first, 1024, 768, &p);
        EXPECT_EQ(frame.second, std::vector<int>({p.x, p.y, p.width, p.height}));
    }
    // The name into a template text: "%s" takes it, "%%" is "%", anything else stays; cut to fit.
    for (const auto &format : {std::make_pair("%s 100%% %d 5%", "1 Velor 100% %d 5%"),
                               {"%s%s%s%s%s", "0 VelorVelorVelorVelorVel"}}) {
        char text[24];
        int fit = FormatProductText(text, sizeof text, format.first, "Velor");
        EXPECT_EQ(format.second, std::to_string(fit) + " " + text);
    }
}

// The Next check on real folders of the prefix: the texts shown with their
// box types, the roots whose free space is asked and the folders made. The
// boxes are answered and the space given by the row, or by the platform.
static std::string Shown;
static int Answer, FreeAnswer; // FreeAnswer below 0: the platform's own figure
static unsigned long long FreeKilobytes;

static int Space(const char *root, unsigned long long *kilobytes) {
    Shown += root + std::string(" ");
    if (FreeAnswer < 0)
        return PlatformDestinationOps.FreeKilobytes(root, kilobytes);
    *kilobytes = FreeKilobytes;
    return FreeAnswer;
}

TEST(DestinationCheck, FormQuestionSpaceAndCreationInThatOrder) {
    Scratch base("dst");
    WriteFile(base / "FILE", "a file, not a folder");
    const DestinationOps ops = {IsDirectory,
                                [](HWND, short text, UINT type) {
                                    Shown +=
                                        std::to_string(text) + "/" + std::to_string(type) + " ";
                                    return text == 32 ? Answer : IDOK;
                                },
                                Space,
                                [](const char *path) {
                                    Shown += "made ";
                                    return PlatformDestinationOps.CreateFolder(path);
                                }};
    // '~' stands for the test folder, typed with its drive letter in lower
    // case; "dir": the folder is there afterwards.
    // clang-format off
    const struct { std::string path; int freeAnswer; unsigned long long free; short minimum; int answer;
                   const char *shown; } rows[] = {
        {"C:", -1, 0, 1024, IDOK, "33/48 0"}, {"C", -1, 0, 1024, IDOK, "33/48 0"}, {"", -1, 0, 1024, IDOK, "33/48 0"},
        {"1:\\VELOR", -1, 0, 1024, IDOK, "1:\\ 33/48 0"}, {"~\\missing\\deeper", -1, 0, 1024, IDOK, "C:\\ made 33/48 0"},
        {"~\\FILE", -1, 0, 1024, IDOK, "C:\\ made 33/48 0"},
        {"C:\\", -1, 0, 1024, IDOK, "32/33 C:\\ 1"}, // an existing folder is never made
        {"~", -1, 0, 1024, IDCANCEL, "32/33 0 dir"}, {"~", -1, 0, 1024, IDOK, "32/33 C:\\ 1 dir"},
        {"~\\new", -1, 0, 32767, IDOK, "C:\\ made 1 dir"}, {"~\\zero", 1, 0, 0, IDOK, "C:\\ made 1 dir"},
        {"~\\exact", 1, 2048, 2048, IDOK, "C:\\ made 1 dir"}, {"~\\small", 1, 2047, 2048, IDOK, "C:\\ 34/48 0"},
        {"~\\huge", 1, 0xFFFFFFFFFull, -1, IDOK, "C:\\ 34/48 0"},        // 65535 in the script
        {"~\\big", 1, 0x100000001ull, 32767, IDOK, "C:\\ made 1 dir"},   // above 4 GiB
        {"~\\unknown", 0, 123456, 1024, IDOK, "C:\\ 33/48 0"},           // a failed query
    };
    // clang-format on
    for (const auto &row : rows) {
        std::string path =
            row.path[0] == '~' ? "c" + base.path.substr(1) + row.path.substr(1) : row.path;
        Shown = "", FreeAnswer = row.freeAnswer, FreeKilobytes = row.free, Answer = row.answer;
        InstallConfig.MinimumSpace = row.minimum;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR"); // a longer text behind
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, path.c_str());
        Shown += std::to_string(AcceptDestination(NULL, &ops));
        EXPECT_EQ(row.shown, Shown + (row.path[0] == '~' && fs::is_directory(path) ? " dir" : ""));
    }
    EXPECT_EQ("<missing> a file, not a folder",
              ReadFile(base / "missing") + " " + ReadFile(base / "FILE"));
    // The free space of 4 GiB and 4 KiB, and with the largest factors.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
}

// The chooser as the destination page opens it, worked once its field is filled.
static void Chooser(const std::function<void(HWND)> &steps) {
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = WaitForWindow("#32770", "Browse Directory");
                  if (dialog && WaitFor([&] { return ItemText(dialog, 1003) == "C:\\VELOR"; }))
                      steps(dialog);
              });
}

TEST(Chooser, RefreshedOnADoubleClickAndADriveChangeOkCutTo79CancelLeavesEverything) {
    char windows[MAX_PATH], before[MAX_PATH], now[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    _getcwd(before, sizeof before);
    const std::string name = windows + 3, typed = "C:\\" + std::string(97, 'D');
    Scratch base("browse");
    // 79 characters still fit the field, 80 do not.
    const std::string fits = base / std::string(78 - base.path.size(), 'd'),
                      over = base / std::string(79 - base.path.size(), 'e');
    CreateDirectoryA(fits.c_str(), NULL);
    CreateDirectoryA(over.c_str(), NULL);
    std::string seen;
    for (int button : {IDCANCEL, IDOK}) {
        Chooser([&](HWND dialog) {
            // A double-click on the Windows folder under C:\ enters it; another
            // drive chosen (from the build folder, on Z:) shows the folder the
            // dialog made current then.
            HWND list = GetDlgItem(dialog, 1121);
            LRESULT entry = -1; // the field comes all selected: typing replaces it
            seen +=
                SendMessageA(GetDlgItem(dialog, 1003), EM_GETSEL, 0, 0) == 8 << 16 ? "all " : "";
            WaitFor([&] {
                for (std::string shown : {name, "[" + name + "]"})
                    if (entry < 0)
                        entry = SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)shown.c_str());
                return entry >= 0;
            });
            SendMessageA(list, LB_SETCURSEL, entry, 0);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), (LPARAM)list);
            seen += WaitFor([&] { return !lstrcmpiA(ItemText(dialog, 1003).c_str(), windows); })
                        ? "entered "
                        : "";
            SetCurrentDirectoryA(BuildFolder().c_str());
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1137, CBN_SELCHANGE), 0);
            WaitFor([&] { return lstrcmpiA(ItemText(dialog, 1003).c_str(), windows) != 0; });
            GetCurrentDirectoryA(sizeof now, now);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), now) ? "" : "changed ";
            SetCurrentDirectoryA(over.c_str()); // too long for the field: it stays
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), now) ? "" : "kept ";
            SetCurrentDirectoryA(fits.c_str());
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), fits.c_str()) ? "" : "fits ";
            SetDlgItemTextA(dialog, 1003, typed.c_str());
            PressButton(dialog, button);
        });
        _getcwd(now, sizeof now);
        seen += InstallConfig.DefaultPath + (" " + std::string(now)) + " ";
    }
    EXPECT_EQ("all entered changed kept fits C:\\VELOR " + std::string(before) +
                  " all entered changed kept fits " + typed.substr(0, 79) + " " + before + " ",
              seen);
}
