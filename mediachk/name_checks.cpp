// Sections and keys as written against what the loader reads of them.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "runtime/runtime.h"

#define MAX_NAMES 12
#define NAME_SIZE 32

// Names the loader reads in one place, and which of them were met already.
struct NameSet {
    char Names[MAX_NAMES][NAME_SIZE];
    int Seen[MAX_NAMES];
    int Count;
};

static void AddName(NameSet *set, const char *name) {
    CopyText(set->Names[set->Count], NAME_SIZE, name);
    set->Seen[set->Count++] = 0;
}

static void AddNames(NameSet *set, short firstId, int count) {
    for (int i = 0; i < count; i++)
        AddName(set, ResourceText((short)(firstId + i)));
}

static int FindName(const NameSet *set, const char *name) {
    for (int i = 0; i < set->Count; i++)
        if (lstrcmpiA(set->Names[i], name) == 0)
            return i;
    return -1;
}

static int Folded(char c) {
    return UpperChar((BYTE)c);
}

// Edits (insert, delete, replace, swap of neighbours) from a to b, case
// ignored; NAME_SIZE for names too long to be a misspelling of a short one.
static int NameDistance(const char *a, const char *b) {
    int la = lstrlenA(a), lb = lstrlenA(b);
    if (la >= NAME_SIZE || lb >= NAME_SIZE)
        return NAME_SIZE;
    int d[NAME_SIZE][NAME_SIZE];
    for (int i = 0; i <= la; i++)
        d[i][0] = i;
    for (int j = 0; j <= lb; j++)
        d[0][j] = j;
    for (int i = 1; i <= la; i++) {
        for (int j = 1; j <= lb; j++) {
            int best = d[i - 1][j - 1] + (Folded(a[i - 1]) != Folded(b[j - 1]));
            if (d[i - 1][j] + 1 < best)
                best = d[i - 1][j] + 1;
            if (d[i][j - 1] + 1 < best)
                best = d[i][j - 1] + 1;
            if (i > 1 && j > 1 && Folded(a[i - 1]) == Folded(b[j - 2]) &&
                Folded(a[i - 2]) == Folded(b[j - 1]) && d[i - 2][j - 2] + 1 < best)
                best = d[i - 2][j - 2] + 1;
            d[i][j] = best;
        }
    }
    return d[la][lb];
}

// The read name that name most probably meant: one edit away, two for
// names of six characters or more. -1 for none.
static int NearestName(const NameSet *set, const char *name) {
    int nearest = -1, best = NAME_SIZE;
    for (int i = 0; i < set->Count; i++) {
        int distance = NameDistance(name, set->Names[i]);
        int allowed = lstrlenA(set->Names[i]) >= 6 ? 2 : 1;
        if (distance <= allowed && distance < best) {
            nearest = i;
            best = distance;
        }
    }
    return nearest;
}

// Keys of one section: repeated ones, near misses, and from index labelled
// on the names of disks without a label.
static void WalkKeys(MediaCheck *check, const char *section, NameSet *keys, int labelled) {
    char *listing = ReadProfileSection(check->Script, section);
    for (char *line = listing; line != NULL && *line != '\0';) {
        char *next = line + lstrlenA(line) + 1;
        const char *value = SplitListingLine(line);
        int i = FindName(keys, line);
        int meant = i < 0 ? NearestName(keys, line) : -1;
        if (i >= labelled)
            Report(check, FINDING_NO_LABEL, section, line, value,
                   "never read: the labels make %d disk(s), the disks 1 to %d", labelled, labelled);
        else if (i >= 0 && keys->Seen[i]++)
            Report(check, FINDING_NEVER_READ, section, line, value,
                   "repeated: only the first %s is read", line);
        else if (meant >= 0)
            Report(check, FINDING_NEAR_NAME, section, line, value, "never read; probably meant %s",
                   keys->Names[meant]);
        line = next;
    }
    FreeProfileSection(listing);
}

// One text of the script: cut to its field, or empty where the registry
// step writes it (emptyEffect tells what it writes then).
static void CheckText(MediaCheck *check, const ScriptKey *row, const char *emptyEffect) {
    char section[NAME_SIZE], key[NAME_SIZE], raw[1024];
    CopyText(section, sizeof section, ResourceText(row->Section));
    CopyText(key, sizeof key, ScriptKeyName(row));
    const char *value = ReadValue(check, section, key, raw, sizeof raw);
    const char *loaded = (const char *)row->Field;
    int loadedLength = lstrlenA(loaded);
    if (value != NULL && lstrlenA(value) > loadedLength)
        Report(check, FINDING_CUT, section, key, value, "cut to %d characters: \"%s\"",
               loadedLength, loaded);
    if (emptyEffect != NULL && loaded[0] == '\0')
        Report(check, FINDING_EMPTY_TEXT, section, key, value, "%s", emptyEffect);
}

