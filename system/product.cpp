#include "system/system.h"

#define PAGE_CLASS_ID "{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}"
#define HANDLER_NAME "ZKMousePage"
#define HANDLER_LIST                                                                               \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\"              \
    "PropertySheetHandlers"

// Destination folder + suffix. A folder too long to join whole is not
// written at all: a cut path would name some other file.
static int DestinationText(char *out, int capacity, const char *suffix) {
    return CopyText(out, capacity, InstallConfig.DefaultPath) && AppendText(out, capacity, suffix);
}

void RegisterProduct(void) {
    char data[REG_TEXT];
    HKEY key;

    key = CreateSetupKey(HKEY_CLASSES_ROOT, "CLSID\\" PAGE_CLASS_ID);
    if (key) {
        WriteTextValue(key, NULL, "ZKMouseControlPage");
        RegCloseKey(key);
    }

    key = CreateSetupKey(HKEY_CLASSES_ROOT, "CLSID\\" PAGE_CLASS_ID "\\InProcServer32");
    if (key) {
        if (DestinationText(data, sizeof data, "\\ZKPAGE.DLL"))
            WriteTextValue(key, NULL, data);
        WriteTextValue(key, "ThreadingModel", "Apartment");
        RegCloseKey(key);
    }

    key = CreateSetupKey(HKEY_LOCAL_MACHINE, HANDLER_LIST);
    if (key) {
        WriteTextValue(key, NULL, HANDLER_NAME);
        RegCloseKey(key);
    }

    key = CreateSetupKey(HKEY_LOCAL_MACHINE, HANDLER_LIST "\\" HANDLER_NAME);
    if (key) {
        WriteTextValue(key, NULL, PAGE_CLASS_ID);
        RegCloseKey(key);
    }

    key = CreateSetupKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    if (key) {
        if (DestinationText(data, sizeof data, "\\ZKMAIN.EXE -startup"))
            WriteTextValue(key, "Dorvantix", data);
        RegCloseKey(key);
    }

    key = CreateSetupKey(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix");
    if (key) {
        CopyText(data, sizeof data, InstallConfig.Title);
        WriteTextValue(key, "DisplayName", data);
        if (DestinationText(data, sizeof data, "\\UNINSTAL.EXE"))
            WriteTextValue(key, "UninstallString", data);
        RegCloseKey(key);
    }
}
