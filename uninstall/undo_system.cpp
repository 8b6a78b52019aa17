// system.ini, its backup and the mouse VxD back as they were before the setup.
#include "uninstall/uninstall.h"
#include "system/journal.h"
#include "runtime/runtime.h"

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
    DeleteFileA(fresh);
    return 0;
}

// The number of the piece to put back, or -1: place when it still holds the
// replacement line, else the first replacement line after a [386Enh] line.
static int FindReplacement(const char *iniPath, int place) {
    TextFile *in = OpenTextFile(iniPath, "rt");
    if (in == NULL)
        return -1;
    char piece[UNDO_LINE_TEXT];
    int found = -1, inSection = 0;
    for (int n = 0; ReadTextLine(piece, INI_PIECE_READ, in) != NULL; n++) {
        int replacement = SameText(piece, INI_MOUSE_LINE);
        if (replacement && n == place) {
            found = n;
            break;
        }
        if (replacement && inSection && found < 0)
            found = n;
        if (piece[0] == '[')
            inSection = FindText(piece, "[386Enh]") != NULL;
    }
    CloseTextFile(in);
    return found;
}

int RestoreIniPiece(const char *iniPath, const char *piece, int place, int apply) {
    int target = FindReplacement(iniPath, place);
    if (target < 0)
        return 0;
    if (!apply)
        return 1;
    char folder[MAX_PATH], fresh[MAX_PATH];
    if (!FolderOf(iniPath, folder, sizeof folder) || GetTempFileNameA(folder, "stu", 0, fresh) == 0)
        return -1;
    TextFile *in = OpenTextFile(iniPath, "rt");
    TextFile *out = in != NULL ? OpenTextFile(fresh, "wt") : NULL;
    int ok = out != NULL;
    char line[UNDO_LINE_TEXT];
    for (int n = 0; ok && ReadTextLine(line, INI_PIECE_READ, in) != NULL; n++)
        ok = WriteText(n == target ? piece : line, out) >= 0;
    // Had system.ini gone meanwhile, the new file would not stand in for it.
    ok = ok && in != NULL;
    return FinishRewrite(in, out, ok, iniPath, fresh) ? 1 : -1;
}

static void Count(UndoTally *tally, int result) {
    if (result > 0)
        tally->System++;
    else if (result < 0)
        tally->Failed++;
}

void UndoSystemFiles(const char *journal, const char *windowsDir, const char *systemDir, int apply,
                     UndoTally *tally) {
    char *notes = ReadProfileSection(journal, JOURNAL_SYSTEM);
    if (notes == NULL) {
        tally->Failed++;
        return;
    }
    char path[MAX_PATH], other[MAX_PATH];
    const char *hex = SectionValue(notes, NOTE_INI_PIECE);
    const char *place = SectionValue(notes, NOTE_INI_PLACE);
    int iniBack = 1;
    if (hex != NULL && place != NULL && windowsDir[0] != '\0' &&
        JoinText(path, sizeof path, windowsDir, SYSTEM_INI)) {
        char piece[UNDO_LINE_TEXT];
        DWORD length;
        if (DecodeHex(hex, (BYTE *)piece, sizeof piece - 1, &length)) {
            piece[length] = '\0';
            int result = RestoreIniPiece(path, piece, TextToInt(place), apply);
            Count(tally, result);
            iniBack = result >= 0;
        }
    }
    // The backup the setup made is the user's last copy until system.ini is back.
    if (SectionValue(notes, NOTE_INI_BACKUP) != NULL && iniBack && windowsDir[0] != '\0' &&
        JoinText(path, sizeof path, windowsDir, SYSTEM_BAK) && PathExists(path))
        Count(tally, !apply || DeleteFileA(path) ? 1 : -1);
    if (SectionValue(notes, NOTE_VXD_SET_ASIDE) != NULL && systemDir[0] != '\0' &&
        JoinText(path, sizeof path, systemDir, MOUSE_VXD_BAK) &&
        JoinText(other, sizeof other, systemDir, MOUSE_VXD) && PathExists(path) &&
        !PathExists(other))
        Count(tally, !apply || MoveFileA(path, other) ? 1 : -1);
    FreeProfileSection(notes);
}
