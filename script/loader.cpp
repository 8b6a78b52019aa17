// Reads SETUP.INF into InstallConfig and the install tables, through the
// table of keys; the numbered lines of the disks and program items follow.
#include "script/script.h"
#include "runtime/runtime.h"

#define SCRIPT_NAME "\\" SCRIPT_FILE

static const char *ScriptFile;

// A missing string-table text must not turn a key read into a listing of
// every key of the section.
static const char *Name(short id) {
    const char *text = ResourceText(id);
    return text != NULL ? text : "";
}

static void ReadNumberedLine(short section, int number, char *line) {
    char key[16];
    wsprintfA(key, "%d", number);
    GetPrivateProfileStringA(Name(section), key, "", line, LINE_TEXT, ScriptFile);
}

static void BuildCaption(void) {
    CopyText(InstallConfig.Caption, PATH_TEXT, InstallConfig.ProductName);
    AppendText(InstallConfig.Caption, PATH_TEXT, " ");
    AppendText(InstallConfig.Caption, PATH_TEXT, ResourceText(IDS_SETUP_PROGRAM));
}

int SplitProgramPath(const char *programPath, char *sourceRoot, char *scriptPath) {
    sourceRoot[0] = '\0';
    scriptPath[0] = '\0';
    char root[PATH_TEXT];
    if (programPath == NULL || programPath[0] == '\0' || !CopyText(root, PATH_TEXT, programPath))
        return 0;
    // From the last character back to the second: the first character is
    // never taken as the separator, so a bare name stays whole.
    for (int i = lstrlenA(root) - 1; i >= 1; i--) {
        if (root[i] == '\\') {
            root[i] = '\0';
            break;
        }
    }
    char script[PATH_TEXT];
    if (!JoinText(script, PATH_TEXT, root, SCRIPT_NAME))
        return 0;
    CopyText(sourceRoot, PATH_TEXT, root);
    CopyText(scriptPath, PATH_TEXT, script);
    return 1;
}

// Every key of the table but the counts, each into its field.
static void ReadSettings(const char *windowsDir) {
    for (int i = 0; i < ScriptKeyCount; i++) {
        const ScriptKey *key = &ScriptKeys[i];
        const char *section = Name(key->Section), *name = ScriptKeyName(key);
        if (key->Kind == KEY_TEXT)
            GetPrivateProfileStringA(section, name, key->Fallback, (char *)key->Field,
                                     (DWORD)key->Width, ScriptFile);
        else if (key->Kind == KEY_SHORT)
            *(short *)key->Field =
                (short)GetPrivateProfileIntA(section, name, key->Number, ScriptFile);
        else if (key->Kind == KEY_INT)
            *(int *)key->Field = (int)GetPrivateProfileIntA(section, name, key->Number, ScriptFile);
    }
    // The proposal goes to the drive Windows lives on, whatever was written.
    char *path = InstallConfig.DefaultPath;
    if (path[0] == '\0')
        path[1] = '\0';
    path[0] = windowsDir[0];
    BuildCaption();
    DiskTableRecord *disks = &InstallConfig.DiskTable;
    disks->DiskCount = 0;
    for (int i = 0; i < MAX_DISKS; i++)
        if (disks->DiskLabels[i][0] != '\0')
            disks->DiskCount++;
}

// The counts of the labelled disks. 0 for counts outside the format, before
// anything is allocated for them.
static int ReadCounts(void) {
    DiskTableRecord *disks = &InstallConfig.DiskTable;
    int total = 0;
    disks->TotalFiles = 0;
    for (int i = 0; i < ScriptKeyCount; i++) {
        const ScriptKey *key = &ScriptKeys[i];
        if (key->Kind != KEY_COUNT || key->Number >= disks->DiskCount)
            continue;
        int count =
            (int)GetPrivateProfileIntA(Name(key->Section), ScriptKeyName(key), 0, ScriptFile);
        if (!CountFits(count, &total))
            return 0;
        *(short *)key->Field = (short)count;
        disks->TotalFiles = (short)total;
    }
    return 1;
}

