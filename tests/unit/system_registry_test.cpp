// Registry step against the real registry of the test prefix, seeded with a
// Windows 98-like device tree: active devices under HKEY_DYN_DATA, device
// keys under HKLM Enum and their driver class keys.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "system/system.h"

namespace {

const char kClsidKey[] = "CLSID\\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}";
const char kHandlerList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls "
                            "Folder\\Mouse\\shellex\\PropertySheetHandlers";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix";
const char kMissing[] = "<missing>";

void DeleteTree(HKEY root, const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> children;
    for (DWORD i = 0;; i++) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string &child : children)
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

// The value's text (binary data as its bytes), or kMissing; size receives
// the stored size in bytes.
std::string QueryText(HKEY root, const std::string &path, const char *name, DWORD *size = NULL,
                      DWORD *type = NULL) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return kMissing;
    DWORD stored = 0, kind = 0;
    std::string result = kMissing;
    if (RegQueryValueExA(key, name, NULL, &kind, NULL, &stored) == ERROR_SUCCESS) {
        std::vector<char> data(stored + 1, '\0');
        DWORD got = stored;
        RegQueryValueExA(key, name, NULL, NULL, (BYTE *)data.data(), &got);
        result.assign(data.data(), got);
        if (kind == REG_SZ)
            result = data.data();
        if (size)
            *size = got;
        if (type)
            *type = kind;
    }
    RegCloseKey(key);
    return result;
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
    for (DWORD i = 0; i < length; i++) {
        if (type == REG_SZ)
            entry += (char)data[i];
        else
            entry += std::to_string(data[i]);
    }
    Writes.push_back(entry);
    return RegSetValueExA(key, name, reserved, type, data, length);
}

std::vector<std::string> Subkeys(HKEY root, const std::string &path) {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; i++) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

