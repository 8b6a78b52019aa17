// The copy page: all of its work runs inside WM_PAGE_INIT.
#include "shell/setup.h"

LRESULT CALLBACK InstallPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (wParam == 1) {
            PageResult = 0;
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
