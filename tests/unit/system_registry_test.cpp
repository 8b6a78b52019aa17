// Registry step against the real registry of the test prefix, seeded with a
// Windows 98-like device tree: active devices under HKEY_DYN_DATA, device
// keys under HKLM Enum and their driver class keys.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/script_files.h"
#include "system/system.h"

namespace {

const char kClsidKey[] = "CLSID\\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}";
const char kHandlerList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls "
                            "Folder\\Mouse\\shellex\\PropertySheetHandlers";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix";
const char kMissing[] = "<missing>";
const HKEY HKLM = HKEY_LOCAL_MACHINE;

std::vector<std::string> Subkeys(HKEY root, const std::string &path) {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0, length = sizeof name;
         RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
         i++, length = sizeof name)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

void DeleteTree(HKEY root, const std::string &path) {
    for (const std::string &child : Subkeys(root, path))
        DeleteTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

void SetText(HKEY root, const std::string &path, const char *name, const std::string &text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(key);
}

// Every value of a key by name ("" the default): texts as they are, other
// types as "<type N: bytes...>" so both type and stored size are seen.
typedef std::map<std::string, std::string> Key;

Key Values(HKEY root, const std::string &path) {
    Key values;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    char name[256];
    BYTE data[1024];
    DWORD nameLength = sizeof name, size = sizeof data, type = 0;
    for (DWORD i = 0;
         RegEnumValueA(key, i, name, &nameLength, NULL, &type, data, &size) == ERROR_SUCCESS;
         i++, nameLength = sizeof name, size = sizeof data) {
        std::string text;
        if (type == REG_SZ) {
            text.assign((const char *)data, size);
            text = text.c_str();
        } else {
            text = "<type " + std::to_string(type) + ":";
            for (DWORD b = 0; b < size; b++)
                text += " " + std::to_string(data[b]);
            text += ">";
        }
        values[name] = text;
    }
    RegCloseKey(key);
    return values;
}

std::string Value(HKEY root, const std::string &path, const char *name) {
    Key values = Values(root, path);
    Key::const_iterator it = values.find(name ? name : "");
    return it == values.end() ? kMissing : it->second;
}

// Every value write of the product, in order, as "name type length data".
// The store adds a terminator to texts whatever length was passed, so the
// lengths are checked here, where they are handed over.
std::vector<std::string> Writes;

LONG WINAPI WatchSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data,
                          DWORD length) {
    std::string entry = name ? name : "(default)";
    entry += type == REG_SZ ? " SZ " : type == REG_BINARY ? " BINARY " : " OTHER ";
    entry += std::to_string(length) + " ";
    for (DWORD i = 0; i < length; i++)
        entry += type == REG_SZ ? std::string(1, (char)data[i]) : std::to_string(data[i]);
    Writes.push_back(entry);
    return RegSetValueExA(key, name, reserved, type, data, length);
}

typedef std::vector<std::pair<std::string, std::string>> Section;

// The section's key=value lines in file order.
Section ReadSection(const std::string &file, const char *section) {
    std::vector<char> buffer(8192, '\0');
    DWORD got =
        GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), file.c_str());
    Section lines;
    for (DWORD at = 0; at < got && buffer[at] != '\0';) {
        std::string line(&buffer[at]);
        at += (DWORD)line.size() + 1;
        size_t equals = line.find('=');
        lines.push_back(std::make_pair(line.substr(0, equals), line.substr(equals + 1)));
    }
    return lines;
}

const std::string kClassRoot = "System\\CurrentControlSet\\Services\\Class";
const std::string kMouseClass = kClassRoot + "\\Mouse";
const std::string kDynEnum = "Config Manager\\Enum";
const std::string kPs2Device = "Enum\\BIOS\\*PNP0F13\\0000";
const std::string kSerialDevice = "Enum\\ROOT\\*PNP0F0C\\0000";
const std::string kRootPs2Device = "Enum\\ROOT\\*PNP0F0E\\0000";
const std::string kOwnDevice = "Enum\\Root\\VelorMouse\\0000";
const std::string kPs2Name = "Velor PS/2 Wheel Mouse";
const std::string kSerialName = "Velor Serial Wheel Mouse";

