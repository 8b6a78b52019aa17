// The destination page and its Next check.
#include "pages/destination.h"

LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAGE_INIT:
        SetDlgItemTextA(page, 1003, InstallConfig.DefaultPath);
        break;
    case WM_COMMAND:
        switch (wParam) {
        case 1:
            PageResult = 1;
            GetDlgItemTextA(page, 1003, InstallConfig.DefaultPath, PATH_TEXT);
            SendMessageA(page, WM_CLOSE, 0, 0);
            return 0;
        case 2:
            PageResult = 0;
            ShowCancelNotice(page);
            SendMessageA(page, WM_CLOSE, 0, 0);
            return 0;
        case 3:
            PageResult = 2;
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
