// Sections and keys as written against what the loader reads of them.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "shell/runtime.h"

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
static void WalkKeys(const char *section, NameSet *keys, int labelled) {
    char *listing = ReadListing(section);
    for (char *line = listing; line != NULL && *line != '\0';) {
        char *next = line + lstrlenA(line) + 1;
        const char *value = SplitListingLine(line);
        int i = FindName(keys, line);
        int meant = i < 0 ? NearestName(keys, line) : -1;
        if (i >= labelled)
            Report(FINDING_NO_LABEL, section, line, value,
                   "never read: the labels make %d disk(s), the disks 1 to %d", labelled, labelled);
        else if (i >= 0 && keys->Seen[i]++)
            Report(FINDING_NEVER_READ, section, line, value, "repeated: only the first %s is read",
                   line);
        else if (meant >= 0)
            Report(FINDING_NEAR_NAME, section, line, value, "never read; probably meant %s",
                   keys->Names[meant]);
        line = next;
    }
    FreeListing(listing);
}

// One text of the script: cut to its field, or empty where the registry
// step writes it (emptyEffect tells what it writes then).
static void CheckText(short sectionId, short keyId, const char *loaded, const char *emptyEffect) {
    char section[NAME_SIZE], key[NAME_SIZE], raw[1024];
    CopyText(section, sizeof section, ResourceText(sectionId));
    CopyText(key, sizeof key, ResourceText(keyId));
    const char *value = ReadValue(section, key, raw, sizeof raw);
    int loadedLength = lstrlenA(loaded);
    if (value != NULL && lstrlenA(value) > loadedLength)
        Report(FINDING_CUT, section, key, value, "cut to %d characters: \"%s\"", loadedLength,
               loaded);
    if (emptyEffect != NULL && loaded[0] == '\0')
        Report(FINDING_EMPTY_TEXT, section, key, value, "%s", emptyEffect);
}

struct TextKey {
    short Section;
    short Key;
    const char *Loaded;
    const char *EmptyEffect; // NULL: nothing is written from it
};

static const TextKey TextKeys[] = {
    {IDS_SECTION_MAIN, IDS_KEY_DEFAULT_PATH, InstallConfig.DefaultPath, NULL},
    {IDS_SECTION_MAIN, IDS_KEY_GROUP_NAME, InstallConfig.GroupName, NULL},
    {IDS_SECTION_MAIN, IDS_KEY_GROUP_TITLE, InstallConfig.GroupTitle, NULL},
    {IDS_SECTION_MAIN, IDS_KEY_PRODUCT_NAME, InstallConfig.ProductName, NULL},
    {IDS_SECTION_STARTUP, IDS_KEY_FILE_NAME, InstallConfig.FileName, NULL},
    {IDS_SECTION_STARTUP, IDS_KEY_TITLE, InstallConfig.Title,
     "the uninstall entry gets an empty DisplayName"},
    {IDS_SECTION_STARTUP, IDS_KEY_MFG, InstallConfig.Mfg, "the mouse device gets an empty Mfg"},
    {IDS_SECTION_STARTUP, IDS_KEY_MOUSE_DRIVER, InstallConfig.MouseDriver,
     "the mouse class key gets an empty MouseDriver"},
    {IDS_SECTION_STARTUP, IDS_KEY_MOUSE_INF, InstallConfig.MouseInf,
     "the mouse class key gets an empty InfPath"},
    {IDS_SECTION_STARTUP, IDS_KEY_DRIVER_DATE, InstallConfig.DriverDate,
     "the mouse class key gets an empty DriverDate"},
    {IDS_SECTION_STARTUP, IDS_KEY_PS2_INF_SECTION, InstallConfig.PS2InfSection,
     "a PS/2 mouse's class key gets an empty InfSection"},
    {IDS_SECTION_STARTUP, IDS_KEY_SERIAL_INF_SECTION, InstallConfig.SerialInfSection,
     "a serial mouse's class key gets an empty InfSection"},
    {IDS_SECTION_STARTUP, IDS_KEY_PS2_NAME, InstallConfig.PS2Name,
     "a PS/2 mouse gets an empty DeviceDesc and DriverDesc"},
    {IDS_SECTION_STARTUP, IDS_KEY_SERIAL_NAME, InstallConfig.SeialName,
     "a serial mouse gets an empty DeviceDesc and DriverDesc"},
};

