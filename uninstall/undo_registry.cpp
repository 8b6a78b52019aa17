// Registry values and keys back as the journal found them before the setup.
#include "uninstall/uninstall.h"
#include "system/system.h"
#include "system/journal.h"
#include "runtime/runtime.h"

#define MAX_CREATED_KEYS 256

// The key part of a key=value line into out; 0 when it has no '=' or is too long.
static int LineKey(const char *line, char *out, int capacity) {
    int i = 0;
    while (line[i] != '\0' && line[i] != '=' && i < capacity - 1) {
        out[i] = line[i];
        i++;
    }
    out[i] = '\0';
    return line[i] == '=';
}

// 1 when the key path is the uninstall entry's, below it or above it: these
// go in the last step, once everything else is back.
static int OfUninstallEntry(HKEY root, const char *path) {
    const char *entry = UNINSTALL_KEY;
    int i = 0;
    while (path[i] != '\0' && UpperChar(path[i]) == UpperChar(entry[i]))
        i++;
    return root == HKEY_LOCAL_MACHINE && (path[i] == '\0' || entry[i] == '\0') &&
           (path[i] == '\\' || entry[i] == '\\' || path[i] == entry[i]);
}

static void UndoValue(const char *line, const char *written, int entry, int apply,
                      UndoTally *tally) {
    char place[JOURNAL_PLACE_TEXT], path[KEY_PATH_TEXT];
    const char *name;
    HKEY root;
    if (!LineKey(line, place, sizeof place) ||
        !SplitPlace(place, &root, path, sizeof path, &name) ||
        OfUninstallEntry(root, path) != entry)
        return;
    const char *before = line + lstrlenA(place) + 1;
    const char *last = SectionValue(written, place);
    HKEY key = OpenSetupKey(root, path);
    char now[NOTE_TEXT];
    if (key)
        ReadValueState(key, name, now, sizeof now);
    else
        CopyText(now, sizeof now, "-");
    UndoStep step = UndoValueStep(before, last != NULL ? last : "", now);
    if (step != UNDO_KEEP && !apply)
        tally->Values++;
    if (step != UNDO_KEEP && apply) {
        BYTE data[NOTE_VALUE_BYTES];
        DWORD type, length;
        LONG result = ERROR_INVALID_DATA;
        if (step == UNDO_DELETE)
            result = RegDeleteValueA(key, name);
        else if (DecodeValueState(before, &type, data, sizeof data, &length))
            result = RegSetValueExA(key, name, 0, type, data, length);
        if (result == ERROR_SUCCESS)
            tally->Values++;
        else
            tally->Failed++;
    }
    if (key)
        RegCloseKey(key);
}

// A key the setup made goes when nothing is left in it; what the user put
// there since keeps it.
static void UndoKey(const char *line, int entry, int apply, UndoTally *tally) {
    char place[JOURNAL_PLACE_TEXT], path[KEY_PATH_TEXT];
    HKEY root;
    if (!LineKey(line, place, sizeof place) || !SplitPlace(place, &root, path, sizeof path, NULL) ||
        OfUninstallEntry(root, path) != entry)
        return;
    HKEY key = OpenSetupKey(root, path);
    if (!key)
        return;
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    if (subkeys != 0 || values != 0)
        return;
    if (!apply)
        tally->Keys++;
    else {
        if (RegDeleteKeyA(root, path) == ERROR_SUCCESS)
            tally->Keys++;
        else
            tally->Failed++;
    }
}

static void UndoPlaces(const char *journal, int entry, int apply, UndoTally *tally) {
    char *values = ReadProfileSection(journal, JOURNAL_VALUES);
    char *written = ReadProfileSection(journal, JOURNAL_WRITTEN);
    if (values != NULL && written != NULL)
        for (const char *line = values; line[0] != '\0'; line += lstrlenA(line) + 1)
            UndoValue(line, written, entry, apply, tally);
    else
        tally->Failed++;
    FreeProfileSection(values);
    FreeProfileSection(written);

    char *keys = ReadProfileSection(journal, JOURNAL_KEYS);
    if (keys == NULL) {
        tally->Failed++;
        return;
    }
    // Parents were noted before their children: the last one goes first.
    const char *created[MAX_CREATED_KEYS];
    int count = 0;
    for (const char *line = keys; line[0] != '\0' && count < MAX_CREATED_KEYS;
         line += lstrlenA(line) + 1)
        created[count++] = line;
    while (count > 0)
        UndoKey(created[--count], entry, apply, tally);
    FreeProfileSection(keys);
}

void UndoRegistry(const char *journal, int apply, UndoTally *tally) {
    UndoPlaces(journal, 0, apply, tally);
}

void UndoUninstallEntry(const char *journal, int apply, UndoTally *tally) {
    UndoPlaces(journal, 1, apply, tally);
}