// A device key as seeded; driver NULL leaves the Driver value out.
Key SeededDevice(const std::string &desc, const char *driver) {
    Key key = {{"Class", "Mouse"}, {"DeviceDesc", desc}, {"Mfg", "(Standard mouse types)"}};
    if (driver)
        key["Driver"] = driver;
    return key;
}

// A class instance as seeded.
Key SeededClass(const std::string &desc, const std::string &section) {
    return {{"DevLoader", "*vmouse"}, {"MouseDriver", "mouse.drv"}, {"InfPath", "MSMOUSE.INF"},
            {"DriverDesc", desc},     {"DriverDate", "4-23-1999"},  {"InfSection", section}};
}

// A class instance as this product leaves it, made or rewritten.
Key OwnClass(const std::string &type, const std::string &desc, const std::string &section) {
    return {{"DevLoader", "*vmouse"},  {"MouseType", type},  {"MouseDriver", "vmouse.drv"},
            {"InfPath", "VMOUSE.INF"}, {"DriverDesc", desc}, {"DriverDate", "10-05-1998"},
            {"InfSection", section}};
}

// A device key as this product leaves an updated one.
Key Rewritten(const std::string &desc, const char *driver) {
    return {{"Class", "Mouse"}, {"DeviceDesc", desc}, {"Mfg", "Velor Systems"}, {"Driver", driver}};
}

// The own serial device key; the flags are four zero bytes of binary.
Key OwnDevice(const char *driver) {
    const std::string flags = "<type " + std::to_string(REG_BINARY) + ": 0 0 0 0>";
    return {{"Class", "Mouse"},     {"DeviceDesc", kSerialName}, {"Mfg", "Velor Systems"},
            {"ConfigFlags", flags}, {"DetFlags", flags},         {"DetFunc", "*:DETECTSERIALMOUSE"},
            {"Driver", driver}};
}

// The record of a seeded device and its seeded class instance, in order;
// without a section only up to SubKey2 (the class key was made, not read).
Section SeededRecord(const std::string &device, const std::string &desc,
                     const std::string &instance, const std::string &section) {
    Section record = {{"SubKey1", device},
                      {"DeviceDesc", desc},
                      {"Mfg", "(Standard mouse types)"},
                      {"SubKey2", "System\\CurrentControlSet\\Services\\Class\\Mouse\\" + instance},
                      {"MouseDriver", "mouse.drv"},
                      {"InfPath", "MSMOUSE.INF"},
                      {"DriverDesc", desc},
                      {"DriverDate", "4-23-1999"},
                      {"InfSection", section}};
    record.resize(section.empty() ? 4 : 9);
    return record;
}

// Every key of the device tree and the class list by path, with its values.
typedef std::map<std::string, Key> Tree;

