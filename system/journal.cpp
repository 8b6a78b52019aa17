// The undo journal's writer: each change outside the destination is noted
// before it is made, and a change whose note could not be written is not
// made (the format is in system/journal.h).
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

// A -u run's notes go to the installed product's journal when there is one.
static char OwnerJournal[MAX_PATH];

int JournalFile(char *path, int capacity) {
    if (OwnerJournal[0] != '\0')
        return CopyText(path, capacity, OwnerJournal);
    return RecordFile(path, capacity);
}

void UseInstalledJournal(void) {
    char folder[MAX_PATH], file[MAX_PATH];
    OwnerJournal[0] = '\0';
    if (InstalledFolder(folder, sizeof folder) &&
        JoinText(file, sizeof file, folder, "\\" SCRIPT_FILE) && HasJournal(file))
        CopyText(OwnerJournal, sizeof OwnerJournal, file);
}

int NoteSystemChange(const char *section, const char *key, const char *value) {
    char file[MAX_PATH];
    return JournalFile(file, sizeof file) && NoteOnce(file, section, key, value);
}

int NoteWritten(const char *key, const char *state) {
    char file[MAX_PATH];
    return JournalFile(file, sizeof file) &&
           WritePrivateProfileStringA(JOURNAL_WRITTEN, key, state, file);
}

int SaveCopy(const char *path, char *saved, int capacity) {
    char folder[MAX_PATH];
    if (!JoinText(folder, sizeof folder, InstallConfig.DefaultPath, UNDO_FOLDER))
        return 0;
    CreateDirectoryA(folder, NULL);
    for (int n = 1; n < SAVED_COPIES; n++) {
        char name[16];
        wsprintfA(name, SAVED_COPY_NAME, n);
        if (!JoinText(saved, capacity, folder, name))
            return 0;
        // Never over a copy kept before: the name is taken only when free.
        if (CopyFileA(path, saved, TRUE))
            return 1;
        if (!PathExists(saved))
            return 0;
    }
    return 0;
}

void DropCopy(const char *saved) {
    char folder[MAX_PATH];
    DeleteMarked(saved);
    if (FolderOf(saved, folder, sizeof folder))
        RemoveDirectoryA(folder);
}

int NoteFileChange(const char *path) {
    char file[MAX_PATH], saved[MAX_PATH];
    if (!JournalFile(file, sizeof file))
        return 0;
    // An earlier run noted it: what was there before that run stays noted.
    if (IsNoted(file, JOURNAL_FILES, path))
        return 1;
    if (!PathExists(path))
        return NoteOnce(file, JOURNAL_FILES, path, NOTE_CREATED);
    if (!SaveCopy(path, saved, sizeof saved))
        return 0;
    if (NoteOnce(file, JOURNAL_FILES, path, saved))
        return 1;
    DropCopy(saved);
    return 0;
}

void NoteFileWritten(const char *path) {
    char state[32];
    if (FileFingerprint(path, state, sizeof state))
        NoteWritten(path, state);
}

int NoteIniPiece(const char *piece, int place, int k) {
    char hex[2 * INI_PIECE_READ], number[16], pieceKey[32], placeKey[32];
    wsprintfA(number, "%d", place);
    IniPieceKeys(k, pieceKey, placeKey);
    return EncodeHex(hex, sizeof hex, (const BYTE *)piece, (DWORD)lstrlenA(piece)) &&
           NoteSystemChange(JOURNAL_SYSTEM, pieceKey, hex) &&
           NoteSystemChange(JOURNAL_SYSTEM, placeKey, number);
}

int OpenJournalKey(JournalKey *key, HKEY root, const char *path, int create) {
    key->Handle = 0;
    if (!RootPlace(key->Where, sizeof key->Where, root, path))
        key->Where[0] = '\0';
    if (!create) {
        key->Handle = OpenSetupKey(root, path);
        return key->Handle != 0;
    }
    if (key->Where[0] == '\0')
        return 0;
    // Each missing level is noted, parents first, before anything is made.
    char part[KEY_PATH_TEXT];
    int missing = 0;
    for (int end = 0; end < KEY_PATH_TEXT; end++) {
        if (path[end] != '\\' && path[end] != '\0')
            continue;
        lstrcpynA(part, path, end + 1);
        HKEY probe;
        if (!missing && RegOpenKeyExA(root, part, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            RegCloseKey(probe);
        } else {
            missing = 1;
            char place[JOURNAL_PLACE_TEXT];
            if (!RootPlace(place, sizeof place, root, part) ||
                !NoteSystemChange(JOURNAL_KEYS, place, NOTE_CREATED))
                return 0;
        }
        if (path[end] == '\0')
            break;
    }
    key->Handle = CreateSetupKey(root, path);
    return key->Handle != 0;
}

int SetJournalValue(JournalKey *key, const char *name, DWORD type, const BYTE *data, DWORD length) {
    char place[JOURNAL_PLACE_TEXT], before[NOTE_TEXT], written[NOTE_TEXT];
    // The state before and what is written, both noted whole, or no write.
    if (key->Where[0] == '\0' || !JoinText(place, sizeof place, key->Where, "\\\\") ||
        !AppendText(place, sizeof place, name != NULL ? name : "") ||
        !ReadValueState(key->Handle, name, before, sizeof before) ||
        !EncodeValueState(written, sizeof written, ERROR_SUCCESS, type, data, length) ||
        !NoteSystemChange(JOURNAL_VALUES, place, before) || !NoteWritten(place, written))
        return 0;
    return RegistrySetValue(key->Handle, name, 0, type, data, length) == ERROR_SUCCESS;
}

int SetJournalText(JournalKey *key, const char *name, const char *text) {
    return SetJournalValue(key, name, REG_SZ, (const BYTE *)text, (DWORD)lstrlenA(text));
}
