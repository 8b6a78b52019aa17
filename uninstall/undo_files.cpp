// The product's files: the ones outside the destination by the journal, the
// ones inside by the script; removed now, or at the next start of Windows
// through WININIT.INI when they are in use.
#include "uninstall/uninstall.h"
#include "script/script.h"
#include "system/journal.h"
#include "runtime/runtime.h"

int RemoveNowOrLater(const char *path, RemovalList *later) {
    // A read-only file is still the product's.
    if (DeleteMarked(path))
        return 1;
    if (later->Count >= MAX_REMOVALS || !CopyText(later->Paths[later->Count], MAX_PATH, path))
        return 0;
    later->Count++;
    return 1;
}

static void Count(UndoTally *tally, int done) {
    if (done)
        tally->Files++;
    else
        tally->Failed++;
}

// One noted file: made by the setup (removed) or replaced by it (its saved
// copy back); a file that holds something else than the setup last put there
// is the user's since, and stays.
static void UndoNotedFile(const char *path, const char *note, const char *written, int apply,
                          UndoTally *tally, RemovalList *later) {
    if (apply)
        RecoverReplacement(path);
    char now[32];
    const char *last = SectionValue(written, path);
    if (last != NULL && (!FileFingerprint(path, now, sizeof now) || !SameText(now, last)))
        return;
    if (SameText(note, NOTE_CREATED)) {
        if (PathExists(path))
            Count(tally, !apply || RemoveNowOrLater(path, later));
    } else if (PathExists(note)) {
        Count(tally, !apply || CopyThroughSpare(note, path));
    } else if (last != NULL) {
        // Ours is there, and the user's copy is lost: nothing can put it back.
        tally->Failed++;
    }
}

void UndoNotedFiles(const char *journal, int apply, UndoTally *tally, RemovalList *later) {
    char *notes = ReadProfileSection(journal, JOURNAL_FILES);
    char *written = ReadProfileSection(journal, JOURNAL_WRITTEN);
    if (notes == NULL || written == NULL)
        tally->Failed++;
    for (char *line = notes; written != NULL && line != NULL && line[0] != '\0';) {
        char *next = line + lstrlenA(line) + 1, *note = line;
        while (*note != '\0' && *note != '=')
            note++;
        if (*note == '=') {
            *note++ = '\0';
            UndoNotedFile(line, note, written, apply, tally, later);
        }
        line = next;
    }
    FreeProfileSection(notes);
    FreeProfileSection(written);
}

// Where the copy put an entry's file below folder; 0 for an empty entry, an
// absolute one or one too long. Unlike the copy's own join, no doubled
// backslash for an empty sub-folder: the path may end up in WININIT.INI,
// which is read before Windows runs.
static int InstalledPath(char *out, int capacity, const char *folder, const FileEntry *entry) {
    if (entry->TargetName[0] == '\0' || entry->IsAbsolute != 0)
        return 0;
    int fit = CopyText(out, capacity, folder);
    if (entry->TargetDir[0] != '\0')
        fit = fit && AppendText(out, capacity, "\\") && AppendText(out, capacity, entry->TargetDir);
    return fit && AppendText(out, capacity, "\\") && AppendText(out, capacity, entry->TargetName);
}

static void RemoveFound(const char *path, int apply, UndoTally *tally, RemovalList *later) {
    if (apply)
        RecoverReplacement(path);
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != NO_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        Count(tally, !apply || RemoveNowOrLater(path, later));
}

// The saved copies (the setup names them FILE1, FILE2, ...), then their
// folder.
static void RemoveSavedCopies(const char *folder, int apply, UndoTally *tally, RemovalList *later) {
    char undo[MAX_PATH], path[MAX_PATH];
    if (!JoinText(undo, sizeof undo, folder, UNDO_FOLDER))
        return;
    // Copies of the setup's own, not product files: only a failure counts.
    UndoTally copies = {0, 0, 0, 0, 0};
    for (int n = 1; n < SAVED_COPIES; n++) {
        char name[16];
        wsprintfA(name, SAVED_COPY_NAME, n);
        if (JoinText(path, sizeof path, undo, name))
            RemoveFound(path, apply, &copies, later);
    }
    tally->Failed += copies.Failed;
    if (apply)
        RemoveDirectoryA(undo);
}

void RemoveProductFiles(const char *journal, const char *folder, const char *self, int apply,
                        UndoTally *tally, RemovalList *later) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (int d = 0; d < disks->DiskCount && d < MAX_DISKS; d++) {
        for (int i = 0; i < disks->FileCounts[d] && disks->DiskFiles[d] != NULL; i++) {
            char path[MAX_PATH];
            if (InstalledPath(path, sizeof path, folder, disks->DiskFiles[d] + i) &&
                !SamePath(path, self) && !SamePath(path, journal))
                RemoveFound(path, apply, tally, later);
        }
    }
    RemoveSavedCopies(folder, apply, tally, later);
    // The sub-folders the copy made, when nothing else is left in them; the
    // last first, so that one below another goes before it.
    for (int n = 6; apply && n >= 1; n--) {
        char path[MAX_PATH];
        const char *name = InstallConfig.DirectoryTable[n];
        if (name[0] != '\0' && JoinText(path, sizeof path, folder, "\\") &&
            AppendText(path, sizeof path, name))
            RemoveDirectoryA(path);
    }
}
