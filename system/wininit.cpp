// WININIT.INI of the Windows folder, whose [rename] section's NUL= lines
// remove files at the next start of Windows: the uninstaller names what is in
// use, and a new setup takes back what a declined restart left named.
#include "system/system.h"
#include "system/journal.h"
#include "runtime/runtime.h"

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
    RecoverReplacement(ini);
    char line[UNDO_LINE_TEXT];
    int hasSection = 0, atStart = 1;
    TextFile *in = OpenTextFile(ini, "rt");
    while (in != NULL && ReadTextLine(line, sizeof line, in) != NULL) {
        hasSection = hasSection || (atStart && SameLine(line, "[rename]"));
        for (int i = 0; i < count; i++)
            if (atStart && SameLine(line, lines[i]))
                wanted[i] = 0;
        int length = lstrlenA(line);
        atStart = length > 0 && line[length - 1] == '\n';
    }
    if (in != NULL)
        CloseTextFile(in);
    int existed = PathExists(ini);
    if (!PrepareFresh(ini, fresh, sizeof fresh))
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

// The path of a NUL= line in short form, without the line feed; NULL for
// any other line.
static const char *RemovedPath(const char *line, char *path, int capacity) {
    if (UpperChar(line[0]) != 'N' || UpperChar(line[1]) != 'U' || UpperChar(line[2]) != 'L' ||
        line[3] != '=')
        return NULL;
    CopyText(path, capacity, line + 4);
    int length = lstrlenA(path);
    if (length > 0 && path[length - 1] == '\n')
        path[length - 1] = '\0';
    return path;
}

// 1 when the short path is one of the kept paths or lies below one.
static int KeptPath(const char *path, const RemovalList *kept) {
    for (int i = 0; i < kept->Count; i++) {
        char shortPath[MAX_PATH];
        DWORD length = GetShortPathNameA(kept->Paths[i], shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath)
            continue;
        int n = lstrlenA(shortPath);
        char head[MAX_PATH];
        lstrcpynA(head, path, n + 1);
        if (SamePath(head, shortPath) && (path[n] == '\0' || path[n] == '\\'))
            return 1;
    }
    return 0;
}

int CancelRemovals(const char *windowsDir, const RemovalList *kept) {
    char ini[MAX_PATH], fresh[MAX_PATH], line[UNDO_LINE_TEXT], path[UNDO_LINE_TEXT];
    if (!JoinText(ini, sizeof ini, windowsDir, "\\WININIT.INI"))
        return 0;
    RecoverReplacement(ini);
    // Only when a line would go: an untouched file is not rewritten.
    int dropped = 0, atStart = 1;
    TextFile *in = OpenTextFile(ini, "rt");
    while (in != NULL && ReadTextLine(line, sizeof line, in) != NULL) {
        dropped = dropped ||
                  (atStart && RemovedPath(line, path, sizeof path) != NULL && KeptPath(path, kept));
        int length = lstrlenA(line);
        atStart = length > 0 && line[length - 1] == '\n';
    }
    if (in != NULL)
        CloseTextFile(in);
    if (!dropped)
        return 1;
    if (!PrepareFresh(ini, fresh, sizeof fresh))
        return 0;
    in = OpenTextFile(ini, "rt");
    TextFile *out = OpenTextFile(fresh, "wt");
    int ok = in != NULL && out != NULL;
    atStart = 1;
    while (ok && ReadTextLine(line, sizeof line, in) != NULL) {
        int drop = atStart && RemovedPath(line, path, sizeof path) != NULL && KeptPath(path, kept);
        int length = lstrlenA(line);
        atStart = length > 0 && line[length - 1] == '\n';
        ok = drop || WriteText(line, out) >= 0;
    }
    return FinishRewrite(in, out, ok, ini, fresh);
}
