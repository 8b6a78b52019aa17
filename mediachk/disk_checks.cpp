// The disk sections: their numbered keys, each entry as the loader read it,
// and the product's own files among the targets.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "runtime/runtime.h"

// The files the registry step names in the destination's root folder.
static const char *const ProductFiles[PRODUCT_FILE_COUNT][2] = {
    {APPLICATION_FILE, "the Run entry starts %s\\ZKMAIN.EXE -startup, which will not be there"},
    {PROPERTY_PAGE_FILE,
     "the mouse property page is registered as %s\\ZKPAGE.DLL, which will not be "
     "there"},
    {UNINSTALLER_FILE, "the uninstall entry runs %s\\UNINSTAL.EXE, which will not be there"},
    {SCRIPT_FILE, "the previous settings go into a new %s\\SETUP.INF without the script, and a "
                  "-u run from there has no script"},
};

static int EntryIsEmpty(const FileEntry *e) {
    return e->SourceName[0] == '\0' && e->TargetName[0] == '\0' && e->Description[0] == '\0' &&
           e->SourceSubDir[0] == '\0' && e->TargetDir[0] == '\0' && e->IsAbsolute == 0;
}

// One numbered entry; value is the line as written, NULL when missing.
static void CheckEntry(MediaCheck *check, const char *section, int number, const char *value,
                       const FileEntry *e) {
    char key[16], exact[1024];
    wsprintfA(key, "%d", number);
    // Quotation marks are the one thing a listing keeps that a read drops.
    if (value != NULL && (value[0] == '"' || value[0] == '\''))
        value = ReadValue(check, section, key, exact, sizeof exact);
    if (EntryIsEmpty(e)) {
        Report(check, FINDING_KEY_MISSING, section, key, value,
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
        Report(check, FINDING_CUT, section, key, value, "longer than %d characters: read as \"%s\"",
               LINE_TEXT - 1, line);
    else if (lstrlenA(fields[0]) >= NAME_TEXT || lstrlenA(fields[1]) >= NAME_TEXT ||
             lstrlenA(fields[2]) >= DESCRIPTION_TEXT)
        Report(check, FINDING_CUT, section, key, value, "a field is cut: read as \"%s, %s, %s\"",
               e->SourceName, e->TargetName, e->Description);
    int token = DirectoryTokenIndex(fields[3]);
    if (token < 0)
        Report(check, FINDING_NO_TOKEN, section, key, value,
               "\"%s\" is no directory token: the file is read from the media's top folder and "
               "copied into the destination's",
               fields[3]);
    else if (lstrlenA(InstallConfig.DirectoryTable[token]) >= SUBDIR_TEXT)
        check->LongTokenUsed[token] = 1;

    CheckEntryFiles(check, section, key, value, e);
    CheckSameTarget(check, section, key, value, e);
    for (unsigned p = 0; p < PRODUCT_FILE_COUNT; p++)
        if (!e->IsAbsolute && e->TargetDir[0] == '\0' &&
            lstrcmpiA(e->TargetName, ProductFiles[p][0]) == 0)
            check->ProductFound[p] = 1;
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

static void CheckDisk(MediaCheck *check, int disk) {
    char section[SECTION_SIZE];
    CopyText(section, sizeof section, ResourceText((short)(IDS_DISK1 + disk)));
    int count = InstallConfig.DiskTable.FileCounts[disk];
    const char **lines = NULL;
    if (count > 0)
        lines = (const char **)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, count * sizeof *lines);
    char *listing = ReadProfileSection(check->Script, section);
    for (char *line = listing; line != NULL && *line != '\0';) {
        char *next = line + lstrlenA(line) + 1;
        const char *value = SplitListingLine(line);
        int number = KeyNumber(line);
        if (number >= 1 && number <= count && lines != NULL && lines[number - 1] == NULL)
            lines[number - 1] = value;
        else if (number > count)
            Report(check, FINDING_NEVER_READ, section, line, value,
                   "beyond the count of %d: never read", count);
        else
            Report(check, FINDING_NEVER_READ, section, line, value,
                   number > 0 ? "repeated: only the first is read"
                              : "never read: the entries are the keys 1 to %d",
                   count);
        line = next;
    }
    const FileEntry *first = InstallConfig.DiskTable.DiskFiles[disk];
    for (int j = 1; j <= count; j++)
        CheckEntry(check, section, j, lines != NULL ? lines[j - 1] : NULL, first + (j - 1));
    FreeProfileSection(listing);
    if (lines != NULL)
        GlobalFree(lines);
}

void CheckFiles(MediaCheck *check) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    ZeroMemory(check->ProductFound, sizeof check->ProductFound);
    ZeroMemory(check->LongTokenUsed, sizeof check->LongTokenUsed);
    // Drive, colon, backslash and as many characters as the page's field holds.
    char *longest = check->LongestDestination;
    CopyText(longest, 4, InstallConfig.DefaultPath);
    for (int i = lstrlenA(longest); i < PATH_TEXT - 1; i++)
        longest[i] = i == 2 ? '\\' : i == 1 ? ':' : 'D';
    longest[PATH_TEXT - 1] = '\0';

    DWORD mask = 15;
    while (mask < (DWORD)disks->TotalFiles * 2)
        mask = mask * 2 + 1;
    check->TargetMask = mask;
    check->TargetSlots = (int *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (mask + 1) * sizeof(int));
    for (int d = 0; d < disks->DiskCount; d++)
        CheckDisk(check, d);
    if (check->TargetSlots != NULL)
        GlobalFree(check->TargetSlots);
    check->TargetSlots = NULL;

    char name[SECTION_SIZE];
    for (int k = 0; k < DIRECTORY_TOKENS; k++) {
        if (!check->LongTokenUsed[k])
            continue;
        char cut[SUBDIR_TEXT];
        CopyText(cut, sizeof cut, InstallConfig.DirectoryTable[k]);
        CopyText(name, sizeof name, ResourceText((short)(IDS_ROOT_DIR + k)));
        Report(check, FINDING_CUT, ResourceText(IDS_SECTION_DIRECTORY_NAME), name,
               InstallConfig.DirectoryTable[k],
               "the entries of this token use its first %d characters: \"%s\"", SUBDIR_TEXT - 1,
               cut);
    }
    for (unsigned p = 0; p < PRODUCT_FILE_COUNT; p++)
        if (!check->ProductFound[p])
            Report(check, FINDING_PRODUCT_FILE, "", ProductFiles[p][0], NULL, ProductFiles[p][1],
                   InstallConfig.DefaultPath);
    CheckSpace(check);
}