// 0 when a record's target would not fit (see ParseDiskLine).
static int ReadDiskFiles(const char *windowsDir) {
    DiskTableRecord *disks = &InstallConfig.DiskTable;
    disks->DiskFiles[0] = InstallRecords;
    for (int d = 1; d <= disks->DiskCount; d++)
        disks->DiskFiles[d] = disks->DiskFiles[d - 1] + disks->FileCounts[d - 1];

    char line[LINE_TEXT];
    for (int d = 0; d < disks->DiskCount; d++) {
        for (int j = 1; j <= disks->FileCounts[d]; j++) {
            ReadNumberedLine((short)(IDS_DISK1 + d), j, line);
            // A missing line keeps its place as an empty record.
            if (line[0] == '\0')
                continue;
            if (!ParseDiskLine(line, windowsDir, disks->DiskFiles[d] + (j - 1)))
                return 0;
        }
    }
    return 1;
}

static void ReadProgramItems(void) {
    ProgramItem *first =
        (ProgramItem *)InstallConfig.DiskTable.DiskFiles[InstallConfig.DiskTable.DiskCount];
    for (int i = 0; i < MAX_PROGRAM_ITEMS; i++)
        InstallConfig.ProgramItems[i] = first + i;

    char line[LINE_TEXT];
    InstallConfig.ProgramItemCount = 0;
    for (int i = 0; i < MAX_PROGRAM_ITEMS; i++) {
        ReadNumberedLine(IDS_SECTION_PM_INFO, i + 1, line);
        if (line[0] == '\0')
            break;
        InstallConfig.ProgramItemCount++;
        ParseProgramLine(line, InstallConfig.ProgramItems[i]);
    }
}

// Starts from a clean record: every field the script does not fill is empty
// or 0. The Windows folder is the caller's and survives; the caption is the
// default product's until the script gives its own.
static void ClearSettings(const char *windowsDir) {
    char windows[PATH_TEXT];
    CopyText(windows, PATH_TEXT, windowsDir);
    FreeInstallTables();
    ZeroMemory(&InstallConfig, sizeof InstallConfig);
    CopyText(InstallConfig.WindowsDir, PATH_TEXT, windows);
    CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, DEFAULT_PRODUCT_NAME);
    BuildCaption();
}

// The load proper, SourceRoot set, from the script file.
static int LoadScriptFile(const char *scriptPath) {
    char windows[PATH_TEXT];
    CopyText(windows, PATH_TEXT, InstallConfig.WindowsDir);
    ScriptFile = scriptPath;
    ReadSettings(windows);
    int countsFit = ReadCounts();
    if (!countsFit || !AllocInstallTables(InstallConfig.DiskTable.TotalFiles)) {
        ScriptFile = NULL;
        return 0;
    }
    if (!ReadDiskFiles(windows)) {
        FreeInstallTables();
        ScriptFile = NULL;
        return 0;
    }
    ReadProgramItems();
    ScriptFile = NULL;
    return 1;
}

int LoadScriptFrom(const char *programPath, const char *windowsDir, const char *scriptPath) {
    ClearSettings(windowsDir);
    char derived[PATH_TEXT];
    if (!SplitProgramPath(programPath, InstallConfig.SourceRoot, derived))
        return 0;
    return LoadScriptFile(scriptPath != NULL ? scriptPath : derived);
}

int LoadScriptIn(const char *folder, const char *windowsDir) {
    ClearSettings(windowsDir);
    char script[MAX_PATH];
    if (folder == NULL || folder[0] == '\0' ||
        !CopyText(InstallConfig.SourceRoot, PATH_TEXT, folder) ||
        !JoinText(script, sizeof script, folder, SCRIPT_NAME)) {
        InstallConfig.SourceRoot[0] = '\0';
        return 0;
    }
    return LoadScriptFile(script);
}

int LoadSetupScript(void) {
    // Room for a path longer than the script allows, so that a long one is
    // seen and refused instead of arriving cut.
    char programPath[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(AppInstance, programPath, sizeof programPath);
    // Without its own path the program would read a script from the root of
    // the current drive: an empty path is refused below.
    if (length == 0 || length >= sizeof programPath)
        programPath[0] = '\0';
    else
        programPath[length] = '\0';
    return LoadScriptFrom(programPath, InstallConfig.WindowsDir, NULL);
}
