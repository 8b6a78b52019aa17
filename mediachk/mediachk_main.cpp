// MEDIACHK.EXE <media folder>: what SETUP.EXE will do with the media in that
// folder, and every place where it would silently fall back. Exit code 0
// clean, 1 warnings only, 2 errors.
#include "mediachk/media_check.h"
#include "script/script.h"

// The first argument of a command line, quoted or not. 0 when there is none
// or it does not fit.
static int FolderArgument(const char *commandLine, char *folder, int size) {
    const char *p = commandLine;
    // The program's own name first.
    if (*p == '"') {
        for (p++; *p != '\0' && *p != '"'; p++)
            ;
        if (*p == '"')
            p++;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t')
            p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    char end = ' ';
    if (*p == '"') {
        end = '"';
        p++;
    }
    int length = 0;
    while (p[length] != '\0' && p[length] != end && !(end == ' ' && p[length] == '\t'))
        length++;
    if (length == 0 || length >= size)
        return 0;
    lstrcpynA(folder, p, length + 1);
    return 1;
}

int main(void) {
    AppInstance = GetModuleHandleA(NULL);
    char folder[MAX_PATH], windows[MAX_PATH], line[MAX_PATH + 32];
    if (!FolderArgument(GetCommandLineA(), folder, sizeof folder)) {
        WriteLine("Usage: MEDIACHK <media folder>");
        return 2;
    }
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        windows[0] = '\0';
    wsprintfA(line, "Media check of %s", folder);
    WriteLine(line);
    if (LoadMedia(folder, windows, PrintFinding)) {
        wsprintfA(line, "Script: %s", CheckedScript);
        WriteLine(line);
        PrintPlan();
        WriteLine("Findings:");
        CheckLoadedMedia();
    }
    PrintTotals();
    FreeInstallTables();
    return CheckExitCode();
}
