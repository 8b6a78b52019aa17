// The system.ini patch: the mouse line of [386Enh] points at the new driver,
// the old file becomes system.bak, and the old VxD is set aside.
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

int PatchIniPiece(char *piece, int *inSection) {
    if (FindText(piece, "[386Enh]") != NULL)
        *inSection = 1;
    if (*inSection && FindText(piece, "mouse") != NULL && piece[0] != ';') {
        CopyText(piece, LINE_TEXT, INI_MOUSE_LINE);
        *inSection = 0;
        return 1;
    }
    return 0;
}

// Copies system.ini into system.new, patched, each piece it replaces noted
// first, then what system.ini will hold. 1 only when every piece was read,
// noted and written and system.new closed cleanly; a failed copy leaves no
// system.new behind.
static int WritePatchedCopy(const char *iniPath, const char *newPath) {
    if (!NoteFileChange(newPath))
        return 0;
    TextFile *in = OpenTextFile(iniPath, "rt");
    if (in == NULL)
        return 0;
    TextFile *out = OpenTextFile(newPath, "wt");
    if (out == NULL) {
        CloseTextFile(in);
        return 0;
    }
    char piece[LINE_TEXT];
    char original[LINE_TEXT];
    int inSection = 0, replaced = 0;
    int ok = 1;
    for (int place = 0; ok && ReadTextLine(piece, INI_PIECE_READ, in) != NULL; place++) {
        CopyText(original, sizeof original, piece);
        if (PatchIniPiece(piece, &inSection) && !NoteIniPiece(original, place, ++replaced))
            ok = 0;
        if (ok && WriteText(piece, out) < 0)
            ok = 0;
    }
    if (TextFileFailed(in))
        ok = 0;
    CloseTextFile(in);
    if (TextFileFailed(out))
        ok = 0;
    // Closing writes out the rest and reports whether that worked.
    if (CloseTextFile(out) != 0)
        ok = 0;
    char state[32];
    if (ok && (!FileFingerprint(newPath, state, sizeof state) || !NoteWritten(iniPath, state)))
        ok = 0;
    if (!ok)
        RemoveFile(newPath);
    return ok;
}

// Before the first patch system.ini is saved whole, so that undo can put it
// back byte for byte; a system.bak the user had is saved before the patch
// takes its name. 1 when both are noted.
static int NoteBeforePatch(const char *iniPath, const char *bakPath) {
    char journal[MAX_PATH], saved[MAX_PATH];
    if (!JournalFile(journal, sizeof journal))
        return 0;
    if (!IsNoted(journal, JOURNAL_SYSTEM, NOTE_INI_SAVED)) {
        if (!SaveCopy(iniPath, saved, sizeof saved))
            return 0;
        if (!NoteSystemChange(JOURNAL_SYSTEM, NOTE_INI_SAVED, saved)) {
            DropCopy(saved);
            return 0;
        }
    }
    if (IsNoted(journal, JOURNAL_SYSTEM, NOTE_INI_BACKUP))
        return 1;
    if (!PathExists(bakPath))
        return NoteSystemChange(JOURNAL_SYSTEM, NOTE_INI_BACKUP, NOTE_CREATED);
    if (!SaveCopy(bakPath, saved, sizeof saved))
        return 0;
    if (NoteSystemChange(JOURNAL_SYSTEM, NOTE_INI_BACKUP, saved))
        return 1;
    DropCopy(saved);
    return 0;
}

int PatchSystemIniIn(const char *windowsDir, const char *systemDir) {
    char iniPath[MAX_PATH], newPath[MAX_PATH], bakPath[MAX_PATH];
    int patched = 0;
    if (windowsDir[0] != '\0' && JoinText(iniPath, sizeof iniPath, windowsDir, SYSTEM_INI) &&
        JoinText(newPath, sizeof newPath, windowsDir, SYSTEM_NEW) &&
        JoinText(bakPath, sizeof bakPath, windowsDir, SYSTEM_BAK) &&
        NoteBeforePatch(iniPath, bakPath) && WritePatchedCopy(iniPath, newPath))
        // system.ini -> system.bak, system.new -> system.ini: system.ini is
        // always the old file or the new one.
        patched = ReplaceThroughSpare(iniPath, newPath, bakPath);

    char vxdPath[MAX_PATH], vxdBakPath[MAX_PATH];
    if (systemDir[0] == '\0' || !JoinText(vxdPath, sizeof vxdPath, systemDir, MOUSE_VXD) ||
        !JoinText(vxdBakPath, sizeof vxdBakPath, systemDir, MOUSE_VXD_BAK))
        return -1;
    if (PathExists(vxdPath) && !PathExists(vxdBakPath) &&
        !NoteSystemChange(JOURNAL_SYSTEM, NOTE_VXD_SET_ASIDE, NOTE_YES))
        return -1;
    int setAside = RenameFile(vxdPath, vxdBakPath);
    // Success only when system.ini was replaced and the VxD set aside.
    return patched && setAside == 0 ? 0 : -1;
}

int PatchSystemIni(void) {
    char systemDir[MAX_PATH];
    UINT length = GetSystemDirectoryA(systemDir, sizeof systemDir);
    if (length == 0 || length >= sizeof systemDir)
        systemDir[0] = '\0';
    return PatchSystemIniIn(InstallConfig.WindowsDir, systemDir);
}
