// MEDIACHK.EXE <media folder>: what SETUP.EXE will do with the media in that
// folder, and every place where it would silently fall back. Exit code 0
// clean, 1 warnings only, 2 errors.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "runtime/runtime.h"

// The folder argument, quoted or not. 0 when there is none or it does not fit.
static int FolderArgument(const char *arguments, char *folder, int size) {
    int length = lstrlenA(arguments);
    while (length > 0 && (arguments[length - 1] == ' ' || arguments[length - 1] == '\t'))
        length--;
    if (length >= 2 && arguments[0] == '"' && arguments[length - 1] == '"') {
        arguments++;
        length -= 2;
    }
    if (length == 0 || length >= size)
        return 0;
    lstrcpynA(folder, arguments, length + 1);
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    AppInstance = instance;
    char folder[MAX_PATH], windows[MAX_PATH], line[MAX_PATH + 32];
    if (!FolderArgument(arguments, folder, sizeof folder)) {
        WriteLine("Usage: MEDIACHK <media folder>");
        return 2;
    }
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        windows[0] = '\0';
    wsprintfA(line, "Media check of %s", folder);
    WriteLine(line);
    static MediaCheck check;
    if (LoadMedia(&check, folder, windows, PrintFinding)) {
        wsprintfA(line, "Script: %s", check.Script);
        WriteLine(line);
        PrintPlan();
        WriteLine("Findings:");
        CheckLoadedMedia(&check);
    }
    PrintTotals(&check);
    FreeInstallTables();
    return CheckExitCode(&check);
}
