// Setup script loader: the pieces below LoadSetupScript, taking plain inputs
// so that they can be driven with any program path, Windows folder and script.
#ifndef SETUP_SCRIPT_SCRIPT_H
#define SETUP_SCRIPT_SCRIPT_H

#include "shell/setup.h"
#include "resource_ids.h"

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

// Index 0-9 of the directory token (RootDir ... WinInfDir), case ignored;
// -1 when it names none of them.
int DirectoryTokenIndex(const char *token);

// Fills one file record from a disk line, resolving its directory token
// against the loaded DirectoryTable and windowsDir. 0 when a Windows folder
// target (WinDir, WinSystemDir, WinInfDir) does not fit TargetDir.
int ParseDiskLine(const char *line, const char *windowsDir, FileEntry *entry);

// Fills one program item from a PM Info line.
void ParseProgramLine(const char *line, ProgramItem *item);

#endif
