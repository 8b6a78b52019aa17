// The destination page and its Next check.
#include "pages/destination.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

void DestinationRoot(const char *path, char *root) {
    char letter = path[0];
    // Only a to z: bytes of other code pages must not be folded.
    if (letter >= 'a' && letter <= 'z')
        letter = (char)(letter - 'a' + 'A');
    root[0] = letter;
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
}

int HasDrivePathForm(const char *path) {
    // Look at each byte only while the text lasts: the field's buffer may
    // still hold an older, longer text behind the terminator.
    if (path[0] == '\0' || path[1] != ':')
        return 0;
    return path[2] == '\\';
}

unsigned long long FreeSpaceKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector,
                                      DWORD freeClusters) {
    unsigned long long bytes = (unsigned long long)freeClusters * bytesPerSector;
    return (bytes * sectorsPerCluster) >> 10;
}

int SpaceSuffices(unsigned long long freeKilobytes, short minimumSpace) {
    if (minimumSpace < 0)
        return 0;
    return freeKilobytes >= (unsigned long long)minimumSpace;
}

static int PlatformMessage(HWND owner, short textId, UINT type) {
    return MessageBoxA(owner, ResourceText(textId), InstallConfig.Caption, type);
}

static int PlatformFreeKilobytes(const char *root, unsigned long long *kilobytes) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return 0;
    *kilobytes = FreeSpaceKilobytes(sectorsPerCluster, bytesPerSector, freeClusters);
    return 1;
}

static int PlatformCreateFolder(const char *path) {
    return CreateDirectoryA(path, NULL) != 0;
}

const DestinationOps PlatformDestinationOps = {IsDirectory, PlatformMessage, PlatformFreeKilobytes,
                                               PlatformCreateFolder};

int AcceptDestination(HWND page, const DestinationOps *ops) {
    const char *path = InstallConfig.DefaultPath;
    char root[4];
    DestinationRoot(path, root);
    if (!HasDrivePathForm(path)) {
        ops->Message(page, IDS_CANNOT_CREATE_DIR, MB_OK | MB_ICONWARNING);
        return 0;
    }
    int existed = ops->FolderExists(path);
    if (existed && ops->Message(page, IDS_DIR_EXISTS, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL)
        return 0;
    // A drive that cannot tell its free space (no such drive, no medium)
    // cannot take the product either.
    unsigned long long freeKilobytes = 0;
    if (!ops->FreeKilobytes(root, &freeKilobytes)) {
        ops->Message(page, IDS_CANNOT_CREATE_DIR, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (!SpaceSuffices(freeKilobytes, InstallConfig.MinimumSpace)) {
        ops->Message(page, IDS_NO_FREE_SPACE, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (!existed && !ops->CreateFolder(path)) {
        ops->Message(page, IDS_CANNOT_CREATE_DIR, MB_OK | MB_ICONWARNING);
        return 0;
    }
    return 1;
}

LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT:
        PutProductName(page, IDC_HEADING);
        SetDlgItemTextA(page, IDC_FOLDER, InstallConfig.DefaultPath);
        break;
    case WM_COMMAND:
        switch (wParam) {
        case IDC_NEXT:
            // Stays 1 while the page remains open after a refusal.
            PageResult = 1;
            GetDlgItemTextA(page, IDC_FOLDER, InstallConfig.DefaultPath, PATH_TEXT);
            if (AcceptDestination(page, &PlatformDestinationOps))
                ClosePageWindow(page);
            return 0;
        case IDC_CANCEL:
            EndPage(page, 0);
            return 0;
        case IDC_BACK:
            // Back tests nothing: the folder is checked only on the way forward.
            EndPage(page, 2);
            return 0;
        case IDC_BROWSE:
            BrowseForFolder(page);
            SetDlgItemTextA(page, IDC_FOLDER, InstallConfig.DefaultPath);
            break;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return PageDefaultProc(page, message, wParam, lParam);
}
