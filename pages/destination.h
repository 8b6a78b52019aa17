// The destination page's Next check and its folder chooser, for the page and
// its tests.
#ifndef SETUP_PAGES_DESTINATION_H
#define SETUP_PAGES_DESTINATION_H

#include "script/script.h"

// Posted by the chooser's hook to itself after the dialog has moved.
#define WM_BROWSE_REFRESH (WM_USER + 101)

// Capacity of the file buffer handed to the open-file dialog: the dialog
// writes the full path of the dummy file there and fails OK when it does
// not fit, so it must hold the longest folder path plus the name.
#define BROWSE_FILE_TEXT (MAX_PATH + 16)

// What the destination check needs of the system. The page uses the
// platform set; tests put their own answers in place of the message boxes.
struct DestinationOps {
    int (*FolderExists)(const char *path);
    // Shows string textId with the box type given; returns the answer.
    int (*Message)(HWND owner, short textId, UINT type);
    // Free kilobytes of a drive root; 0 when the query failed.
    int (*FreeKilobytes)(const char *root, unsigned long long *kilobytes);
    int (*CreateFolder)(const char *path);
};

extern const DestinationOps PlatformDestinationOps;

// The root "X:\" whose free space is asked: the first character upper-cased
// (ASCII letters only), then ":\".
void DestinationRoot(const char *path, char *root);
// 1 when the text starts with a character, ":" and "\".
int HasDrivePathForm(const char *path);
// Free space in kilobytes from the three factors, without wrapping at 4 GiB.
unsigned long long FreeSpaceKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector,
                                      DWORD freeClusters);
// 1 when free kilobytes meet the script's minimum; a negative minimum
// (a value over 32767 in the script) is met by no drive.
int SpaceSuffices(unsigned long long freeKilobytes, short minimumSpace);

// The Next check on InstallConfig.DefaultPath: form, existence question,
// free space, creation. 1 accepted (the folder exists now), 0 refused.
int AcceptDestination(HWND page, const DestinationOps *ops);

// The folder chooser behind "Browse...".
extern char BrowseBuffer[PATH_TEXT];
void BrowseForFolder(HWND owner);
UINT_PTR CALLBACK BrowseHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
