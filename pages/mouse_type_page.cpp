// The mouse-type page: serial or PS/2. The choice is stored at the click so
// that it survives Back without reading the buttons again.
#include "shell/setup.h"
#include "resources/resource_ids.h"

static void ClosePage(HWND page) {
    SendMessageA(page, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MouseTypePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAGE_INIT:
        CheckRadioButton(page, 1034, 1035, MouseKind != 0 ? 1034 : 1035);
        EnableWindow(GetDlgItem(page, 3), MouseBackEnabled);
        break;
    case WM_COMMAND:
        switch (wParam) {
        case 1034:
            MouseKind = 1;
            break;
        case 1035:
            MouseKind = 0;
            break;
        case 1:
            PageResult = 1;
            ClosePage(page);
            return 0;
        case 2:
            PageResult = 0;
            ShowCancelNotice(page);
            ClosePage(page);
            return 0;
        case 3:
            PageResult = 2;
            ClosePage(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
