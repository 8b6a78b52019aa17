// Comma fields of the disk and program-item lines.
#include "script/script.h"

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

void ParseDiskLine(const char *line, const char *windowsDir, FileEntry *entry) {
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
        return;
    CopyText(entry->SourceSubDir, sizeof entry->SourceSubDir, InstallConfig.DirectoryTable[k]);
    switch (k) {
    case 7:
        CopyText(entry->TargetDir, sizeof entry->TargetDir, windowsDir);
        entry->IsAbsolute = 1;
        break;
    case 8:
        CopyText(entry->TargetDir, sizeof entry->TargetDir, windowsDir);
        AppendText(entry->TargetDir, sizeof entry->TargetDir, "\\SYSTEM");
        entry->IsAbsolute = 1;
        break;
    case 9:
        CopyText(entry->TargetDir, sizeof entry->TargetDir, windowsDir);
        AppendText(entry->TargetDir, sizeof entry->TargetDir, "\\INF");
        entry->IsAbsolute = 1;
        break;
    default:
        CopyText(entry->TargetDir, sizeof entry->TargetDir, InstallConfig.DirectoryTable[k]);
        entry->IsAbsolute = 0;
        break;
    }
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
