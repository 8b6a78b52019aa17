// The one safe way to replace a file: the old one is kept under a spare name
// until the new one has taken its name, so that no failure, at any step,
// leaves the name empty.
#include "runtime/runtime.h"

// Marks of the old file that the new one keeps.
#define KEPT_MARKS (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)

int DeleteMarked(const char *path) {
    // A read-only file cannot be deleted as it is.
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) || !PathExists(path);
}

int SwapThroughSpare(const char *target, const char *fresh, const char *spare, int keepSpare,
                     MoveFileProc move) {
    if (!move(target, spare)) {
        DeleteMarked(fresh);
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
        DeleteMarked(fresh);
        return 0;
    }
    // ... or, failing that, the new one. Whatever cannot be placed stays.
    if (CopyFileA(fresh, target, FALSE)) {
        DeleteMarked(fresh);
        if (!keepSpare)
            DeleteMarked(spare);
        return 1;
    }
    return 0;
}

// The folder part of target, with its backslash, then mark and the name.
static int BesideName(const char *target, const char *mark, char *out, int capacity) {
    int name = 0;
    for (int i = 0; target[i] != '\0'; i++)
        if (target[i] == '\\')
            name = i + 1;
    if (name + 1 > capacity)
        return 0;
    lstrcpynA(out, target, name + 1);
    return AppendText(out, capacity, mark) && AppendText(out, capacity, target + name);
}

int SpareName(const char *target, char *spare, int capacity) {
    return BesideName(target, "~O", spare, capacity);
}

int FreshName(const char *target, char *fresh, int capacity) {
    return BesideName(target, "~N", fresh, capacity);
}

void RecoverReplacement(const char *target) {
    char spare[MAX_PATH], fresh[MAX_PATH];
    if (FreshName(target, fresh, sizeof fresh) && PathExists(fresh))
        DeleteMarked(fresh);
    if (!SpareName(target, spare, sizeof spare) || !PathExists(spare))
        return;
    // Stopped before the new file had the name: the old one goes back.
    // Stopped after: the old one is no longer needed.
    if (!PathExists(target))
        MoveFileA(spare, target);
    else
        DeleteMarked(spare);
}

int PrepareFresh(const char *target, char *fresh, int capacity) {
    RecoverReplacement(target);
    return FreshName(target, fresh, capacity);
}

int ReplaceThroughSpare(const char *target, const char *fresh, const char *spare) {
    DWORD old = GetFileAttributesA(target);
    if (old == NO_ATTRIBUTES) {
        if (MoveFileA(fresh, target))
            return 1;
        DeleteMarked(fresh);
        return 0;
    }
    char fixed[MAX_PATH];
    int keepSpare = spare != NULL;
    if (!keepSpare) {
        if (!SpareName(target, fixed, sizeof fixed)) {
            DeleteMarked(fresh);
            return 0;
        }
        spare = fixed;
    }
    // A spare left by an earlier stop is stale now that the target is there.
    DeleteMarked(spare);
    if (!SwapThroughSpare(target, fresh, spare, keepSpare, MoveFileA))
        return 0;
    DWORD fresher = GetFileAttributesA(target);
    if ((old & KEPT_MARKS) != 0 && fresher != NO_ATTRIBUTES)
        SetFileAttributesA(target, fresher | (old & KEPT_MARKS));
    return 1;
}

int FileFingerprint(const char *path, char *out, int capacity) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        CopyText(out, capacity, "-");
        return 0;
    }
    BYTE block[4096];
    DWORD got = 0, size = 0, hash = 2166136261u;
    int ok = 1;
    while ((ok = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0) {
        for (DWORD i = 0; i < got; i++)
            hash = (hash ^ block[i]) * 16777619u;
        size += got;
    }
    CloseHandle(file);
    char text[32];
    wsprintfA(text, "%lu:%08lx", (unsigned long)size, (unsigned long)hash);
    return ok && CopyText(out, capacity, text);
}

int FinishRewrite(TextFile *in, TextFile *out, int ok, const char *target, const char *fresh) {
    if (in != NULL && TextFileFailed(in))
        ok = 0;
    if (in != NULL)
        CloseTextFile(in);
    if (out == NULL || CloseTextFile(out) != 0)
        ok = 0;
    // Only a whole new file takes the target's place.
    if (ok)
        return ReplaceThroughSpare(target, fresh, NULL);
    DeleteMarked(fresh);
    return 0;
}

int CopyThroughSpare(const char *from, const char *target) {
    char fresh[MAX_PATH];
    if (!PrepareFresh(target, fresh, sizeof fresh) || !CopyFileA(from, fresh, FALSE))
        return 0;
    return ReplaceThroughSpare(target, fresh, NULL);
}
