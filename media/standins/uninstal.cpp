// The uninstaller named by the uninstall entry. It takes the product's
// Run entry and its own uninstall entry away after the user agrees; the
// files and the mouse driver settings are left to the user.
#include <windows.h>

static const char RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char UninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix";

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (MessageBoxA(NULL,
                    "Remove Dorvantix from the startup list and from the list of installed "
                    "programs?",
                    "Dorvantix Uninstall", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return 1;
    HWND running = FindWindowA(NULL, "Dorvantix");
    if (running != NULL)
        SendMessageA(running, WM_CLOSE, 0, 0);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Dorvantix");
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey);
    MessageBoxA(NULL, "Dorvantix has been removed from the startup list.", "Dorvantix Uninstall",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
