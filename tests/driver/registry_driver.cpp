// Registry reads and writes for the tests, and the one seeding of the
// Windows 98 mouse machine that the unit and end-to-end tests share.
#include "driver/driver.h"

bool SetRegText(HKEY root, const std::string &path, const char *name, const std::string &text) {
    HKEY key;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text.c_str(),
                                (DWORD)text.size() + 1);
        RegCloseKey(key);
    }
    return status == ERROR_SUCCESS;
}

RegValues ReadRegValues(HKEY root, const std::string &path) {
    RegValues values;
    HKEY key;
    char name[256];
    BYTE data[1024];
    DWORD i = 0, type, length = sizeof name, size = sizeof data;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (; RegEnumValueA(key, i++, name, &length, NULL, &type, data, &size) == ERROR_SUCCESS;
         length = sizeof name, size = sizeof data) {
        std::string text = "<type " + std::to_string(type) + ":";
        for (DWORD b = 0; b < size; b++)
            text += " " + std::to_string(data[b]);
        values[name] = type == REG_SZ ? std::string((const char *)data, size).c_str() : text + ">";
    }
    RegCloseKey(key);
    return values;
}

std::vector<std::string> RegSubkeys(HKEY root, const std::string &path) {
    std::vector<std::string> names;
    HKEY key;
    char name[256];
    DWORD i = 0, length = sizeof name;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (; RegEnumKeyExA(key, i++, name, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
         length = sizeof name)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

void ReadRegTree(RegTree &tree, HKEY root, const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    RegCloseKey(key);
    tree[path] = ReadRegValues(root, path);
    for (const std::string &child : RegSubkeys(root, path))
        ReadRegTree(tree, root, path + "\\" + child);
}

void DeleteRegTree(HKEY root, const std::string &path) {
    for (const std::string &child : RegSubkeys(root, path))
        DeleteRegTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

const MouseMachine BothMice = {
    {"BIOS\\*PNP0F13\\0000", "ROOT\\*PNP0F0C\\0000"},
    {{"Enum\\BIOS\\*PNP0F13\\0000", "Standard PS/2 Port Mouse", "Mouse\\0000"},
     {"Enum\\ROOT\\*PNP0F0C\\0000", "Standard Serial Mouse", "Mouse\\0001"}},
    {{"0000", "Standard PS/2 Port Mouse", "PS2_Inst"},
     {"0001", "Standard Serial Mouse", "SerialMouse"}}};
const MouseMachine Ps2Mouse = {{BothMice.active[0]}, {BothMice.devices[0]}, {BothMice.classes[0]}};

RegValues SeededDeviceValues(const char *desc, const char *driver) {
    RegValues values = {
        {"Class", "Mouse"}, {"DeviceDesc", desc}, {"Mfg", "(Standard mouse types)"}};
    if (driver)
        values["Driver"] = driver;
    return values;
}

RegValues SeededClassValues(const char *desc, const char *section) {
    return {{"DevLoader", "*vmouse"}, {"MouseDriver", "mouse.drv"}, {"InfPath", "MSMOUSE.INF"},
            {"DriverDesc", desc},     {"DriverDate", "4-23-1999"},  {"InfSection", section}};
}

bool SeedMouseMachine(const MouseMachine &machine, bool listOnly) {
    const std::string list = "Config Manager\\Enum\\",
                      classes = "System\\CurrentControlSet\\Services\\Class";
    DeleteRegTree(HKEY_DYN_DATA, list.substr(0, list.size() - 1));
    if (!listOnly)
        DeleteRegTree(HKEY_LOCAL_MACHINE, "Enum"), DeleteRegTree(HKEY_LOCAL_MACHINE, classes);
    // The list is enumerated by name: C0000010, C0000020... keep the machine's order.
    RegTree keys = {
        {list + "C1000000", {{"Problem", "0"}}},
        {list + "C1038E40", {{"HardWareKey", "BIOS\\*PNP0303\\0000"}}},
        {"Enum\\BIOS\\*PNP0303\\0000", {{"DeviceDesc", "Standard 101/102-Key Keyboard"}}}};
    char name[16];
    for (size_t i = 0; i < machine.active.size(); i++)
        keys[list + (wsprintfA(name, "C%07d", (int)(i + 1) * 10), name)] = {
            {"HardWareKey", machine.active[i]}};
    for (const SeedDevice &device : machine.devices)
        keys[device.path] = SeededDeviceValues(device.desc, device.driver);
    for (const SeedInstance &instance : machine.classes)
        keys[classes + "\\Mouse\\" + instance.name] =
            SeededClassValues(instance.desc, instance.section);
    bool ok = true; // the device list lives under HKEY_DYN_DATA, the rest under HKLM
    for (const auto &key : keys) {
        bool dynamic = key.first.compare(0, 6, "Config") == 0;
        for (const auto &value : key.second)
            if (dynamic || !listOnly)
                ok = SetRegText(dynamic ? HKEY_DYN_DATA : HKEY_LOCAL_MACHINE, key.first,
                                value.first.c_str(), value.second) &&
                     ok;
    }
    return ok;
}
