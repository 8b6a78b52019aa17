// The copy page run by the page host, as the setup runs it: the sample media
// copied into a test destination and Windows folder, what the page shows
// file by file, a script without disks, and Cancel at both message steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/copy_engine.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "support/page_driver.h"
#include "support/script_files.h"

namespace {

// What the page showed, seen through a hook on the thread's sent messages.
struct Watch {
    std::vector<std::string> status;
    std::vector<std::string> percent;
    // Cancel: messages posted ahead of the click when the page starts, so
    // that the click is served by the message step that number counts to.
    int clickAfter = -1;
    HWND page = NULL;
    // Whether the copy held the page's device context as the page was
    // destroyed, and still held it once the page had handled WM_DESTROY.
    bool dcAtDestroy = false, dcAfterDestroy = true;
};
Watch Seen;
HHOOK Hook;

LRESULT CALLBACK WatchSent(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION) {
        char className[32] = "";
        HWND parent = GetParent(sent->hwnd);
        if (parent)
            GetClassNameA(parent, className, sizeof className);
        if (sent->message == WM_SETTEXT && lstrcmpA(className, "SETUP_INSTALL") == 0) {
            int id = GetDlgCtrlID(sent->hwnd);
            const char *text = reinterpret_cast<const char *>(sent->lParam);
            if (id == IDC_STATUS)
                Seen.status.push_back(text);
            else if (id == IDC_PERCENT)
                Seen.percent.push_back(text);
        }
        if (sent->hwnd == Seen.page && sent->message == WM_DESTROY)
            Seen.dcAtDestroy = CopyPageDC != NULL;
        if (sent->hwnd == Seen.page && sent->message == WM_NCDESTROY)
            Seen.dcAfterDestroy = CopyPageDC != NULL;
        if (sent->message == WM_PAGE_INIT) {
            Seen.page = sent->hwnd;
            if (Seen.clickAfter >= 0) {
                for (int i = 0; i < Seen.clickAfter; i++)
                    PostMessageA(sent->hwnd, WM_NULL, 0, 0);
                PostMessageA(GetDlgItem(sent->hwnd, IDC_COPY_CANCEL), BM_CLICK, 0, 0);
            }
        }
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

std::string BuildFolder() {
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, sizeof module);
    std::string path = module;
    path.erase(path.rfind('\\'));
    path.erase(path.rfind('\\'));
    return path;
}

bool IsFile(const std::string &path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != 0xFFFFFFFF && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> Names(const std::string &folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The startup value that the registry step writes: it tells that step ran
// and for which destination.
std::string RunValue() {
    HKEY key;
    char data[MAX_PATH] = "";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, "Dorvantix", NULL, NULL, (BYTE *)data, &size) != ERROR_SUCCESS)
        data[0] = '\0';
    RegCloseKey(key);
    return data;
}

class CopyPage : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        Seen = Watch();
        Hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchSent, NULL, GetCurrentThreadId());
        ASSERT_NE(nullptr, Hook);
        // A folder of its own per test: the platform's profile cache must not
        // serve one test's script to the next under the same path.
        static int tests;
        scratch = MakeScratchFolder(("instpage" + std::to_string(++tests) + "_").c_str());
        // Short: a file entry holds the Windows folder and "\\SYSTEM" in 39
        // characters, and the loader cuts what is longer.
        windows = "C:\\INSTW" + std::to_string(tests) + "_" + std::to_string(GetCurrentProcessId());
        RemoveTree(windows);
        destination = scratch + "\\DEST";
        MakeFolders(windows + "\\SYSTEM");
        MakeFolders(windows + "\\INF");
        MakeFolders(destination);
    }
    void TearDown() override {
        UnhookWindowsHookEx(Hook);
        FreeInstallTables();
        RemoveTree(scratch);
        RemoveTree(windows);
    }
    // Loads the script beside programPath as the setup would, with the test
    // Windows folder, and points the destination at the test folder (the
    // destination page would have made it).
    void Load(const std::string &programPath) {
        ASSERT_EQ(1, LoadScriptFrom(programPath.c_str(), windows.c_str(), NULL));
        ASSERT_EQ(1, CopyText(InstallConfig.DefaultPath, PATH_TEXT, destination.c_str()));
    }
    // A media of plain text files in scratch\MEDIA with the given script.
    std::string MakeMedia(const std::string &script, const std::vector<std::string> &files) {
        std::string media = scratch + "\\MEDIA";
        MakeFolders(media);
        EXPECT_TRUE(WriteTextFile(media + "\\SETUP.INF", script));
        for (const std::string &file : files) {
            std::string path = media + "\\" + file;
            MakeFolders(path.substr(0, path.rfind('\\')));
            EXPECT_TRUE(WriteTextFile(path, "content of " + file + "\n"));
        }
        return media + "\\SETUP.EXE";
    }
    short Run() { return RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALL); }

    std::string scratch, windows, destination;
};

