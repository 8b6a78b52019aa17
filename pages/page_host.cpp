// Runs one page at a time as if it were modal: its class, its window from the
// template over the backdrop, WM_PAGE_INIT, then a loop until it is gone.
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

short PageResult;

void RegisterPageClass(const char *className, WNDPROC pageProc) {
    WNDCLASSA pageClass;
    ZeroMemory(&pageClass, sizeof pageClass);
    pageClass.style = CS_HREDRAW | CS_VREDRAW;
    pageClass.lpfnWndProc = pageProc;
    pageClass.cbWndExtra = DLGWINDOWEXTRA;
    pageClass.hInstance = AppInstance;
    pageClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    pageClass.hbrBackground = (HBRUSH)(COLOR_MENU + 1);
    pageClass.lpszClassName = className;
    // Fails on every showing after the first; the class from then, with the
    // same procedure, serves again.
    RegisterClassA(&pageClass);
}

// The page is already gone: serve what is queued (the backdrop's paints)
// up to its quit message, if that is still there, so that no stale quit
// ends the next page's loop.
static void ServeAfterClosedPage(void) {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

short RunPage(const char *className, WNDPROC pageProc, short templateId) {
    RegisterPageClass(className, pageProc);
    HWND page = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA((WORD)templateId), BackdropWindow,
                                   NULL, 0);
    if (!page) {
        // No page means no quit message would ever end the loop: abandon.
        PageResult = 0;
        return PageResult;
    }

    SendMessageA(page, WM_PAGE_INIT, 0, 0);

    // A page may finish inside WM_PAGE_INIT (the copy page). After a
    // cancelled copy its quit message is lost to the one-second wait, so
    // the loop would never end: a page that no longer exists is done.
    if (!IsWindow(page)) {
        ServeAfterClosedPage();
        return PageResult;
    }

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (IsDialogMessageA(page, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return PageResult;
}

void ShowCancelNotice(HWND owner) {
    char text[PAGE_TEXT];
    CopyText(text, sizeof text, InstallConfig.ProductName);
    const char *tail = ResourceText(IDS_NOT_COMPLETED);
    if (tail)
        AppendText(text, sizeof text, tail);
    MessageBoxA(owner, text, InstallConfig.Caption, MB_OK | MB_ICONWARNING);
}
