// The mouse device: the route for the chosen kind, the device key and its
// driver class key, each overwritten value recorded first.
#include "system/system_steps.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

char MouseTypeName[MOUSE_TYPE_TEXT];

struct RouteTexts {
    const char *typeWord;
    const char *description;
    const char *infSection;
};

MouseRoute ChooseMouseRoute(int mouseKind, int ps2Found, int serialFound) {
    if (ps2Found && mouseKind == 0)
        return ROUTE_UPDATE_PS2;
    if (mouseKind != 1)
        return ROUTE_NONE;
    return serialFound ? ROUTE_UPDATE_SERIAL : ROUTE_CREATE_SERIAL;
}

int StepClassInstance(short *last, const char *name) {
    short number = (short)TextToInt(name);
    if ((int)number - (int)*last > 1)
        return 0;
    *last = number;
    return 1;
}

void FormatClassInstance(short number, char *out) {
    // wsprintfA writes at most 1024 bytes; the instance form is far shorter.
    char text[32];
    wsprintfA(text, "Mouse\\%04d", (int)number);
    CopyText(out, INSTANCE_TEXT, text);
}

int FindEnumeratedDevice(const char *pattern, char *hardwareKey) {
    HKEY list = OpenSetupKey(HKEY_DYN_DATA, ENUM_ROOT);
    if (!list)
        return 0;
    int result = 0;
    for (DWORD index = 0;; index++) {
        char name[REG_TEXT];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(list, index, name, &nameLength, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY device = OpenSetupKey(list, name);
        if (!device)
            continue;
        char value[HARDWARE_KEY_TEXT];
        ReadTextValue(device, "HardWareKey", value, sizeof value);
        RegCloseKey(device);
        // The later match wins, as the enumeration delivers them.
        if (value[0] != '\0' && FindText(value, pattern) != NULL) {
            CopyText(hardwareKey, HARDWARE_KEY_TEXT, value);
            result = 1;
        }
    }
    RegCloseKey(list);
    return result;
}

int NextMouseClassInstance(char *instance) {
    short last = -1;
    HKEY list = OpenSetupKey(HKEY_LOCAL_MACHINE, MOUSE_CLASS_LIST);
    if (list) {
        for (DWORD index = 0;; index++) {
            char name[REG_TEXT];
            DWORD nameLength = sizeof name;
            if (RegEnumKeyExA(list, index, name, &nameLength, NULL, NULL, NULL, NULL) !=
                ERROR_SUCCESS)
                break;
            if (!StepClassInstance(&last, name))
                break;
        }
        RegCloseKey(list);
    }
    FormatClassInstance((short)(last + 1), instance);
    return 1;
}

void CreateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection) {
    char path[KEY_PATH_TEXT];
    if (!JoinText(path, sizeof path, CLASS_PREFIX, instance))
        return;
    JournalKey key;
    if (!OpenJournalKey(&key, HKEY_LOCAL_MACHINE, path, 1))
        return;
    SetJournalText(&key, "DevLoader", "*vmouse");
    SetJournalText(&key, "MouseType", MouseTypeName);
    SetJournalText(&key, "MouseDriver", InstallConfig.MouseDriver);
    SetJournalText(&key, "InfPath", InstallConfig.MouseInf);
    SetJournalText(&key, "DriverDesc", driverDesc);
    SetJournalText(&key, "DriverDate", InstallConfig.DriverDate);
    SetJournalText(&key, "InfSection", infSection);
    RegCloseKey(key.Handle);
}

// Reads the old value, hands it to the record, then writes the new one.
static void ReplaceRecorded(JournalKey *key, const char *name, const char *newText) {
    char old[REG_TEXT];
    ReadTextValue(key->Handle, name, old, sizeof old);
    RecordPreviousSetting(MouseTypeName, name, old);
    SetJournalText(key, name, newText);
}

void UpdateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection) {
    char path[KEY_PATH_TEXT];
    if (!JoinText(path, sizeof path, CLASS_PREFIX, instance))
        return;
    JournalKey key;
    int open = OpenJournalKey(&key, HKEY_LOCAL_MACHINE, path, 0);
    RecordPreviousSetting(MouseTypeName, "SubKey2", path);
    if (!open) {
        CreateMouseClassKey(instance, driverDesc, infSection);
        return;
    }
    ReplaceRecorded(&key, "MouseDriver", InstallConfig.MouseDriver);
    ReplaceRecorded(&key, "InfPath", InstallConfig.MouseInf);
    ReplaceRecorded(&key, "DriverDesc", driverDesc);
    ReplaceRecorded(&key, "DriverDate", InstallConfig.DriverDate);
    ReplaceRecorded(&key, "InfSection", infSection);
    SetJournalText(&key, "MouseType", MouseTypeName);
    RegCloseKey(key.Handle);
}