void AddTree(Tree &tree, const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(HKLM, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    RegCloseKey(key);
    tree[path] = Values(HKLM, path);
    for (const std::string &child : Subkeys(HKLM, path))
        AddTree(tree, path + "\\" + child);
}

Tree DeviceTree() {
    Tree tree;
    AddTree(tree, "Enum");
    AddTree(tree, kClassRoot);
    return tree;
}

// The keys whose values differ from before (kMissing for a key gone). A new
// key counts when it has values or is a leaf: the keys on the way to a new
// one are made along with it.
Tree Changes(const Tree &before) {
    Tree after = DeviceTree(), changed;
    for (Tree::const_iterator key = after.begin(); key != after.end(); ++key) {
        Tree::const_iterator old = before.find(key->first);
        Tree::const_iterator child = after.lower_bound(key->first + "\\");
        bool leaf = child == after.end() || child->first.find(key->first + "\\") != 0;
        if (old == before.end() ? !key->second.empty() || leaf : old->second != key->second)
            changed[key->first] = key->second;
    }
    for (const auto &key : before)
        if (!after.count(key.first))
            changed[key.first] = Key{{kMissing, ""}};
    return changed;
}

// A machine to seed: hardware keys of the active devices in list order,
// device keys (desc, driver; NULL leaves Driver out) and class instances.
struct Device {
    std::string path;
    const char *desc, *driver;
};
struct Instance {
    const char *name, *desc, *section;
};
struct Machine {
    std::vector<std::string> active;
    std::vector<Device> devices;
    std::vector<Instance> classes;
};

const Machine kBothMice = {{"BIOS\\*PNP0F13\\0000", "ROOT\\*PNP0F0C\\0000"},
                           {{kPs2Device, "Standard PS/2 Port Mouse", "Mouse\\0000"},
                            {kSerialDevice, "Standard Serial Mouse", "Mouse\\0001"}},
                           {{"0000", "Standard PS/2 Port Mouse", "PS2_Inst"},
                            {"0001", "Standard Serial Mouse", "SerialMouse"}}};
const Machine kPs2Only = {{"BIOS\\*PNP0F13\\0000"},
                          {{kPs2Device, "Standard PS/2 Port Mouse", "Mouse\\0000"}},
                          {{"0000", "Standard PS/2 Port Mouse", "PS2_Inst"}}};

class SystemRegistry : public ::testing::Test {
  protected:
    std::string dest;
    std::string record;

    void SetUp() override {
        CleanRegistry();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        UseDestination(std::string(temp) + "sysreg_dest");

        CopyText(InstallConfig.Title, PATH_TEXT, "Velor Wheel Mouse");
        CopyText(InstallConfig.Mfg, STARTUP_TEXT, "Velor Systems");
        CopyText(InstallConfig.MouseDriver, STARTUP_TEXT, "vmouse.drv");
        CopyText(InstallConfig.MouseInf, STARTUP_TEXT, "VMOUSE.INF");
        CopyText(InstallConfig.DriverDate, STARTUP_TEXT, "10-05-1998");
        CopyText(InstallConfig.PS2InfSection, STARTUP_TEXT, "VelorPS2");
        CopyText(InstallConfig.SerialInfSection, STARTUP_TEXT, "VelorSerial");
        CopyText(InstallConfig.PS2Name, STARTUP_TEXT, kPs2Name.c_str());
        CopyText(InstallConfig.SeialName, STARTUP_TEXT, kSerialName.c_str());
        MouseTypeName[0] = '\0';
        MouseKind = 1;
        Writes.clear();
        RegistrySetValue = WatchSetValue;
    }

    void TearDown() override {
        RegistrySetValue = RegSetValueExA;
        CleanRegistry();
        DeleteFileA(record.c_str());
        RemoveDirectoryA(dest.c_str());
    }

    // A destination folder holding a copy of the script with its own sections.
    void UseDestination(const std::string &folder) {
        dest = folder;
        CreateDirectoryA(dest.c_str(), NULL);
        record = dest + "\\SETUP.INF";
        FILE *file = fopen(record.c_str(), "wt");
        ASSERT_TRUE(file != NULL) << record;
        fputs("[Main]\nProductName=Velor\nDefaultPath=C:\\VELOR\n\n[Startup]\nMfg=Velor "
              "Systems\n",
              file);
        fclose(file);
        ASSERT_TRUE(CopyText(InstallConfig.DefaultPath, PATH_TEXT, dest.c_str()));
    }

    static void CleanRegistry() {
        // The device list itself stays, as the prefix has it.
        DeleteTree(HKEY_DYN_DATA, kDynEnum);
        HKEY list;
        if (RegCreateKeyExA(HKEY_DYN_DATA, kDynEnum.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                            &list, NULL) == ERROR_SUCCESS)
            RegCloseKey(list);
        DeleteTree(HKLM, "Enum");
        DeleteTree(HKLM, kClassRoot);
        DeleteTree(HKEY_CLASSES_ROOT, kClsidKey);
        DeleteTree(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse");
        DeleteTree(HKLM, kUninstallKey);
        HKEY run;
        if (RegOpenKeyExA(HKLM, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Dorvantix");
            RegCloseKey(run);
        }
    }

    static void Seed(HKEY root, const std::string &path, const Key &values) {
        for (const auto &value : values)
            SetText(root, path, value.first.c_str(), value.second);
    }

    static void SeedClass(const char *instance, const char *desc, const char *section) {
        Seed(HKLM, kMouseClass + "\\" + instance, SeededClass(desc, section));
    }

    // The machine, beside the boot tree and the keyboard, which no mouse
    // search may take.
    static void SeedMachine(const Machine &machine) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_DYN_DATA, (kDynEnum + "\\C1000000").c_str(),
                                                 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
        RegCloseKey(key);
        SetText(HKEY_DYN_DATA, kDynEnum + "\\C1038E40", "HardWareKey", "BIOS\\*PNP0303\\0000");
        SetText(HKLM, "Enum\\BIOS\\*PNP0303\\0000", "DeviceDesc",
                "Standard 101/102-Key or Microsoft Natural Keyboard");
        for (size_t i = 0; i < machine.active.size(); i++)
            SetText(HKEY_DYN_DATA, kDynEnum + "\\C00000" + std::to_string(i + 1) + "0",
                    "HardWareKey", machine.active[i]);
        for (const Device &device : machine.devices)
            Seed(HKLM, device.path, SeededDevice(device.desc, device.driver));
        for (const Instance &instance : machine.classes)
            SeedClass(instance.name, instance.desc, instance.section);
    }

    // Every product key, whole, for this folder and title.
    static void ExpectProductKeys(const std::string &folder, const std::string &title) {
        const std::string clsid = kClsidKey, handlers = kHandlerList;
        // clang-format off
        const struct {
            HKEY root;
            std::string path;
            Key values;
        } keys[] = {
            {HKEY_CLASSES_ROOT, clsid, {{"", "ZKMouseControlPage"}}},
            {HKEY_CLASSES_ROOT, clsid + "\\InProcServer32",
             {{"", folder + "\\ZKPAGE.DLL"}, {"ThreadingModel", "Apartment"}}},
            {HKLM, handlers, {{"", "ZKMousePage"}}},
            {HKLM, handlers + "\\ZKMousePage", {{"", "{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}"}}},
            {HKLM, kUninstallKey, {{"DisplayName", title}, {"UninstallString", folder + "\\UNINSTAL.EXE"}}},
        };
        // clang-format on
        for (const auto &key : keys)
            EXPECT_EQ(key.values, Values(key.root, key.path)) << key.path;
        EXPECT_EQ(std::vector<std::string>{"InProcServer32"}, Subkeys(HKEY_CLASSES_ROOT, clsid));
        EXPECT_EQ(std::vector<std::string>{"ZKMousePage"}, Subkeys(HKLM, handlers));
        // A text, not some other type.
        EXPECT_EQ(folder + "\\ZKMAIN.EXE -startup", Value(HKLM, kRunKey, "Dorvantix"));
    }
};

// --- product registration ---

// A first run, a rerun with an empty title into another folder, and a rerun
// into the longest folder: every run rewrites the same entries whole.
TEST_F(SystemRegistry, ProductEntriesWithTheirDataAndLengths) {
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
    RegisterProduct();
    EXPECT_EQ((std::vector<std::string>{
                  "(default) SZ 18 ZKMouseControlPage",
                  "(default) SZ 19 C:\\VELOR\\ZKPAGE.DLL",
                  "ThreadingModel SZ 9 Apartment",
                  "(default) SZ 11 ZKMousePage",
                  "(default) SZ 38 {4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}",
                  "Dorvantix SZ 28 C:\\VELOR\\ZKMAIN.EXE -startup",
                  "DisplayName SZ 17 Velor Wheel Mouse",
                  "UninstallString SZ 21 C:\\VELOR\\UNINSTAL.EXE",
              }),
              Writes);
    ExpectProductKeys("C:\\VELOR", "Velor Wheel Mouse");
    // The mouse device step is not part of it.
    EXPECT_TRUE(Subkeys(HKLM, "Enum").empty());

    InstallConfig.Title[0] = '\0';
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "D:\\MOUSE");
    RegisterProduct();
    ASSERT_EQ(16u, Writes.size());
    EXPECT_EQ("DisplayName SZ 0 ", Writes[14]);
    ExpectProductKeys("D:\\MOUSE", "");

    std::string folder = "C:\\" + std::string(76, 'L');
    ASSERT_EQ(79u, folder.size());
    CopyText(InstallConfig.Title, PATH_TEXT, "Velor Wheel Mouse");
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.c_str());
    RegisterProduct();
    ASSERT_EQ(24u, Writes.size());
    EXPECT_EQ("Dorvantix SZ 99 " + folder + "\\ZKMAIN.EXE -startup", Writes[21]);
    ExpectProductKeys(folder, "Velor Wheel Mouse");
}

