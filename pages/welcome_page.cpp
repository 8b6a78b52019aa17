// The welcome page: Next or Cancel. Its Back button is disabled in the
// template and nothing here enables it.
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

LRESULT CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_PAGE_INIT:
        PutProductName(page, IDC_WELCOME_TEXT);
        break;
    case WM_COMMAND:
        // The whole wParam: a click (notification 0) on the button.
        if (wParam == IDC_NEXT || wParam == IDC_CANCEL) {
            EndPage(page, wParam == IDC_NEXT ? 1 : 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return PageDefaultProc(page, message, wParam, lParam);
}
