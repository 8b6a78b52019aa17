// The copy engine: every file of the script, disk by disk, from the source
// tree below the program into the destination, LZ-expanded on the way.
#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "system/system.h"
#include "pages/page_host.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "resources/resource_ids.h"

#include <lzexpand.h>

// A sub-folder to create: the destination and a directory value, each up to
// 79 characters.
#define SUBFOLDER_PATH_TEXT (2 * PATH_TEXT)

INT SourceHandle = NO_LZ_HANDLE;

static const FileEntry *EntryOf(short disk, short index) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    if (disk < 0 || disk >= MAX_DISKS || index < 0 || index >= disks->FileCounts[disk] ||
        disks->DiskFiles[disk] == NULL)
        return NULL;
    return disks->DiskFiles[disk] + index;
}

int BuildSourcePath(char *path, int capacity, short disk, short index) {
    const FileEntry *entry = EntryOf(disk, index);
    CopyText(path, capacity, "");
    return entry != NULL && JoinSourcePath(path, capacity, InstallConfig.SourceRoot, entry);
}

int BuildTargetPath(char *path, int capacity, short disk, short index) {
    const FileEntry *entry = EntryOf(disk, index);
    CopyText(path, capacity, "");
    return entry != NULL && JoinTargetPath(path, capacity, InstallConfig.DefaultPath, entry);
}

int OpenSourceFile(HWND page, const char *path) {
    if (SourceHandle != NO_LZ_HANDLE) {
        LZClose(SourceHandle);
        SourceHandle = NO_LZ_HANDLE;
    }
    if (SourcePathOpens(path)) {
        OFSTRUCT scratch;
        INT handle = LZOpenFileA((LPSTR)path, &scratch, OF_READ);
        SourceHandle = handle < 0 ? NO_LZ_HANDLE : handle;
    }
    return ServiceOneMessage(page);
}

int SettleExpansion(const char *temporary, const char *target, LONG copyResult) {
    DWORD attributes = GetFileAttributesA(target);
    // A read-only file or a folder of that name could not have been opened
    // for writing: it stays as it is.
    if (copyResult < 0 || (attributes != NO_ATTRIBUTES &&
                           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))) {
        DeleteFileA(temporary);
        return 0;
    }
    return ReplaceThroughSpare(target, temporary, NULL);
}

int ExpandIntoPlace(INT source, const char *target) {
    // A target that does not exist yet, the usual case, is made new and
    // expanded into directly: on failure removing it restores how it was.
    // The destination's SETUP.INF always goes the long way, so that it
    // carries the record and journal and none of the media's.
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!IsRecordFile(target))
        file = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        // A file handle is what the LZ calls take as a plain file.
        LONG copied = LZCopy(source, (INT)(INT_PTR)file);
        CloseHandle(file);
        if (copied >= 0)
            return 1;
        DeleteFileA(target);
        return 0;
    }
    DWORD error = GetLastError();
    if (!IsRecordFile(target) && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
        error != ERROR_ACCESS_DENIED)
        return 0; // no such folder, or no name of that form
    // An existing file is replaced only by a whole copy, written under the
    // fixed fresh name beside it (what a stopped run left there goes first).
    char fresh[COPY_PATH_TEXT + 2];
    if (!PrepareFresh(target, fresh, sizeof fresh))
        return 0;
    file = CreateFileA(fresh, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LONG copied = LZCopy(source, (INT)(INT_PTR)file);
    CloseHandle(file);
    if (copied >= 0 && !KeepRecordSections(target, fresh))
        copied = -1;
    return SettleExpansion(fresh, target, copied);
}

int CopyToTarget(HWND page, const char *path) {
    // Nothing to copy from means nothing to open, so an existing target is
    // never emptied for want of a source.
    if (SourceHandle != NO_LZ_HANDLE) {
        if (path != NULL)
            ExpandIntoPlace(SourceHandle, path);
        LZClose(SourceHandle);
        SourceHandle = NO_LZ_HANDLE;
    }
    return ServiceOneMessage(page);
}