DriverChoice ChooseDriver(LONG result, DWORD type, const char *value, DWORD capacity) {
    // Without a driver the class step would name the Class root itself.
    if (result == ERROR_FILE_NOT_FOUND)
        return DRIVER_NEW;
    // One that is there but can't be read whole (too long, not a text) is
    // the user's: it stays, and so does the class key it names.
    if (result != ERROR_SUCCESS || type != REG_SZ || value[capacity - 1] != '\0')
        return DRIVER_LEAVE;
    return value[0] == '\0' ? DRIVER_NEW : DRIVER_USE;
}

static void UpdateExistingDevice(const RouteTexts *route, const char *hardwareKey) {
    char path[KEY_PATH_TEXT];
    JournalKey device;
    int open = JoinText(path, sizeof path, DEVICE_PREFIX, hardwareKey) &&
               OpenJournalKey(&device, HKEY_LOCAL_MACHINE, path, 0);
    CopyText(MouseTypeName, sizeof MouseTypeName, route->typeWord);
    if (!open)
        return;
    RecordPreviousSetting(MouseTypeName, "SubKey1", path);
    ReplaceRecorded(&device, "DeviceDesc", route->description);
    ReplaceRecorded(&device, "Mfg", InstallConfig.Mfg);

    char instance[INSTANCE_TEXT];
    ZeroMemory(instance, sizeof instance);
    DWORD type = 0, length = sizeof instance;
    LONG read = RegQueryValueExA(device.Handle, "Driver", NULL, &type, (BYTE *)instance, &length);
    DriverChoice choice = ChooseDriver(read, type, instance, sizeof instance);
    if (choice == DRIVER_NEW) {
        NextMouseClassInstance(instance);
        SetJournalText(&device, "Driver", instance);
    }
    if (choice != DRIVER_LEAVE)
        UpdateMouseClassKey(instance, route->description, route->infSection);
    RegCloseKey(device.Handle);
}

static void CreateOwnSerialDevice(void) {
    static const BYTE zeroFlags[4] = {0, 0, 0, 0};
    JournalKey device;
    int open = OpenJournalKey(&device, HKEY_LOCAL_MACHINE, OWN_SERIAL_DEVICE, 1);
    CopyText(MouseTypeName, sizeof MouseTypeName, "Serial");
    if (!open)
        return;
    SetJournalText(&device, "Class", "Mouse");
    SetJournalText(&device, "DeviceDesc", InstallConfig.SeialName);
    SetJournalText(&device, "Mfg", InstallConfig.Mfg);
    SetJournalValue(&device, "ConfigFlags", REG_BINARY, zeroFlags, sizeof zeroFlags);
    SetJournalValue(&device, "DetFlags", REG_BINARY, zeroFlags, sizeof zeroFlags);
    SetJournalText(&device, "DetFunc", "*:DETECTSERIALMOUSE");
    char instance[INSTANCE_TEXT];
    NextMouseClassInstance(instance);
    SetJournalText(&device, "Driver", instance);
    CreateMouseClassKey(instance, InstallConfig.SeialName, InstallConfig.SerialInfSection);
    RegCloseKey(device.Handle);
}

void RegisterMouseDevice(void) {
    static const RouteTexts ps2Route = {"PS2", InstallConfig.PS2Name, InstallConfig.PS2InfSection};
    static const RouteTexts serialRoute = {"Serial", InstallConfig.SeialName,
                                           InstallConfig.SerialInfSection};
    char hardwareKey[HARDWARE_KEY_TEXT];
    hardwareKey[0] = '\0';

    int ps2Found = FindEnumeratedDevice(PS2_DEVICE_ID, hardwareKey);
    if (!ps2Found)
        ps2Found = FindEnumeratedDevice(PS2_ROOT_DEVICE_ID, hardwareKey);
    int serialFound = 0;
    if (!(ps2Found && MouseKind == 0))
        serialFound = FindEnumeratedDevice(SERIAL_DEVICE_ID, hardwareKey);

    switch (ChooseMouseRoute(MouseKind, ps2Found, serialFound)) {
    case ROUTE_UPDATE_PS2:
        UpdateExistingDevice(&ps2Route, hardwareKey);
        break;
    case ROUTE_UPDATE_SERIAL:
        UpdateExistingDevice(&serialRoute, hardwareKey);
        break;
    case ROUTE_CREATE_SERIAL:
        CreateOwnSerialDevice();
        break;
    case ROUTE_NONE:
        break;
    }
}