// --- previous-settings record ---

TEST_F(SystemRegistry, RecordIsWriteOnceAndRefillsEmptyValues) {
    RecordPreviousSetting("PS2", "SubKey1", "Enum\\BIOS\\*PNP0F13\\0000");
    RecordPreviousSetting("PS2", "DeviceDesc", "");
    RecordPreviousSetting("PS2", "SubKey1", "Enum\\Other");
    RecordPreviousSetting("PS2", "DeviceDesc", "Standard PS/2 Port Mouse");
    RecordPreviousSetting("PS2", "DeviceDesc", kPs2Name.c_str());

    Section expected = {{"SubKey1", "Enum\\BIOS\\*PNP0F13\\0000"},
                        {"DeviceDesc", "Standard PS/2 Port Mouse"}};
    EXPECT_EQ(expected, ReadSection(record, "PS2"));
    EXPECT_STREQ("Standard PS/2 Port Mouse", ReadPreviousSetting("PS2", "DeviceDesc", ""));
    EXPECT_STREQ("none", ReadPreviousSetting("Serial", "DeviceDesc", "none"));
    // The script's own sections are left as they were.
    EXPECT_EQ((Section{{"ProductName", "Velor"}, {"DefaultPath", "C:\\VELOR"}}),
              ReadSection(record, "Main"));
}

