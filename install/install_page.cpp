// The copy page: it asks nothing and does all of its work inside
// WM_PAGE_INIT, before the page host's loop starts.
#include "install/copy_engine.h"

// Set when the page's window has been destroyed, which a cancel does in the
// middle of the copy.
static int PageDestroyed;

static void RunInstallPage(HWND page) {
    PageDestroyed = 0;
    UpdateWindow(page);
    CreateSubFolders();
    PageResult = 1;
    CopyAllFiles(page);
    if (PageResult == 0)
        ShowCancelNotice(IsWindow(page) ? page : BackdropWindow);
    if (!PageDestroyed)
        SendMessageA(page, WM_CLOSE, 0, 0);
    else
        // The page posted its quit message when the cancel closed it, and
        // the one-second wait dropped it: post it again so the host's loop
        // ends and hands back the 0.
        PostQuitMessage(0);
}

LRESULT CALLBACK InstallPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAGE_INIT:
        RunInstallPage(page);
        return 0;
    case WM_COMMAND:
        // The only button, 1, means Cancel here; the loop sees the 0 after
        // the file in hand.
        if (wParam == INSTALL_CANCEL_BUTTON) {
            PageResult = 0;
            SendMessageA(page, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        PageDestroyed = 1;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
