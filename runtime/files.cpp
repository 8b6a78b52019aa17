// File and folder names: remove, rename, what a name is, its folder.
#include "runtime/runtime.h"

int RemoveFile(const char *path) {
    return path != NULL && DeleteFileA(path) ? 0 : -1;
}

int RenameFile(const char *from, const char *to) {
    // MoveFileA never replaces an existing file, as rename must not.
    return from != NULL && to != NULL && MoveFileA(from, to) ? 0 : -1;
}

int PathExists(const char *path) {
    return GetFileAttributesA(path) != NO_ATTRIBUTES;
}

int IsDirectory(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == NO_ATTRIBUTES)
        return 0;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int FolderOf(const char *path, char *folder, int capacity) {
    int last = -1;
    for (int i = 0; path[i] != '\0'; i++)
        if (path[i] == '\\')
            last = i;
    if (last < 0)
        return CopyText(folder, capacity, ".");
    int keep = (last > 0 && path[last - 1] == ':') ? last + 1 : last;
    if (keep >= capacity)
        return 0;
    lstrcpynA(folder, path, keep + 1);
    return 1;
}

char *CurrentFolder(char *buffer, int size) {
    if (buffer == NULL || size <= 0)
        return NULL;
    DWORD length = GetCurrentDirectoryA((DWORD)size, buffer);
    if (length == 0 || length >= (DWORD)size) {
        buffer[0] = '\0';
        return NULL;
    }
    return buffer;
}