DWORD ValueCount(HKEY root, const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return values;
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

std::vector<std::string> Keys(const Section &section) {
    std::vector<std::string> keys;
    for (const auto &line : section)
        keys.push_back(line.first);
    return keys;
}

std::string FileText(const std::string &path) {
    std::string text;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return kMissing;
    char chunk[512];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    fclose(file);
    return text;
}

const std::string kClassRoot = "System\\CurrentControlSet\\Services\\Class";
const std::string kMouseClass = kClassRoot + "\\Mouse";
const std::string kDynEnum = "Config Manager\\Enum";
const std::string kPs2Device = "Enum\\BIOS\\*PNP0F13\\0000";
const std::string kSerialDevice = "Enum\\ROOT\\*PNP0F0C\\0000";
const std::string kOwnDevice = "Enum\\Root\\VelorMouse\\0000";

class SystemRegistry : public ::testing::Test {
  protected:
    std::string dest;
    std::string record;

    void SetUp() override {
        CleanRegistry();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dest = std::string(temp) + "sysreg_dest";
        UseDestination(dest);

        CopyText(InstallConfig.Title, PATH_TEXT, "Velor Wheel Mouse");
        CopyText(InstallConfig.Mfg, STARTUP_TEXT, "Velor Systems");
        CopyText(InstallConfig.MouseDriver, STARTUP_TEXT, "vmouse.drv");
        CopyText(InstallConfig.MouseInf, STARTUP_TEXT, "VMOUSE.INF");
        CopyText(InstallConfig.DriverDate, STARTUP_TEXT, "10-05-1998");
        CopyText(InstallConfig.PS2InfSection, STARTUP_TEXT, "VelorPS2");
        CopyText(InstallConfig.SerialInfSection, STARTUP_TEXT, "VelorSerial");
        CopyText(InstallConfig.PS2Name, STARTUP_TEXT, "Velor PS/2 Wheel Mouse");
        CopyText(InstallConfig.SeialName, STARTUP_TEXT, "Velor Serial Wheel Mouse");
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
        for (const std::string &name : Subkeys(HKEY_DYN_DATA, kDynEnum))
            DeleteTree(HKEY_DYN_DATA, kDynEnum + "\\" + name);
        // The device list itself stays, as the prefix has it.
        HKEY list;
        if (RegCreateKeyExA(HKEY_DYN_DATA, kDynEnum.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                            &list, NULL) == ERROR_SUCCESS)
            RegCloseKey(list);
        DeleteTree(HKEY_LOCAL_MACHINE, "Enum");
        DeleteTree(HKEY_LOCAL_MACHINE, kClassRoot);
        DeleteTree(HKEY_CLASSES_ROOT, kClsidKey);
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls "
                                       "Folder\\Mouse");
        DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        HKEY run;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Dorvantix");
            RegCloseKey(run);
        }
    }

    // An active device as the configuration manager lists it.
    static void SeedActive(const char *node, const std::string &hardwareKey) {
        SetText(HKEY_DYN_DATA, kDynEnum + "\\" + node, "HardWareKey", hardwareKey);
    }

    // The boot tree and the keyboard, which no mouse search may take.
    static void SeedOtherDevices() {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_DYN_DATA, (kDynEnum + "\\C1000000").c_str(),
                                                 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
        RegCloseKey(key);
        SeedActive("C1038E40", "BIOS\\*PNP0303\\0000");
        SetText(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0303\\0000", "DeviceDesc",
                "Standard 101/102-Key or Microsoft Natural Keyboard");
    }

    static void SeedDevice(const std::string &deviceKey, const char *desc, const char *driver) {
        SetText(HKEY_LOCAL_MACHINE, deviceKey, "Class", "Mouse");
        SetText(HKEY_LOCAL_MACHINE, deviceKey, "DeviceDesc", desc);
        SetText(HKEY_LOCAL_MACHINE, deviceKey, "Mfg", "(Standard mouse types)");
        if (driver)
            SetText(HKEY_LOCAL_MACHINE, deviceKey, "Driver", driver);
    }

    static void SeedClass(const char *instance, const char *desc, const char *section) {
        std::string key = kMouseClass + "\\" + instance;
        SetText(HKEY_LOCAL_MACHINE, key, "DevLoader", "*vmouse");
        SetText(HKEY_LOCAL_MACHINE, key, "MouseDriver", "mouse.drv");
        SetText(HKEY_LOCAL_MACHINE, key, "InfPath", "MSMOUSE.INF");
        SetText(HKEY_LOCAL_MACHINE, key, "DriverDesc", desc);
        SetText(HKEY_LOCAL_MACHINE, key, "DriverDate", "4-23-1999");
        SetText(HKEY_LOCAL_MACHINE, key, "InfSection", section);
    }

    // A machine with a PS/2 mouse on the BIOS and a serial mouse on COM1.
    static void SeedBothMice() {
        SeedOtherDevices();
        SeedActive("C29A3E40", "BIOS\\*PNP0F13\\0000");
        SeedActive("C2A0D0C0", "ROOT\\*PNP0F0C\\0000");
        SeedDevice(kPs2Device, "Standard PS/2 Port Mouse", "Mouse\\0000");
        SeedDevice(kSerialDevice, "Standard Serial Mouse", "Mouse\\0001");
        SeedClass("0000", "Standard PS/2 Port Mouse", "PS2_Inst");
        SeedClass("0001", "Standard Serial Mouse", "SerialMouse");
    }
};