TEST_F(CopyPage, SampleMediaArrivesEverywhereByteForByte) {
    std::string media = BuildFolder() + "\\media";
    std::string originals = BuildFolder() + "\\media-originals";
    ASSERT_TRUE(IsFile(media + "\\SETUP.INF")) << "media not built: " << media;
    Load(media + "\\SETUP.EXE");
    ASSERT_EQ(2, InstallConfig.DiskTable.DiskCount);

    EXPECT_EQ(1, Run());
    EXPECT_EQ(1, PageResult);
    EXPECT_FALSE(IsWindow(Seen.page));

    int compressed = 0;
    for (int i = 0; i < InstallConfig.DiskTable.TotalFiles; i++) {
        const FileEntry &e = InstallRecords[i];
        std::string original = originals;
        if (e.SourceSubDir[0])
            original += std::string("\\") + e.SourceSubDir;
        original += std::string("\\") + e.TargetName;
        std::string target = e.IsAbsolute
                                 ? std::string(e.TargetDir)
                                 : destination + (e.TargetDir[0] ? "\\" : "") + e.TargetDir;
        target += std::string("\\") + e.TargetName;
        if (lstrcmpA(e.SourceName, e.TargetName) != 0)
            compressed++;
        ASSERT_TRUE(IsFile(original)) << original;
        ASSERT_TRUE(IsFile(target)) << target;
        std::string want = ReadWholeFile(original);
        std::string got = ReadWholeFile(target);
        if (lstrcmpiA(e.TargetName, "SETUP.INF") == 0) {
            // The registry step writes its record and undo journal into this
            // copy; the profile writer drops the blank lines.
            for (std::string *text : {&want, &got})
                for (size_t at; (at = text->find("\r\n\r\n")) != std::string::npos;)
                    text->erase(at, 2);
            EXPECT_EQ(want, got.substr(0, want.size())) << target;
        } else
            EXPECT_EQ(want, got) << target;
    }
    EXPECT_GE(compressed, 5);

    // Absolute entries went into the Windows folders, the rest below the destination.
    EXPECT_EQ((std::vector<std::string>{"SCROLL.DRV", "SCROLL.VXD"}), Names(windows + "\\SYSTEM"));
    EXPECT_EQ((std::vector<std::string>{"SCROLL.INF"}), Names(windows + "\\INF"));
    EXPECT_EQ((std::vector<std::string>{"INF", "SYSTEM", "VELOR.INI"}), Names(windows));
    EXPECT_EQ((std::vector<std::string>{"DOCS", "HELP", "README.TXT", "SETUP.INF", "UNINSTAL.EXE",
                                        "ZKMAIN.EXE", "ZKPAGE.DLL"}),
              Names(destination));
    EXPECT_EQ((std::vector<std::string>{"BUTTONS.TXT", "MOUSEHLP.TXT", "WHEEL.TXT"}),
              Names(destination + "\\HELP"));
    EXPECT_EQ(destination + "\\ZKMAIN.EXE -startup", RunValue());
}

TEST_F(CopyPage, ShowsEveryFileItsShareAndTheRegistryStep) {
    std::string program =
        MakeMedia("[Main]\nProductName=Pct\n"
                  "[DiskLabel]\nDisk1=one\nDisk2=two\nDisk3=three\n"
                  "[FileCounts]\nDisk1=3\nDisk2=7\nDisk3=0\n"
                  "[DirectoryName]\nSubDir1=SUB\n"
                  "[Disk1]\n1=A1.TXT,A1.TXT,First,RootDir\n"
                  "2=A2.TXT,A2.TXT,Second,RootDir\n3=A3.TXT,A3.TXT,Third,RootDir\n"
                  "[Disk2]\n1=B1.TXT,B1.TXT,b,SubDir1\n2=B2.TXT,B2.TXT,b,SubDir1\n"
                  "3=B3.TXT,B3.TXT,b,SubDir1\n5=B5.TXT,B5.TXT,b,SubDir1\n"
                  "6=GONE.TXT,B6.TXT,not on the media,SubDir1\n"
                  "7=B7.TXT,B7.TXT,b,SubDir1\n",
                  {"A1.TXT", "A2.TXT", "A3.TXT", "SUB\\B1.TXT", "SUB\\B2.TXT", "SUB\\B3.TXT",
                   "SUB\\B5.TXT", "SUB\\B7.TXT"});
    Load(program);
    EXPECT_EQ(1, Run());

    EXPECT_EQ((std::vector<std::string>{"33%", "66%", "100%", "14%", "28%", "42%", "57%", "71%",
                                        "85%", "100%"}),
              Seen.percent);
    ASSERT_EQ(11u, Seen.status.size());
    EXPECT_EQ("Copying A1.TXT\n\nFirst", Seen.status[0]);
    EXPECT_EQ("Copying A3.TXT\n\nThird", Seen.status[2]);
    EXPECT_EQ("Copying \n\n", Seen.status[6]); // key 4 of Disk2 is missing
    EXPECT_EQ("Copying GONE.TXT\n\nnot on the media", Seen.status[8]);
    EXPECT_EQ("Updating Registry...", Seen.status[10]);

    // SETUP.INF: the undo journal of the registry step.
    EXPECT_EQ((std::vector<std::string>{"A1.TXT", "A2.TXT", "A3.TXT", "SETUP.INF", "SUB"}),
              Names(destination));
    EXPECT_EQ((std::vector<std::string>{"B1.TXT", "B2.TXT", "B3.TXT", "B5.TXT", "B7.TXT"}),
              Names(destination + "\\SUB"));
    EXPECT_EQ("content of SUB\\B5.TXT\r\n", ReadWholeFile(destination + "\\SUB\\B5.TXT"));
}

