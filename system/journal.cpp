// The undo journal: what the setup changes outside the destination folder,
// noted before each change into the record file (the destination's
// SETUP.INF; in a -u run the one beside the program), so that UNINSTAL.EXE
// can put the machine back. Layout, one section per kind:
//
//   [Undo Values]   HKLM\<key path>\\<value name>=<state before the first change>
//   [Undo Written]  HKLM\<key path>\\<value name>=<state this product last wrote>
//   [Undo Keys]     HKLM\<key path>=created          parents before children
//   [Undo Files]    <full path>=created              files outside the destination
//   [Undo System]   IniPiece=<hex bytes>             the system.ini piece replaced
//                   IniPlace=<n>                     its number, from 0, as pieces are read
//                   IniBackup=created                system.bak did not exist before
//                   VxdSetAside=yes                  VMOUSE.VXD became VMOUSE.BAK
//
// Roots are HKLM or HKCR; the value name follows the first double backslash
// (key names hold no empty part), the unnamed value has none. A state is -
// (no such value), "text" (a REG_SZ text, its terminator left out), #<type>:
// <hex bytes> (any other value) or ? (one that could not be read whole).
// Every note is written once, so the state from before the first install
// survives later runs; only [Undo Written] follows each run, so that the
// uninstaller can tell a value the user changed since from one of ours.
#include "system/system.h"
#include "shell/runtime.h"

static const char HexDigits[] = "0123456789abcdef";

