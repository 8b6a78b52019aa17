// Reads SETUP.INF into InstallConfig and the install tables. Section and key
// names come from the string table; only "OEM" is written here.
#include "script/script.h"

#define DEFAULT_PATH "C:\\VELOR"
#define DEFAULT_GROUP_NAME "VELOR.GRP"
#define DEFAULT_GROUP_TITLE "VELOR"
#define DEFAULT_PRODUCT_NAME "Velor"
#define DEFAULT_MINIMUM_SPACE 1024
#define SCRIPT_NAME "\\SETUP.INF"
// Counts are 16-bit and their sum must stay below this.
#define COUNT_LIMIT 32768

static const char *ScriptFile;

// A missing string-table text must not turn a key read into a listing of
// every key of the section.
static const char *Name(short id) {
    const char *text = ResourceText(id);
    return text != NULL ? text : "";
}

static void ReadText(short section, short key, const char *fallback, char *out, int size) {
    GetPrivateProfileStringA(Name(section), Name(key), fallback, out, (DWORD)size, ScriptFile);
}

static int ReadInt(short section, short key, int fallback) {
    return (int)GetPrivateProfileIntA(Name(section), Name(key), fallback, ScriptFile);
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
    CopyText(script, PATH_TEXT, root);
    if (!AppendText(script, PATH_TEXT, SCRIPT_NAME))
        return 0;
    CopyText(sourceRoot, PATH_TEXT, root);
    CopyText(scriptPath, PATH_TEXT, script);
    return 1;
}

static void ReadMain(const char *windowsDir) {
    char *path = InstallConfig.DefaultPath;
    ReadText(IDS_SECTION_MAIN, IDS_KEY_DEFAULT_PATH, DEFAULT_PATH, path, PATH_TEXT);
    // The proposal goes to the drive Windows lives on, whatever was written.
    if (path[0] == '\0')
        path[1] = '\0';
    path[0] = windowsDir[0];

    ReadText(IDS_SECTION_MAIN, IDS_KEY_GROUP_NAME, DEFAULT_GROUP_NAME, InstallConfig.GroupName,
             sizeof InstallConfig.GroupName);
    ReadText(IDS_SECTION_MAIN, IDS_KEY_GROUP_TITLE, DEFAULT_GROUP_TITLE, InstallConfig.GroupTitle,
             sizeof InstallConfig.GroupTitle);
    ReadText(IDS_SECTION_MAIN, IDS_KEY_PRODUCT_NAME, DEFAULT_PRODUCT_NAME,
             InstallConfig.ProductName, sizeof InstallConfig.ProductName);
    BuildCaption();
    InstallConfig.MinimumSpace =
        (short)ReadInt(IDS_SECTION_MAIN, IDS_KEY_MINIMUM_SPACE, DEFAULT_MINIMUM_SPACE);
}

// Labels, directory names and counts. Returns 0 for counts outside the
// format, before anything is allocated for them.
static int ReadDiskTable(void) {
    DiskTableRecord *disks = &InstallConfig.DiskTable;
    disks->DiskCount = 0;
    for (int i = 0; i < MAX_DISKS; i++) {
        ReadText(IDS_SECTION_DISK_LABEL, (short)(IDS_DISK1 + i), "", disks->DiskLabels[i],
                 LABEL_TEXT);
        if (disks->DiskLabels[i][0] != '\0')
            disks->DiskCount++;
    }
    for (int i = 0; i < DIRECTORY_TOKENS; i++)
        ReadText(IDS_SECTION_DIRECTORY_NAME, (short)(IDS_ROOT_DIR + i), "",
                 InstallConfig.DirectoryTable[i], PATH_TEXT);

    int total = 0;
    disks->TotalFiles = 0;
    for (int i = 0; i < disks->DiskCount; i++) {
        int count = ReadInt(IDS_SECTION_FILE_COUNTS, (short)(IDS_DISK1 + i), 0);
        // A count that does not fit 16 bits, or a sum that wraps them, would
        // allocate a table of the wrong size.
        if (count < 0 || count >= COUNT_LIMIT)
            return 0;
        total += count;
        if (total >= COUNT_LIMIT)
            return 0;
        disks->FileCounts[i] = (short)count;
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

static void ReadStartup(void) {
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_FILE_NAME, "", InstallConfig.FileName, PATH_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_TITLE, "", InstallConfig.Title, PATH_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_MFG, "", InstallConfig.Mfg, STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_MOUSE_DRIVER, "", InstallConfig.MouseDriver,
             STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_MOUSE_INF, "", InstallConfig.MouseInf, STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_DRIVER_DATE, "", InstallConfig.DriverDate, STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_PS2_INF_SECTION, "", InstallConfig.PS2InfSection,
             STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_SERIAL_INF_SECTION, "", InstallConfig.SerialInfSection,
             STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_PS2_NAME, "", InstallConfig.PS2Name, STARTUP_TEXT);
    ReadText(IDS_SECTION_STARTUP, IDS_KEY_SERIAL_NAME, "", InstallConfig.SeialName, STARTUP_TEXT);
}

int LoadScriptFrom(const char *programPath, const char *windowsDir, const char *scriptPath) {
    // Start from a clean record: every field the script does not fill is
    // empty or 0. The Windows folder is the caller's and survives.
    char windows[PATH_TEXT];
    CopyText(windows, PATH_TEXT, windowsDir);
    FreeInstallTables();
    ZeroMemory(&InstallConfig, sizeof InstallConfig);
    CopyText(InstallConfig.WindowsDir, PATH_TEXT, windows);

    char derived[PATH_TEXT];
    if (!SplitProgramPath(programPath, InstallConfig.SourceRoot, derived)) {
        // Still give the error message a caption of this product.
        CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, DEFAULT_PRODUCT_NAME);
        BuildCaption();
        return 0;
    }
    ScriptFile = scriptPath != NULL ? scriptPath : derived;

    ReadMain(windows);
    int countsFit = ReadDiskTable();
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
    InstallConfig.OEM = (int)GetPrivateProfileIntA(Name(IDS_SECTION_MAIN), "OEM", 0, ScriptFile);
    ReadStartup();
    ScriptFile = NULL;
    return 1;
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
