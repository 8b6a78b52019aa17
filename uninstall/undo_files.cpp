// The product's files: removed now, or at the next start of Windows through
// WININIT.INI when they are in use (the uninstaller itself always is).
#include "uninstall/uninstall.h"
#include "script/script.h"
#include "system/journal.h"
#include "runtime/runtime.h"

// Where the copy put an entry's file: below folder, or in the Windows
// folders for an absolute entry. 0 for an empty entry or one too long.
// Unlike the copy's own join, no doubled backslash for an empty sub-folder:
// the path may end up in WININIT.INI, which is read before Windows runs.
static int InstalledPath(char *out, int capacity, const char *folder, const FileEntry *entry) {
    if (entry->TargetName[0] == '\0')
        return 0;
    int fit = CopyText(out, capacity, entry->IsAbsolute != 0 ? entry->TargetDir : folder);
    if (entry->IsAbsolute == 0 && entry->TargetDir[0] != '\0')
        fit = fit && AppendText(out, capacity, "\\") && AppendText(out, capacity, entry->TargetDir);
    return fit && AppendText(out, capacity, "\\") && AppendText(out, capacity, entry->TargetName);
}

int RemoveNowOrLater(const char *path, RemovalList *later) {
    // A read-only file is still the product's.
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path))
        return 1;
    if (later->Count >= MAX_REMOVALS || !CopyText(later->Paths[later->Count], MAX_PATH, path))
        return 0;
    later->Count++;
    return 1;
}

void UndoInstalledFiles(const char *journal, const char *folder, const char *self, int apply,
                        UndoTally *tally, RemovalList *later) {
    char *created = ReadProfileSection(journal, JOURNAL_FILES);
    if (created == NULL)
        tally->Failed++;
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (int d = 0; d < disks->DiskCount && d < MAX_DISKS; d++) {
        for (int i = 0; i < disks->FileCounts[d] && disks->DiskFiles[d] != NULL; i++) {
            const FileEntry *entry = disks->DiskFiles[d] + i;
            char path[MAX_PATH];
            if (!InstalledPath(path, sizeof path, folder, entry) || SamePath(path, self) ||
                SamePath(path, journal))
                continue;
            // Outside the destination only what the setup made itself.
            if (entry->IsAbsolute != 0 && (created == NULL || SectionValue(created, path) == NULL))
                continue;
            DWORD attributes = GetFileAttributesA(path);
            if (attributes == NO_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                continue;
            if (!apply || RemoveNowOrLater(path, later))
                tally->Files++;
            else
                tally->Failed++;
        }
    }
    FreeProfileSection(created);
    // The sub-folders the copy made, when nothing else is left in them.
    for (int n = 1; apply && n <= 6; n++) {
        char path[MAX_PATH];
        const char *name = InstallConfig.DirectoryTable[n];
        if (name[0] != '\0' && CopyText(path, sizeof path, folder) &&
            AppendText(path, sizeof path, "\\") && AppendText(path, sizeof path, name))
            RemoveDirectoryA(path);
    }
}

// The line without its line feed, compared as paths are: case ignored.
static int SameLine(char *line, const char *other) {
    int length = lstrlenA(line);
    int feed = length > 0 && line[length - 1] == '\n';
    if (feed)
        line[length - 1] = '\0';
    int same = SamePath(line, other);
    if (feed)
        line[length - 1] = '\n';
    return same;
}

static int WriteWanted(TextFile *out, char (*lines)[MAX_PATH + 8], const int *wanted, int count) {
    for (int i = 0; i < count; i++)
        if (wanted[i] && (WriteText(lines[i], out) < 0 || WriteText("\n", out) < 0))
            return 0;
    return 1;
}

int ScheduleRemovals(const char *windowsDir, const RemovalList *later) {
    char ini[MAX_PATH], fresh[MAX_PATH];
    if (!JoinText(ini, sizeof ini, windowsDir, "\\WININIT.INI"))
        return 0;
    // WININIT runs before long names exist: every path in its short form.
    static char lines[MAX_REMOVALS][MAX_PATH + 8];
    int wanted[MAX_REMOVALS];
    int count = 0;
    for (int i = 0; i < later->Count; i++) {
        char shortPath[MAX_PATH];
        DWORD length = GetShortPathNameA(later->Paths[i], shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath)
            continue;
        CopyText(lines[count], sizeof lines[count], "NUL=");
        AppendText(lines[count], sizeof lines[count], shortPath);
        wanted[count] = 1;
        for (int j = 0; j < count; j++)
            if (SamePath(lines[j], lines[count]))
                wanted[count] = 0;
        count++;
    }
    // [rename] holds one NUL= key per file: the profile functions would keep
    // only one of them, so the lines are put in by hand.
    char line[UNDO_LINE_TEXT];
    int hasSection = 0, atStart = 1;
    TextFile *in = OpenTextFile(ini, "rt");
    while (in != NULL && ReadTextLine(line, sizeof line, in) != NULL) {
        hasSection = hasSection || (atStart && SameLine(line, "[rename]"));
        for (int i = 0; i < count; i++)
            if (atStart && SameLine(line, lines[i]))
                wanted[i] = 0;
        atStart = line[lstrlenA(line) - 1] == '\n';
    }
    if (in != NULL)
        CloseTextFile(in);
    int existed = PathExists(ini);
    if (GetTempFileNameA(windowsDir, "stu", 0, fresh) == 0)
        return 0;
    TextFile *out = OpenTextFile(fresh, "wt");
    in = existed ? OpenTextFile(ini, "rt") : NULL;
    int ok = out != NULL && (in != NULL || !existed);
    int ended = 1;
    atStart = 1;
    while (ok && in != NULL && ReadTextLine(line, sizeof line, in) != NULL) {
        int header = atStart && SameLine(line, "[rename]");
        int length = lstrlenA(line);
        atStart = ended = length > 0 && line[length - 1] == '\n';
        ok = WriteText(line, out) >= 0 && (!header || WriteWanted(out, lines, wanted, count));
    }
    if (ok && !hasSection)
        ok = (ended || WriteText("\n", out) >= 0) && WriteText("[rename]\n", out) >= 0 &&
             WriteWanted(out, lines, wanted, count);
    return FinishRewrite(in, out, ok, ini, fresh);
}
