// system.ini, its backup and the mouse VxD back as they were before the setup.
#include "uninstall/uninstall.h"
#include "system/journal.h"
#include "runtime/runtime.h"

static void Count(UndoTally *tally, int result) {
    if (result > 0)
        tally->System++;
    else if (result < 0)
        tally->Failed++;
}

// system.ini back: after a stop in the middle of a swap, the file from before
// it first (on a second install the first one's patch); then the bytes from
// before the first patch when it holds what the setup last wrote, or else the
// pieces the patch replaced. 1, 0 or -1 as a step; below 0 system.bak must
// stay.
static int UndoSystemIni(const char *notes, const char *written, const char *ini, int apply) {
    const char *saved = SectionValue(notes, NOTE_INI_SAVED);
    char bak[MAX_PATH];
    if (!FolderOf(ini, bak, sizeof bak) || !AppendText(bak, sizeof bak, SYSTEM_BAK))
        return -1;
    if (apply)
        RecoverReplacement(ini);
    int swapped = 0;
    if (!PathExists(ini)) {
        if (SectionValue(notes, NOTE_INI_BACKUP) != NULL && PathExists(bak)) {
            if (!apply)
                return 1;
            if (!MoveFileA(bak, ini))
                return -1;
            swapped = 1;
        } else {
            return saved != NULL && PathExists(saved) && (!apply || CopyFileA(saved, ini, TRUE))
                       ? 1
                       : -1;
        }
    }
    char now[32];
    const char *last = SectionValue(written, ini);
    int result;
    if (saved != NULL && last != NULL && FileFingerprint(ini, now, sizeof now) &&
        SameText(now, last) && PathExists(saved))
        result = !apply || CopyThroughSpare(saved, ini) ? 1 : -1;
    else
        result = RestoreIniPieces(ini, notes, apply);
    return swapped && result == 0 ? 1 : result;
}

// system.bak as it was: gone when the setup made it, the user's own back.
static int UndoSystemBak(const char *notes, const char *bak, int apply) {
    const char *backup = SectionValue(notes, NOTE_INI_BACKUP);
    if (backup == NULL)
        return 0;
    if (SameText(backup, NOTE_CREATED))
        return !PathExists(bak) ? 0 : !apply || DeleteMarked(bak) ? 1 : -1;
    if (!PathExists(backup))
        return 0;
    return !apply || CopyThroughSpare(backup, bak) ? 1 : -1;
}

void UndoSystemFiles(const char *journal, const char *windowsDir, const char *systemDir, int apply,
                     UndoTally *tally) {
    char *notes = ReadProfileSection(journal, JOURNAL_SYSTEM);
    char *written = ReadProfileSection(journal, JOURNAL_WRITTEN);
    char path[MAX_PATH], other[MAX_PATH];
    if (notes == NULL || written == NULL) {
        tally->Failed++;
    } else if (windowsDir[0] != '\0' && JoinText(path, sizeof path, windowsDir, SYSTEM_INI) &&
               JoinText(other, sizeof other, windowsDir, SYSTEM_BAK)) {
        // The backup is the user's last copy until system.ini is back.
        int result = UndoSystemIni(notes, written, path, apply);
        Count(tally, result);
        if (result >= 0)
            Count(tally, UndoSystemBak(notes, other, apply));
    }
    if (notes != NULL && SectionValue(notes, NOTE_VXD_SET_ASIDE) != NULL && systemDir[0] != '\0' &&
        JoinText(path, sizeof path, systemDir, MOUSE_VXD_BAK) &&
        JoinText(other, sizeof other, systemDir, MOUSE_VXD) && PathExists(path) &&
        !PathExists(other))
        Count(tally, !apply || MoveFileA(path, other) ? 1 : -1);
    FreeProfileSection(notes);
    FreeProfileSection(written);
}
