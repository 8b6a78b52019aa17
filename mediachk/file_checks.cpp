// The disk sections: each entry as the loader read it, the paths the copy
// engine builds from it and the files it names on the media.
#include "mediachk/media_check.h"
#include "install/copy_paths.h"
#include "script/script.h"

#define SECTION_SIZE 32
#define PACKED_HEADER 14

enum { MISSING_FILE, PLAIN_FILE, PACKED_FILE, DAMAGED_FILE };

// The files the registry step names in the destination's root folder.
static const char *const ProductFiles[][2] = {
    {"ZKMAIN.EXE", "the Run entry starts %s\\ZKMAIN.EXE -startup, which will not be there"},
    {"ZKPAGE.DLL", "the mouse property page is registered as %s\\ZKPAGE.DLL, which will not be "
                   "there"},
    {"UNINSTAL.EXE", "the uninstall entry runs %s\\UNINSTAL.EXE, which will not be there"},
    {"SETUP.INF", "the previous settings go into a new %s\\SETUP.INF without the script, and a "
                  "-u run from there has no script"},
};
#define PRODUCT_FILES (sizeof ProductFiles / sizeof ProductFiles[0])

static int ProductFound[PRODUCT_FILES];
static int LongTokenUsed[DIRECTORY_TOKENS];
// The longest destination the destination page accepts, on the proposed drive.
static char LongestDestination[PATH_TEXT];
// Targets met so far: record index + 1 in a table of TargetMask + 1 slots.
static int *TargetSlots;
static DWORD TargetMask;

static int EntryIsEmpty(const FileEntry *e) {
    return e->SourceName[0] == '\0' && e->TargetName[0] == '\0' && e->Description[0] == '\0' &&
           e->SourceSubDir[0] == '\0' && e->TargetDir[0] == '\0' && e->IsAbsolute == 0;
}

// LZ-compressed files begin with this magic, a method byte 'A', the last
// character of the name and the expanded size. A folder is no file.
static int ReadPackedHeader(const char *path, DWORD *expandedSize) {
    static const BYTE Magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    BYTE header[PACKED_HEADER];
    DWORD got = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    *expandedSize = 0;
    if (file == INVALID_HANDLE_VALUE)
        return MISSING_FILE;
    *expandedSize = GetFileSize(file, NULL);
    if (!ReadFile(file, header, sizeof header, &got, NULL))
        got = 0;
    CloseHandle(file);
    if (got < 4 || header[0] != 'S' || header[1] != 'Z' || header[2] != 'D' || header[3] != 'D')
        return PLAIN_FILE;
    for (int i = 4; i < 8; i++)
        if (i >= (int)got || header[i] != Magic[i])
            return DAMAGED_FILE;
    if (got < PACKED_HEADER || header[8] != 'A')
        return DAMAGED_FILE;
    *expandedSize = header[10] | header[11] << 8 | header[12] << 16 | (DWORD)header[13] << 24;
    return PACKED_FILE;
}

// A target as one spelling: doubled backslashes as one, upper case.
static void TargetKey(int record, char *key) {
    char path[COPY_PATH_TEXT];
    JoinTargetPath(path, sizeof path, InstallConfig.DefaultPath, InstallRecords + record);
    int length = 0;
    for (int i = 0; path[i] != '\0'; i++)
        if (!(path[i] == '\\' && length > 0 && key[length - 1] == '\\'))
            key[length++] = path[i];
    key[length] = '\0';
    CharUpperBuffA(key, (DWORD)length);
}

// Where a record comes from: its disk section and key.
static void RecordPlace(int record, char *section, char *key) {
    int d = 0;
    while (d + 1 < InstallConfig.DiskTable.DiskCount &&
           InstallConfig.DiskTable.DiskFiles[d + 1] <= InstallRecords + record)
        d++;
    CopyText(section, SECTION_SIZE, ResourceText((short)(IDS_DISK1 + d)));
    wsprintfA(key, "%d", (int)(InstallRecords + record - InstallConfig.DiskTable.DiskFiles[d]) + 1);
}

// The earlier record with the same target as record, or -1 (then record is
// kept for the ones after it).
static int EarlierSameTarget(int record) {
    char key[COPY_PATH_TEXT], other[COPY_PATH_TEXT];
    TargetKey(record, key);
    DWORD hash = 2166136261u;
    for (int i = 0; key[i] != '\0'; i++)
        hash = (hash ^ (BYTE)key[i]) * 16777619u;
    if (TargetSlots == NULL)
        return -1;
    for (DWORD slot = hash & TargetMask;; slot = (slot + 1) & TargetMask) {
        if (TargetSlots[slot] == 0) {
            TargetSlots[slot] = record + 1;
            return -1;
        }
        TargetKey(TargetSlots[slot] - 1, other);
        if (lstrcmpA(key, other) == 0)
            return TargetSlots[slot] - 1;
    }
}

