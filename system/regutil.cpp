// The registry helpers of the registry steps: keys made non-volatile, texts
// read back whole or not at all.
#include "system/system_steps.h"

SetValueProc RegistrySetValue = RegSetValueExA;

HKEY CreateSetupKey(HKEY root, const char *path) {
    HKEY key = 0;
    DWORD disposition;
    if (RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                        &disposition) != ERROR_SUCCESS)
        return 0;
    return key;
}

HKEY OpenSetupKey(HKEY root, const char *path) {
    HKEY key = 0;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    return key;
}

void ReadTextValue(HKEY key, const char *name, char *buffer, DWORD capacity) {
    ZeroMemory(buffer, capacity);
    DWORD type = 0;
    DWORD length = capacity;
    LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE *)buffer, &length);
    // A value that did not fit whole is not handed on cut: it counts as unreadable.
    if (result != ERROR_SUCCESS || buffer[capacity - 1] != '\0')
        ZeroMemory(buffer, capacity);
}
