// The copy engine behind the copy page: private to install/.
#ifndef SETUP_INSTALL_COPY_ENGINE_H
#define SETUP_INSTALL_COPY_ENGINE_H

#include "install/copy_paths.h"
#include <lzexpand.h>

#include "resources/resource_ids.h"

// A sub-folder to create: the destination and a directory value, each up to
// 79 characters.
#define SUBFOLDER_PATH_TEXT (2 * PATH_TEXT)
#define STATUS_TEXT 128

// LZ handle value meaning "not open".
#define NO_LZ_HANDLE (-1)

// Source of the file in hand, from OpenSourceFile to CopyToTarget.
extern INT SourceHandle;

// Percentage of a disk done once file index (from 0) of count is copied.
short CopyPercentage(short index, short count);

// "Copying " name "\n\n" description; cut to fit.
void StatusText(char *text, int capacity, const FileEntry *entry);

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
// failure), put temporary in target's place or remove it. 1 when replaced;
// a replaced file keeps its hidden and system attributes.
int SettleExpansion(const char *temporary, const char *target, LONG copyResult);
// Puts temporary in the place of the existing target, whose old file waits
// under spare (a free name) until the new one is in. move is MoveFileA
// outside the tests. 1 when target holds the new file. When the new file
// cannot take the name, the target name still ends up holding the old file
// or, failing that, a copy of the new one; only when neither can be put
// there are both files kept under their own names.
typedef BOOL(WINAPI *MoveFileProc)(LPCSTR, LPCSTR);
int SwapIntoPlace(const char *temporary, const char *target, const char *spare, MoveFileProc move);

// The page's view of the file in hand: its status text, then the disk's
// percentage and the bar in the placeholder's rectangle; each shown at once.
void ShowFileStatus(HWND page, const FileEntry *entry);
void ShowDiskShare(HWND page, HDC dc, const RECT *placeholder, short percent);

// The sub-folders SubDir1 to SubDir6 below the destination.
void CreateSubFolders(void);
// The copy loop over every disk with its panel, without the registry step.
void CopyEveryDisk(HWND page, HDC dc);
void CopyAllFiles(HWND page);
// The page's device context while the copy holds it, else null. A cancel
// destroys the page in the middle of the copy: the page then gives the
// context back while it still exists. ReleaseDC's result, 0 when none held.
extern HDC CopyPageDC;
int ReleaseCopyPageDC(void);

#endif
