// Comma fields of the disk and program-item lines.
#include "script/script.h"
#include "runtime/runtime.h"

const char *NextField(const char *text, char *out) {
    char work[LINE_TEXT];
    int length = 0;
    int skipping = 1;
    const char *p = text;
    if (p == NULL)
        p = "";
    for (; *p != '\0' && *p != ','; p++) {
        // Only the space is a blank: a tab is text.
        if (skipping && *p == ' ')
            continue;
        skipping = 0;
        // Lines are at most 127 characters; anything longer is dropped
        // rather than written past the work field.
        if (length < LINE_TEXT - 1)
            work[length++] = *p;
    }
    work[length] = '\0';
    while (length > 0 && work[length - 1] == ' ')
        work[--length] = '\0';
    CopyText(out, LINE_TEXT, work);
    // At the end of the text stay there, so every further field is empty.
    return *p == ',' ? p + 1 : p;
}

int DirectoryTokenIndex(const char *token) {
    if (token == NULL || token[0] == '\0')
        return -1;
    for (int k = 0; k < DIRECTORY_TOKENS; k++) {
        const char *name = ResourceText((short)(IDS_ROOT_DIR + k));
        if (name != NULL && lstrcmpiA(token, name) == 0)
            return k;
    }
    return -1;
}

int ParseDiskLine(const char *line, const char *windowsDir, FileEntry *entry) {
    char field[LINE_TEXT];
    const char *rest = NextField(line, field);
    CopyText(entry->SourceName, sizeof entry->SourceName, field);
    rest = NextField(rest, field);
    CopyText(entry->TargetName, sizeof entry->TargetName, field);
    rest = NextField(rest, field);
    CopyText(entry->Description, sizeof entry->Description, field);
    NextField(rest, field);

    int k = DirectoryTokenIndex(field);
    if (k < 0)
        return 1;
    CopyText(entry->SourceSubDir, sizeof entry->SourceSubDir, InstallConfig.DirectoryTable[k]);
    // The Windows folders come from this machine, not from the script: cut
    // short, they would name some other folder.
    static const char *const WindowsTails[3] = {"", "\\SYSTEM", "\\INF"};
    if (k >= 7) {
        entry->IsAbsolute = 1;
        return CopyText(entry->TargetDir, sizeof entry->TargetDir, windowsDir) &&
               AppendText(entry->TargetDir, sizeof entry->TargetDir, WindowsTails[k - 7]);
    }
    CopyText(entry->TargetDir, sizeof entry->TargetDir, InstallConfig.DirectoryTable[k]);
    entry->IsAbsolute = 0;
    return 1;
}

void ParseProgramLine(const char *line, ProgramItem *item) {
    char field[LINE_TEXT];
    const char *rest = NextField(line, field);
    CopyText(item->ItemFile, sizeof item->ItemFile, field);
    rest = NextField(rest, field);
    CopyText(item->ItemTitle, sizeof item->ItemTitle, field);
    NextField(rest, field);
    CopyText(item->ItemIcon, sizeof item->ItemIcon, field);
}
