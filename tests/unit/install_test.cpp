// The copy engine and the copy page on real files: one file copied or left
// alone, the page run over scripted media with a cancel at each message step,
// and the progress panel's pixels.
#include <gtest/gtest.h>

#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "script/script.h"
#include "support/canvas.h"
#include "support/files.h"
#include "support/page_driver.h"

TEST(CopyOneFile, CopiedWholeOrTheTargetLeftAsItWasAndNoTemporaryFileLeft) {
    Scratch folder("copyone");
    HWND page = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    for (const char *name : {"NEW.TXT", "OLD.TXT", "LOCKED.TXT", "KEEP.DRV", "SPARE.TMP"})
        WriteFile(folder / name, std::string(name) + "\r\n");
    SetFileAttributesA((folder / "LOCKED.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    fs::create_directory(folder / "ADIR");
    // Source and target (NULL: a path that did not fit), the target after.
    // clang-format off
    const struct { const char *source, *target, *after; } rows[] = {
        {"NEW.TXT", "COPY.TXT", "NEW.TXT\r\n"}, {"NEW.TXT", "OLD.TXT", "NEW.TXT\r\n"},
        {"ABSENT.DR_", "KEEP.DRV", "KEEP.DRV\r\n"}, {"ABSENT.DR_", "NONE.DRV", "<missing>"},
        {"NEW.TXT", "LOCKED.TXT", "LOCKED.TXT\r\n"}, {"NEW.TXT", "NOFOLDER\\NEW.TXT", "<missing>"},
        {"NEW.TXT", "ADIR", "<dir>"}, {NULL, "KEEP.DRV", "KEEP.DRV\r\n"}, {"NEW.TXT", NULL, NULL},
    };
    // clang-format on
    for (const auto &row : rows) {
        EXPECT_EQ(1, OpenSourceFile(page, row.source ? (folder / row.source).c_str() : NULL));
        EXPECT_EQ(1, CopyToTarget(page, row.target ? (folder / row.target).c_str() : NULL));
        EXPECT_EQ(NO_LZ_HANDLE, SourceHandle);
        EXPECT_EQ(row.after ? row.after : "", row.target ? ReadFile(folder / row.target) : "");
    }
    // A failed expansion keeps the old file and drops the partial copy.
    EXPECT_EQ(0,
              SettleExpansion((folder / "SPARE.TMP").c_str(), (folder / "KEEP.DRV").c_str(), -1));
    EXPECT_EQ("KEEP.DRV\r\n", ReadFile(folder / "KEEP.DRV"));
    EXPECT_EQ(std::set<std::string>(
                  {"ADIR\\", "COPY.TXT", "KEEP.DRV", "LOCKED.TXT", "NEW.TXT", "OLD.TXT"}),
              Listing(folder.path));
    SetFileAttributesA((folder / "LOCKED.TXT").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What the copy page showed, seen on the thread's sent messages, and a click
// on its Cancel button queued behind ClickAfter other messages at its start.
static std::string Statuses, Percents;
static int ClickAfter;
static HWND Page;

static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT &sent = *(const CWPSTRUCT *)lParam;
    if (sent.message == WM_SETTEXT && Page && GetParent(sent.hwnd) == Page)
        (GetDlgCtrlID(sent.hwnd) == IDC_STATUS ? Statuses : Percents) +=
            (const char *)sent.lParam + std::string("|");
    if (sent.message == WM_PAGE_INIT) {
        Page = sent.hwnd;
        for (int i = 0; i < ClickAfter; i++)
            PostMessageA(Page, WM_NULL, 0, 0);
        if (ClickAfter >= 0)
            PostMessageA(GetDlgItem(Page, IDC_COPY_CANCEL), BM_CLICK, 0, 0);
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
    const std::string
        dest = folder / "DEST",
        media = folder / "MEDIA",
        original = ReadFile(BuildFolder() + "\\media-originals\\HELP\\MOUSEHLP.TXT"),
        four = "[DiskLabel]\nDisk1=a\n[FileCounts]\nDisk1=4\n[Disk1]\n1=A1.TXT,A1.TXT,f\n"
               "2=A2.TXT,A2.TXT,f\n3=A3.TXT,A3.TXT,f\n4=A4.TXT,A4.TXT,f\n";
    // clang-format off
    const struct { std::string script; int clickAfter; short result; std::string statuses, percents;
                   std::set<std::string> copied; std::string absolute; } runs[] = {
        // Disks of 4 (one into the Windows folder), 7 (a missing line, a missing
        // source, a packed file) and 0 files.
        {"[DiskLabel]\nDisk1=a\nDisk2=b\nDisk3=c\n[FileCounts]\nDisk1=4\nDisk2=7\nDisk3=0\n[DirectoryName]\n"
         "SubDir1=SUB\nWinDir=W\n[Disk1]\n1=A1.TXT,A1.TXT,First\n2=A2.TXT,A2.TXT,b\n3=W1.TXT,W1.TXT,w,WinDir\n"
         "4=A3.TXT,A3.TXT,c\n"
         "[Disk2]\n1=B1.TXT,B1.TXT,b,SubDir1\n2=B2.TXT,B2.TXT,b,SubDir1\n3=MOUSEHLP.TX_,B3.TXT,b,SubDir1\n"
         "5=B5.TXT,B5.TXT,b,SubDir1\n6=GONE.TXT,B6.TXT,gone,SubDir1\n7=B7.TXT,B7.TXT,b,SubDir1\n",
         -1, 1, "Copying A1.TXT\n\nFirst|Copying A2.TXT\n\nb|Copying W1.TXT\n\nw|Copying A3.TXT\n\nc|Copying B1.TXT\n\nb|"
         "Copying B2.TXT\n\nb|Copying MOUSEHLP.TX_\n\nb|Copying \n\n|Copying B5.TXT\n\nb|Copying GONE.TXT\n\ngone|"
         "Copying B7.TXT\n\nb|Updating Registry...|", "25%|50%|75%|100%|14%|28%|42%|57%|71%|85%|100%|",
         {"A1.TXT", "A2.TXT", "A3.TXT", "SUB\\", "SUB\\B1.TXT", "SUB\\B2.TXT", "SUB\\B3.TXT", "SUB\\B5.TXT", "SUB\\B7.TXT"},
         "W\\W1.TXT"},
        // No disks: the sub-folders all the same (only 1 to 6), then the registry step.
        {"[FileCounts]\nDisk1=2\n[DirectoryName]\nRootDir=ROOT\nSubDir1=ONE\nSubDir6=SIX\nWinDir=WIN\n",
         -1, 1, "Updating Registry...|", "", {"ONE\\", "SIX\\"}, "<missing>"},
        // A click served while file 2 is opened still copies it; one served
        // after the copy of file 1 stops before file 2.
        {four, 2, 0, "Copying A1.TXT\n\nf|Copying A2.TXT\n\nf|", "25%|", {"A1.TXT", "A2.TXT"}, "<missing>"},
        {four, 1, 0, "Copying A1.TXT\n\nf|", "25%|", {"A1.TXT"}, "<missing>"},
    };
    // clang-format on
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, NULL, GetCurrentThreadId());
    for (const auto &run : runs) {
        fs::remove_all(dest);
        fs::create_directories(dest);
        WriteFile(media + "\\SETUP.INF", run.script);
        fs::remove(windows / "W1.TXT");
        for (const char *file : {"A1.TXT", "A2.TXT", "A3.TXT", "A4.TXT", "SUB\\B1.TXT",
                                 "SUB\\B2.TXT", "SUB\\B5.TXT", "SUB\\B7.TXT", "W\\W1.TXT"})
            WriteFile(media + "\\" + file, file);
        fs::copy_file(BuildFolder() + "\\media\\HELP\\MOUSEHLP.TX_", media + "\\SUB\\MOUSEHLP.TX_",
                      fs::copy_options::overwrite_existing);
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
        ASSERT_EQ(1, LoadScriptFrom((media + "\\SETUP.EXE").c_str(), windows.path.c_str(), NULL));
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, dest.c_str());
        Statuses = Percents = "";
        ClickAfter = run.clickAfter;
        Page = NULL;
        short result = -1;
        std::string atNotice, notice; // whether the page stands and the entry, then the notice
        RunDriven([&] { result = RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALL); },
                  [&] {
                      if (ClickAfter < 0 || !WaitForWindow("#32770", InstallConfig.Caption))
                          return;
                      atNotice = (IsWindow(Page) ? "page " : "") + RunEntry();
                      notice = AnswerMessageBox(InstallConfig.Caption, IDOK);
                  });
        EXPECT_EQ(run.result, result);
        EXPECT_EQ(run.statuses, Statuses);
        EXPECT_EQ(run.percents, Percents);
        EXPECT_EQ(run.copied, Listing(dest));
        EXPECT_EQ(run.absolute, ReadFile(windows / "W1.TXT"));
        for (const std::string &file : run.copied)
            EXPECT_EQ(file == "SUB\\B3.TXT" ? original
                      : file.back() == '\\' ? "<dir>"
                                            : file,
                      ReadFile(dest + "\\" + file));
        // The registry step runs after a cancel too, before the notice, with the page gone.
        EXPECT_EQ(run.clickAfter < 0 ? "" : dest + "\\ZKMAIN.EXE -startup", atNotice);
        EXPECT_EQ(run.clickAfter < 0 ? "" : "Velor installation is not completed !", notice);
        EXPECT_EQ(dest + "\\ZKMAIN.EXE -startup", RunEntry());
    }
    UnhookWindowsHookEx(hook);
    FreeInstallTables();
}

TEST(Panel, SunkenBoxOutlinesFillCodesAndTheBarColumns) {
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
    ControlRectInParent(page, 1012, &framed); // inside its border
    EXPECT_EQ(std::vector<LONG>({144, 112, 285, 124, 21, 31, 69, 49}),
              std::vector<LONG>({r.left, r.top, r.right, r.bottom, framed.left, framed.top,
                                 framed.right, framed.bottom}));
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
    // At 100 % up to column 282; then the inside by fill code, the device
    // context keeping its own pen and brush.
    ShowDiskShare(page, dc, &r, 100);
    std::vector<COLORREF> seen = {GetPixel(dc, 145, 120), GetPixel(dc, 282, 113),
                                  GetPixel(dc, 283, 116), GetPixel(dc, 282, 121)};
    HBRUSH mine = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, mine);
    for (int code : {100, 101, 102, 103, 104, 105, 106, LTGRAY_BRUSH, NULL_BRUSH, BLACK_BRUSH}) {
        DrawSunkenBox(page, dc, 1011, (unsigned short)code);
        seen.push_back(GetPixel(dc, 200, 116));
    }
    seen.push_back(GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN) &&
                   GetCurrentObject(dc, OBJ_BRUSH) == mine);
    // clang-format off
    EXPECT_EQ(std::vector<COLORREF>({blue, blue, gray, white, 0x00FF00, 0x00FFFF, 0x0000FF, 0x008000,
                                     0x008080, 0x000080, 0x808000, 0xC0C0C0, 0xC0C0C0, 0, 1}), seen);
    // clang-format on
}
