// The copy engine and the copy page on real files: one file copied or left
// alone, the page run over scripted media and over the sample media, a cancel
// at each message step, and the progress panel's pixels.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "script/script.h"
#include "support/files.h"
#include "support/page_driver.h"

namespace {

TEST(CopyOneFile, CopiedWholeOrTheTargetLeftAsItWasAndNoTemporaryFileLeft) {
    Scratch folder("copyone");
    HWND page = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    for (const char *name : {"NEW.TXT", "OLD.TXT", "LOCKED.TXT", "KEEP.DRV", "SPARE.TMP"})
        WriteFile(folder / name, std::string("content of ") + name + "\r\n");
    SetFileAttributesA((folder / "LOCKED.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    fs::create_directory(folder / "ADIR");
    const std::string fresh = ReadFile(folder / "NEW.TXT");
    // Source and target (NULL: a path that did not fit), the target after.
    // clang-format off
    const struct { const char *source, *target, *after; } rows[] = {
        {"NEW.TXT", "COPY.TXT", fresh.c_str()},      {"NEW.TXT", "OLD.TXT", fresh.c_str()},
        {"ABSENT.DR_", "KEEP.DRV", "content of KEEP.DRV\r\n"}, {"ABSENT.DR_", "NONE.DRV", "<missing>"},
        {"NEW.TXT", "LOCKED.TXT", "content of LOCKED.TXT\r\n"}, {"NEW.TXT", "NOFOLDER\\NEW.TXT", "<missing>"},
        {"NEW.TXT", "ADIR", "<dir>"},                {NULL, "KEEP.DRV", "content of KEEP.DRV\r\n"},
        {"NEW.TXT", NULL, NULL},
    };
    // clang-format on
    for (const auto &row : rows) {
        EXPECT_EQ(1, OpenSourceFile(page, row.source ? (folder / row.source).c_str() : NULL));
        EXPECT_EQ(1, CopyToTarget(page, row.target ? (folder / row.target).c_str() : NULL));
        EXPECT_EQ(NO_LZ_HANDLE, SourceHandle);
        if (row.target)
            EXPECT_EQ(row.after, ReadFile(folder / row.target)) << row.target;
    }
    // A failed expansion keeps the old file and drops the partial copy.
    EXPECT_EQ(0,
              SettleExpansion((folder / "SPARE.TMP").c_str(), (folder / "KEEP.DRV").c_str(), -1));
    EXPECT_EQ("content of KEEP.DRV\r\n", ReadFile(folder / "KEEP.DRV"));
    EXPECT_EQ(std::set<std::string>(
                  {"ADIR\\", "COPY.TXT", "KEEP.DRV", "LOCKED.TXT", "NEW.TXT", "OLD.TXT"}),
              Listing(folder.path));
    SetFileAttributesA((folder / "LOCKED.TXT").c_str(), FILE_ATTRIBUTE_NORMAL);
    DestroyWindow(page);
}

// What the copy page showed, seen on the thread's sent messages, and a click
// on its Cancel button queued behind ClickAfter other messages at its start.
std::string Statuses, Percents;
int ClickAfter;
HWND Page;

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT &sent = *(const CWPSTRUCT *)lParam;
    char parent[32] = "";
    GetClassNameA(GetParent(sent.hwnd), parent, sizeof parent);
    if (sent.message == WM_SETTEXT && !strcmp(parent, "SETUP_INSTALL"))
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

// The registry step's startup entry: it tells that the step ran, and for which folder.
std::string RunEntry() {
    return ReadRegValues(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run")["Dorvantix"];
}

class CopyPage : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        ScreenWidth = 1024, ScreenHeight = 768;
        fs::create_directories(windows / "SYSTEM");
        fs::create_directories(windows / "INF");
        fs::create_directories(dest);
        ClickAfter = -1;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, NULL, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        FreeInstallTables();
    }
    // The page for the script beside the program, copying into dest; with a
    // click, the cancel notice is answered and what stood then is kept.
    short Run(const std::string &program) {
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
        Statuses = Percents = atNotice = notice = "";
        EXPECT_EQ(1, LoadScriptFrom(program.c_str(), windows.path.c_str(), NULL));
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, dest.c_str());
        short result = -1;
        RunDriven([&] { result = RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALL); },
                  [&] {
                      if (ClickAfter < 0 || !WaitForWindow("#32770", InstallConfig.Caption))
                          return;
                      atNotice = (IsWindow(Page) ? "page " : "") + RunEntry();
                      notice = AnswerMessageBox(InstallConfig.Caption, IDOK);
                  });
        return result;
    }
    Scratch folder{"copypage"}, windows{"C:\\IW"}; // a short Windows folder: entries hold 39
    std::string dest = folder / "DEST", atNotice, notice;
    HHOOK hook;
};

