// The media check as a whole: the media loaded as the setup loads it, every
// check in its order, and the exit code.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "runtime/runtime.h"

// Which FileCounts key made the loader refuse the script, by the loader's rule.
static void ReportRefusedCounts(MediaCheck *check) {
    char section[LABEL_TEXT], key[LABEL_TEXT], value[LINE_TEXT];
    int total = 0;
    for (int i = 0; i < ScriptKeyCount; i++) {
        const ScriptKey *row = &ScriptKeys[i];
        if (row->Kind != KEY_COUNT || row->Number >= InstallConfig.DiskTable.DiskCount)
            continue;
        CopyText(section, sizeof section, ResourceText(row->Section));
        CopyText(key, sizeof key, ScriptKeyName(row));
        int count = (int)GetPrivateProfileIntA(section, key, 0, check->Script);
        if (!CountFits(count, &total)) {
            Report(check, FINDING_REFUSED, section, key,
                   ReadValue(check, section, key, value, sizeof value),
                   "counts must not be negative and must add up to less than %d: "
                   "the setup stops with \"%s\"",
                   COUNT_LIMIT, ResourceText(IDS_READING_ERROR));
            return;
        }
    }
    Report(check, FINDING_REFUSED, "", "", NULL, "the install tables could not be allocated");
}

int LoadMedia(MediaCheck *check, const char *folder, const char *windowsDir, FindingSink sink) {
    ZeroMemory(check, sizeof *check);
    check->Sink = sink;
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full || !IsDirectory(full)) {
        Report(check, FINDING_UNREADABLE, "", "SETUP.INF", NULL, "%s is no folder", folder);
        return 0;
    }
    // The setup's own folder never ends in a backslash: "A:\" is "A:".
    while (length > 1 && full[length - 1] == '\\')
        full[--length] = '\0';

    char program[MAX_PATH + 16], root[PATH_TEXT];
    CopyText(program, sizeof program, full);
    AppendText(program, sizeof program, "\\SETUP.EXE");
    if (!SplitProgramPath(program, root, check->Script)) {
        Report(check, FINDING_REFUSED, "", "SETUP.INF", NULL,
               "the path %s\\SETUP.INF is longer than %d characters: the setup stops with "
               "\"%s\"",
               full, PATH_TEXT - 1, ResourceText(IDS_READING_ERROR));
        return 0;
    }
    HANDLE file = CreateFileA(check->Script, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        Report(check, FINDING_UNREADABLE, "", "SETUP.INF", NULL,
               "%s is missing: the setup runs with its defaults and copies nothing", check->Script);
        return 0;
    }
    CloseHandle(file);
    if (!LoadScriptFrom(program, windowsDir, NULL)) {
        ReportRefusedCounts(check);
        return 0;
    }
    return 1;
}

void CheckLoadedMedia(MediaCheck *check) {
    CheckNames(check);
    CheckFiles(check);
}

int CheckExitCode(const MediaCheck *check) {
    if (check->Errors > 0)
        return 2;
    return check->Warnings > 0 ? 1 : 0;
}
