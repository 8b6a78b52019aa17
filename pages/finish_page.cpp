// The finish page: asks whether to restart now. It leaves PageResult alone,
// so the page sequence sees the copy page's result.
#include "shell/setup.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"

LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // The screen may have changed since the start: ask it afresh.
        ShowPageFrame(page, (short)GetSystemMetrics(SM_CXSCREEN),
                      (short)GetSystemMetrics(SM_CYSCREEN));
        return 0;
    case WM_PAGE_INIT:
        PutProductName(page, IDC_HEADING);
        CheckDlgButton(page, RestartChoice != 0 ? IDC_RESTART_NOW : IDC_RESTART_LATER, BST_CHECKED);
        break;
    case WM_COMMAND:
        if (wParam == IDC_FINISH) {
            if (IsDlgButtonChecked(page, IDC_RESTART_LATER) == BST_CHECKED)
                RestartChoice = 0;
            ClosePageWindow(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return PageDefaultProc(page, message, wParam, lParam);
}
