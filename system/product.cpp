// The product's entries: the mouse property page, the startup entry and the
// uninstall entry, each pointing into the destination folder.
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

#define PAGE_CLASS_ID "{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}"
#define HANDLER_NAME "ZKMousePage"
#define HANDLER_LIST                                                                               \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\"              \
    "PropertySheetHandlers"

// One key of the table: created (or opened) and written, every change noted.
static void WriteEntry(HKEY root, const char *path, const char *name, const char *text) {
    JournalKey key;
    if (!OpenJournalKey(&key, root, path, 1))
        return;
    if (text != NULL)
        SetJournalText(&key, name, text);
    RegCloseKey(key.Handle);
}

// Each path names a file of the destination; a folder too long to join whole
// is not written at all, as a cut path would name some other file.
void RegisterProduct(void) {
    char data[REG_TEXT];
    int fits;

    WriteEntry(HKEY_CLASSES_ROOT, "CLSID\\" PAGE_CLASS_ID, NULL, "ZKMouseControlPage");

    JournalKey key;
    if (OpenJournalKey(&key, HKEY_CLASSES_ROOT, "CLSID\\" PAGE_CLASS_ID "\\InProcServer32", 1)) {
        if (JoinText(data, sizeof data, InstallConfig.DefaultPath, "\\" PROPERTY_PAGE_FILE))
            SetJournalText(&key, NULL, data);
        SetJournalText(&key, "ThreadingModel", "Apartment");
        RegCloseKey(key.Handle);
    }

    WriteEntry(HKEY_LOCAL_MACHINE, HANDLER_LIST, NULL, HANDLER_NAME);
    WriteEntry(HKEY_LOCAL_MACHINE, HANDLER_LIST "\\" HANDLER_NAME, NULL, PAGE_CLASS_ID);

    fits =
        JoinText(data, sizeof data, InstallConfig.DefaultPath, "\\" APPLICATION_FILE " -startup");
    WriteEntry(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Dorvantix",
               fits ? data : NULL);

    if (OpenJournalKey(&key, HKEY_LOCAL_MACHINE,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix", 1)) {
        CopyText(data, sizeof data, InstallConfig.Title);
        SetJournalText(&key, "DisplayName", data);
        if (JoinText(data, sizeof data, InstallConfig.DefaultPath, "\\" UNINSTALLER_FILE))
            SetJournalText(&key, "UninstallString", data);
        RegCloseKey(key.Handle);
    }
}