TEST_F(CopyPage, ShowsEachFileItsShareOfTheDiskAndTheRegistryStepAndCancelsAtEitherStep) {
    const std::string Four =
        "[DiskLabel]\nDisk1=a\n[FileCounts]\nDisk1=4\n[Disk1]\n"
        "1=A1.TXT,A1.TXT,f\n2=A2.TXT,A2.TXT,f\n3=A3.TXT,A3.TXT,f\n4=A4.TXT,A4.TXT,f\n";
    // clang-format off
    const struct { std::string script; int clickAfter; short result; std::string statuses, percents;
                   std::vector<std::string> copied; } runs[] = {
        // Three disks of 3, 7 (a missing line, a missing source) and 0 files.
        {"[DiskLabel]\nDisk1=a\nDisk2=b\nDisk3=c\n[FileCounts]\nDisk1=3\nDisk2=7\nDisk3=0\n"
         "[DirectoryName]\nSubDir1=SUB\n[Disk1]\n1=A1.TXT,A1.TXT,First\n2=A2.TXT,A2.TXT,b\n3=A3.TXT,A3.TXT,c\n"
         "[Disk2]\n1=B1.TXT,B1.TXT,b,SubDir1\n2=B2.TXT,B2.TXT,b,SubDir1\n3=B3.TXT,B3.TXT,b,SubDir1\n"
         "5=B5.TXT,B5.TXT,b,SubDir1\n6=GONE.TXT,B6.TXT,gone,SubDir1\n7=B7.TXT,B7.TXT,b,SubDir1\n",
         -1, 1, "Copying A1.TXT\n\nFirst|Copying A2.TXT\n\nb|Copying A3.TXT\n\nc|Copying B1.TXT\n\nb|"
         "Copying B2.TXT\n\nb|Copying B3.TXT\n\nb|Copying \n\n|Copying B5.TXT\n\nb|Copying GONE.TXT\n\ngone|"
         "Copying B7.TXT\n\nb|Updating Registry...|", "33%|66%|100%|14%|28%|42%|57%|71%|85%|100%|",
         {"A1.TXT", "A2.TXT", "A3.TXT", "SUB\\", "SUB\\B1.TXT", "SUB\\B2.TXT", "SUB\\B3.TXT", "SUB\\B5.TXT", "SUB\\B7.TXT"}},
        // No disks: the sub-folders all the same (only 1 to 6), then the registry step.
        {"[FileCounts]\nDisk1=2\n[DirectoryName]\nRootDir=ROOT\nSubDir1=ONE\nSubDir6=SIX\nWinDir=WIN\n",
         -1, 1, "Updating Registry...|", "", {"ONE\\", "SIX\\"}},
        // A click served while file 2 is opened still copies it; one served
        // after the copy of file 1 stops before file 2.
        {Four, 2, 0, "Copying A1.TXT\n\nf|Copying A2.TXT\n\nf|", "25%|", {"A1.TXT", "A2.TXT"}},
        {Four, 1, 0, "Copying A1.TXT\n\nf|", "25%|", {"A1.TXT"}},
    };
    // clang-format on
    for (const auto &run : runs) {
        std::string media = folder / "MEDIA";
        fs::remove_all(media);
        fs::remove_all(dest);
        fs::create_directories(dest);
        WriteFile(media + "\\SETUP.INF", run.script);
        for (const char *file : {"A3.TXT", "A4.TXT"}) // for a copy that does not stop
            WriteFile(media + "\\" + file, std::string("content of ") + file);
        for (const std::string &file : run.copied)
            if (file.back() != '\\')
                WriteFile(media + "\\" + file, "content of " + file);
        ClickAfter = run.clickAfter;
        EXPECT_EQ(run.result, Run(media + "\\SETUP.EXE"));
        EXPECT_EQ(run.statuses, Statuses);
        EXPECT_EQ(run.percents, Percents);
        EXPECT_EQ(std::set<std::string>(run.copied.begin(), run.copied.end()), Listing(dest));
        for (const std::string &file : run.copied)
            if (file.back() != '\\')
                EXPECT_EQ("content of " + file, ReadFile(dest + "\\" + file));
        // The registry step runs after a cancel too, before the notice, and
        // the page is gone by then.
        EXPECT_EQ(run.clickAfter < 0 ? "" : dest + "\\ZKMAIN.EXE -startup", atNotice);
        EXPECT_EQ(run.clickAfter < 0 ? "" : "Velor installation is not completed !", notice);
        EXPECT_EQ(dest + "\\ZKMAIN.EXE -startup", RunEntry());
        FreeInstallTables();
    }
}

