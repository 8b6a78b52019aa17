// Process-wide state and the operations that the subsystems call across
// their folders. Each subsystem keeps its private helpers in its own header.
#ifndef SETUP_SHELL_SETUP_H
#define SETUP_SHELL_SETUP_H

#include <windows.h>

// Sent by the page host to every new page before its message loop starts.
#define WM_PAGE_INIT (WM_USER + 100)

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

// --- process-wide values (shell/globals.cpp unless noted) ---
extern HINSTANCE AppInstance;
extern short ScreenWidth;
extern short ScreenHeight;
extern int MouseKind;                     // 1 serial, 0 PS/2
extern int RestartChoice;                 // 1 restart now, 0 later
extern int MouseBackEnabled;              // 0 in the re-registration run
extern InstallConfigRecord InstallConfig; // script/
extern short PageResult;                  // pages/
extern HWND BackdropWindow;               // backdrop/

// --- shared utilities (shell/) ---
const char *ResourceText(short id);
int IsDirectory(const char *path);
void WaitMilliseconds(DWORD duration);
int ServiceOneMessage(HWND window);
// Bounded copy and join: 1 when the whole text fit, 0 when it was cut.
// The destination is always terminated.
int CopyText(char *dest, int capacity, const char *src);
int AppendText(char *dest, int capacity, const char *src);

// --- setup script (script/) ---
int LoadSetupScript(void);
int AllocInstallTables(short fileCount);
void FreeInstallTables(void);
const char *NextField(const char *text, char *out);

// --- backdrop (backdrop/) ---
int CreateBackdrop(void);

// --- pages (pages/, install/) ---
short RunPage(const char *className, WNDPROC pageProc, short templateId);
void ShowCancelNotice(HWND owner);
LRESULT CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MouseTypePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FinishPageProc(HWND, UINT, WPARAM, LPARAM);

// --- system integration (system/) ---
void UpdateRegistry(int registerProduct);
int PatchSystemIni(void);
// Undo journal of the destination: a file outside it that the copy is about
// to create (noted only when it does not exist yet).
void NoteCreatedFile(const char *path);
// Before replacement takes target's place: when target is the destination's
// SETUP.INF, its record and journal go into replacement. 0 when they could
// not, and the old file must stay.
int KeepRecordSections(const char *target, const char *replacement);

#endif