int SameText(const char *a, const char *b) {
    while (*a != '\0' && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

int SamePath(const char *a, const char *b) {
    for (;;) {
        // "C:\VELOR\\SETUP.INF" (an empty folder value) is C:\VELOR\SETUP.INF.
        if (*a == '\\' && *b == '\\') {
            while (a[1] == '\\')
                a++;
            while (b[1] == '\\')
                b++;
        }
        if (UpperChar(*a) != UpperChar(*b))
            return 0;
        if (*a == '\0')
            return 1;
        a++;
        b++;
    }
}

int EncodeHex(char *out, int capacity, const BYTE *data, DWORD length) {
    if (capacity <= 0 || (DWORD)capacity <= 2 * length) {
        if (capacity > 0)
            out[0] = '\0';
        return 0;
    }
    for (DWORD i = 0; i < length; i++) {
        out[2 * i] = HexDigits[data[i] >> 4];
        out[2 * i + 1] = HexDigits[data[i] & 15];
    }
    out[2 * length] = '\0';
    return 1;
}

static int HexValue(char c) {
    for (int i = 0; i < 16; i++)
        if (UpperChar(HexDigits[i]) == UpperChar(c))
            return i;
    return -1;
}

int DecodeHex(const char *text, BYTE *data, DWORD capacity, DWORD *length) {
    DWORD n = 0;
    for (; text[0] != '\0'; text += 2) {
        int high = HexValue(text[0]);
        int low = text[1] != '\0' ? HexValue(text[1]) : -1;
        if (high < 0 || low < 0 || n >= capacity)
            return 0;
        data[n++] = (BYTE)(high * 16 + low);
    }
    *length = n;
    return 1;
}

int EncodeValueState(char *out, int capacity, LONG queryResult, DWORD type, const BYTE *data,
                     DWORD length) {
    if (queryResult == ERROR_FILE_NOT_FOUND)
        return CopyText(out, capacity, "-");
    if (queryResult != ERROR_SUCCESS)
        return CopyText(out, capacity, "?");
    DWORD text = length;
    if (text > 0 && data[text - 1] == '\0')
        text--;
    int plain = type == REG_SZ;
    for (DWORD i = 0; plain && i < text; i++)
        plain = data[i] != '\0' && data[i] != '\r' && data[i] != '\n';
    if (plain && (DWORD)capacity > text + 2) {
        out[0] = '"';
        for (DWORD i = 0; i < text; i++)
            out[1 + i] = (char)data[i];
        out[1 + text] = '"';
        out[2 + text] = '\0';
        return 1;
    }
    char head[16];
    wsprintfA(head, "#%lu:", (unsigned long)type);
    int headLength = lstrlenA(head);
    // A text too long for the note is no better kept as bytes.
    if (!plain && CopyText(out, capacity, head) &&
        EncodeHex(out + headLength, capacity - headLength, data, length))
        return 1;
    CopyText(out, capacity, "?");
    return 0;
}

int DecodeValueState(const char *state, DWORD *type, BYTE *data, DWORD capacity, DWORD *length) {
    int size = lstrlenA(state);
    if (size >= 2 && state[0] == '"' && state[size - 1] == '"') {
        // Put back with its terminator, as texts are normally kept.
        if ((DWORD)size - 1 > capacity)
            return 0;
        for (int i = 1; i < size - 1; i++)
            data[i - 1] = (BYTE)state[i];
        data[size - 2] = '\0';
        *type = REG_SZ;
        *length = (DWORD)size - 1;
        return 1;
    }
    if (state[0] != '#')
        return 0;
    DWORD number = 0;
    int at = 1;
    for (; state[at] >= '0' && state[at] <= '9'; at++)
        number = number * 10 + (DWORD)(state[at] - '0');
    if (at == 1 || state[at] != ':')
        return 0;
    *type = number;
    return DecodeHex(state + at + 1, data, capacity, length);
}

UndoStep UndoValueStep(const char *before, const char *written, const char *now) {
    // Nothing noted, or noted but never written (the run stopped in between).
    if (before[0] == '\0' || written[0] == '\0')
        return UNDO_KEEP;
    // Changed by the user since, or already put back by an earlier run.
    if (!SameText(now, written) || SameText(before, written))
        return UNDO_KEEP;
    if (SameText(before, "-"))
        return UNDO_DELETE;
    // What could not be read whole cannot be put back.
    if (SameText(before, "?"))
        return UNDO_KEEP;
    return UNDO_RESTORE;
}

int NoteOnce(const char *file, const char *section, const char *key, const char *value) {
    char noted[8];
    GetPrivateProfileStringA(section, key, "", noted, sizeof noted, file);
    if (noted[0] != '\0')
        return 1;
    return WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
}

// The journal is the record file; without a destination there is none.
static int JournalFile(char *path, int capacity) {
    return InstallConfig.DefaultPath[0] != '\0' &&
           BuildRecordPath(InstallConfig.DefaultPath, path, capacity);
}

void NoteSystemChange(const char *section, const char *key, const char *value) {
    char file[MAX_PATH];
    if (JournalFile(file, sizeof file))
        NoteOnce(file, section, key, value);
}

void NoteCreatedFile(const char *path) {
    // Only a file that is not there yet is ours to remove later.
    if (GetFileAttributesA(path) == 0xFFFFFFFF)
        NoteSystemChange(JOURNAL_FILES, path, "created");
}

void NoteIniPiece(const char *piece, int place) {
    char hex[2 * LINE_TEXT];
    char number[16];
    wsprintfA(number, "%d", place);
    if (EncodeHex(hex, sizeof hex, (const BYTE *)piece, (DWORD)lstrlenA(piece))) {
        NoteSystemChange(JOURNAL_SYSTEM, "IniPiece", hex);
        NoteSystemChange(JOURNAL_SYSTEM, "IniPlace", number);
    }
}

int RootPlace(char *out, int capacity, HKEY root, const char *path) {
    const char *name = root == HKEY_LOCAL_MACHINE  ? "HKLM\\"
                       : root == HKEY_CLASSES_ROOT ? "HKCR\\"
                                                   : NULL;
    if (name == NULL) {
        CopyText(out, capacity, "");
        return 0;
    }
    return CopyText(out, capacity, name) && AppendText(out, capacity, path);
}

int OpenJournalKey(JournalKey *key, HKEY root, const char *path, int create) {
    if (!RootPlace(key->Where, sizeof key->Where, root, path))
        key->Where[0] = '\0';
    if (!create) {
        key->Handle = OpenSetupKey(root, path);
        return key->Handle != 0;
    }
    // Each missing level is noted, parents first, before anything is made.
    char part[KEY_PATH_TEXT];
    int missing = 0;
    for (int end = 0; key->Where[0] != '\0' && end < KEY_PATH_TEXT; end++) {
        if (path[end] != '\\' && path[end] != '\0')
            continue;
        lstrcpynA(part, path, end + 1);
        HKEY probe;
        if (!missing && RegOpenKeyExA(root, part, 0, KEY_READ, &probe) == ERROR_SUCCESS)
            RegCloseKey(probe);
        else {
            missing = 1;
            char place[JOURNAL_PLACE_TEXT];
            if (RootPlace(place, sizeof place, root, part))
                NoteSystemChange(JOURNAL_KEYS, place, "created");
        }
        if (path[end] == '\0')
            break;
    }
    key->Handle = CreateSetupKey(root, path);
    return key->Handle != 0;
}

void ReadValueState(HKEY key, const char *name, char *state, int capacity) {
    BYTE data[REG_TEXT];
    DWORD type = 0, length = sizeof data;
    LONG result = RegQueryValueExA(key, name, NULL, &type, data, &length);
    EncodeValueState(state, capacity, result, type, data, length);
}

void SetJournalValue(JournalKey *key, const char *name, DWORD type, const BYTE *data,
                     DWORD length) {
    char place[JOURNAL_PLACE_TEXT];
    if (key->Where[0] != '\0' && CopyText(place, sizeof place, key->Where) &&
        AppendText(place, sizeof place, "\\\\") &&
        AppendText(place, sizeof place, name != NULL ? name : "")) {
        char state[NOTE_TEXT];
        ReadValueState(key->Handle, name, state, sizeof state);
        NoteSystemChange(JOURNAL_VALUES, place, state);
        char file[MAX_PATH];
        EncodeValueState(state, sizeof state, ERROR_SUCCESS, type, data, length);
        if (JournalFile(file, sizeof file))
            WritePrivateProfileStringA(JOURNAL_WRITTEN, place, state, file);
    }
    RegistrySetValue(key->Handle, name, 0, type, data, length);
}

void SetJournalText(JournalKey *key, const char *name, const char *text) {
    SetJournalValue(key, name, REG_SZ, (const BYTE *)text, (DWORD)lstrlenA(text));
}

// Sections of the record file that outlive a new copy of the script.
static const char *const KeptSections[] = {
    "PS2", "Serial", JOURNAL_VALUES, JOURNAL_WRITTEN, JOURNAL_KEYS, JOURNAL_FILES, JOURNAL_SYSTEM};

int CarryRecordSections(const char *from, const char *to) {
    const DWORD size = 32768;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == NULL)
        return 0;
    char *lines = (char *)block;
    int ok = 1;
    for (unsigned i = 0; i < sizeof KeptSections / sizeof KeptSections[0]; i++) {
        DWORD got = GetPrivateProfileSectionA(KeptSections[i], lines, size, from);
        if (got == 0)
            continue;
        // A section cut to fit the buffer would lose notes.
        if (got >= size - 2 || !WritePrivateProfileSectionA(KeptSections[i], lines, to))
            ok = 0;
    }
    GlobalFree(block);
    // Both out of the profile cache before one takes the other's name, so
    // that nothing is served from the old file's cached text afterwards.
    WritePrivateProfileStringA(NULL, NULL, NULL, to);
    WritePrivateProfileStringA(NULL, NULL, NULL, from);
    return ok;
}

int KeepRecordSections(const char *target, const char *replacement) {
    char record[MAX_PATH];
    if (!JournalFile(record, sizeof record) || !SamePath(target, record))
        return 1;
    return CarryRecordSections(target, replacement);
}
