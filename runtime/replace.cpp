// The one safe way to replace a file: the old one is kept under a spare name
// until the new one has taken its name, so that no failure, at any step,
// leaves the name empty.
#include "runtime/runtime.h"

// Marks of the old file that the new one keeps.
#define KEPT_MARKS (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)

// A read-only file cannot be deleted as it is.
static void DeleteMarked(const char *path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

int SwapThroughSpare(const char *target, const char *fresh, const char *spare, int keepSpare,
                     MoveFileProc move) {
    if (!move(target, spare)) {
        DeleteFileA(fresh);
        return 0;
    }
    if (move(fresh, target)) {
        if (!keepSpare)
            DeleteMarked(spare);
        return 1;
    }
    // The name must not stay empty: the old file goes back, copied if it
    // cannot be moved (something may have taken the name meanwhile) ...
    if (move(spare, target) || CopyFileA(spare, target, FALSE)) {
        DeleteMarked(spare);
        DeleteFileA(fresh);
        return 0;
    }
    // ... or, failing that, the new one. Whatever cannot be placed stays.
    if (CopyFileA(fresh, target, FALSE)) {
        DeleteFileA(fresh);
        if (!keepSpare)
            DeleteMarked(spare);
        return 1;
    }
    return 0;
}

int ReplaceThroughSpare(const char *target, const char *fresh, const char *spare) {
    DWORD old = GetFileAttributesA(target);
    if (old == NO_ATTRIBUTES) {
        if (MoveFileA(fresh, target))
            return 1;
        DeleteFileA(fresh);
        return 0;
    }
    char folder[MAX_PATH], freeName[MAX_PATH];
    int keepSpare = spare != NULL;
    if (keepSpare) {
        DeleteFileA(spare);
    } else {
        if (!FolderOf(target, folder, sizeof folder) ||
            GetTempFileNameA(folder, "stp", 0, freeName) == 0) {
            DeleteFileA(fresh);
            return 0;
        }
        DeleteFileA(freeName);
        spare = freeName;
    }
    if (!SwapThroughSpare(target, fresh, spare, keepSpare, MoveFileA))
        return 0;
    DWORD fresher = GetFileAttributesA(target);
    if ((old & KEPT_MARKS) != 0 && fresher != NO_ATTRIBUTES)
        SetFileAttributesA(target, fresher | (old & KEPT_MARKS));
    return 1;
}
