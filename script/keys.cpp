// The keys of the script that the loader reads, in the order it reads them,
// each with the field it fills, its width and its default: one table for the
// loader and for the media check, which must read the script the same way.
#include "script/script.h"
#include "runtime/runtime.h"

#define TEXT_KEY(section, key, field, fallback)                                                    \
    { section, key, NULL, KEY_TEXT, InstallConfig.field, sizeof InstallConfig.field, fallback, 0 }
#define LABEL(i) TEXT_KEY(IDS_SECTION_DISK_LABEL, IDS_DISK1 + i, DiskTable.DiskLabels[i], "")
#define DIRECTORY(i) TEXT_KEY(IDS_SECTION_DIRECTORY_NAME, IDS_ROOT_DIR + i, DirectoryTable[i], "")
#define COUNT(i)                                                                                   \
    {                                                                                              \
        IDS_SECTION_FILE_COUNTS, IDS_DISK1 + i, NULL, KEY_COUNT,                                   \
            &InstallConfig.DiskTable.FileCounts[i], 0, NULL, i                                     \
    }

const ScriptKey ScriptKeys[] = {
    TEXT_KEY(IDS_SECTION_MAIN, IDS_KEY_DEFAULT_PATH, DefaultPath, "C:\\VELOR"),
    {IDS_SECTION_MAIN, IDS_KEY_MINIMUM_SPACE, NULL, KEY_SHORT, &InstallConfig.MinimumSpace, 0, NULL,
     1024},
    TEXT_KEY(IDS_SECTION_MAIN, IDS_KEY_GROUP_NAME, GroupName, "VELOR.GRP"),
    TEXT_KEY(IDS_SECTION_MAIN, IDS_KEY_GROUP_TITLE, GroupTitle, "VELOR"),
    TEXT_KEY(IDS_SECTION_MAIN, IDS_KEY_PRODUCT_NAME, ProductName, DEFAULT_PRODUCT_NAME),
    {IDS_SECTION_MAIN, 0, "OEM", KEY_INT, &InstallConfig.OEM, 0, NULL, 0},
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_FILE_NAME, FileName, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_TITLE, Title, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_MFG, Mfg, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_MOUSE_DRIVER, MouseDriver, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_MOUSE_INF, MouseInf, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_DRIVER_DATE, DriverDate, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_PS2_INF_SECTION, PS2InfSection, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_SERIAL_INF_SECTION, SerialInfSection, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_PS2_NAME, PS2Name, ""),
    TEXT_KEY(IDS_SECTION_STARTUP, IDS_KEY_SERIAL_NAME, SeialName, ""),
    DIRECTORY(0),
    DIRECTORY(1),
    DIRECTORY(2),
    DIRECTORY(3),
    DIRECTORY(4),
    DIRECTORY(5),
    DIRECTORY(6),
    DIRECTORY(7),
    DIRECTORY(8),
    DIRECTORY(9),
    LABEL(0),
    LABEL(1),
    LABEL(2),
    LABEL(3),
    LABEL(4),
    LABEL(5),
    COUNT(0),
    COUNT(1),
    COUNT(2),
    COUNT(3),
    COUNT(4),
    COUNT(5),
};
const int ScriptKeyCount = sizeof ScriptKeys / sizeof ScriptKeys[0];

const char *ScriptKeyName(const ScriptKey *key) {
    if (key->Key == 0)
        return key->Literal;
    // A missing string-table text must not turn a key read into a listing of
    // every key of the section.
    const char *name = ResourceText(key->Key);
    return name != NULL ? name : "";
}

int CountFits(int count, int *total) {
    // A count that does not fit 16 bits, or a sum that wraps them, would
    // allocate a table of the wrong size.
    if (count < 0 || count >= COUNT_LIMIT)
        return 0;
    *total += count;
    return *total < COUNT_LIMIT;
}
