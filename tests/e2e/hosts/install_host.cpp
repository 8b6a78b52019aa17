// The copy page in a real window for the end-to-end tests: the script beside
// this program is loaded as the setup loads its own, the destination is
// the one given, and the page runs through the page host over the backdrop.
//
//   install_host DESTINATION RESULTFILE
// Writes "result R" (the page's result) to RESULTFILE when the page is done.
#include <stdio.h>
#include <stdlib.h>

#include "resources/resource_ids.h"
#include "shell/setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    if (__argc != 3)
        return 2;
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    GetWindowsDirectoryA(InstallConfig.WindowsDir, sizeof InstallConfig.WindowsDir);
    if (!LoadSetupScript())
        return 3;
    if (!CopyText(InstallConfig.DefaultPath, sizeof InstallConfig.DefaultPath, __argv[1]))
        return 2;
    // The destination page would have made it.
    CreateDirectoryA(InstallConfig.DefaultPath, NULL);
    if (!CreateBackdrop())
        return 4;
    short result = RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALL);
    FILE *out = fopen(__argv[2], "w");
    if (out) {
        fprintf(out, "result %d\n", result);
        fclose(out);
    }
    DestroyWindow(BackdropWindow);
    FreeInstallTables();
    return 0;
}