static void CheckEntryFiles(const char *section, const char *key, const char *value,
                            const FileEntry *e) {
    char source[COPY_PATH_TEXT], target[COPY_PATH_TEXT], longest[COPY_PATH_TEXT];
    int fits = JoinSourcePath(source, sizeof source, InstallConfig.SourceRoot, e) &&
               SourcePathOpens(source);
    fits = JoinTargetPath(longest, sizeof longest, LongestDestination, e) && fits;
    JoinTargetPath(target, sizeof target, InstallConfig.DefaultPath, e);
    if (!fits) {
        Report(FINDING_PATH_TOO_LONG, section, key, value,
               "the copy skips it: %s or %s does not fit", source, longest);
        return;
    }
    DWORD size;
    int kind = ReadPackedHeader(source, &size);
    if (kind == MISSING_FILE) {
        Report(FINDING_NO_SOURCE, section, key, value,
               "%s is not on the media: nothing is copied to %s", source, target);
        return;
    }
    int nameLength = lstrlenA(e->SourceName);
    if (kind == DAMAGED_FILE)
        Report(FINDING_DAMAGED_HEADER, section, key, value,
               "%s has a damaged LZ header: %s gets a wrong or empty file", source, target);
    else if (kind == PLAIN_FILE && nameLength > 0 && e->SourceName[nameLength - 1] == '_')
        Report(FINDING_NOT_PACKED, section, key, value,
               "%s is not LZ-compressed: it is copied unchanged to %s", source, target);
    if (!e->IsAbsolute) {
        DWORD kilobytes = size / 1024 + (size % 1024 != 0);
        CheckTotals.DestinationKilobytes += kilobytes;
        if (CheckTotals.DestinationKilobytes < kilobytes)
            CheckTotals.DestinationKilobytes = 0xFFFFFFFF;
    }
}

// One numbered entry; value is the line as written, NULL when missing.
static void CheckEntry(const char *section, int number, const char *value, const FileEntry *e) {
    char key[16], exact[1024];
    wsprintfA(key, "%d", number);
    // Quotation marks are the one thing a listing keeps that a read drops.
    if (value != NULL && (value[0] == '"' || value[0] == '\''))
        value = ReadValue(section, key, exact, sizeof exact);
    if (EntryIsEmpty(e)) {
        Report(FINDING_KEY_MISSING, section, key, value,
               "the entry stays empty: nothing is copied");
        return;
    }
    if (value == NULL)
        value = "";
    char line[LINE_TEXT], fields[4][LINE_TEXT];
    CopyText(line, sizeof line, value);
    const char *rest = line;
    for (int f = 0; f < 4; f++)
        rest = NextField(rest, fields[f]);
    if (lstrlenA(value) >= LINE_TEXT)
        Report(FINDING_CUT, section, key, value, "longer than %d characters: read as \"%s\"",
               LINE_TEXT - 1, line);
    else if (lstrlenA(fields[0]) >= NAME_TEXT || lstrlenA(fields[1]) >= NAME_TEXT ||
             lstrlenA(fields[2]) >= DESCRIPTION_TEXT)
        Report(FINDING_CUT, section, key, value, "a field is cut: read as \"%s, %s, %s\"",
               e->SourceName, e->TargetName, e->Description);
    int token = DirectoryTokenIndex(fields[3]);
    if (token < 0)
        Report(FINDING_NO_TOKEN, section, key, value,
               "\"%s\" is no directory token: the file is read from the media's top folder and "
               "copied into the destination's",
               fields[3]);
    else if (lstrlenA(InstallConfig.DirectoryTable[token]) >= SUBDIR_TEXT)
        LongTokenUsed[token] = 1;

    CheckEntryFiles(section, key, value, e);
    int earlier = EarlierSameTarget((int)(e - InstallRecords));
    if (earlier >= 0) {
        char otherSection[SECTION_SIZE], otherKey[16], target[COPY_PATH_TEXT];
        RecordPlace(earlier, otherSection, otherKey);
        JoinTargetPath(target, sizeof target, InstallConfig.DefaultPath, e);
        Report(FINDING_SAME_TARGET, section, key, value,
               "%s is the target of [%s] %s too: this copy replaces that one", target, otherSection,
               otherKey);
    }
    for (unsigned p = 0; p < PRODUCT_FILES; p++)
        if (!e->IsAbsolute && e->TargetDir[0] == '\0' &&
            lstrcmpiA(e->TargetName, ProductFiles[p][0]) == 0)
            ProductFound[p] = 1;
}

