// UNINSTAL.EXE, run from the product's folder: reads the SETUP.INF beside it
// with the setup's own loader and asks; then a copy of itself in the
// temporary folder puts back what the undo journal there noted, removes the
// product's files, the journal, the uninstaller and the folder, and offers a
// restart. WININIT.INI removes that copy at the next start.
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_ids.h"
#include "script/script.h"
#include "system/journal.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "resources/resource_ids.h"

static char BoxCaption[PATH_TEXT];
static RemovalList Later;

static const char *Text(short id) {
    const char *text = ResourceText(id);
    return text != NULL ? text : "";
}

// A text of the string table with name in its %s, in a box of the caption.
static int Box(short id, const char *name, UINT style) {
    char text[512];
    wsprintfA(text, Text(id), name);
    return MessageBoxA(NULL, text, BoxCaption, style);
}

// Another folder holds the installed product, which took over this one's
// journal when it was set up: the machine is its to put back.
static int Superseded(const char *folder) {
    char other[MAX_PATH], journal[MAX_PATH];
    return InstalledFolder(other, sizeof other) && !SamePath(other, folder) &&
           JoinText(journal, sizeof journal, other, "\\" SCRIPT_FILE) && HasJournal(journal);
}

static void RunSteps(const char *journal, const char *self, const char *systemDir, int apply,
                     UndoTally *tally) {
    if (!Superseded(InstallConfig.SourceRoot)) {
        UndoRegistry(journal, apply, tally);
        UndoSystemFiles(journal, InstallConfig.WindowsDir, systemDir, apply, tally);
        UndoNotedFiles(journal, apply, tally, &Later);
    }
    RemoveProductFiles(journal, InstallConfig.SourceRoot, self, apply, tally, &Later);
}

// Last, in this order, once everything else is back: what is in use named in
// WININIT.INI, the uninstall entry (until then Add/Remove Programs offers
// another run), the journal, then the uninstaller and its folder.
static void Finish(const char *journal, const char *self, const char *runner, UndoTally *done) {
    // The copy in the temporary folder always; the uninstaller itself, which
    // is the runner when there is no copy, only once everything is back.
    int scheduleRunner = !SamePath(self, runner) || done->Failed == 0;
    if (scheduleRunner && Later.Count < MAX_REMOVALS &&
        CopyText(Later.Paths[Later.Count], MAX_PATH, runner))
        Later.Count++;
    if (Later.Count > 0 && !ScheduleRemovals(InstallConfig.WindowsDir, &Later))
        done->Failed++;
    if (done->Failed == 0 && !Superseded(InstallConfig.SourceRoot))
        UndoUninstallEntry(journal, 1, done);
    if (done->Failed != 0 || !DeleteMarked(journal))
        return;
    if (!SamePath(self, runner))
        DeleteMarked(self);
    RemoveDirectoryA(InstallConfig.SourceRoot);
}

static void Report(const UndoTally *done) {
    char text[1024], part[512];
    wsprintfA(text, Text(done->Failed == 0 ? IDS_UNINSTALLED : IDS_NOT_ALL_UNDONE),
              InstallConfig.ProductName);
    wsprintfA(part, Text(IDS_UNDO_COUNTS), done->Values, done->Keys, done->Files, done->System);
    AppendText(text, sizeof text, "\n\n");
    AppendText(text, sizeof text, part);
    AppendText(text, sizeof text, "\n\n");
    AppendText(text, sizeof text, Text(IDS_ASK_RESTART));
    if (MessageBoxA(NULL, text, BoxCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ExitWindowsEx(EWX_REBOOT, 0);
}

// The removal itself: self is the uninstaller in the product's folder,
// runner the program doing the work (self, or its copy).
static void Uninstall(const char *journal, const char *self, const char *runner) {
    char systemDir[MAX_PATH];
    UINT length = GetSystemDirectoryA(systemDir, sizeof systemDir);
    if (length == 0 || length >= sizeof systemDir)
        systemDir[0] = '\0';
    CloseMouseApplication();
    // A setup stopped while it replaced the journal or this program leaves
    // the old copy or the new one beside it: they go first, or they keep the
    // folder, and a later setup would take an old journal for its own.
    RecoverReplacement(journal);
    RecoverReplacement(self);
    UndoTally done = {0, 0, 0, 0, 0};
    RunSteps(journal, self, systemDir, 1, &done);
    Finish(journal, self, runner, &done);
    Report(&done);
}

// The copy in the temporary folder is started with this process's id and
// this program's path; 0 when it could not be.
static int HandOver(const char *self) {
    char folder[MAX_PATH], runner[MAX_PATH], command[2 * MAX_PATH + 32];
    // The temporary folder comes with its backslash.
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || folder[length - 1] != '\\' ||
        !JoinText(runner, sizeof runner, folder, RUNNER_FILE) || !CopyFileA(self, runner, FALSE))
        return 0;
    wsprintfA(command, "\"%s\" %lu %s", runner, (unsigned long)GetCurrentProcessId(), self);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(runner, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        DeleteFileA(runner);
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

// "<process id> <path>" of a hand-over; 0 for any other command line.
static int ReadHandOver(const char *arguments, DWORD *process, char *self, int capacity) {
    DWORD id = 0;
    int i = 0;
    for (; arguments[i] >= '0' && arguments[i] <= '9'; i++)
        id = id * 10 + (DWORD)(arguments[i] - '0');
    if (i == 0 || arguments[i] != ' ')
        return 0;
    *process = id;
    return CopyText(self, capacity, arguments + i + 1) && self[0] != '\0';
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    AppInstance = instance;
    char self[MAX_PATH], runner[MAX_PATH], folder[MAX_PATH], journal[MAX_PATH];
    DWORD handedBy = 0;
    DWORD length = GetModuleFileNameA(NULL, runner, sizeof runner);
    int runnerFits = length > 0 && length < sizeof runner;
    int handedOver = ReadHandOver(arguments, &handedBy, self, sizeof self);
    if (!handedOver)
        CopyText(self, sizeof self, runnerFits ? runner : "");
    length = GetWindowsDirectoryA(InstallConfig.WindowsDir, PATH_TEXT);
    int loaded = runnerFits && length > 0 && length < PATH_TEXT &&
                 FolderOf(self, folder, sizeof folder) &&
                 LoadScriptIn(folder, InstallConfig.WindowsDir) &&
                 JoinText(journal, sizeof journal, folder, "\\" SCRIPT_FILE);
    CopyText(BoxCaption, sizeof BoxCaption, InstallConfig.ProductName);
    AppendText(BoxCaption, sizeof BoxCaption, Text(IDS_UNINSTALL_CAPTION));
    if (!loaded) {
        Box(IDS_READING_ERROR, "", MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (handedOver) {
        // This file can go once the one that started it has ended.
        HANDLE first = OpenProcess(SYNCHRONIZE, FALSE, handedBy);
        if (first != NULL) {
            WaitForSingleObject(first, 60000);
            CloseHandle(first);
        }
        Uninstall(journal, self, runner);
        return 0;
    }
    if (!PathExists(journal)) {
        Box(IDS_NO_SCRIPT, "", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    // Only what the setup journalled is an installation: beside a SETUP.INF
    // without a journal (the media's, say) nothing is ours, whatever the
    // files there are called.
    if (!HasJournal(journal)) {
        Box(IDS_NOTHING_TO_UNDO, InstallConfig.ProductName, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (Box(IDS_ASK_UNINSTALL, InstallConfig.ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (!HandOver(self))
        Uninstall(journal, self, runner);
    return 0;
}
