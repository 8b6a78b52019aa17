// The undo journal's writer: each change outside the destination is noted
// before it is made (the format is in system/journal.h).
#include "system/system_steps.h"
#include "runtime/runtime.h"

void NoteSystemChange(const char *section, const char *key, const char *value) {
    char file[MAX_PATH];
    if (RecordFile(file, sizeof file))
        NoteOnce(file, section, key, value);
}

void NoteCreatedFile(const char *path) {
    // Only a file that is not there yet is ours to remove later.
    if (!PathExists(path))
        NoteSystemChange(JOURNAL_FILES, path, NOTE_CREATED);
}

void NoteIniPiece(const char *piece, int place) {
    char hex[2 * INI_PIECE_READ];
    char number[16];
    wsprintfA(number, "%d", place);
    if (EncodeHex(hex, sizeof hex, (const BYTE *)piece, (DWORD)lstrlenA(piece))) {
        NoteSystemChange(JOURNAL_SYSTEM, NOTE_INI_PIECE, hex);
        NoteSystemChange(JOURNAL_SYSTEM, NOTE_INI_PLACE, number);
    }
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
                NoteSystemChange(JOURNAL_KEYS, place, NOTE_CREATED);
        }
        if (path[end] == '\0')
            break;
    }
    key->Handle = CreateSetupKey(root, path);
    return key->Handle != 0;
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
        if (RecordFile(file, sizeof file))
            WritePrivateProfileStringA(JOURNAL_WRITTEN, place, state, file);
    }
    RegistrySetValue(key->Handle, name, 0, type, data, length);
}

void SetJournalText(JournalKey *key, const char *name, const char *text) {
    SetJournalValue(key, name, REG_SZ, (const BYTE *)text, (DWORD)lstrlenA(text));
}

// Sections of the record file that outlive a new copy of the script.
static const char *const KeptSections[] = {RECORD_PS2,      RECORD_SERIAL, JOURNAL_VALUES,
                                           JOURNAL_WRITTEN, JOURNAL_KEYS,  JOURNAL_FILES,
                                           JOURNAL_SYSTEM};

int CarryRecordSections(const char *from, const char *to) {
    int ok = 1;
    for (unsigned i = 0; i < sizeof KeptSections / sizeof KeptSections[0]; i++) {
        char *lines = ReadProfileSection(from, KeptSections[i]);
        // A section that could not be read whole would lose notes.
        if (lines == NULL ||
            (lines[0] != '\0' && !WritePrivateProfileSectionA(KeptSections[i], lines, to)))
            ok = 0;
        FreeProfileSection(lines);
    }
    // Both out of the profile cache before one takes the other's name, so
    // that nothing is served from the old file's cached text afterwards.
    WritePrivateProfileStringA(NULL, NULL, NULL, to);
    WritePrivateProfileStringA(NULL, NULL, NULL, from);
    return ok;
}

int KeepRecordSections(const char *target, const char *replacement) {
    char record[MAX_PATH];
    if (!RecordFile(record, sizeof record) || !SamePath(target, record))
        return 1;
    return CarryRecordSections(target, replacement);
}