// --- route choice ---

TEST(SystemRoute, EveryRowOfTheTable) {
    // By kind (0 PS/2, 1 serial, 2 other), then PS/2 found, then serial found.
    const MouseRoute expected[3][2][2] = {
        {{ROUTE_NONE, ROUTE_NONE}, {ROUTE_UPDATE_PS2, ROUTE_UPDATE_PS2}},
        {{ROUTE_CREATE_SERIAL, ROUTE_UPDATE_SERIAL}, {ROUTE_CREATE_SERIAL, ROUTE_UPDATE_SERIAL}},
        {{ROUTE_NONE, ROUTE_NONE}, {ROUTE_NONE, ROUTE_NONE}}};
    for (int kind = 0; kind < 3; kind++)
        for (int ps2 = 0; ps2 < 2; ps2++)
            for (int serial = 0; serial < 2; serial++)
                EXPECT_EQ(expected[kind][ps2][serial], ChooseMouseRoute(kind, ps2, serial))
                    << kind << ps2 << serial;
}

TEST(SystemRoute, ClassInstanceWalkAndForm) {
    // From last, the step over name: its result and last after.
    const struct {
        short last;
        const char *name;
        int result;
        short after;
    } steps[] = {{-1, "0000", 1, 0},
                 {0, "0001", 1, 1},
                 {1, "0003", 0, 1},
                 {-1, "Default", 1, 0}}; // no digits reads as 0
    for (const auto &step : steps) {
        short last = step.last;
        EXPECT_EQ(step.result, StepClassInstance(&last, step.name)) << step.name;
        EXPECT_EQ(step.after, last) << step.name;
    }
    char instance[INSTANCE_TEXT];
    FormatClassInstance(2, instance);
    EXPECT_STREQ("Mouse\\0002", instance);
    FormatClassInstance(12345, instance);
    EXPECT_STREQ("Mouse\\12345", instance);
}

// --- mouse device registration ---