// What the registry step writes from a text when the script leaves it empty.
static const struct {
    short Key;
    const char *Effect;
} EmptyEffects[] = {
    {IDS_KEY_TITLE, "the uninstall entry gets an empty DisplayName"},
    {IDS_KEY_MFG, "the mouse device gets an empty Mfg"},
    {IDS_KEY_MOUSE_DRIVER, "the mouse class key gets an empty MouseDriver"},
    {IDS_KEY_MOUSE_INF, "the mouse class key gets an empty InfPath"},
    {IDS_KEY_DRIVER_DATE, "the mouse class key gets an empty DriverDate"},
    {IDS_KEY_PS2_INF_SECTION, "a PS/2 mouse's class key gets an empty InfSection"},
    {IDS_KEY_SERIAL_INF_SECTION, "a serial mouse's class key gets an empty InfSection"},
    {IDS_KEY_PS2_NAME, "a PS/2 mouse gets an empty DeviceDesc and DriverDesc"},
    {IDS_KEY_SERIAL_NAME, "a serial mouse gets an empty DeviceDesc and DriverDesc"},
};

static const char *EmptyEffect(const ScriptKey *row) {
    for (unsigned i = 0; i < sizeof EmptyEffects / sizeof EmptyEffects[0]; i++)
        if (row->Section == IDS_SECTION_STARTUP && row->Key == EmptyEffects[i].Key)
            return EmptyEffects[i].Effect;
    return NULL;
}

static void CheckTexts(MediaCheck *check) {
    for (int i = 0; i < ScriptKeyCount; i++)
        if (ScriptKeys[i].Kind == KEY_TEXT)
            CheckText(check, &ScriptKeys[i], EmptyEffect(&ScriptKeys[i]));
    // Labels count, not their places: a label past the count names a disk
    // that is never used, while a disk before it is.
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (int i = disks->DiskCount; i < MAX_DISKS; i++) {
        if (disks->DiskLabels[i][0] == '\0')
            continue;
        char section[NAME_SIZE], key[NAME_SIZE];
        CopyText(section, sizeof section, ResourceText(IDS_SECTION_DISK_LABEL));
        CopyText(key, sizeof key, ResourceText((short)(IDS_DISK1 + i)));
        Report(check, FINDING_LABEL_GAP, section, key, disks->DiskLabels[i],
               "counts as a label, but the setup uses the disks 1 to %d: disk %d is never read",
               disks->DiskCount, i + 1);
    }
}

// The keys of one section the loader reads, from the table; the counts of
// disks without a label follow those with one.
static void WalkSection(MediaCheck *check, const char *section, short sectionId) {
    NameSet keys;
    keys.Count = 0;
    for (int i = 0; i < ScriptKeyCount; i++)
        if (ScriptKeys[i].Section == sectionId)
            AddName(&keys, ScriptKeyName(&ScriptKeys[i]));
    int labelled =
        sectionId == IDS_SECTION_FILE_COUNTS ? InstallConfig.DiskTable.DiskCount : MAX_NAMES;
    WalkKeys(check, section, &keys, labelled);
}

void CheckNames(MediaCheck *check) {
    CheckTexts(check);
    // The sections the loader reads: those of the table, the program items
    // and the used disks, whose numbered keys are checked elsewhere.
    NameSet sections, allDisks;
    short ids[MAX_NAMES];
    sections.Count = 0;
    allDisks.Count = 0;
    for (int i = 0; i < ScriptKeyCount; i++) {
        const char *name = ResourceText(ScriptKeys[i].Section);
        if (FindName(&sections, name) < 0) {
            ids[sections.Count] = ScriptKeys[i].Section;
            AddName(&sections, name);
        }
    }
    int walked = sections.Count;
    AddName(&sections, ResourceText(IDS_SECTION_PM_INFO));
    AddNames(&sections, IDS_DISK1, InstallConfig.DiskTable.DiskCount);
    AddNames(&allDisks, IDS_DISK1, MAX_DISKS);

    char *listing = ReadProfileSection(check->Script, NULL);
    for (const char *name = listing; name != NULL && *name != '\0'; name += lstrlenA(name) + 1) {
        int i = FindName(&sections, name);
        int meant = i < 0 ? NearestName(&sections, name) : -1;
        if (i >= 0 && sections.Seen[i]++)
            Report(check, FINDING_NEVER_READ, name, "", NULL,
                   "repeated section: only the first is read");
        else if (i >= 0 && i < walked)
            WalkSection(check, name, ids[i]);
        else if (i < 0 && FindName(&allDisks, name) >= 0)
            Report(check, FINDING_NO_LABEL, name, "", NULL,
                   "never read: the labels make %d disk(s), the disks 1 to %d",
                   InstallConfig.DiskTable.DiskCount, InstallConfig.DiskTable.DiskCount);
        else if (meant >= 0)
            Report(check, FINDING_NEAR_NAME, name, "", NULL,
                   "section never read; probably meant [%s]", sections.Names[meant]);
    }
    FreeProfileSection(listing);
}
