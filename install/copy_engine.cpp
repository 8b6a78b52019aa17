// The copy engine: every file of the script, disk by disk, from the source
// tree below the program into the destination, LZ-expanded on the way.
#include "install/copy_engine.h"
#include "install/progress_panel.h"

INT SourceHandle = NO_LZ_HANDLE;

short CopyPercentage(short index, short count) {
    if (count <= 0)
        return 0;
    // The file in hand counts as done: the first file already shows its share.
    long percent = (100L * index + 100L) / count;
    return (short)percent;
}

void StatusText(char *text, int capacity, const FileEntry *entry) {
    // A cut status line is still worth showing, so the results are not checked.
    CopyText(text, capacity, ResourceText(IDS_COPYING));
    AppendText(text, capacity, entry->SourceName);
    AppendText(text, capacity, "\n\n");
    AppendText(text, capacity, entry->Description);
}

static const FileEntry *EntryOf(short disk, short index) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    if (disk < 0 || disk >= MAX_DISKS || index < 0 || index >= disks->FileCounts[disk] ||
        disks->DiskFiles[disk] == NULL)
        return NULL;
    return disks->DiskFiles[disk] + index;
}

int BuildSourcePath(char *path, int capacity, short disk, short index) {
    const FileEntry *entry = EntryOf(disk, index);
    if (entry == NULL) {
        CopyText(path, capacity, "");
        return 0;
    }
    return JoinSourcePath(path, capacity, InstallConfig.SourceRoot, entry);
}

int BuildTargetPath(char *path, int capacity, short disk, short index) {
    const FileEntry *entry = EntryOf(disk, index);
    if (entry == NULL) {
        CopyText(path, capacity, "");
        return 0;
    }
    return JoinTargetPath(path, capacity, InstallConfig.DefaultPath, entry);
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

// The folder part of a path, for the temporary file beside the target.
static int TargetFolder(char *folder, int capacity, const char *target) {
    int last = -1;
    for (int i = 0; target[i] != '\0'; i++)
        if (target[i] == '\\')
            last = i;
    if (last < 0)
        return CopyText(folder, capacity, ".");
    // "C:\NAME" lives in "C:\", not in the current folder of drive C.
    int keep = (last > 0 && target[last - 1] == ':') ? last + 1 : last;
    if (keep >= capacity)
        return 0;
    lstrcpynA(folder, target, keep + 1);
    return 1;
}

int SwapIntoPlace(const char *temporary, const char *target, const char *spare, MoveFileProc move) {
    if (!move(target, spare)) {
        DeleteFileA(temporary);
        return 0;
    }
    if (move(temporary, target)) {
        DeleteFileA(spare);
        return 1;
    }
    // The name must not stay empty: the old file goes back, copied if it
    // cannot be moved (something may have taken the name meanwhile) ...
    if (move(spare, target) || CopyFileA(spare, target, FALSE)) {
        DeleteFileA(spare);
        DeleteFileA(temporary);
        return 0;
    }
    // ... or, failing that, the new one. Whatever cannot be placed stays.
    if (CopyFileA(temporary, target, FALSE)) {
        DeleteFileA(temporary);
        DeleteFileA(spare);
        return 1;
    }
    return 0;
}

int SettleExpansion(const char *temporary, const char *target, LONG copyResult) {
    DWORD attributes = GetFileAttributesA(target);
    // A read-only file or a folder of that name could not have been opened
    // for writing: it stays as it is.
    if (copyResult < 0 || (attributes != 0xFFFFFFFF &&
                           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))) {
        DeleteFileA(temporary);
        return 0;
    }
    if (attributes == 0xFFFFFFFF) {
        if (MoveFileA(temporary, target))
            return 1;
        DeleteFileA(temporary);
        return 0;
    }
    // Keep the old file under a spare name until the new one is in place,
    // so that no failure can leave the target missing.
    char folder[COPY_PATH_TEXT];
    char spare[MAX_PATH];
    if (!TargetFolder(folder, sizeof folder, target) ||
        GetTempFileNameA(folder, "stp", 0, spare) == 0) {
        DeleteFileA(temporary);
        return 0;
    }
    DeleteFileA(spare);
    // A hidden or system file stays one when it is replaced.
    DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    DWORD fresh = GetFileAttributesA(temporary);
    if (kept != 0 && fresh != 0xFFFFFFFF)
        SetFileAttributesA(temporary, fresh | kept);
    return SwapIntoPlace(temporary, target, spare, MoveFileA);
}

