// The setup script: the settings and install tables loaded from SETUP.INF,
// the loader, the paths of the files it lists and the names of the product's
// own files. Everything that reads a script (the setup, the uninstaller, the
// media check) goes through here. The pieces below LoadSetupScript take plain
// inputs, so that any program path, Windows folder and script can be tried.
#ifndef SETUP_SCRIPT_SCRIPT_H
#define SETUP_SCRIPT_SCRIPT_H

#include <windows.h>

#include "resources/resource_ids.h"

// Text field widths, terminator included.
#define PATH_TEXT 80
#define SUBDIR_TEXT 40
#define NAME_TEXT 15
#define DESCRIPTION_TEXT 62
#define LABEL_TEXT 40
#define STARTUP_TEXT 40
#define LINE_TEXT 128

#define MAX_DISKS 6
#define DIRECTORY_TOKENS 10
#define MAX_PROGRAM_ITEMS 10

// The product's own files in the destination folder, and the script's name
// (the record and the undo journal go into the destination's copy of it).
#define SCRIPT_FILE "SETUP.INF"
#define APPLICATION_FILE "ZKMAIN.EXE"
#define PROPERTY_PAGE_FILE "ZKPAGE.DLL"
#define UNINSTALLER_FILE "UNINSTAL.EXE"

struct FileEntry {
    char SourceSubDir[SUBDIR_TEXT];
    char TargetDir[SUBDIR_TEXT];
    char SourceName[NAME_TEXT];
    char TargetName[NAME_TEXT];
    char Description[DESCRIPTION_TEXT];
    int IsAbsolute;
};

struct ProgramItem {
    char ItemFile[15];
    char ItemTitle[40];
    char ItemIcon[5];
};

struct DiskTableRecord {
    char DiskLabels[MAX_DISKS][LABEL_TEXT];
    short DiskCount;
    short FileCounts[MAX_DISKS];
    short TotalFiles;
    FileEntry *DiskFiles[MAX_DISKS + 1];
};

struct InstallConfigRecord {
    char SourceRoot[PATH_TEXT];
    char WindowsDir[PATH_TEXT];
    char DefaultPath[PATH_TEXT];
    char GroupName[20];
    char GroupTitle[48];
    char ProductName[32];
    char Caption[PATH_TEXT];
    short MinimumSpace;
    int OEM;
    char DirectoryTable[DIRECTORY_TOKENS][PATH_TEXT];
    DiskTableRecord DiskTable;
    ProgramItem *ProgramItems[MAX_PROGRAM_ITEMS];
    short ProgramItemCount;
    char FileName[PATH_TEXT];
    char Title[PATH_TEXT];
    char Mfg[STARTUP_TEXT];
    char MouseDriver[STARTUP_TEXT];
    char MouseInf[STARTUP_TEXT];
    char DriverDate[STARTUP_TEXT];
    char PS2InfSection[STARTUP_TEXT];
    char SerialInfSection[STARTUP_TEXT];
    char PS2Name[STARTUP_TEXT];
    char SeialName[STARTUP_TEXT];
};

// The settings of this run: the script's, and the destination the user chose.
extern InstallConfigRecord InstallConfig;

// --- the load (loader.cpp, tables.cpp) ---

// Reads the SETUP.INF beside the program into InstallConfig and the tables;
// WindowsDir must be set before. 0 when the script is refused (the caption
// is set all the same).
int LoadSetupScript(void);
// One zero-filled block of fileCount file records and the ten program items.
int AllocInstallTables(short fileCount);
void FreeInstallTables(void);
// First record of the install block (null when no block is held). The ten
// ProgramItem records follow the last FileEntry.
extern FileEntry *InstallRecords;

// SourceRoot and the script path from the program's full path. Returns 0,
// writing empty texts, when the program path is empty (its name could not
// be had) or when it or the script path would not fit PATH_TEXT: a cut path
// would name some other folder's script.
int SplitProgramPath(const char *programPath, char *sourceRoot, char *scriptPath);
// The whole load, for a program at programPath on a system whose Windows
// folder is windowsDir. The script is read from scriptPath, or from the
// folder of programPath when scriptPath is null. Same result as
// LoadSetupScript.
int LoadScriptFrom(const char *programPath, const char *windowsDir, const char *scriptPath);
// The same load of folder\SETUP.INF, with folder as SourceRoot: for the
// uninstaller, whose own path may be longer than a program path of the
// script's width while its folder is not. 0 when the folder does not fit.
int LoadScriptIn(const char *folder, const char *windowsDir);

// --- the keys (keys.cpp) ---

// The product name when the script gives none.
#define DEFAULT_PRODUCT_NAME "Velor"
// Counts are 16-bit and their sum must stay below this.
#define COUNT_LIMIT 32768

enum ScriptKeyKind {
    KEY_TEXT,  // a text, cut to its field
    KEY_SHORT, // a number into a 16-bit field
    KEY_INT,   // a number
    KEY_COUNT  // a disk's file count, under the count rule, for labelled disks only
};
// One key the loader reads: its section and key (string ids; key 0 names the
// literal instead), the field it fills (a text of Width bytes, or a number)
// and what a missing key gives (Fallback for a text, Number for a number; the
// disk, from 0, for a count).
struct ScriptKey {
    short Section;
    short Key;
    const char *Literal;
    ScriptKeyKind Kind;
    void *Field;
    int Width;
    const char *Fallback;
    int Number;
};
// Every key of the script but the numbered lines, in the order they are read.
extern const ScriptKey ScriptKeys[];
extern const int ScriptKeyCount;
// The key's name as the script spells it; "" when its text is missing.
const char *ScriptKeyName(const ScriptKey *key);
// The count rule: 1 when count fits and the running total, with it added,
// stays below COUNT_LIMIT.
int CountFits(int count, int *total);

// --- the lines of the disk and program-item sections (fields.cpp) ---

// The next comma field of text into out (LINE_TEXT bytes), blanks around it
// dropped; returns where the field after it starts.
const char *NextField(const char *text, char *out);
// Index 0-9 of the directory token (RootDir ... WinInfDir), case ignored;
// -1 when it names none of them.
int DirectoryTokenIndex(const char *token);
// Fills one file record from a disk line, resolving its directory token
// against the loaded DirectoryTable and windowsDir. 0 when a Windows folder
// target (WinDir, WinSystemDir, WinInfDir) does not fit TargetDir.
int ParseDiskLine(const char *line, const char *windowsDir, FileEntry *entry);
// Fills one program item from a PM Info line.
void ParseProgramLine(const char *line, ProgramItem *item);

// --- the paths of the files (paths.cpp) ---

// The longest source or target path the script format allows: a 79-character
// folder, a 39-character sub-folder and a 14-character name, two
// backslashes and the terminator.
#define COPY_PATH_TEXT (PATH_TEXT + SUBDIR_TEXT + NAME_TEXT + 1)

// root "\" entry->SourceSubDir "\" entry->SourceName. 1 when it fit.
int JoinSourcePath(char *path, int capacity, const char *root, const FileEntry *entry);
// [destination "\"] entry->TargetDir "\" entry->TargetName; the destination
// only for an entry that is not absolute. 1 when it fit.
int JoinTargetPath(char *path, int capacity, const char *destination, const FileEntry *entry);
// 1 when the LZ open can take the source path whole.
int SourcePathOpens(const char *path);

#endif
