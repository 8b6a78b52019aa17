// The finish page: asks whether to restart now. It leaves PageResult alone,
// so the page sequence sees the copy page's result.
#include "shell/setup.h"

LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAGE_INIT:
        CheckDlgButton(page, RestartChoice != 0 ? 1032 : 1033, BST_CHECKED);
        break;
    case WM_COMMAND:
        if (wParam == 1) {
            if (IsDlgButtonChecked(page, 1033) == BST_CHECKED)
                RestartChoice = 0;
            SendMessageA(page, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
