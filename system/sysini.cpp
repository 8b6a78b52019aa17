#include "system/system.h"
#include "shell/runtime.h"

// Read size: pieces of at most 119 characters.
#define PIECE_READ 120

int PatchIniPiece(char *piece, int *inSection) {
    if (FindText(piece, "[386Enh]") != NULL)
        *inSection = 1;
    if (*inSection && FindText(piece, "mouse") != NULL && piece[0] != ';') {
        CopyText(piece, LINE_TEXT, "mouse=*vmouse\n");
        *inSection = 0;
        return 1;
    }
    return 0;
}

static int JoinPath(char *out, int capacity, const char *folder, const char *name) {
    return CopyText(out, capacity, folder) && AppendText(out, capacity, name);
}

// Copies system.ini into system.new, patched. 1 only when every piece was
// read and written and system.new closed cleanly; a failed copy leaves no
// system.new behind.
static int WritePatchedCopy(const char *iniPath, const char *newPath) {
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
    int inSection = 0;
    int ok = 1;
    for (int place = 0; ok && ReadTextLine(piece, PIECE_READ, in) != NULL; place++) {
        CopyText(original, sizeof original, piece);
        if (PatchIniPiece(piece, &inSection))
            NoteIniPiece(original, place);
        if (WriteText(piece, out) < 0)
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
    if (!ok)
        RemoveFile(newPath);
    return ok;
}

// system.ini -> system.bak, system.new -> system.ini. 1 when system.new took
// the name; otherwise system.ini is where it was, or put back.
static int ReplaceSystemIni(const char *iniPath, const char *newPath, const char *bakPath) {
    if (GetFileAttributesA(bakPath) == 0xFFFFFFFF)
        NoteSystemChange(JOURNAL_SYSTEM, "IniBackup", "created");
    RemoveFile(bakPath);
    if (RenameFile(iniPath, bakPath) != 0) {
        // A patched copy that never took its place is of no use to anyone.
        RemoveFile(newPath);
        return 0;
    }
    if (RenameFile(newPath, iniPath) != 0) {
        RenameFile(bakPath, iniPath);
        RemoveFile(newPath);
        return 0;
    }
    return 1;
}

int PatchSystemIniIn(const char *windowsDir, const char *systemDir) {
    char iniPath[MAX_PATH], newPath[MAX_PATH], bakPath[MAX_PATH];
    int patched = 0;
    if (windowsDir[0] != '\0' && JoinPath(iniPath, sizeof iniPath, windowsDir, "\\system.ini") &&
        JoinPath(newPath, sizeof newPath, windowsDir, "\\system.new") &&
        JoinPath(bakPath, sizeof bakPath, windowsDir, "\\system.bak") &&
        WritePatchedCopy(iniPath, newPath))
        patched = ReplaceSystemIni(iniPath, newPath, bakPath);

    char vxdPath[MAX_PATH], vxdBakPath[MAX_PATH];
    if (systemDir[0] == '\0' ||
        !JoinPath(vxdPath, sizeof vxdPath, systemDir, "\\VMM32\\VMOUSE.VXD") ||
        !JoinPath(vxdBakPath, sizeof vxdBakPath, systemDir, "\\VMM32\\VMOUSE.BAK"))
        return -1;
    if (GetFileAttributesA(vxdPath) != 0xFFFFFFFF && GetFileAttributesA(vxdBakPath) == 0xFFFFFFFF)
        NoteSystemChange(JOURNAL_SYSTEM, "VxdSetAside", "yes");
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
