// The journal's format: places, states of values and the rule of undo, for
// the journal's writer and its reader alike.
#include "system/journal.h"
#include "script/script.h"
#include "runtime/runtime.h"

static const char HexDigits[] = "0123456789abcdef";

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

int SplitPlace(const char *place, HKEY *root, char *path, int capacity, const char **name) {
    char head[6];
    lstrcpynA(head, place, sizeof head);
    if (SameText(head, "HKLM\\"))
        *root = HKEY_LOCAL_MACHINE;
    else if (SameText(head, "HKCR\\"))
        *root = HKEY_CLASSES_ROOT;
    else
        return 0;
    const char *rest = place + 5;
    int i = 0;
    while (rest[i] != '\0' && !(name != NULL && rest[i] == '\\' && rest[i + 1] == '\\'))
        i++;
    if (i == 0 || i >= capacity || (name != NULL && rest[i] == '\0'))
        return 0;
    lstrcpynA(path, rest, i + 1);
    if (name != NULL)
        *name = rest + i + 2;
    return 1;
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
    if (queryResult != ERROR_SUCCESS) {
        CopyText(out, capacity, "?");
        return 0;
    }
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

int ReadValueState(HKEY key, const char *name, char *state, int capacity) {
    BYTE data[NOTE_VALUE_BYTES];
    DWORD type = 0, length = 0;
    // Its size first: a value larger than a note can hold is "?", not cut.
    LONG result = RegQueryValueExA(key, name, NULL, &type, NULL, &length);
    if (result == ERROR_SUCCESS && length > sizeof data)
        result = ERROR_MORE_DATA;
    if (result == ERROR_SUCCESS) {
        length = sizeof data;
        result = RegQueryValueExA(key, name, NULL, &type, data, &length);
    }
    return EncodeValueState(state, capacity, result, type, data, length);
}

void IniPieceKeys(int k, char *piece, char *place) {
    if (k <= 1) {
        CopyText(piece, 32, NOTE_INI_PIECE);
        CopyText(place, 32, NOTE_INI_PLACE);
    } else {
        wsprintfA(piece, "%s%d", NOTE_INI_PIECE, k);
        wsprintfA(place, "%s%d", NOTE_INI_PLACE, k);
    }
}

int HasJournal(const char *file) {
    static const char *const sections[] = {JOURNAL_VALUES, JOURNAL_KEYS, JOURNAL_FILES,
                                           JOURNAL_SYSTEM};
    char probe[4];
    for (unsigned i = 0; i < sizeof sections / sizeof sections[0]; i++)
        if (GetPrivateProfileSectionA(sections[i], probe, sizeof probe, file) > 0)
            return 1;
    return 0;
}

int InstalledFolder(char *folder, int capacity) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    char command[MAX_PATH + 1];
    DWORD type = 0, length = sizeof command - 1;
    LONG result = RegQueryValueExA(key, UNINSTALL_VALUE, NULL, &type, (BYTE *)command, &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    command[length] = '\0';
    // "<folder>\UNINSTAL.EXE", as the setup writes it.
    int end = lstrlenA(command) - lstrlenA("\\" UNINSTALLER_FILE);
    if (end <= 0 || !SamePath(command + end, "\\" UNINSTALLER_FILE))
        return 0;
    command[end] = '\0';
    return CopyText(folder, capacity, command);
}