void CreateSubFolders(void) {
    char path[SUBFOLDER_PATH_TEXT];
    // Entry 0 is the destination itself; 7 to 9 are source folders only.
    for (int n = 1; n <= 6; n++) {
        const char *entry = InstallConfig.DirectoryTable[n];
        if (entry[0] == '\0')
            continue;
        if (CopyText(path, sizeof path, InstallConfig.DefaultPath) &&
            AppendText(path, sizeof path, "\\") && AppendText(path, sizeof path, entry))
            CreateDirectoryA(path, NULL);
    }
}

// A cancel destroys the page inside a message step; the copy of the file in
// hand goes on, but nothing is drawn into a window that no longer exists.
void CopyEveryDisk(HWND page, HDC dc) {
    char source[COPY_PATH_TEXT];
    char target[COPY_PATH_TEXT];
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    // The placeholder never moves: its place is taken once per disk.
    RECT placeholder = {0, 0, 0, 0};
    ResetPanelText();
    for (short d = 0; d < disks->DiskCount && d < MAX_DISKS && PageResult != 0; d++) {
        if (IsWindow(page)) {
            UpdateWindow(page);
            DrawSunkenBox(page, dc, IDC_PROGRESS_PLACE, WHITE_BRUSH);
            ControlRectInParent(page, IDC_PROGRESS_PLACE, &placeholder);
        }
        short count = disks->FileCounts[d];
        short i = 0;
        while (i < count && PageResult != 0) {
            const FileEntry *entry = EntryOf(d, i);
            if (entry == NULL)
                break;
            if (IsWindow(page))
                ShowFileStatus(page, entry);
            // An entry whose path does not fit is skipped, not opened cut short.
            int sourceFits = BuildSourcePath(source, sizeof source, d, i);
            OpenSourceFile(page, sourceFits ? source : NULL);

            short percent = CopyPercentage(i, count);
            if (IsWindow(page))
                ShowDiskShare(page, dc, &placeholder, percent);
            int targetFits = BuildTargetPath(target, sizeof target, d, i);
            // A file outside the destination is noted for the uninstaller
            // first, or not copied at all.
            int outside = targetFits && entry->IsAbsolute != 0 && SourceHandle != NO_LZ_HANDLE;
            if (outside && !NoteFileChange(target))
                targetFits = outside = 0;
            i++;
            CopyToTarget(page, targetFits ? target : NULL);
            if (outside)
                NoteFileWritten(target);
        }
    }
}

// WININIT.INI may still name files of this product for removal at the next
// start (an uninstall whose restart was declined): not what this copy puts
// there. The destination and every target outside it are taken back.
static void KeepTargets(void) {
    static RemovalList kept;
    kept.Count = 0;
    if (CopyText(kept.Paths[0], MAX_PATH, InstallConfig.DefaultPath))
        kept.Count = 1;
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (short d = 0; d < disks->DiskCount && d < MAX_DISKS; d++)
        for (short i = 0; i < disks->FileCounts[d] && kept.Count < MAX_REMOVALS; i++) {
            const FileEntry *entry = EntryOf(d, i);
            if (entry != NULL && entry->IsAbsolute != 0 &&
                BuildTargetPath(kept.Paths[kept.Count], MAX_PATH, d, i))
                kept.Count++;
        }
    CancelRemovals(InstallConfig.WindowsDir, &kept);
}

void CopyAllFiles(HWND page) {
    KeepTargets();
    InheritJournal();
    CopyEveryDisk(page, TakeCopyPageDC(page));
    // After a cancel the page gave the context back as it was destroyed.
    ReleaseCopyPageDC();
    if (IsWindow(page))
        ShowStatusLine(page, "Updating Registry...");
    WaitMilliseconds(1000);
    UpdateRegistry(1);
}