// A key the loader looks up as a number: decimal, no leading zero, 1 to 32767.
static int KeyNumber(const char *key) {
    int number = 0;
    for (int i = 0; key[i] != '\0'; i++) {
        if (key[i] < '0' || key[i] > '9' || (i == 0 && key[i] == '0') || i >= 5)
            return 0;
        number = number * 10 + (key[i] - '0');
    }
    return number <= 32767 ? number : 0;
}

static void CheckDisk(int disk) {
    char section[SECTION_SIZE];
    CopyText(section, sizeof section, ResourceText((short)(IDS_DISK1 + disk)));
    int count = InstallConfig.DiskTable.FileCounts[disk];
    const char **lines = NULL;
    if (count > 0)
        lines = (const char **)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, count * sizeof *lines);
    char *listing = ReadListing(section);
    for (char *line = listing; line != NULL && *line != '\0';) {
        char *next = line + lstrlenA(line) + 1;
        const char *value = SplitListingLine(line);
        int number = KeyNumber(line);
        if (number >= 1 && number <= count && lines != NULL && lines[number - 1] == NULL)
            lines[number - 1] = value;
        else if (number > count)
            Report(FINDING_NEVER_READ, section, line, value, "beyond the count of %d: never read",
                   count);
        else
            Report(FINDING_NEVER_READ, section, line, value,
                   number > 0 ? "repeated: only the first is read"
                              : "never read: the entries are the keys 1 to %d",
                   count);
        line = next;
    }
    const FileEntry *first = InstallConfig.DiskTable.DiskFiles[disk];
    for (int j = 1; j <= count; j++)
        CheckEntry(section, j, lines != NULL ? lines[j - 1] : NULL, first + (j - 1));
    FreeListing(listing);
    if (lines != NULL)
        GlobalFree(lines);
}

static void CheckSpace(void) {
    char section[SECTION_SIZE], key[SECTION_SIZE], raw[1024];
    CopyText(section, sizeof section, ResourceText(IDS_SECTION_MAIN));
    CopyText(key, sizeof key, ResourceText(IDS_KEY_MINIMUM_SPACE));
    const char *value = ReadValue(section, key, raw, sizeof raw);
    short minimum = InstallConfig.MinimumSpace;
    if (minimum < 0)
        Report(FINDING_REFUSED, section, key, value,
               "read as %d: the destination page refuses every drive", minimum);
    else if ((DWORD)minimum < CheckTotals.DestinationKilobytes)
        Report(FINDING_SPACE, section, key, value,
               "the destination page accepts a drive with %d KB free, but the files copied "
               "below the destination need %lu KB",
               minimum, CheckTotals.DestinationKilobytes);
}

void CheckFiles(void) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    ZeroMemory(ProductFound, sizeof ProductFound);
    ZeroMemory(LongTokenUsed, sizeof LongTokenUsed);
    // Drive, colon, backslash and as many characters as the page's field holds.
    CopyText(LongestDestination, 4, InstallConfig.DefaultPath);
    for (int i = lstrlenA(LongestDestination); i < PATH_TEXT - 1; i++)
        LongestDestination[i] = i == 2 ? '\\' : i == 1 ? ':' : 'D';
    LongestDestination[PATH_TEXT - 1] = '\0';

    for (TargetMask = 15; TargetMask < (DWORD)disks->TotalFiles * 2;
         TargetMask = TargetMask * 2 + 1)
        ;
    TargetSlots = (int *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (TargetMask + 1) * sizeof(int));
    for (int d = 0; d < disks->DiskCount; d++)
        CheckDisk(d);
    if (TargetSlots != NULL)
        GlobalFree(TargetSlots);
    TargetSlots = NULL;

    char name[SECTION_SIZE];
    for (int k = 0; k < DIRECTORY_TOKENS; k++) {
        if (!LongTokenUsed[k])
            continue;
        char cut[SUBDIR_TEXT];
        CopyText(cut, sizeof cut, InstallConfig.DirectoryTable[k]);
        CopyText(name, sizeof name, ResourceText((short)(IDS_ROOT_DIR + k)));
        Report(FINDING_CUT, ResourceText(IDS_SECTION_DIRECTORY_NAME), name,
               InstallConfig.DirectoryTable[k],
               "the entries of this token use its first %d characters: \"%s\"", SUBDIR_TEXT - 1,
               cut);
    }
    for (unsigned p = 0; p < PRODUCT_FILES; p++)
        if (!ProductFound[p])
            Report(FINDING_PRODUCT_FILE, "", ProductFiles[p][0], NULL, ProductFiles[p][1],
                   InstallConfig.DefaultPath);
    CheckSpace();
}