static void CheckTexts(void) {
    for (unsigned i = 0; i < sizeof TextKeys / sizeof TextKeys[0]; i++)
        CheckText(TextKeys[i].Section, TextKeys[i].Key, TextKeys[i].Loaded,
                  TextKeys[i].EmptyEffect);
    for (int i = 0; i < DIRECTORY_TOKENS; i++)
        CheckText(IDS_SECTION_DIRECTORY_NAME, (short)(IDS_ROOT_DIR + i),
                  InstallConfig.DirectoryTable[i], NULL);
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (int i = 0; i < MAX_DISKS; i++)
        CheckText(IDS_SECTION_DISK_LABEL, (short)(IDS_DISK1 + i), disks->DiskLabels[i], NULL);
    // Labels count, not their places: a label past the count names a disk
    // that is never used, while a disk before it is.
    for (int i = disks->DiskCount; i < MAX_DISKS; i++) {
        if (disks->DiskLabels[i][0] == '\0')
            continue;
        char section[NAME_SIZE], key[NAME_SIZE];
        CopyText(section, sizeof section, ResourceText(IDS_SECTION_DISK_LABEL));
        CopyText(key, sizeof key, ResourceText((short)(IDS_DISK1 + i)));
        Report(FINDING_LABEL_GAP, section, key, disks->DiskLabels[i],
               "counts as a label, but the setup uses the disks 1 to %d: disk %d is never read",
               disks->DiskCount, i + 1);
    }
}

// The sections the loader reads, in this order; the used disks follow.
enum { MAIN_SET, LABEL_SET, COUNTS_SET, DIRECTORY_SET, PROGRAM_SET, STARTUP_SET };

static void WalkSection(const char *section, int index) {
    NameSet keys;
    keys.Count = 0;
    int labelled = MAX_NAMES;
    switch (index) {
    case MAIN_SET:
        AddName(&keys, ResourceText(IDS_KEY_DEFAULT_PATH));
        AddNames(&keys, IDS_KEY_MINIMUM_SPACE, 1);
        AddNames(&keys, IDS_KEY_GROUP_NAME, 2);
        AddName(&keys, ResourceText(IDS_KEY_PRODUCT_NAME));
        AddName(&keys, "OEM");
        break;
    case LABEL_SET:
        AddNames(&keys, IDS_DISK1, MAX_DISKS);
        break;
    case COUNTS_SET:
        AddNames(&keys, IDS_DISK1, MAX_DISKS);
        labelled = InstallConfig.DiskTable.DiskCount;
        break;
    case DIRECTORY_SET:
        AddNames(&keys, IDS_ROOT_DIR, DIRECTORY_TOKENS);
        break;
    case STARTUP_SET:
        AddNames(&keys, IDS_KEY_FILE_NAME, 2);
        AddNames(&keys, IDS_KEY_MFG, IDS_KEY_SERIAL_NAME - IDS_KEY_MFG + 1);
        break;
    default: // program items and disks: their numbered keys are checked elsewhere
        return;
    }
    WalkKeys(section, &keys, labelled);
}

void CheckNames(void) {
    CheckTexts();
    NameSet sections, allDisks;
    sections.Count = 0;
    allDisks.Count = 0;
    AddName(&sections, ResourceText(IDS_SECTION_MAIN));
    AddName(&sections, ResourceText(IDS_SECTION_DISK_LABEL));
    AddName(&sections, ResourceText(IDS_SECTION_FILE_COUNTS));
    AddName(&sections, ResourceText(IDS_SECTION_DIRECTORY_NAME));
    AddNames(&sections, IDS_SECTION_PM_INFO, 2);
    AddNames(&sections, IDS_DISK1, InstallConfig.DiskTable.DiskCount);
    AddNames(&allDisks, IDS_DISK1, MAX_DISKS);

    char *listing = ReadListing(NULL);
    for (const char *name = listing; name != NULL && *name != '\0'; name += lstrlenA(name) + 1) {
        int i = FindName(&sections, name);
        int meant = i < 0 ? NearestName(&sections, name) : -1;
        if (i >= 0 && sections.Seen[i]++)
            Report(FINDING_NEVER_READ, name, "", NULL, "repeated section: only the first is read");
        else if (i >= 0)
            WalkSection(name, i);
        else if (FindName(&allDisks, name) >= 0)
            Report(FINDING_NO_LABEL, name, "", NULL,
                   "never read: the labels make %d disk(s), the disks 1 to %d",
                   InstallConfig.DiskTable.DiskCount, InstallConfig.DiskTable.DiskCount);
        else if (meant >= 0)
            Report(FINDING_NEAR_NAME, name, "", NULL, "section never read; probably meant [%s]",
                   sections.Names[meant]);
    }
    FreeListing(listing);
}
