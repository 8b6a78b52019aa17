// The copy engine and the copy page on real files: one file copied or left
// alone, the page run over scripted media with a cancel at each message step,
// and the progress panel's pixels.
#include <gtest/gtest.h>

#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "pages/page_host.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "support/canvas.h"
#include "support/files.h"
#include "support/page_driver.h"

TEST(CopyOneFile, CopiedWholeOrTheTargetLeftAsItWasAndNoTemporaryFileLeft) {
    Scratch folder("copyone");
    for (const char *name : {"NEW.TXT", "OLD.TXT", "RO.TXT", "KEEP.DRV", "SPARE.TMP", "ADIR\\X"})
        WriteFile(folder / name, name);
    SetFileAttributesA((folder / "RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    // Source and target; NULL: a path that did not fit. A source that opens
    // but fails to read (the host's memory file) must leave no new target.
    const char *unreadable = "Z:\\proc\\self\\mem";
    // clang-format off
    const std::pair<const char *, const char *> copies[] = {
        {"NEW.TXT", "COPY.TXT"}, {"NEW.TXT", "OLD.TXT"}, {"ABSENT.DR_", "KEEP.DRV"}, {"ABSENT.DR_", "NONE.DRV"},
        {"NEW.TXT", "RO.TXT"}, {"NEW.TXT", "NOFOLDER\\NEW.TXT"}, {"NEW.TXT", "ADIR"}, {NULL, "KEEP.DRV"},
        {"NEW.TXT", NULL}, {unreadable, "HALF.DRV"}};
    // clang-format on
    std::string handles;
    for (const auto &copy : copies) {
        OpenSourceFile(NULL, copy.first == unreadable ? unreadable
                             : copy.first             ? (folder / copy.first).c_str()
                                                      : NULL);
        CopyToTarget(NULL, copy.second ? (folder / copy.second).c_str() : NULL);
        handles += std::to_string(SourceHandle) + " ";
    }
    // A failed expansion keeps the old file and drops the partial copy.
    EXPECT_EQ(0,
              SettleExpansion((folder / "SPARE.TMP").c_str(), (folder / "KEEP.DRV").c_str(), -1));
    EXPECT_EQ("-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 ADIR\\ ADIR\\X=ADIR\\X COPY.TXT=NEW.TXT "
              "KEEP.DRV=KEEP.DRV NEW.TXT=NEW.TXT "
              "OLD.TXT=NEW.TXT RO.TXT=RO.TXT ",
              handles + Listing(folder.path));
}

// The texts the copy page showed, seen on the thread's sent messages, and a
// click on its Cancel button queued behind ClickAfter messages at its start.
static std::string Shown;
static int ClickAfter;
static HWND Page;
static DWORD StatusAt; // when the registry step's status line was shown

static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT &sent = *(const CWPSTRUCT *)lParam;
    if (sent.message == WM_SETTEXT && Page && GetParent(sent.hwnd) == Page)
        Shown += (const char *)sent.lParam + std::string("|");
    if (sent.message == WM_SETTEXT && Page &&
        lstrcmpA((const char *)sent.lParam, "Updating Registry...") == 0)
        StatusAt = GetTickCount();
    if ((sent.message == WM_DESTROY || sent.message == WM_NCDESTROY) && sent.hwnd == Page)
        Shown += CopyPageDC ? "dc|" : "no dc|"; // given back as the page goes
    if (sent.message == WM_PAGE_INIT) {
        for (int i = 0; i < ClickAfter; i++)
            PostMessageA(sent.hwnd, WM_NULL, 0, 0);
        if (ClickAfter >= 0)
            PostMessageA(GetDlgItem(sent.hwnd, IDC_COPY_CANCEL), BM_CLICK, 0, 0);
        Page = sent.hwnd;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// The registry step's startup entry: it tells that the step ran, for which folder.
static std::string RunEntry() {
    return ReadRegValues(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run")["Dorvantix"];
}

TEST(CopyPage, ShowsEachFileItsShareOfTheDiskAndTheRegistryStepAndCancelsAtEitherStep) {
    AppInstance = GetModuleHandleA(NULL);
    Scratch folder("copypage"), windows("C:\\IW"); // a Windows folder fits 39 with "\\SYSTEM"
    const std::string dest = folder / "DEST", media = folder / "MEDIA",
                      packed = ReadFile(BuildFolder() + "\\media-originals\\HELP\\MOUSEHLP.TXT"),
                      four = "[DiskLabel]\nDisk1=a\n[FileCounts]\nDisk1=4\n[Disk1]\n1=A1,A1,f\n"
                             "2=A2,A2,f\n3=A3,A3,f\n4=A4,A4,f\n";
    // What the page showed (status and percentage in turn), the destination
    // and the file in the Windows folder after, the cancel notice (with
    // whether the page stood then and the registry step's entry), the result.
    // clang-format off
    const struct { std::string script; int clickAfter; std::string seen; } runs[] = {
        // Disks of 4 (one file into the Windows folder), 7 (a missing line, a
        // missing source, a packed file) and 0 files.
        {"[DiskLabel]\nDisk1=a\nDisk2=b\nDisk3=c\n[FileCounts]\nDisk1=4\nDisk2=7\nDisk3=0\n[DirectoryName]\n"
         "SubDir1=SUB\nWinDir=W\n[Disk1]\n1=A1,A1,First\n2=A2,A2,b\n3=W1,W1,w,WinDir\n4=A3,A3,c\n[Disk2]\n"
         "1=B1,B1,b,SubDir1\n2=B2,B2,b,SubDir1\n3=MOUSEHLP.TX_,B3,b,SubDir1\n5=B5,B5,b,SubDir1\n"
         "6=GONE,B6,gone,SubDir1\n7=B7,B7,b,SubDir1\n", -1,
         "Copying A1\n\nFirst|25%|Copying A2\n\nb|50%|Copying W1\n\nw|75%|Copying A3\n\nc|100%|"
         "Copying B1\n\nb|14%|Copying B2\n\nb|28%|Copying MOUSEHLP.TX_\n\nb|42%|Copying \n\n|57%|"
         "Copying B5\n\nb|71%|Copying GONE\n\ngone|85%|Copying B7\n\nb|100%|Updating Registry...|no dc|no dc| "
         "A1=A1 A2=A2 A3=A3 SUB\\ SUB\\B1=SUB\\B1 SUB\\B2=SUB\\B2 SUB\\B3=" + packed + " SUB\\B5=SUB\\B5 "
         "SUB\\B7=SUB\\B7 |W\\W1|||1"},
        // No disks: the sub-folders all the same (only 1 to 6), then the registry step.
        {"[FileCounts]\nDisk1=2\n[DirectoryName]\nRootDir=ROOT\nSubDir1=ONE\nSubDir6=SIX\nWinDir=WIN\n", -1,
         "Updating Registry...|no dc|no dc| ONE\\ SIX\\ |<missing>|||1"},
        // A click served while file 2 is opened still copies it; one served
        // after the copy of file 1 stops before file 2. The registry step
        // runs all the same, before the notice, with the page gone.
        {four, 2, "Copying A1\n\nf|25%|Copying A2\n\nf|dc|no dc| A1=A1 A2=A2 |<missing>|" + dest +
         "\\ZKMAIN.EXE -startup|Velor installation is not completed !|0"},
        {four, 1, "Copying A1\n\nf|25%|dc|no dc| A1=A1 |<missing>|" + dest + "\\ZKMAIN.EXE -startup|"
         "Velor installation is not completed !|0"},
    };
    // clang-format on
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, NULL, GetCurrentThreadId());
    for (const auto &run : runs) {
        fs::remove_all(dest);
        fs::remove(windows / "W1");
        fs::create_directories(dest);
        WriteFile(media + "\\SETUP.INF", run.script);
        for (const char *file :
             {"A1", "A2", "A3", "A4", "SUB\\B1", "SUB\\B2", "SUB\\B5", "SUB\\B7", "W\\W1"})
            WriteFile(media + "\\" + file, file);
        fs::copy_file(BuildFolder() + "\\media\\HELP\\MOUSEHLP.TX_", media + "\\SUB\\MOUSEHLP.TX_",
                      fs::copy_options::overwrite_existing);
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
        ASSERT_EQ(1, LoadScriptFrom((media + "\\SETUP.EXE").c_str(), windows.path.c_str(), NULL));
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, dest.c_str());
        Shown = "", ClickAfter = run.clickAfter, Page = NULL, StatusAt = 0;
        short result = -1;
        DWORD returned = 0;
        std::string notice = "|";
        RunDriven(
            [&] {
                result = RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALL);
                returned = GetTickCount();
            },
            [&] {
                if (ClickAfter >= 0 && WaitForWindow("#32770", InstallConfig.Caption))
                    notice = (IsWindow(Page) ? "page " : "") + RunEntry() + "|" +
                             AnswerMessageBox(InstallConfig.Caption, IDOK);
            });
        fs::remove(dest + "\\SETUP.INF"); // the registry step's journal
        EXPECT_EQ(run.seen, Shown + " " + Listing(dest) + "|" + ReadFile(windows / "W1") + "|" +
                                notice + "|" + std::to_string(result));
        // The user reads the status line for a second before the registry
        // step: a lower bound, which no slow machine can break.
        EXPECT_LE(StatusAt ? 1000u : 0u, returned - StatusAt) << &run - runs;
        EXPECT_EQ(dest + "\\ZKMAIN.EXE -startup", RunEntry()) << &run - runs;
    }
    UnhookWindowsHookEx(hook);
}

TEST(Panel, SunkenBoxOutlinesAndTheBarColumns) {
    // The copy page's placeholder, 141 by 12 pixels at (144, 112), and a
    // framed control, drawn on a memory bitmap of the page's size.
    HWND page = CreateWindowA("STATIC", "", WS_POPUP, 50, 40, 340, 240, NULL, NULL, NULL, NULL);
    CreateWindowA("STATIC", "", WS_CHILD, 144, 112, 141, 12, page, (HMENU)1011, NULL, NULL);
    CreateWindowA("STATIC", "", WS_CHILD | WS_BORDER, 20, 30, 50, 20, page, (HMENU)1012, NULL,
                  NULL);
    const COLORREF back = RGB(10, 20, 30), gray = 0x808080, white = 0xFFFFFF, blue = 0xFF0000;
    HDC dc = Canvas(320, 200, back);
    RECT r, framed;
    ControlRectInParent(page, 1011, &r);
    ControlRectInParent(page, 1012, &framed); // inside its border; the box's own on the pixels
    EXPECT_EQ(std::vector<LONG>({21, 31, 69, 49}),
              std::vector<LONG>({framed.left, framed.top, framed.right, framed.bottom}));
    // Gray outline on columns 143 and 283 and rows 111 and 122, drawn over
    // the white one on columns 144 and 284 and rows 112 and 123; the bar at
    // 25 % on columns 145 to 178 and rows 113 to 120.
    DrawSunkenBox(page, dc, 1011, WHITE_BRUSH);
    ShowDiskShare(page, dc, &r, 25);
    EXPECT_EQ("", Differs(dc, {136, 105, 293, 131}, [&](int x, int y) {
                  return (x >= 143 && x <= 283 && (y == 111 || y == 122)) ||
                                 (y >= 111 && y <= 122 && (x == 143 || x == 283))
                             ? gray
                         : x >= 145 && x <= 178 && y >= 113 && y <= 120 ? blue
                         : x >= 144 && x <= 284 && y >= 112 && y <= 123 ? white
                                                                        : back;
              }));
    // At 100 % up to column 282; a box drawn again empties it, the device
    // context keeping its own pen and brush.
    ShowDiskShare(page, dc, &r, 100);
    std::vector<COLORREF> seen = {GetPixel(dc, 145, 120), GetPixel(dc, 282, 113),
                                  GetPixel(dc, 283, 116), GetPixel(dc, 282, 121)};
    HBRUSH mine = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, mine);
    DrawSunkenBox(page, dc, 1011, WHITE_BRUSH);
    seen.push_back(GetPixel(dc, 200, 116));
    seen.push_back(GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN) &&
                   GetCurrentObject(dc, OBJ_BRUSH) == mine);
    EXPECT_EQ(std::vector<COLORREF>({blue, blue, gray, white, white, 1}), seen);
}
