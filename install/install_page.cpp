// The copy page: it asks nothing and does all of its work inside
// WM_PAGE_INIT, before the page host's loop starts.
#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "pages/page_host.h"
#include "shell/setup.h"
#include "resources/resource_ids.h"

// A cancel destroys the page in the middle of the copy; the rest of the
// handling then runs without it, and the page host, finding the page gone
// once WM_PAGE_INIT returns, hands back the 0 without waiting for the quit
// message that the one-second wait dropped.
static void RunInstallPage(HWND page) {
    UpdateWindow(page);
    CreateSubFolders();
    PageResult = 1;
    CopyAllFiles(page);
    if (PageResult == 0)
        ShowCancelNotice(IsWindow(page) ? page : BackdropWindow);
    if (IsWindow(page))
        ClosePageWindow(page);
}

LRESULT CALLBACK InstallPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT:
        RunInstallPage(page);
        return 0;
    case WM_COMMAND:
        // The only button means Cancel here; the loop sees the 0 after the
        // file in hand.
        if (wParam == IDC_COPY_CANCEL) {
            PageResult = 0;
            ClosePageWindow(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        ReleaseCopyPageDC();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
