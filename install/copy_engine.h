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
// failure), put temporary in target's place or remove it. 1 when replaced.
int SettleExpansion(const char *temporary, const char *target, LONG copyResult);

// The page's view of the file in hand: its status text, then the disk's
// percentage and the bar in the placeholder's rectangle; each shown at once.
void ShowFileStatus(HWND page, const FileEntry *entry);
void ShowDiskShare(HWND page, HDC dc, const RECT *placeholder, short percent);

// The sub-folders SubDir1 to SubDir6 below the destination.
void CreateSubFolders(void);
// The copy loop over every disk with its panel, without the registry step.
void CopyEveryDisk(HWND page, HDC dc);
void CopyAllFiles(HWND page);

#endif
