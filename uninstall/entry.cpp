// UNINSTAL.EXE, run from the product's folder: reads the SETUP.INF beside
// it with the setup's own loader, asks, puts back what the undo journal
// there noted, removes the product's files and itself, and offers a restart.
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

static void RunSteps(const char *journal, const char *self, const char *systemDir, int apply,
                     UndoTally *tally) {
    UndoRegistry(journal, apply, tally);
    UndoSystemFiles(journal, InstallConfig.WindowsDir, systemDir, apply, tally);
    UndoInstalledFiles(journal, InstallConfig.SourceRoot, self, apply, tally, &Later);
}

// Only what the setup journalled is an installation: beside a SETUP.INF
// without a journal (the media's, say) nothing is ours, whatever the files
// there are called.
static int HasJournal(const char *journal) {
    static const char *const sections[] = {JOURNAL_VALUES, JOURNAL_KEYS, JOURNAL_FILES,
                                           JOURNAL_SYSTEM};
    char probe[4];
    for (unsigned i = 0; i < sizeof sections / sizeof sections[0]; i++)
        if (GetPrivateProfileSectionA(sections[i], probe, sizeof probe, journal) > 0)
            return 1;
    return 0;
}

static int Pending(const UndoTally *tally) {
    return tally->Values + tally->Keys + tally->Files + tally->System;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    UINT length = GetWindowsDirectoryA(InstallConfig.WindowsDir, PATH_TEXT);
    int windowsDirFits = length > 0 && length < PATH_TEXT;
    int loaded = LoadSetupScript() && windowsDirFits;
    CopyText(BoxCaption, sizeof BoxCaption, InstallConfig.ProductName);
    AppendText(BoxCaption, sizeof BoxCaption, Text(IDS_UNINSTALL_CAPTION));

    char self[MAX_PATH], journal[MAX_PATH], systemDir[MAX_PATH];
    length = GetModuleFileNameA(NULL, self, sizeof self);
    int selfFits = length > 0 && length < sizeof self;
    length = GetSystemDirectoryA(systemDir, sizeof systemDir);
    if (length == 0 || length >= sizeof systemDir)
        systemDir[0] = '\0';
    if (!loaded || !selfFits ||
        !JoinText(journal, sizeof journal, InstallConfig.SourceRoot, "\\" SCRIPT_FILE)) {
        Box(IDS_READING_ERROR, "", MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (!PathExists(journal)) {
        Box(IDS_NO_SCRIPT, "", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    // The product lies here, whatever the script proposed as its folder.
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, InstallConfig.SourceRoot);

    UndoTally due = {0, 0, 0, 0, 0};
    if (HasJournal(journal))
        RunSteps(journal, self, systemDir, 0, &due);
    if (Pending(&due) == 0) {
        Box(IDS_NOTHING_TO_UNDO, InstallConfig.ProductName, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (Box(IDS_ASK_UNINSTALL, InstallConfig.ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;

    CloseMouseApplication();
    UndoTally done = {0, 0, 0, 0, 0};
    RunSteps(journal, self, systemDir, 1, &done);
    // Until everything is back, the journal and the uninstaller stay for
    // another run.
    if (done.Failed == 0) {
        RemoveNowOrLater(journal, &Later);
        if (Later.Count < MAX_REMOVALS && CopyText(Later.Paths[Later.Count], MAX_PATH, self))
            Later.Count++;
    }
    if (Later.Count > 0 && !ScheduleRemovals(InstallConfig.WindowsDir, &Later))
        done.Failed++;

    char text[1024], part[512];
    wsprintfA(text, Text(done.Failed == 0 ? IDS_UNINSTALLED : IDS_NOT_ALL_UNDONE),
              InstallConfig.ProductName);
    wsprintfA(part, Text(IDS_UNDO_COUNTS), done.Values, done.Keys, done.Files, done.System);
    AppendText(text, sizeof text, "\n\n");
    AppendText(text, sizeof text, part);
    AppendText(text, sizeof text, "\n\n");
    AppendText(text, sizeof text, Text(IDS_ASK_RESTART));
    if (MessageBoxA(NULL, text, BoxCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ExitWindowsEx(EWX_REBOOT, 0);
    return 0;
}
