// The backdrop and the page host in a real window for the end-to-end tests:
// the welcome page of the product and a second page of the test's own
// (template 108 with a small page procedure), walked as the entry walks
// them, so Back gives each page a second showing.
//
//   backdrop_host OEM LOGFILE
// Each showing appends "CLASS showing N result R" to LOGFILE.
#include <stdio.h>
#include <stdlib.h>

#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

static const char SecondClass[] = "SETUP_SELMOUSE";

LRESULT CALLBACK SecondPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_COMMAND:
        if (wParam == IDC_NEXT || wParam == IDC_BACK) {
            PageResult = wParam == IDC_NEXT ? 1 : 2;
            ClosePageWindow(page);
            return 0;
        }
        if (wParam == IDC_CANCEL) {
            PageResult = 0;
            ShowCancelNotice(page);
            ClosePageWindow(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

static void Log(const char *path, const char *className, int showing, short result) {
    FILE *log = fopen(path, "a");
    if (!log)
        return;
    fprintf(log, "%s showing %d result %d\n", className, showing, result);
    fclose(log);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 3)
        return 2;
    AppInstance = instance;
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, "Velor Scroll Mouse");
    CopyText(InstallConfig.Caption, sizeof InstallConfig.Caption,
             "Velor Scroll Mouse Setup Program");
    InstallConfig.OEM = atoi(__argv[1]);
    const char *logPath = __argv[2];
    if (!CreateBackdrop())
        return 3;

    int welcomeShowings = 0, secondShowings = 0;
    int onWelcome = 1;
    for (;;) {
        short result;
        if (onWelcome) {
            result = RunPage("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME);
            Log(logPath, "SETUP_BEGIN", ++welcomeShowings, result);
            if (result == 0)
                break;
            onWelcome = 0;
        } else {
            result = RunPage(SecondClass, SecondPageProc, IDD_MOUSE_TYPE);
            Log(logPath, SecondClass, ++secondShowings, result);
            if (result != 2)
                break;
            onWelcome = 1;
        }
    }
    DestroyWindow(BackdropWindow);
    return 0;
}
