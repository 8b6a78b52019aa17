// Source and target paths of the file records.
#include "script/script.h"
#include "runtime/runtime.h"

static int JoinParts(char *path, int capacity, const char *first, const char *second,
                     const char *third) {
    int fit = CopyText(path, capacity, first);
    fit &= AppendText(path, capacity, "\\");
    fit &= AppendText(path, capacity, second);
    fit &= AppendText(path, capacity, "\\");
    fit &= AppendText(path, capacity, third);
    return fit;
}

int JoinSourcePath(char *path, int capacity, const char *root, const FileEntry *entry) {
    return JoinParts(path, capacity, root, entry->SourceSubDir, entry->SourceName);
}

int JoinTargetPath(char *path, int capacity, const char *destination, const FileEntry *entry) {
    if (entry->IsAbsolute != 0) {
        int fit = CopyText(path, capacity, entry->TargetDir);
        fit &= AppendText(path, capacity, "\\");
        fit &= AppendText(path, capacity, entry->TargetName);
        return fit;
    }
    return JoinParts(path, capacity, destination, entry->TargetDir, entry->TargetName);
}

int SourcePathOpens(const char *path) {
    // The open goes through OpenFile, whose path field holds fewer than
    // OFS_MAXPATHNAME characters; a longer path is not handed over to be cut.
    return path != NULL && lstrlenA(path) < OFS_MAXPATHNAME;
}
