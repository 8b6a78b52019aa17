// File installation: the copy page, which creates the sub-folders, copies and
// expands every file of the script into the destination and ends with the
// registry step; and the copy engine behind it, for the page and its tests.
#ifndef SETUP_INSTALL_COPY_ENGINE_H
#define SETUP_INSTALL_COPY_ENGINE_H

#include <windows.h>

// The copy page's procedure (template IDD_INSTALL, class SETUP_INSTALL).
LRESULT CALLBACK InstallPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// LZ handle value meaning "not open".
#define NO_LZ_HANDLE (-1)

// Source of the file in hand, from OpenSourceFile to CopyToTarget.
extern INT SourceHandle;

// Paths of file index of disk, from the install tables. 1 when it fit.
int BuildSourcePath(char *path, int capacity, short disk, short index);
int BuildTargetPath(char *path, int capacity, short disk, short index);

// Opens the source (path null: a path that did not fit, left closed), then
// serves one message of the page. Returns the message step's result.
int OpenSourceFile(HWND page, const char *path);
// Expands the open source into the target (path null: nothing copied),
// closes the source, then serves one message of the page.
int CopyToTarget(HWND page, const char *path);

// The expansion itself: source into a new temporary file in the target's
// folder, which takes the target's place only when the copy succeeded and
// the target is neither read-only nor a folder. The source stays open.
// 1 when the target now holds the copy.
int ExpandIntoPlace(INT source, const char *target);
// The last step of ExpandIntoPlace: with copyResult from LZCopy (negative on
// failure), put temporary in target's place (the safe replacement) or remove
// it. 1 when replaced.
int SettleExpansion(const char *temporary, const char *target, LONG copyResult);

// The sub-folders SubDir1 to SubDir6 below the destination.
void CreateSubFolders(void);
// The copy loop over every disk with its panel, without the registry step.
void CopyEveryDisk(HWND page, HDC dc);
// The loop, then "Updating Registry...", the one-second pause and the
// registry step.
void CopyAllFiles(HWND page);

#endif