TEST_F(CopyPage, NoDisksStillMakesFoldersAndRunsTheRegistryStep) {
    std::string program = MakeMedia("[Main]\nProductName=Empty\n"
                                    "[FileCounts]\nDisk1=2\n"
                                    "[DirectoryName]\nRootDir=ROOT\nSubDir1=ONE\nSubDir6=SIX\n"
                                    "WinDir=WINSRC\n",
                                    {});
    Load(program);
    ASSERT_EQ(0, InstallConfig.DiskTable.DiskCount);
    EXPECT_EQ(1, Run());
    EXPECT_EQ((std::vector<std::string>{"Updating Registry..."}), Seen.status);
    EXPECT_TRUE(Seen.percent.empty());
    EXPECT_EQ((std::vector<std::string>{"ONE", "SETUP.INF", "SIX"}), Names(destination));
    EXPECT_EQ(destination + "\\ZKMAIN.EXE -startup", RunValue());
}

class CancelledCopy : public CopyPage {
  protected:
    // Runs the page with a click served by message step number `step`
    // (0: opening file 1, 1: after its copy, 2: opening file 2, ...).
    void RunWithClick(int step) {
        std::string program = MakeMedia("[Main]\nProductName=Velor Test\n"
                                        "[DiskLabel]\nDisk1=one\n[FileCounts]\nDisk1=4\n"
                                        "[Disk1]\n1=F1.TXT,F1.TXT,f,RootDir\n"
                                        "2=F2.TXT,F2.TXT,f,RootDir\n3=F3.TXT,F3.TXT,f,RootDir\n"
                                        "4=F4.TXT,F4.TXT,f,RootDir\n",
                                        {"F1.TXT", "F2.TXT", "F3.TXT", "F4.TXT"});
        Load(program);
        Seen.clickAfter = step;
        RunDriven([&] { result = Run(); },
                  [&] {
                      HWND box = WaitForWindow("#32770", InstallConfig.Caption);
                      if (box == NULL)
                          return;
                      pageAtNotice = IsWindow(Seen.page);
                      runValueAtNotice = RunValue();
                      notice = AnswerMessageBox(InstallConfig.Caption, IDOK);
                  });
    }
    void ExpectCancelled() {
        EXPECT_EQ(0, result);
        EXPECT_EQ(0, PageResult);
        EXPECT_EQ("Velor Test installation is not completed !", notice);
        EXPECT_FALSE(pageAtNotice);
        // The page gave the copy's device context back as it went.
        EXPECT_TRUE(Seen.dcAtDestroy);
        EXPECT_FALSE(Seen.dcAfterDestroy);
        EXPECT_EQ(nullptr, CopyPageDC);
        // The registry step ran before the notice, after a cancel too.
        EXPECT_EQ(destination + "\\ZKMAIN.EXE -startup", runValueAtNotice);
        // The page was gone: no status line or percentage after the click.
        EXPECT_EQ((std::vector<std::string>{"25%"}), Seen.percent);
        EXPECT_EQ(std::find(Seen.status.begin(), Seen.status.end(), "Updating Registry..."),
                  Seen.status.end());
    }
    short result = -1;
    bool pageAtNotice = true;
    std::string notice, runValueAtNotice;
};

TEST_F(CancelledCopy, ClickWhileOpeningAFileStillCopiesIt) {
    RunWithClick(2); // served by the open of file 2
    ExpectCancelled();
    EXPECT_EQ((std::vector<std::string>{"F1.TXT", "F2.TXT", "SETUP.INF"}), Names(destination));
    EXPECT_EQ("content of F2.TXT\r\n", ReadWholeFile(destination + "\\F2.TXT"));
}

TEST_F(CancelledCopy, ClickAfterACopyStopsBeforeTheNextFile) {
    RunWithClick(1); // served after the copy of file 1
    ExpectCancelled();
    EXPECT_EQ((std::vector<std::string>{"F1.TXT", "SETUP.INF"}), Names(destination));
}

} // namespace
