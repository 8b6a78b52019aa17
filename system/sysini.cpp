#include "system/system.h"

#include <stdio.h>
#include <string.h>

// fgets size: pieces of at most 119 characters.
#define PIECE_READ 120

int PatchIniPiece(char *piece, int *inSection) {
    if (strstr(piece, "[386Enh]") != NULL)
        *inSection = 1;
    if (*inSection && strstr(piece, "mouse") != NULL && piece[0] != ';') {
        memcpy(piece, "mouse=*vmouse\n", 15);
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
    FILE *in = fopen(iniPath, "rt");
    if (in == NULL)
        return 0;
    FILE *out = fopen(newPath, "wt");
    if (out == NULL) {
        fclose(in);
        return 0;
    }
    char piece[LINE_TEXT];
    char original[LINE_TEXT];
    int inSection = 0;
    int ok = 1;
    for (int place = 0; ok && fgets(piece, PIECE_READ, in) != NULL; place++) {
        CopyText(original, sizeof original, piece);
        if (PatchIniPiece(piece, &inSection))
            NoteIniPiece(original, place);
        if (fputs(piece, out) == EOF)
            ok = 0;
    }
    if (ferror(in))
        ok = 0;
    fclose(in);
    // Flushed apart: some C libraries don't report a failed flush from fclose.
    if (fflush(out) != 0 || ferror(out))
        ok = 0;
    if (fclose(out) != 0)
        ok = 0;
    if (!ok)
        remove(newPath);
    return ok;
}

// system.ini -> system.bak, system.new -> system.ini. 1 when system.new took
// the name; otherwise system.ini is where it was, or put back.
static int ReplaceSystemIni(const char *iniPath, const char *newPath, const char *bakPath) {
    if (GetFileAttributesA(bakPath) == 0xFFFFFFFF)
        NoteSystemChange(JOURNAL_SYSTEM, "IniBackup", "created");
    remove(bakPath);
    if (rename(iniPath, bakPath) != 0) {
        // A patched copy that never took its place is of no use to anyone.
        remove(newPath);
        return 0;
    }
    if (rename(newPath, iniPath) != 0) {
        rename(bakPath, iniPath);
        remove(newPath);
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
    int setAside = rename(vxdPath, vxdBakPath);
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
