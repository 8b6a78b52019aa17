// The mouse-type page: serial or PS/2. The choice is stored at the click so
// that it survives Back without reading the buttons again.
#include "shell/setup.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"

LRESULT CALLBACK MouseTypePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT:
        CheckRadioButton(page, IDC_SERIAL_MOUSE, IDC_PS2_MOUSE,
                         MouseKind != 0 ? IDC_SERIAL_MOUSE : IDC_PS2_MOUSE);
        // Off in the re-registration run, where there is no page before.
        EnableWindow(GetDlgItem(page, IDC_BACK), MouseBackEnabled);
        break;
    case WM_COMMAND:
        switch (wParam) {
        case IDC_SERIAL_MOUSE:
            MouseKind = 1;
            break;
        case IDC_PS2_MOUSE:
            MouseKind = 0;
            break;
        case IDC_NEXT:
            EndPage(page, 1);
            return 0;
        case IDC_CANCEL:
            EndPage(page, 0);
            return 0;
        case IDC_BACK:
            EndPage(page, 2);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return PageDefaultProc(page, message, wParam, lParam);
}
