// Runs the registry step or the system.ini patch of the product, for the
// system end-to-end tests.
//
//   system_host install KIND        script beside the program; UpdateRegistry(1)
//   system_host reregister KIND     destination := own folder; UpdateRegistry(0)
//   system_host patch WINDIR SYSDIR PatchSystemIniIn; exit 0 only on success
// KIND: 0 PS/2, 1 serial. Exit 2 on bad usage or a script that won't load.
#include <stdlib.h>
#include <string.h>

#include "system/system.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    if (__argc == 4 && strcmp(__argv[1], "patch") == 0)
        return PatchSystemIniIn(__argv[2], __argv[3]) == 0 ? 0 : 1;
    if (__argc != 3)
        return 2;
    int reregister = strcmp(__argv[1], "reregister") == 0;
    if (!reregister && strcmp(__argv[1], "install") != 0)
        return 2;
    GetWindowsDirectoryA(InstallConfig.WindowsDir, PATH_TEXT);
    if (!LoadSetupScript())
        return 2;
    MouseKind = atoi(__argv[2]);
    if (reregister)
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, InstallConfig.SourceRoot);
    UpdateRegistry(reregister ? 0 : 1);
    FreeInstallTables();
    return 0;
}
