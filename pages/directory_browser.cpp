// The folder chooser: the old-style open-file dialog with template 104. The
// hook mirrors the dialog's current folder into the folder field, and a dummy
// file name satisfies the hidden file-name field so OK needs no real file.
#include "pages/destination.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

#include <commdlg.h>

char BrowseBuffer[PATH_TEXT];

UINT_PTR CALLBACK BrowseHook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CopyText(BrowseBuffer, PATH_TEXT, InstallConfig.DefaultPath);
        PostMessageA(dialog, WM_PAGE_INIT, 0, 0);
        break;
    case WM_PAGE_INIT: {
        HWND field = GetDlgItem(dialog, IDC_BROWSE_FOLDER);
        SetWindowTextA(field, BrowseBuffer);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, (LPARAM)0xFFFF0000);
        break;
    }
    case WM_COMMAND: {
        WORD control = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        if (control == IDC_BROWSE_OK)
            GetDlgItemTextA(dialog, IDC_BROWSE_FOLDER, BrowseBuffer, PATH_TEXT);
        else if ((control == IDC_BROWSE_FOLDER_LIST &&
                  (code == LBN_SELCHANGE || code == LBN_DBLCLK)) ||
                 (control == IDC_BROWSE_DRIVES && code == CBN_SELCHANGE))
            // Posted, so it is handled after the dialog has changed folder.
            PostMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
        break;
    }
    case WM_BROWSE_REFRESH: {
        // A folder too long for the buffer leaves the previous text.
        char current[MAX_PATH];
        if (CurrentFolder(current, sizeof current) != NULL && lstrlenA(current) < PATH_TEXT)
            CopyText(BrowseBuffer, PATH_TEXT, current);
        SetDlgItemTextA(dialog, IDC_BROWSE_FOLDER, BrowseBuffer);
        break;
    }
    }
    return 0;
}

void BrowseForFolder(HWND owner) {
    // Not every platform dialog puts the current folder back on closing
    // although asked to: keep it here and restore it ourselves.
    char currentFolder[MAX_PATH];
    DWORD kept = GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    char fileName[BROWSE_FILE_TEXT];
    CopyText(fileName, sizeof fileName, "12345678.ABC");
    OPENFILENAMEA chooser;
    ZeroMemory(&chooser, sizeof chooser);
    // The size the Windows 95 dialog knows, without the later fields.
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = owner;
    chooser.hInstance = AppInstance;
    chooser.lpstrFile = fileName;
    chooser.nMaxFile = sizeof fileName;
    chooser.lpstrInitialDir = "C:\\";
    // The template's own caption; without a title the dialog puts its own.
    chooser.lpstrTitle = "Browse Directory";
    chooser.Flags =
        OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_NOVALIDATE;
    chooser.lpfnHook = BrowseHook;
    chooser.lpTemplateName = MAKEINTRESOURCEA(IDD_BROWSE);
    BOOL chosen = GetOpenFileNameA(&chooser);
    if (kept > 0 && kept < sizeof currentFolder)
        SetCurrentDirectoryA(currentFolder);
    if (chosen)
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, BrowseBuffer);
}
