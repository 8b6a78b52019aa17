// The record and the journal carried over: into a new copy of the
// destination's SETUP.INF, and from the journal of a product installed in
// another folder into this one's.
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

// Sections of the record file that outlive a new copy of the script.
static const char *const KeptSections[] = {RECORD_PS2,      RECORD_SERIAL, JOURNAL_VALUES,
                                           JOURNAL_WRITTEN, JOURNAL_KEYS,  JOURNAL_FILES,
                                           JOURNAL_SYSTEM};
#define KEPT_SECTIONS (sizeof KeptSections / sizeof KeptSections[0])

int CarryRecordSections(const char *from, const char *to) {
    int ok = 1;
    for (unsigned i = 0; i < KEPT_SECTIONS; i++) {
        char *lines = ReadProfileSection(from, KeptSections[i]);
        // The new copy keeps none of its own: a script that was used for a
        // -u run carries notes of another machine's state. A section that
        // could not be read whole would lose notes.
        WritePrivateProfileStringA(KeptSections[i], NULL, NULL, to);
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

int IsRecordFile(const char *path) {
    char record[MAX_PATH];
    return RecordFile(record, sizeof record) && SamePath(path, record);
}

int KeepRecordSections(const char *target, const char *replacement) {
    return !IsRecordFile(target) || CarryRecordSections(target, replacement);
}

// A note whose value is a saved copy in the other folder: the copy is made
// again in this one, so that removing that folder loses nothing.
static int SavedElsewhere(const char *section, const char *key, const char *value) {
    if (SameText(value, NOTE_CREATED))
        return 0;
    return SameText(section, JOURNAL_FILES) ||
           (SameText(section, JOURNAL_SYSTEM) &&
            (SameText(key, NOTE_INI_SAVED) || SameText(key, NOTE_INI_BACKUP)));
}

static void InheritSection(const char *other, const char *ours, const char *section) {
    char *lines = ReadProfileSection(other, section);
    for (char *line = lines; line != NULL && line[0] != '\0';) {
        char *next = line + lstrlenA(line) + 1, *value = line;
        while (*value != '\0' && *value != '=')
            value++;
        if (*value == '=') {
            *value++ = '\0';
            char saved[MAX_PATH];
            // What the other product last wrote is what stands now.
            if (SameText(section, JOURNAL_WRITTEN))
                WritePrivateProfileStringA(section, line, value, ours);
            else if (!SavedElsewhere(section, line, value))
                NoteOnce(ours, section, line, value);
            else if (!IsNoted(ours, section, line) && SaveCopy(value, saved, sizeof saved))
                NoteOnce(ours, section, line, saved);
        }
        line = next;
    }
    FreeProfileSection(lines);
}

void InheritJournal(void) {
    static const char *const sections[] = {JOURNAL_VALUES, JOURNAL_WRITTEN, JOURNAL_KEYS,
                                           JOURNAL_FILES, JOURNAL_SYSTEM};
    char folder[MAX_PATH], other[MAX_PATH], ours[MAX_PATH];
    if (!InstalledFolder(folder, sizeof folder) || SamePath(folder, InstallConfig.DefaultPath) ||
        !JoinText(other, sizeof other, folder, "\\" SCRIPT_FILE) || !HasJournal(other) ||
        !JournalFile(ours, sizeof ours))
        return;
    for (unsigned i = 0; i < sizeof sections / sizeof sections[0]; i++)
        InheritSection(other, ours, sections[i]);
}