// A new file of a fresh name in folder, made in one step so that no file of
// that name can be overwritten; INVALID_HANDLE_VALUE when none could be made.
static HANDLE CreateTemporary(const char *folder, char *path, int capacity) {
    static unsigned int counter;
    if (counter == 0)
        counter = GetTickCount();
    int length = lstrlenA(folder);
    // "C:\" and "DEST\" (an empty folder field) end in a backslash already.
    const char *format = length > 0 && folder[length - 1] == '\\' ? "~ST%04X.TMP" : "\\~ST%04X.TMP";
    for (int attempt = 0; attempt < 64; attempt++) {
        char name[16];
        counter++;
        wsprintfA(name, format, counter & 0xFFFF);
        if (!CopyText(path, capacity, folder) || !AppendText(path, capacity, name))
            return INVALID_HANDLE_VALUE;
        HANDLE file =
            CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

int ExpandIntoPlace(INT source, const char *target) {
    // A target that does not exist yet, the usual case, is made new and
    // expanded into directly: on failure removing it restores how it was.
    HANDLE file =
        CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        // A file handle is what the LZ calls take as a plain file.
        LONG copied = LZCopy(source, (INT)(INT_PTR)file);
        CloseHandle(file);
        if (copied >= 0)
            return 1;
        DeleteFileA(target);
        return 0;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS &&
        GetLastError() != ERROR_ACCESS_DENIED)
        return 0; // no such folder, or no name of that form
    // An existing file is replaced only by a whole copy.
    char folder[COPY_PATH_TEXT];
    char temporary[COPY_PATH_TEXT];
    if (!TargetFolder(folder, sizeof folder, target))
        return 0;
    file = CreateTemporary(folder, temporary, sizeof temporary);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LONG copied = LZCopy(source, (INT)(INT_PTR)file);
    CloseHandle(file);
    // A new copy of the destination's SETUP.INF takes over the record and
    // the undo journal of the one it replaces, or does not replace it.
    if (copied >= 0 && !KeepRecordSections(target, temporary))
        copied = -1;
    return SettleExpansion(temporary, target, copied);
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

// The two texts of the page change with every file. Their windows are looked
// up once per page: each lookup is a round trip to the window manager, and
// on a media of small files those trips cost as much as the copying.
static HWND ControlsPage;
static HWND StatusControl;
static HWND PercentControl;

static HWND PageControl(HWND page, int controlId) {
    if (page != ControlsPage || !IsWindow(StatusControl) || !IsWindow(PercentControl)) {
        ControlsPage = page;
        StatusControl = GetDlgItem(page, IDC_STATUS);
        PercentControl = GetDlgItem(page, IDC_PERCENT);
    }
    if (controlId == IDC_STATUS)
        return StatusControl;
    if (controlId == IDC_PERCENT)
        return PercentControl;
    return GetDlgItem(page, controlId);
}

static void ShowControlText(HWND page, int controlId, const char *text) {
    HWND control = PageControl(page, controlId);
    SetWindowTextA(control, text);
    UpdateWindow(control);
}

void ShowFileStatus(HWND page, const FileEntry *entry) {
    char status[STATUS_TEXT];
    StatusText(status, sizeof status, entry);
    ShowControlText(page, IDC_STATUS, status);
}

// Percentage the page shows now; -1 before the first of a copy.
static short ShownPercent = -1;

void ShowDiskShare(HWND page, HDC dc, const RECT *placeholder, short percent) {
    // Putting the same text again would change nothing on the page but costs
    // two repaints; on a disk of more than 100 files it is the common case.
    if (percent != ShownPercent) {
        char text[STATUS_TEXT];
        wsprintfA(text, "%d%%", percent);
        ShowControlText(page, IDC_PERCENT, text);
        ShownPercent = percent;
    }
    RECT bar;
    ProgressBarRect(placeholder, percent, &bar);
    HBRUSH blue = CreateSolidBrush(0xFF0000);
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
}

// A cancel destroys the page inside a message step; the copy of the file in
// hand goes on, but nothing is drawn into a window that no longer exists.
void CopyEveryDisk(HWND page, HDC dc) {
    char source[COPY_PATH_TEXT];
    char target[COPY_PATH_TEXT];
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    // The placeholder never moves: its place is taken once per disk.
    RECT placeholder = {0, 0, 0, 0};
    ShownPercent = -1;
    ControlsPage = NULL;
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
            // A file made outside the destination is noted for the uninstaller.
            if (targetFits && entry->IsAbsolute != 0 && SourceHandle != NO_LZ_HANDLE)
                NoteCreatedFile(target);
            i++;
            CopyToTarget(page, targetFits ? target : NULL);
        }
    }
}

HDC CopyPageDC;
static HWND CopyPageDCOwner;

int ReleaseCopyPageDC(void) {
    if (CopyPageDC == NULL)
        return 0;
    int released = ReleaseDC(CopyPageDCOwner, CopyPageDC);
    CopyPageDC = NULL;
    CopyPageDCOwner = NULL;
    return released;
}

void CopyAllFiles(HWND page) {
    CopyPageDC = GetDC(page);
    CopyPageDCOwner = page;
    CopyEveryDisk(page, CopyPageDC);
    // After a cancel the page gave the context back as it was destroyed.
    ReleaseCopyPageDC();
    if (IsWindow(page))
        ShowControlText(page, IDC_STATUS, "Updating Registry...");
    WaitMilliseconds(1000);
    UpdateRegistry(1);
}