// One route run per machine: what the searches find, the type word taken,
// the writes in order (where listed), every key that changed and the record
// (both sections empty: the file is untouched).
TEST_F(SystemRegistry, MouseRoutes) {
    const Key ps2Class = OwnClass("PS2", kPs2Name, "VelorPS2");
    const Key serialClass = OwnClass("Serial", kSerialName, "VelorSerial");
    const std::string c0 = kMouseClass + "\\0000", c1 = kMouseClass + "\\0001";
    const std::string secondPs2 = "Enum\\BIOS\\*PNP0F13\\0001";
    const char *ps2 = "BIOS\\*PNP0F13\\0000", *serial = "ROOT\\*PNP0F0C\\0000";
    // clang-format off
    const struct {
        const char *what;
        Machine machine;
        int kind;
        const char *ps2Found, *serialFound, *type; // "" nothing found, no type word
        std::vector<std::string> writes;
        Tree changes;
        Section ps2, serial;
    } cases[] = {
        // The serial mouse is left alone.
        {"PS/2 chosen, both mice", kBothMice, 0, ps2, serial, "PS2",
         {"DeviceDesc SZ 22 Velor PS/2 Wheel Mouse", "Mfg SZ 13 Velor Systems",
          "MouseDriver SZ 10 vmouse.drv", "InfPath SZ 10 VMOUSE.INF",
          "DriverDesc SZ 22 Velor PS/2 Wheel Mouse", "DriverDate SZ 10 10-05-1998",
          "InfSection SZ 8 VelorPS2", "MouseType SZ 3 PS2"},
         {{kPs2Device, Rewritten(kPs2Name, "Mouse\\0000")}, {c0, ps2Class}},
         SeededRecord(kPs2Device, "Standard PS/2 Port Mouse", "0000", "PS2_Inst"), {}},
        {"serial chosen, both mice", kBothMice, 1, ps2, serial, "Serial", {},
         {{kSerialDevice, Rewritten(kSerialName, "Mouse\\0001")}, {c1, serialClass}},
         {}, SeededRecord(kSerialDevice, "Standard Serial Mouse", "0001", "SerialMouse")},
        {"PS/2 chosen, only a serial mouse",
         {{serial}, {{kSerialDevice, "Standard Serial Mouse", "Mouse\\0000"}},
          {{"0000", "Standard Serial Mouse", "SerialMouse"}}},
         0, "", serial, "", {}, {}, {}, {}},
        {"PS/2 chosen, no mouse", {}, 0, "", "", "", {}, {}, {}, {}},
        // The PS/2 mouse is untouched and nothing is recorded.
        {"serial chosen beside a PS/2 mouse", kPs2Only, 1, ps2, "", "Serial",
         {"Class SZ 5 Mouse", "DeviceDesc SZ 24 Velor Serial Wheel Mouse", "Mfg SZ 13 Velor Systems",
          "ConfigFlags BINARY 4 0000", "DetFlags BINARY 4 0000", "DetFunc SZ 19 *:DETECTSERIALMOUSE",
          "Driver SZ 10 Mouse\\0001", "DevLoader SZ 7 *vmouse", "MouseType SZ 6 Serial",
          "MouseDriver SZ 10 vmouse.drv", "InfPath SZ 10 VMOUSE.INF",
          "DriverDesc SZ 24 Velor Serial Wheel Mouse", "DriverDate SZ 10 10-05-1998",
          "InfSection SZ 11 VelorSerial"},
         {{kOwnDevice, OwnDevice("Mouse\\0001")}, {c1, serialClass}}, {}, {}},
        // The BIOS mouse before the root one, the later match first; the
        // other two are left alone.
        {"BIOS mouse preferred, the later match wins",
         {{"ROOT\\*PNP0F0E\\0000", ps2, "BIOS\\*PNP0F13\\0001"},
          {{kRootPs2Device, "Root PS/2 Mouse", "Mouse\\0000"}, {kPs2Device, "First PS/2", "Mouse\\0000"},
           {secondPs2, "Second PS/2", "Mouse\\0000"}},
          {{"0000", "Second PS/2", "PS2_Inst"}}},
         0, "BIOS\\*PNP0F13\\0001", "", "PS2", {},
         {{secondPs2, Rewritten(kPs2Name, "Mouse\\0000")}, {c0, ps2Class}},
         SeededRecord(secondPs2, "Second PS/2", "0000", "PS2_Inst"), {}},
        // Letter case counts; the class key is missing: SubKey2 is recorded
        // and the key is made.
        {"root PS/2 mouse",
         {{"bios\\*pnp0f13\\0000", "ROOT\\*PNP0F0E\\0000"},
          {{kRootPs2Device, "Root PS/2 Mouse", "Mouse\\0000"}}, {}},
         0, "", "", "PS2", {},
         {{kRootPs2Device, Rewritten(kPs2Name, "Mouse\\0000")}, {c0, ps2Class}},
         SeededRecord(kRootPs2Device, "Root PS/2 Mouse", "0000", ""), {}},
        // Nothing is written on the Class root, the list or the other instance.
        {"device without a driver gets an instance of its own",
         {{ps2}, {{kPs2Device, "Standard PS/2 Port Mouse", NULL}},
          {{"0000", "Standard Serial Mouse", "SerialMouse"}}},
         0, ps2, "", "PS2",
         {"DeviceDesc SZ 22 Velor PS/2 Wheel Mouse", "Mfg SZ 13 Velor Systems",
          "Driver SZ 10 Mouse\\0001", "DevLoader SZ 7 *vmouse", "MouseType SZ 3 PS2",
          "MouseDriver SZ 10 vmouse.drv", "InfPath SZ 10 VMOUSE.INF",
          "DriverDesc SZ 22 Velor PS/2 Wheel Mouse", "DriverDate SZ 10 10-05-1998",
          "InfSection SZ 8 VelorPS2"},
         {{kPs2Device, Rewritten(kPs2Name, "Mouse\\0001")}, {c1, ps2Class}},
         SeededRecord(kPs2Device, "Standard PS/2 Port Mouse", "0001", ""), {}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        SeedMachine(c.machine);
        const char *ids[2] = {PS2_DEVICE_ID, SERIAL_DEVICE_ID},
                   *want[2] = {c.ps2Found, c.serialFound};
        for (int i = 0; i < 2; i++) {
            char found[HARDWARE_KEY_TEXT] = "unchanged";
            EXPECT_EQ(want[i][0] != '\0', FindEnumeratedDevice(ids[i], found)) << ids[i];
            EXPECT_STREQ(want[i][0] ? want[i] : "unchanged", found);
        }
        const Tree before = DeviceTree();
        MouseKind = c.kind;
        UpdateRegistry(0);

        EXPECT_STREQ(c.type, MouseTypeName);
        if (!c.writes.empty())
            EXPECT_EQ(c.writes, Writes);
        EXPECT_EQ(c.changes, Changes(before));
        EXPECT_EQ(c.ps2, ReadSection(record, "PS2"));
        EXPECT_EQ(c.serial, ReadSection(record, "Serial"));
    }
}

TEST_F(SystemRegistry, RecordsSurviveASecondRunAndAReregistrationRun) {
    SeedMachine(kBothMice);
    MouseKind = 0;
    UpdateRegistry(1);
    // The product's eight writes, then the mouse's.
    ASSERT_EQ(16u, Writes.size());
    EXPECT_EQ("(default) SZ 18 ZKMouseControlPage", Writes[0]);
    EXPECT_EQ("DeviceDesc SZ 22 Velor PS/2 Wheel Mouse", Writes[8]);
    Section first = ReadSection(record, "PS2");
    ASSERT_EQ(9u, first.size());

    UpdateRegistry(1);
    EXPECT_EQ(first, ReadSection(record, "PS2"));

    // A -u run from the destination: no product entries, the mouse again.
    CleanRegistry();
    SeedMachine(kBothMice);
    SetText(HKLM, kPs2Device, "DeviceDesc", "Changed Since");
    UpdateRegistry(0);
    EXPECT_EQ(first, ReadSection(record, "PS2"));
    EXPECT_EQ(kPs2Name, Value(HKLM, kPs2Device, "DeviceDesc"));
    EXPECT_EQ(kMissing, Value(HKLM, kRunKey, "Dorvantix"));
    EXPECT_TRUE(Values(HKEY_CLASSES_ROOT, kClsidKey).empty());

    // Then the serial route into the same folder: both sections stand.
    MouseKind = 1;
    UpdateRegistry(0);
    EXPECT_EQ(first, ReadSection(record, "PS2"));
    EXPECT_EQ(SeededRecord(kSerialDevice, "Standard Serial Mouse", "0001", "SerialMouse"),
              ReadSection(record, "Serial"));
}

TEST_F(SystemRegistry, OwnSerialDeviceAgainTakesAFurtherInstance) {
    SeedMachine(kPs2Only);
    MouseKind = 1;
    UpdateRegistry(0);
    const Tree before = DeviceTree();
    UpdateRegistry(0);
    // The device points at the new instance; the first stays.
    EXPECT_EQ((Tree{{kOwnDevice, OwnDevice("Mouse\\0002")},
                    {kMouseClass + "\\0002", OwnClass("Serial", kSerialName, "VelorSerial")}}),
              Changes(before));
    EXPECT_EQ((std::vector<std::string>{"0000", "0001", "0002"}), Subkeys(HKLM, kMouseClass));
    EXPECT_EQ(Section(), ReadSection(record, "Serial"));
}

TEST_F(SystemRegistry, WithoutADeviceListOnlyTheSerialChoiceActs) {
    Seed(HKLM, kPs2Device, SeededDevice("Standard PS/2 Port Mouse", "Mouse\\0000"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_DYN_DATA, kDynEnum.c_str()));
    char found[HARDWARE_KEY_TEXT] = "unchanged";
    EXPECT_EQ(0, FindEnumeratedDevice(PS2_DEVICE_ID, found));
    EXPECT_STREQ("unchanged", found);

    const Tree before = DeviceTree();
    MouseKind = 0;
    UpdateRegistry(0);
    EXPECT_TRUE(Writes.empty());
    MouseKind = 1;
    UpdateRegistry(0);
    EXPECT_EQ((Tree{{kOwnDevice, OwnDevice("Mouse\\0000")},
                    {kMouseClass + "\\0000", OwnClass("Serial", kSerialName, "VelorSerial")}}),
              Changes(before));
}

TEST_F(SystemRegistry, NextClassInstanceFollowsTheList) {
    // No list key; a list with a value only; then gaps and a late start.
    const struct {
        bool list;
        std::vector<const char *> names;
        const char *next;
    } cases[] = {{false, {}, "Mouse\\0000"},
                 {true, {}, "Mouse\\0000"},
                 {true, {"0000", "0001"}, "Mouse\\0002"},
                 {true, {"0000", "0002", "0003"}, "Mouse\\0001"},
                 {true, {"0001"}, "Mouse\\0000"}};
    for (const auto &c : cases) {
        DeleteTree(HKLM, kMouseClass);
        if (c.list)
            SetText(HKLM, kMouseClass, NULL, "Mouse");
        for (const char *name : c.names)
            SeedClass(name, "Mouse", "Section");
        char instance[INSTANCE_TEXT] = "";
        EXPECT_EQ(1, NextMouseClassInstance(instance));
        EXPECT_STREQ(c.next, instance) << c.list << " " << c.names.size() << " names";
    }
}

TEST_F(SystemRegistry, LongDestinationAndHardwareKeyAreRecordedWhole) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "sysreg_";
    folder += std::string(79 - folder.size(), 'd');
    ASSERT_EQ(79u, folder.size());
    DeleteFileA(record.c_str());
    RemoveDirectoryA(dest.c_str());
    UseDestination(folder);

    std::string hardware = "Enum\\BIOS\\*PNP0F13\\" + std::string(110, '7');
    SeedMachine({{hardware.substr(5)},
                 {{hardware, "Standard PS/2 Port Mouse", "Mouse\\0000"}},
                 {{"0000", "Standard PS/2 Port Mouse", "PS2_Inst"}}});
    MouseKind = 0;
    UpdateRegistry(1);

    EXPECT_EQ(SeededRecord(hardware, "Standard PS/2 Port Mouse", "0000", "PS2_Inst"),
              ReadSection(record, "PS2"));
    EXPECT_EQ(kPs2Name, Value(HKLM, hardware, "DeviceDesc"));
    EXPECT_EQ(folder + "\\ZKMAIN.EXE -startup", Value(HKLM, kRunKey, "Dorvantix"));
}

} // namespace