// --- product registration ---

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
    // And where they landed.
    EXPECT_EQ("ZKMouseControlPage", QueryText(HKEY_CLASSES_ROOT, kClsidKey, NULL));
    std::string server = std::string(kClsidKey) + "\\InProcServer32";
    EXPECT_EQ("C:\\VELOR\\ZKPAGE.DLL", QueryText(HKEY_CLASSES_ROOT, server, NULL));
    EXPECT_EQ("Apartment", QueryText(HKEY_CLASSES_ROOT, server, "ThreadingModel"));
    EXPECT_EQ("ZKMousePage", QueryText(HKEY_LOCAL_MACHINE, kHandlerList, NULL));
    EXPECT_EQ("{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}",
              QueryText(HKEY_LOCAL_MACHINE, std::string(kHandlerList) + "\\ZKMousePage", NULL));
    DWORD type = 0;
    EXPECT_EQ("C:\\VELOR\\ZKMAIN.EXE -startup",
              QueryText(HKEY_LOCAL_MACHINE, kRunKey, "Dorvantix", NULL, &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ("Velor Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("C:\\VELOR\\UNINSTAL.EXE",
              QueryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    // The mouse device step is not part of it.
    EXPECT_TRUE(Subkeys(HKEY_LOCAL_MACHINE, "Enum").empty());
}

TEST_F(SystemRegistry, ProductRerunRewritesTheSameEntriesAndEmptyTitle) {
    InstallConfig.Title[0] = '\0';
    RegisterProduct();
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "D:\\MOUSE");
    RegisterProduct();

    ASSERT_EQ(16u, Writes.size());
    EXPECT_EQ("DisplayName SZ 0 ", Writes[14]);
    EXPECT_EQ("", QueryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("D:\\MOUSE\\UNINSTAL.EXE",
              QueryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ("D:\\MOUSE\\ZKMAIN.EXE -startup",
              QueryText(HKEY_LOCAL_MACHINE, kRunKey, "Dorvantix"));
    EXPECT_EQ(std::vector<std::string>{"InProcServer32"}, Subkeys(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_EQ(1u, ValueCount(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_EQ(2u, ValueCount(HKEY_CLASSES_ROOT, std::string(kClsidKey) + "\\InProcServer32"));
    EXPECT_EQ(std::vector<std::string>{"ZKMousePage"}, Subkeys(HKEY_LOCAL_MACHINE, kHandlerList));
    EXPECT_EQ(2u, ValueCount(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(SystemRegistry, LongestDestinationIsWrittenWhole) {
    std::string folder = "C:\\" + std::string(76, 'L');
    ASSERT_EQ(79u, folder.size());
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.c_str());
    RegisterProduct();

    ASSERT_EQ(8u, Writes.size());
    EXPECT_EQ("Dorvantix SZ 99 " + folder + "\\ZKMAIN.EXE -startup", Writes[5]);
    EXPECT_EQ(folder + "\\ZKMAIN.EXE -startup",
              QueryText(HKEY_LOCAL_MACHINE, kRunKey, "Dorvantix"));
    EXPECT_EQ(folder + "\\UNINSTAL.EXE",
              QueryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(folder + "\\ZKPAGE.DLL",
              QueryText(HKEY_CLASSES_ROOT, std::string(kClsidKey) + "\\InProcServer32", NULL));
}

// --- previous-settings record ---

TEST_F(SystemRegistry, RecordIsWriteOnceAndRefillsEmptyValues) {
    RecordPreviousSetting("PS2", "SubKey1", "Enum\\BIOS\\*PNP0F13\\0000");
    RecordPreviousSetting("PS2", "DeviceDesc", "");
    RecordPreviousSetting("PS2", "SubKey1", "Enum\\Other");
    RecordPreviousSetting("PS2", "DeviceDesc", "Standard PS/2 Port Mouse");
    RecordPreviousSetting("PS2", "DeviceDesc", "Velor PS/2 Wheel Mouse");

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
    EXPECT_EQ(ROUTE_UPDATE_PS2, ChooseMouseRoute(0, 1, 0));
    EXPECT_EQ(ROUTE_UPDATE_PS2, ChooseMouseRoute(0, 1, 1));
    EXPECT_EQ(ROUTE_NONE, ChooseMouseRoute(0, 0, 0));
    EXPECT_EQ(ROUTE_NONE, ChooseMouseRoute(0, 0, 1));
    EXPECT_EQ(ROUTE_UPDATE_SERIAL, ChooseMouseRoute(1, 0, 1));
    EXPECT_EQ(ROUTE_UPDATE_SERIAL, ChooseMouseRoute(1, 1, 1));
    EXPECT_EQ(ROUTE_CREATE_SERIAL, ChooseMouseRoute(1, 0, 0));
    EXPECT_EQ(ROUTE_CREATE_SERIAL, ChooseMouseRoute(1, 1, 0));
    EXPECT_EQ(ROUTE_NONE, ChooseMouseRoute(2, 1, 1));
}

TEST(SystemRoute, ClassInstanceWalkAndForm) {
    short last = -1;
    EXPECT_EQ(1, StepClassInstance(&last, "0000"));
    EXPECT_EQ(1, StepClassInstance(&last, "0001"));
    EXPECT_EQ(0, StepClassInstance(&last, "0003"));
    EXPECT_EQ(1, last);
    last = -1;
    EXPECT_EQ(1, StepClassInstance(&last, "Default")); // no digits reads as 0
    EXPECT_EQ(0, last);
    char instance[INSTANCE_TEXT];
    FormatClassInstance(2, instance);
    EXPECT_STREQ("Mouse\\0002", instance);
    FormatClassInstance(12345, instance);
    EXPECT_STREQ("Mouse\\12345", instance);
}

// --- mouse device registration ---

TEST_F(SystemRegistry, Ps2RouteRecordsInOrderAndRewritesDeviceAndClass) {
    SeedBothMice();
    MouseKind = 0;
    UpdateRegistry(1);

    EXPECT_STREQ("PS2", MouseTypeName);
    ASSERT_EQ(16u, Writes.size()); // the product's eight, then the mouse's
    EXPECT_EQ((std::vector<std::string>{
                  "DeviceDesc SZ 22 Velor PS/2 Wheel Mouse",
                  "Mfg SZ 13 Velor Systems",
                  "MouseDriver SZ 10 vmouse.drv",
                  "InfPath SZ 10 VMOUSE.INF",
                  "DriverDesc SZ 22 Velor PS/2 Wheel Mouse",
                  "DriverDate SZ 10 10-05-1998",
                  "InfSection SZ 8 VelorPS2",
                  "MouseType SZ 3 PS2",
              }),
              std::vector<std::string>(Writes.begin() + 8, Writes.end()));
    EXPECT_EQ("Velor PS/2 Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
    EXPECT_EQ("Velor Systems", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "Mfg"));
    EXPECT_EQ("Mouse\\0000", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "Driver"));
    std::string cls = kMouseClass + "\\0000";
    EXPECT_EQ("vmouse.drv", QueryText(HKEY_LOCAL_MACHINE, cls, "MouseDriver"));
    EXPECT_EQ("VMOUSE.INF", QueryText(HKEY_LOCAL_MACHINE, cls, "InfPath"));
    EXPECT_EQ("Velor PS/2 Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DriverDesc"));
    EXPECT_EQ("10-05-1998", QueryText(HKEY_LOCAL_MACHINE, cls, "DriverDate"));
    EXPECT_EQ("VelorPS2", QueryText(HKEY_LOCAL_MACHINE, cls, "InfSection"));
    EXPECT_EQ("PS2", QueryText(HKEY_LOCAL_MACHINE, cls, "MouseType"));
    EXPECT_EQ("*vmouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DevLoader"));

    Section expected = {{"SubKey1", kPs2Device},
                        {"DeviceDesc", "Standard PS/2 Port Mouse"},
                        {"Mfg", "(Standard mouse types)"},
                        {"SubKey2", "System\\CurrentControlSet\\Services\\Class\\Mouse\\0000"},
                        {"MouseDriver", "mouse.drv"},
                        {"InfPath", "MSMOUSE.INF"},
                        {"DriverDesc", "Standard PS/2 Port Mouse"},
                        {"DriverDate", "4-23-1999"},
                        {"InfSection", "PS2_Inst"}};
    EXPECT_EQ(expected, ReadSection(record, "PS2"));
    EXPECT_TRUE(ReadSection(record, "Serial").empty());
    // The serial mouse is left alone.
    EXPECT_EQ("Standard Serial Mouse", QueryText(HKEY_LOCAL_MACHINE, kSerialDevice, "DeviceDesc"));
    EXPECT_EQ("SerialMouse", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0001", "InfSection"));
    EXPECT_EQ(kMissing, QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Class"));
}

TEST_F(SystemRegistry, RecordsSurviveASecondRunAndAReregistrationRun) {
    SeedBothMice();
    MouseKind = 0;
    UpdateRegistry(1);
    Section first = ReadSection(record, "PS2");
    ASSERT_EQ(9u, first.size());

    UpdateRegistry(1);
    EXPECT_EQ(first, ReadSection(record, "PS2"));

    // A -u run from the destination: no product entries, the mouse again.
    CleanRegistry();
    SeedBothMice();
    SetText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc", "Changed Since");
    MouseKind = 0;
    UpdateRegistry(0);
    EXPECT_EQ(first, ReadSection(record, "PS2"));
    EXPECT_EQ("Velor PS/2 Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
    EXPECT_EQ(kMissing, QueryText(HKEY_LOCAL_MACHINE, kRunKey, "Dorvantix"));
    EXPECT_EQ(kMissing, QueryText(HKEY_CLASSES_ROOT, kClsidKey, NULL));

    // Then the serial route into the same folder: both sections stand.
    MouseKind = 1;
    UpdateRegistry(0);
    EXPECT_EQ(first, ReadSection(record, "PS2"));
    EXPECT_EQ((std::vector<std::string>{"SubKey1", "DeviceDesc", "Mfg", "SubKey2", "MouseDriver",
                                        "InfPath", "DriverDesc", "DriverDate", "InfSection"}),
              Keys(ReadSection(record, "Serial")));
    EXPECT_EQ("Standard Serial Mouse", ReadSection(record, "Serial")[1].second);
}

TEST_F(SystemRegistry, SerialRouteUpdatesTheActiveSerialMouse) {
    SeedBothMice();
    MouseKind = 1;
    UpdateRegistry(0);

    EXPECT_STREQ("Serial", MouseTypeName);
    EXPECT_EQ("Velor Serial Wheel Mouse",
              QueryText(HKEY_LOCAL_MACHINE, kSerialDevice, "DeviceDesc"));
    EXPECT_EQ("VelorSerial", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0001", "InfSection"));
    EXPECT_EQ("Serial", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0001", "MouseType"));
    EXPECT_EQ(kSerialDevice, ReadSection(record, "Serial").at(0).second);
    EXPECT_EQ("Standard PS/2 Port Mouse", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
    EXPECT_EQ("PS2_Inst", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0000", "InfSection"));
    EXPECT_EQ(kMissing, QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Class"));
}

TEST_F(SystemRegistry, Ps2ChosenWithOnlyASerialMouseChangesNothing) {
    SeedOtherDevices();
    SeedActive("C2A0D0C0", "ROOT\\*PNP0F0C\\0000");
    SeedDevice(kSerialDevice, "Standard Serial Mouse", "Mouse\\0000");
    SeedClass("0000", "Standard Serial Mouse", "SerialMouse");
    std::string before = FileText(record);
    MouseKind = 0;
    UpdateRegistry(0);

    EXPECT_STREQ("", MouseTypeName);
    EXPECT_EQ(before, FileText(record));
    EXPECT_EQ("Standard Serial Mouse", QueryText(HKEY_LOCAL_MACHINE, kSerialDevice, "DeviceDesc"));
    EXPECT_EQ("SerialMouse", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0000", "InfSection"));
    EXPECT_EQ(std::vector<std::string>{"0000"}, Subkeys(HKEY_LOCAL_MACHINE, kMouseClass));
    EXPECT_EQ(kMissing, QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Class"));

    // No mouse at all: still nothing.
    CleanRegistry();
    UpdateRegistry(0);
    EXPECT_TRUE(Subkeys(HKEY_LOCAL_MACHINE, "Enum").empty());
    EXPECT_EQ(before, FileText(record));
}

TEST_F(SystemRegistry, WithoutADeviceListOnlyTheSerialChoiceActs) {
    SeedDevice(kPs2Device, "Standard PS/2 Port Mouse", "Mouse\\0000");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_DYN_DATA, kDynEnum.c_str()));
    char found[HARDWARE_KEY_TEXT] = "unchanged";
    EXPECT_EQ(0, FindEnumeratedDevice(PS2_DEVICE_ID, found));
    EXPECT_STREQ("unchanged", found);

    MouseKind = 0;
    UpdateRegistry(0);
    EXPECT_TRUE(Writes.empty());
    MouseKind = 1;
    UpdateRegistry(0);
    EXPECT_EQ("Mouse", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Class"));
    EXPECT_EQ("Standard PS/2 Port Mouse", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
}

TEST_F(SystemRegistry, SerialChosenBesideAPs2MouseMakesTheOwnDeviceKey) {
    SeedOtherDevices();
    SeedActive("C29A3E40", "BIOS\\*PNP0F13\\0000");
    SeedDevice(kPs2Device, "Standard PS/2 Port Mouse", "Mouse\\0000");
    SeedClass("0000", "Standard PS/2 Port Mouse", "PS2_Inst");
    std::string before = FileText(record);
    MouseKind = 1;
    UpdateRegistry(0);

    EXPECT_STREQ("Serial", MouseTypeName);
    EXPECT_EQ((std::vector<std::string>{
                  "Class SZ 5 Mouse",
                  "DeviceDesc SZ 24 Velor Serial Wheel Mouse",
                  "Mfg SZ 13 Velor Systems",
                  "ConfigFlags BINARY 4 0000",
                  "DetFlags BINARY 4 0000",
                  "DetFunc SZ 19 *:DETECTSERIALMOUSE",
                  "Driver SZ 10 Mouse\\0001",
                  "DevLoader SZ 7 *vmouse",
                  "MouseType SZ 6 Serial",
                  "MouseDriver SZ 10 vmouse.drv",
                  "InfPath SZ 10 VMOUSE.INF",
                  "DriverDesc SZ 24 Velor Serial Wheel Mouse",
                  "DriverDate SZ 10 10-05-1998",
                  "InfSection SZ 11 VelorSerial",
              }),
              Writes);
    EXPECT_EQ("Mouse", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Class"));
    EXPECT_EQ("Velor Serial Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "DeviceDesc"));
    EXPECT_EQ("Velor Systems", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Mfg"));
    for (const char *flags : {"ConfigFlags", "DetFlags"}) {
        DWORD size = 0, type = 0;
        EXPECT_EQ(std::string(4, '\0'),
                  QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, flags, &size, &type))
            << flags;
        EXPECT_EQ(4u, size) << flags;
        EXPECT_EQ((DWORD)REG_BINARY, type) << flags;
    }
    EXPECT_EQ("*:DETECTSERIALMOUSE", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "DetFunc"));
    EXPECT_EQ("Mouse\\0001", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Driver"));
    EXPECT_EQ(7u, ValueCount(HKEY_LOCAL_MACHINE, kOwnDevice));

    std::string cls = kMouseClass + "\\0001";
    EXPECT_EQ("*vmouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DevLoader"));
    EXPECT_EQ("Serial", QueryText(HKEY_LOCAL_MACHINE, cls, "MouseType"));
    EXPECT_EQ("vmouse.drv", QueryText(HKEY_LOCAL_MACHINE, cls, "MouseDriver"));
    EXPECT_EQ("VMOUSE.INF", QueryText(HKEY_LOCAL_MACHINE, cls, "InfPath"));
    EXPECT_EQ("Velor Serial Wheel Mouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DriverDesc"));
    EXPECT_EQ("10-05-1998", QueryText(HKEY_LOCAL_MACHINE, cls, "DriverDate"));
    EXPECT_EQ("VelorSerial", QueryText(HKEY_LOCAL_MACHINE, cls, "InfSection"));
    EXPECT_EQ(7u, ValueCount(HKEY_LOCAL_MACHINE, cls));
    // The PS/2 mouse is untouched and nothing is recorded.
    EXPECT_EQ("Standard PS/2 Port Mouse", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
    EXPECT_EQ("PS2_Inst", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0000", "InfSection"));
    EXPECT_EQ(before, FileText(record));

    // A second run points the device at a further instance; the first stays.
    UpdateRegistry(0);
    EXPECT_EQ("Mouse\\0002", QueryText(HKEY_LOCAL_MACHINE, kOwnDevice, "Driver"));
    EXPECT_EQ((std::vector<std::string>{"0000", "0001", "0002"}),
              Subkeys(HKEY_LOCAL_MACHINE, kMouseClass));
    EXPECT_EQ("VelorSerial", QueryText(HKEY_LOCAL_MACHINE, cls, "InfSection"));
    EXPECT_EQ(before, FileText(record));
}

TEST_F(SystemRegistry, BiosMouseIsPreferredAndTheLaterMatchWins) {
    SeedOtherDevices();
    SeedActive("C0000010", "ROOT\\*PNP0F0E\\0000");
    SeedActive("C0000020", "BIOS\\*PNP0F13\\0000");
    SeedActive("C0000030", "BIOS\\*PNP0F13\\0001");
    SeedDevice("Enum\\ROOT\\*PNP0F0E\\0000", "Root PS/2 Mouse", "Mouse\\0000");
    SeedDevice(kPs2Device, "First PS/2", "Mouse\\0000");
    SeedDevice("Enum\\BIOS\\*PNP0F13\\0001", "Second PS/2", "Mouse\\0000");
    SeedClass("0000", "Standard PS/2 Port Mouse", "PS2_Inst");

    char found[HARDWARE_KEY_TEXT] = "unchanged";
    EXPECT_EQ(1, FindEnumeratedDevice(PS2_DEVICE_ID, found));
    EXPECT_STREQ("BIOS\\*PNP0F13\\0001", found);

    MouseKind = 0;
    UpdateRegistry(0);
    EXPECT_EQ("Second PS/2", ReadSection(record, "PS2").at(1).second);
    EXPECT_EQ("Velor PS/2 Wheel Mouse",
              QueryText(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F13\\0001", "DeviceDesc"));
    EXPECT_EQ("First PS/2", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "DeviceDesc"));
    EXPECT_EQ("Root PS/2 Mouse",
              QueryText(HKEY_LOCAL_MACHINE, "Enum\\ROOT\\*PNP0F0E\\0000", "DeviceDesc"));
}

TEST_F(SystemRegistry, RootPs2MouseAndLetterCase) {
    SeedOtherDevices();
    SeedActive("C0000010", "bios\\*pnp0f13\\0000");
    SeedActive("C0000020", "ROOT\\*PNP0F0E\\0000");
    SeedDevice("Enum\\ROOT\\*PNP0F0E\\0000", "Root PS/2 Mouse", "Mouse\\0000");

    char found[HARDWARE_KEY_TEXT] = "unchanged";
    EXPECT_EQ(0, FindEnumeratedDevice(PS2_DEVICE_ID, found));
    EXPECT_STREQ("unchanged", found);
    EXPECT_EQ(0, FindEnumeratedDevice(SERIAL_DEVICE_ID, found));
    EXPECT_STREQ("unchanged", found);

    // The class key is missing: SubKey2 is recorded and the key is created.
    MouseKind = 0;
    UpdateRegistry(0);
    EXPECT_EQ((std::vector<std::string>{"SubKey1", "DeviceDesc", "Mfg", "SubKey2"}),
              Keys(ReadSection(record, "PS2")));
    EXPECT_EQ("Enum\\ROOT\\*PNP0F0E\\0000", ReadSection(record, "PS2")[0].second);
    std::string cls = kMouseClass + "\\0000";
    EXPECT_EQ("*vmouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DevLoader"));
    EXPECT_EQ("PS2", QueryText(HKEY_LOCAL_MACHINE, cls, "MouseType"));
    EXPECT_EQ("VelorPS2", QueryText(HKEY_LOCAL_MACHINE, cls, "InfSection"));
}

TEST_F(SystemRegistry, DeviceWithoutDriverGetsAnInstanceOfItsOwn) {
    SeedOtherDevices();
    SeedActive("C29A3E40", "BIOS\\*PNP0F13\\0000");
    SeedDevice(kPs2Device, "Standard PS/2 Port Mouse", NULL);
    SeedClass("0000", "Standard Serial Mouse", "SerialMouse");
    MouseKind = 0;
    UpdateRegistry(0);

    EXPECT_EQ("Mouse\\0001", QueryText(HKEY_LOCAL_MACHINE, kPs2Device, "Driver"));
    EXPECT_EQ("Driver SZ 10 Mouse\\0001", Writes.at(2));
    Section got = ReadSection(record, "PS2");
    ASSERT_EQ(4u, got.size());
    EXPECT_EQ("SubKey2", got[3].first);
    EXPECT_EQ("System\\CurrentControlSet\\Services\\Class\\Mouse\\0001", got[3].second);
    std::string cls = kMouseClass + "\\0001";
    EXPECT_EQ("*vmouse", QueryText(HKEY_LOCAL_MACHINE, cls, "DevLoader"));
    EXPECT_EQ("VelorPS2", QueryText(HKEY_LOCAL_MACHINE, cls, "InfSection"));
    // Nothing was written on the Class root or the other instance.
    EXPECT_EQ(0u, ValueCount(HKEY_LOCAL_MACHINE, kClassRoot));
    EXPECT_EQ(0u, ValueCount(HKEY_LOCAL_MACHINE, kMouseClass));
    EXPECT_EQ("SerialMouse", QueryText(HKEY_LOCAL_MACHINE, kMouseClass + "\\0000", "InfSection"));
}

TEST_F(SystemRegistry, NextClassInstanceFollowsTheList) {
    char instance[INSTANCE_TEXT];
    EXPECT_EQ(1, NextMouseClassInstance(instance));
    EXPECT_STREQ("Mouse\\0000", instance);

    SetText(HKEY_LOCAL_MACHINE, kMouseClass, NULL, "Mouse");
    NextMouseClassInstance(instance);
    EXPECT_STREQ("Mouse\\0000", instance);

    struct Case {
        std::vector<const char *> names;
        const char *next;
    } cases[] = {{{"0000", "0001"}, "Mouse\\0002"},
                 {{"0000", "0002", "0003"}, "Mouse\\0001"},
                 {{"0001"}, "Mouse\\0000"}};
    for (const Case &c : cases) {
        DeleteTree(HKEY_LOCAL_MACHINE, kMouseClass);
        for (const char *name : c.names)
            SeedClass(name, "Mouse", "Section");
        NextMouseClassInstance(instance);
        EXPECT_STREQ(c.next, instance) << c.names.size() << " names";
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

    std::string hardware = "BIOS\\*PNP0F13\\" + std::string(110, '7');
    SeedActive("C29A3E40", hardware);
    SeedDevice("Enum\\" + hardware, "Standard PS/2 Port Mouse", "Mouse\\0000");
    SeedClass("0000", "Standard PS/2 Port Mouse", "PS2_Inst");
    MouseKind = 0;
    UpdateRegistry(1);

    Section got = ReadSection(record, "PS2");
    ASSERT_EQ(9u, got.size());
    EXPECT_EQ("Enum\\" + hardware, got[0].second);
    EXPECT_EQ("Velor PS/2 Wheel Mouse",
              QueryText(HKEY_LOCAL_MACHINE, "Enum\\" + hardware, "DeviceDesc"));
    EXPECT_EQ(folder + "\\ZKMAIN.EXE -startup",
              QueryText(HKEY_LOCAL_MACHINE, kRunKey, "Dorvantix"));
}

} // namespace