TEST_F(CopyPage, SampleMediaArrivesWhereItsScriptSaysByteForByte) {
    const std::string build = BuildFolder();
    EXPECT_EQ(1, Run(build + "\\media\\SETUP.EXE"));
    for (const FileEntry *e = InstallRecords;
         e < InstallRecords + InstallConfig.DiskTable.TotalFiles; e++) {
        std::string original =
            ReadFile(build + "\\media-originals\\" + e->SourceSubDir + "\\" + e->TargetName);
        std::string target =
            (e->IsAbsolute ? std::string() : dest + "\\") + e->TargetDir + "\\" + e->TargetName;
        // The registry step may record previous settings into the script's copy.
        EXPECT_EQ(original, ReadFile(target).substr(0, original.size())) << target;
        EXPECT_TRUE(strcmp(e->TargetName, "SETUP.INF") == 0 || original == ReadFile(target));
    }
}

// The page's placeholder, 141 by 12 pixels at (144, 112), and a framed
// control, on a 320 by 200 memory bitmap filled with a backing colour.
class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 320, -200, 1, 32}};
        void *bits;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        kept = SelectObject(dc, bitmap);
        RECT all = {0, 0, 320, 200};
        FillRect(dc, &all, backing);
    }
    void TearDown() override {
        SelectObject(dc, kept);
        DeleteObject(bitmap);
        DeleteObject(backing);
        DeleteDC(dc);
        DestroyWindow(page);
    }
    HWND page = CreateWindowA("STATIC", "", WS_POPUP, 50, 40, 340, 240, NULL, NULL, NULL, NULL);
    HWND place = CreateWindowA("STATIC", "", WS_CHILD, 144, 112, 141, 12, page, (HMENU)1011, 0, 0);
    HWND framed = CreateWindowA("STATIC", "", WS_CHILD | WS_BORDER, 20, 30, 50, 20, page,
                                (HMENU)1012, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HBRUSH backing = CreateSolidBrush(RGB(10, 20, 30));
    HBITMAP bitmap;
    HGDIOBJ kept;
};

std::string Hex(HDC dc, int x, int y) {
    char text[16];
    wsprintfA(text, " %06lx", GetPixel(dc, x, y));
    return text;
}

std::string Show(const RECT &r) {
    char text[64];
    wsprintfA(text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    return text;
}

TEST_F(Panel, SunkenBoxOutlinesFillCodesAndTheBarColumns) {
    RECT r, framed;
    ControlRectInParent(page, 1011, &r);
    ControlRectInParent(page, 1012, &framed); // inside its border
    EXPECT_EQ("144,112,285,124 21,31,69,49", Show(r) + " " + Show(framed));

    // Gray outline on columns 143 and 283 and rows 111 and 122, drawn over
    // the white one on columns 144 and 284 and rows 112 and 123; the bar at
    // 25 % on columns 145 to 178 and rows 113 to 120.
    DrawSunkenBox(page, dc, 1011, WHITE_BRUSH);
    ShowDiskShare(page, dc, &r, 25);
    std::string wrong;
    for (int y = 105; y <= 130; y++)
        for (int x = 136; x <= 292; x++) {
            bool gray = (x >= 143 && x <= 283 && (y == 111 || y == 122)) ||
                        (y >= 111 && y <= 122 && (x == 143 || x == 283));
            bool white = x >= 144 && x <= 284 && y >= 112 && y <= 123;
            bool blue = x >= 145 && x <= 178 && y >= 113 && y <= 120;
            COLORREF want = gray ? 0x808080 : blue ? 0xFF0000 : white ? 0xFFFFFF : RGB(10, 20, 30);
            if (GetPixel(dc, x, y) != want)
                wrong += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
    EXPECT_EQ("", wrong);
    ShowDiskShare(page, dc, &r, 100); // up to column 282
    EXPECT_EQ(" ff0000 ff0000 808080 ffffff",
              Hex(dc, 145, 120) + Hex(dc, 282, 113) + Hex(dc, 283, 116) + Hex(dc, 282, 121));

    // The inside by fill code; the device context keeps its own pen and brush.
    HBRUSH mine = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ brush = SelectObject(dc, mine);
    // clang-format off
    const std::pair<unsigned short, COLORREF> codes[] = {
        {100, 0x00FF00}, {101, 0x00FFFF}, {102, 0x0000FF}, {103, 0x008000}, {104, 0x008080},
        {105, 0x000080}, {106, 0x808000}, {LTGRAY_BRUSH, 0xC0C0C0}, {DKGRAY_BRUSH, 0x404040},
        {BLACK_BRUSH, 0}, {NULL_BRUSH, RGB(10, 20, 30)}, {WHITE_BRUSH, 0xFFFFFF},
    };
    // clang-format on
    for (const auto &code : codes) {
        RECT inside = {145, 113, 283, 122};
        FillRect(dc, &inside, backing);
        DrawSunkenBox(page, dc, 1011, code.first);
        EXPECT_EQ(code.second, GetPixel(dc, 200, 116)) << code.first;
        EXPECT_EQ(RGB(128, 128, 128), GetPixel(dc, 143, 116));
        EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(dc, OBJ_PEN));
        EXPECT_EQ(mine, GetCurrentObject(dc, OBJ_BRUSH));
    }
    DeleteObject(SelectObject(dc, brush));
}

} // namespace
