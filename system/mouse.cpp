#include "system/system.h"
#include "shell/runtime.h"

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

int JoinKeyPath(char *out, int capacity, const char *prefix, const char *tail) {
    return CopyText(out, capacity, prefix) && AppendText(out, capacity, tail);
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
    if (!JoinKeyPath(path, sizeof path, CLASS_PREFIX, instance))
        return;
    HKEY key = CreateSetupKey(HKEY_LOCAL_MACHINE, path);
    if (!key)
        return;
    WriteTextValue(key, "DevLoader", "*vmouse");
    WriteTextValue(key, "MouseType", MouseTypeName);
    WriteTextValue(key, "MouseDriver", InstallConfig.MouseDriver);
    WriteTextValue(key, "InfPath", InstallConfig.MouseInf);
    WriteTextValue(key, "DriverDesc", driverDesc);
    WriteTextValue(key, "DriverDate", InstallConfig.DriverDate);
    WriteTextValue(key, "InfSection", infSection);
    RegCloseKey(key);
}

// Reads the old value, hands it to the record, then writes the new one.
static void ReplaceRecorded(HKEY key, const char *name, const char *newText) {
    char old[REG_TEXT];
    ReadTextValue(key, name, old, sizeof old);
    RecordPreviousSetting(MouseTypeName, name, old);
    WriteTextValue(key, name, newText);
}

void UpdateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection) {
    char path[KEY_PATH_TEXT];
    if (!JoinKeyPath(path, sizeof path, CLASS_PREFIX, instance))
        return;
    HKEY key = OpenSetupKey(HKEY_LOCAL_MACHINE, path);
    RecordPreviousSetting(MouseTypeName, "SubKey2", path);
    if (!key) {
        CreateMouseClassKey(instance, driverDesc, infSection);
        return;
    }
    ReplaceRecorded(key, "MouseDriver", InstallConfig.MouseDriver);
    ReplaceRecorded(key, "InfPath", InstallConfig.MouseInf);
    ReplaceRecorded(key, "DriverDesc", driverDesc);
    ReplaceRecorded(key, "DriverDate", InstallConfig.DriverDate);
    ReplaceRecorded(key, "InfSection", infSection);
    WriteTextValue(key, "MouseType", MouseTypeName);
    RegCloseKey(key);
}

static void UpdateExistingDevice(const RouteTexts *route, const char *hardwareKey) {
    char path[KEY_PATH_TEXT];
    HKEY device = 0;
    if (JoinKeyPath(path, sizeof path, DEVICE_PREFIX, hardwareKey))
        device = OpenSetupKey(HKEY_LOCAL_MACHINE, path);
    CopyText(MouseTypeName, sizeof MouseTypeName, route->typeWord);
    if (!device)
        return;
    RecordPreviousSetting(MouseTypeName, "SubKey1", path);
    ReplaceRecorded(device, "DeviceDesc", route->description);
    ReplaceRecorded(device, "Mfg", InstallConfig.Mfg);

    char instance[INSTANCE_TEXT];
    ReadTextValue(device, "Driver", instance, sizeof instance);
    if (instance[0] == '\0') {
        // Without a driver the class step would name the Class root itself:
        // give the device an instance of its own.
        NextMouseClassInstance(instance);
        WriteTextValue(device, "Driver", instance);
    }
    UpdateMouseClassKey(instance, route->description, route->infSection);
    RegCloseKey(device);
}

static void CreateOwnSerialDevice(void) {
    static const BYTE zeroFlags[4] = {0, 0, 0, 0};
    HKEY device = CreateSetupKey(HKEY_LOCAL_MACHINE, OWN_SERIAL_DEVICE);
    CopyText(MouseTypeName, sizeof MouseTypeName, "Serial");
    if (!device)
        return;
    WriteTextValue(device, "Class", "Mouse");
    WriteTextValue(device, "DeviceDesc", InstallConfig.SeialName);
    WriteTextValue(device, "Mfg", InstallConfig.Mfg);
    RegistrySetValue(device, "ConfigFlags", 0, REG_BINARY, zeroFlags, sizeof zeroFlags);
    RegistrySetValue(device, "DetFlags", 0, REG_BINARY, zeroFlags, sizeof zeroFlags);
    WriteTextValue(device, "DetFunc", "*:DETECTSERIALMOUSE");
    char instance[INSTANCE_TEXT];
    NextMouseClassInstance(instance);
    WriteTextValue(device, "Driver", instance);
    CreateMouseClassKey(instance, InstallConfig.SeialName, InstallConfig.SerialInfSection);
    RegCloseKey(device);
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
