// The registry step on the prefix's registry with a seeded Windows 98 mouse
// machine, the record in the destination's SETUP.INF, and the system.ini patch
// on real files; the texts come from the sample media's SETUP.INF.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "script/script.h"
#include "support/files.h"
#include "system/system.h"

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string Clsid = "CLSID\\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}",
                  Handlers = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls "
                             "Folder\\Mouse\\shellex\\PropertySheetHandlers",
                  RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                  Uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix",
                  MouseClass = "System\\CurrentControlSet\\Services\\Class\\Mouse";

// Names of the text values written with a length other than their text's.
static std::string BadLengths;

static LONG WINAPI Checked(HKEY key, LPCSTR name, DWORD zero, DWORD type, const BYTE *data,
                           DWORD length) {
    if (type == REG_SZ && length != strlen((const char *)data))
        BadLengths += name ? name : "(default)";
    return RegSetValueExA(key, name, zero, type, data, length);
}

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(1, LoadScriptFrom((BuildFolder() + "\\media\\SETUP.EXE").c_str(), "C:\\W", NULL));
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.path.c_str());
        WriteFile(record, "[Main]\r\nProductName=Velor\r\n");
        DeleteRegTree(HKEY_CLASSES_ROOT, Clsid);
        for (const std::string &key : {Handlers, RunKey, Uninstall})
            DeleteRegTree(HKLM, key);
        MouseTypeName[0] = '\0';
        BadLengths = "";
        RegistrySetValue = Checked;
    }
    void TearDown() override {
        RegistrySetValue = RegSetValueExA;
        EXPECT_EQ("", BadLengths) << "text values stored with another length than their text's";
        FreeInstallTables();
    }
    // A section of the record as "key=value|..." in file order.
    std::string Section(const char *name) {
        char lines[4096] = "";
        DWORD length = GetPrivateProfileSectionA(name, lines, sizeof lines, record.c_str());
        for (DWORD i = 0; i + 1 < length; i++)
            lines[i] = lines[i] ? lines[i] : '|';
        return lines;
    }
    Scratch folder{"registry"};
    std::string record = folder / "SETUP.INF";
    const InstallConfigRecord &c = InstallConfig;
};

TEST_F(Registry, ProductEntriesWholeWithTheirDataForEachFolderAndTitle) {
    const std::pair<std::string, std::string> runs[] = {
        {"C:\\VELOR", c.Title}, {"D:\\MOUSE", ""}, {"C:\\" + std::string(76, 'L'), c.Title}};
    for (const auto &run : runs) {
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, run.first.c_str());
        CopyText(InstallConfig.Title, PATH_TEXT, run.second.c_str());
        RegisterProduct();
        RegTree tree = {{RunKey, {{"Dorvantix", ReadRegValues(HKLM, RunKey)["Dorvantix"]}}}};
        ReadRegTree(tree, HKEY_CLASSES_ROOT, Clsid);
        ReadRegTree(tree, HKLM, Handlers);
        ReadRegTree(tree, HKLM, Uninstall);
        EXPECT_EQ(RegTree({{Clsid, {{"", "ZKMouseControlPage"}}},
                           {Clsid + "\\InProcServer32",
                            {{"", run.first + "\\ZKPAGE.DLL"}, {"ThreadingModel", "Apartment"}}},
                           {Handlers, {{"", "ZKMousePage"}}},
                           {Handlers + "\\ZKMousePage", {{"", Clsid.substr(6)}}},
                           {RunKey, {{"Dorvantix", run.first + "\\ZKMAIN.EXE -startup"}}},
                           {Uninstall,
                            {{"DisplayName", run.second},
                             {"UninstallString", run.first + "\\UNINSTAL.EXE"}}}}),
                  tree);
    }
}

// The device tree and the class list: every key by path with its values.
static RegTree Machine() {
    RegTree tree;
    ReadRegTree(tree, HKLM, "Enum");
    ReadRegTree(tree, HKLM, "System\\CurrentControlSet\\Services\\Class");
    return tree;
}

// The keys whose values are not what they were ("gone" for a removed key).
static RegTree Changes(const RegTree &before) {
    RegTree after = Machine(), changed;
    for (const auto &key : after)
        if (before.count(key.first) ? before.at(key.first) != key.second : !key.second.empty())
            changed.insert(key);
    for (const auto &key : before)
        if (!after.count(key.first))
            changed[key.first] = {{"gone", ""}};
    return changed;
}

// A device key and a class instance as the product leaves them on the PS/2
// route or the serial one; the own serial device key.
RegValues Device(bool ps2, const char *driver) {
    const InstallConfigRecord &c = InstallConfig;
    return {{"Class", "Mouse"},
            {"DeviceDesc", ps2 ? c.PS2Name : c.SeialName},
            {"Mfg", c.Mfg},
            {"Driver", driver}};
}
RegValues Class(bool ps2) {
    const InstallConfigRecord &c = InstallConfig;
    return {{"DevLoader", "*vmouse"},
            {"MouseType", ps2 ? "PS2" : "Serial"},
            {"MouseDriver", c.MouseDriver},
            {"InfPath", c.MouseInf},
            {"DriverDesc", ps2 ? c.PS2Name : c.SeialName},
            {"DriverDate", c.DriverDate},
            {"InfSection", ps2 ? c.PS2InfSection : c.SerialInfSection}};
}
RegValues Own(const char *driver) {
    RegValues own = Device(false, driver);
    own["ConfigFlags"] = own["DetFlags"] = "<type 3: 0 0 0 0>";
    own["DetFunc"] = "*:DETECTSERIALMOUSE";
    return own;
}

// The record of a seeded device and class instance; without an INF section
// only up to SubKey2, the instance having been made, not read.
std::string Record(const std::string &device, const char *desc, const char *instance,
                   const char *section) {
    std::string record = "SubKey1=" + device + "|DeviceDesc=" + desc +
                         "|Mfg=" + SeededDeviceValues(desc, NULL)["Mfg"] +
                         "|SubKey2=" + MouseClass + "\\" + instance;
    RegValues old = SeededClassValues(desc, section ? section : "");
    for (const char *key : {"MouseDriver", "InfPath", "DriverDesc", "DriverDate", "InfSection"})
        record += section ? std::string("|") + key + "=" + old[key] : "";
    return record;
}

TEST_F(Registry, MouseRoutesOnSeededMachinesChangeTheWholeTreeAndRecordAsTheySay) {
    const std::string bios = "Enum\\BIOS\\*PNP0F13\\0000", serial = "Enum\\ROOT\\*PNP0F0C\\0000",
                      root = "Enum\\ROOT\\*PNP0F0E\\0000", second = "Enum\\BIOS\\*PNP0F13\\0001",
                      longKey = "Enum\\BIOS\\*PNP0F13\\" + std::string(110, '7'),
                      own = "Enum\\Root\\VelorMouse\\0000", c0 = MouseClass + "\\0000",
                      c1 = MouseClass + "\\0001";
    // clang-format off
    const struct { MouseMachine machine; int kind; const char *type; RegTree changes;
                   std::string ps2, serial; } routes[] = {
        // PS/2 chosen among both mice: the serial one is left alone.
        {BothMice, 0, "PS2", {{bios, Device(1, "Mouse\\0000")}, {c0, Class(1)}},
         Record(bios, "Standard PS/2 Port Mouse", "0000", "PS2_Inst"), ""},
        {BothMice, 1, "Serial", {{serial, Device(0, "Mouse\\0001")}, {c1, Class(0)}},
         "", Record(serial, "Standard Serial Mouse", "0001", "SerialMouse")},
        {{{serial.substr(5)}, {{serial, "Standard Serial Mouse", "Mouse\\0000"}}, {}}, 0, "", {}, "", ""},
        {{}, 0, "", {}, "", ""},
        // Serial chosen beside a PS/2 mouse: an own device key, nothing recorded.
        {Ps2Mouse, 1, "Serial", {{own, Own("Mouse\\0001")}, {c1, Class(0)}}, "", ""},
        // The BIOS mouse before the root one; of two, the later.
        {{{root.substr(5), bios.substr(5), second.substr(5)}, {{root, "Root", "Mouse\\0000"},
          {bios, "First", "Mouse\\0000"}, {second, "Second", "Mouse\\0000"}}, {{"0000", "Second", "PS2_Inst"}}},
         0, "PS2", {{second, Device(1, "Mouse\\0000")}, {c0, Class(1)}}, Record(second, "Second", "0000", "PS2_Inst"), ""},
        // Letter case counts; a class key missing is made, SubKey2 recorded.
        {{{"bios\\*pnp0f13\\0000", root.substr(5)}, {{root, "Root", "Mouse\\0000"}}, {}}, 0, "PS2",
         {{root, Device(1, "Mouse\\0000")}, {c0, Class(1)}}, Record(root, "Root", "0000", NULL), ""},
        // A device without Driver gets an instance of its own.
        {{{bios.substr(5)}, {{bios, "PS/2", NULL}}, {{"0000", "Serial", "SerialMouse"}}}, 0, "PS2",
         {{bios, Device(1, "Mouse\\0001")}, {c1, Class(1)}}, Record(bios, "PS/2", "0001", NULL), ""},
        // A hardware key longer than any the platform names, taken whole.
        {{{longKey.substr(5)}, {{longKey, "Long", "Mouse\\0000"}}, {{"0000", "Long", "PS2_Inst"}}}, 0, "PS2",
         {{longKey, Device(1, "Mouse\\0000")}, {c0, Class(1)}}, Record(longKey, "Long", "0000", "PS2_Inst"), ""},
    };
    // clang-format on
    for (const auto &route : routes) {
        WriteFile(record, "");
        ASSERT_TRUE(SeedMouseMachine(route.machine));
        RegTree before = Machine();
        MouseKind = route.kind;
        MouseTypeName[0] = '\0';
        UpdateRegistry(0);
        EXPECT_STREQ(route.type, MouseTypeName) << &route - routes;
        EXPECT_EQ(route.changes, Changes(before)) << &route - routes;
        EXPECT_EQ(route.ps2 + " " + route.serial, Section("PS2") + " " + Section("Serial"));
    }
    // No list of active devices: a PS/2 choice finds nothing, a serial one
    // makes its own device; a second time, with a further instance.
    WriteFile(record, "");
    SeedMouseMachine({});
    DeleteRegTree(HKEY_DYN_DATA, "Config Manager\\Enum");
    RegTree before = Machine();
    for (int kind : {0, 1, 1}) {
        MouseKind = kind;
        UpdateRegistry(0);
    }
    EXPECT_EQ(RegTree({{own, Own("Mouse\\0001")}, {c0, Class(0)}, {c1, Class(0)}}),
              Changes(before));
    EXPECT_EQ(" ", Section("PS2") + " " + Section("Serial"));
}

TEST_F(Registry, RecordWrittenOnceRefilledWhenEmptyAndKeptByLaterRunsOfEitherRoute) {
    RecordPreviousSetting("PS2", "DeviceDesc", "");
    RecordPreviousSetting("PS2", "DeviceDesc", "first");
    RecordPreviousSetting("PS2", "DeviceDesc", "second");
    EXPECT_EQ("ProductName=Velor DeviceDesc=first", Section("Main") + " " + Section("PS2"));
    WriteFile(record, "");
    SeedMouseMachine(BothMice);
    MouseKind = 0;
    UpdateRegistry(1); // a full install
    const std::string first = Section("PS2");
    UpdateRegistry(1); // a second one into the same folder
    DeleteRegTree(HKLM, RunKey);
    SetRegText(HKLM, "Enum\\BIOS\\*PNP0F13\\0000", "DeviceDesc", "Changed since");
    UpdateRegistry(0); // a -u run from there: the mouse only
    EXPECT_EQ(c.PS2Name, ReadRegValues(HKLM, "Enum\\BIOS\\*PNP0F13\\0000")["DeviceDesc"]);
    EXPECT_TRUE(ReadRegValues(HKLM, RunKey).empty());
    MouseKind = 1;
    UpdateRegistry(0); // and on the serial route: both sections side by side
    EXPECT_EQ(
        Record("Enum\\BIOS\\*PNP0F13\\0000", "Standard PS/2 Port Mouse", "0000", "PS2_Inst") + " " +
            Record("Enum\\ROOT\\*PNP0F0C\\0000", "Standard Serial Mouse", "0001", "SerialMouse"),
        first + " " + Section("Serial"));
    EXPECT_EQ(first, Section("PS2"));
}

TEST_F(Registry, NextClassInstanceFollowsTheListUpToItsFirstGap) {
    // clang-format off
    const struct { std::vector<SeedInstance> names; const char *next; } lists[] = {
        {{}, "Mouse\\0000"}, {{{"0000", "", ""}, {"0001", "", ""}}, "Mouse\\0002"},
        {{{"0000", "", ""}, {"0002", "", ""}, {"0003", "", ""}}, "Mouse\\0001"},
        {{{"0001", "", ""}}, "Mouse\\0000"},
    };
    // clang-format on
    for (const auto &list : lists) {
        SeedMouseMachine({{}, {}, list.names});
        char instance[INSTANCE_TEXT] = "";
        EXPECT_EQ(1, NextMouseClassInstance(instance));
        EXPECT_STREQ(list.next, instance);
    }
    SetRegText(HKLM, MouseClass, NULL, "Mouse"); // a list with a value, no instance
    char instance[INSTANCE_TEXT] = "";
    NextMouseClassInstance(instance);
    EXPECT_STREQ("Mouse\\0000", instance);
}

// The platform's line ends, as the patch writes them.
static std::string Crlf(std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\r');
    return text;
}

// system.ini, system.bak, system.new, VMM32\VMOUSE.VXD and VMM32\VMOUSE.BAK
// of a Windows folder and its system folder.
struct IniFiles {
    std::string paths[5];
    IniFiles(const std::string &windows, const std::string &system) {
        const char *names[] = {"\\system.ini", "\\system.bak", "\\system.new"};
        for (int i = 0; i < 3; i++)
            paths[i] = windows + names[i];
        paths[3] = system + "\\VMM32\\VMOUSE.VXD", paths[4] = system + "\\VMM32\\VMOUSE.BAK";
        fs::create_directories(system + "\\VMM32");
    }
    void Seed(const std::vector<std::string> &contents) {
        for (int i = 0; i < 5; i++)
            if (contents[i] == "<dir>")
                fs::create_directory(paths[i]);
            else if (contents[i] != "<missing>")
                WriteFile(paths[i], contents[i]);
    }
    std::vector<std::string> Now() {
        std::vector<std::string> now;
        for (const std::string &path : paths)
            now.push_back(ReadFile(path));
        return now;
    }
};

TEST(SystemIni, MatchingRules) {
    Scratch windows("sysini");
    IniFiles files(windows.path, windows / "SYSTEM");
    const std::string head = "device=" + std::string(112, 'x'); // 119 characters: one piece
    // clang-format off
    const std::pair<std::string, std::string> rules[] = {
        // A commented line stays, the next with "mouse" is replaced, once.
        {"[386Enh]\n;mouse=old.vxd\nmouse=msmouse.vxd\nmouse=b\n", "[386Enh]\n;mouse=old.vxd\nmouse=*vmouse\nmouse=b\n"},
        // No mouse line in the section: the next one anywhere.
        {"[386Enh]\nebios=*ebios\n[drivers]\nmousedrv=a\n", "[386Enh]\nebios=*ebios\n[drivers]\nmouse=*vmouse\n"},
        // Case counts; a blank before ";" is no comment; a header with "mouse"
        // in it is replaced itself; a second [386Enh] arms it again.
        {"[386ENH]\nmouse=a\n", "[386ENH]\nmouse=a\n"}, {"[386Enh]\nMouse=a\n ;mouse=b\n", "[386Enh]\nMouse=a\nmouse=*vmouse\n"},
        {"[386Enh] ; mouse\nmouse=a\n", "mouse=*vmouse\nmouse=a\n"},
        {"[386Enh]\nmouse=a\n[386Enh]\nmouse=c\n", "[386Enh]\nmouse=*vmouse\n[386Enh]\nmouse=*vmouse\n"},
        // Long lines are read in pieces of 119, each tested by itself.
        {"[386Enh]\n" + head + "mouse=tail\n", "[386Enh]\n" + head + "mouse=*vmouse\n"},
        {"[386Enh]\n" + head.substr(3) + "mouse=tail\n", "[386Enh]\n" + head.substr(3) + "mouse=tail\n"},
    };
    // clang-format on
    for (const auto &rule : rules) {
        fs::remove(files.paths[1]);
        WriteFile(files.paths[0], rule.first);
        EXPECT_EQ(-1, PatchSystemIniIn(windows.path.c_str(), (windows / "SYSTEM").c_str()));
        EXPECT_EQ(Crlf(rule.second), ReadFile(files.paths[0])) << rule.first;
    }
}

// Every outcome on real files: what each file holds before, one held open
// while the patch runs (with its sharing), the result and what each holds
// after; in short folders and in the longest, which must be joined whole.
TEST(SystemIni, OutcomesOnTheFiles) {
    const std::string ini = Crlf("[boot]\nshell=Explorer.exe\nmouse.drv=mouse.drv\n[386Enh]\n"
                                 "ebios=*ebios\nmouse=*vmouse, msmouse.vxd\nkeyboard=*vkd\n"),
                      patched = Crlf("[boot]\nshell=Explorer.exe\nmouse.drv=mouse.drv\n[386Enh]\n"
                                     "ebios=*ebios\nmouse=*vmouse\nkeyboard=*vkd\n"),
                      no = "<missing>", dir = "<dir>", vxd = "vxd", any = "any";
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // clang-format off
    const struct { std::vector<std::string> before; int held; DWORD share; int result;
                   std::vector<std::string> after; } rows[] = {
        {{ini, "old", no, vxd, no}, -1, 0, 0, {patched, ini, no, no, vxd}},
        // What a first run leaves, with a new VxD: VMOUSE.BAK is in the way.
        {{patched, ini, no, "new", vxd}, -1, 0, -1, {patched, patched, no, "new", vxd}},
        {{no, "old", no, no, no}, -1, 0, -1, {no, "old", no, no, no}},
        {{dir, "old", no, no, no}, -1, 0, -1, {dir, "old", no, no, no}},
        {{ini, "old", no, no, no}, 0, 0, -1, {ini, "old", no, no, no}},      // held without sharing
        {{ini, "old", dir, vxd, no}, -1, 0, -1, {ini, "old", dir, no, vxd}}, // the set-aside apart
        {{ini, "old", "stale", vxd, no}, 2, 0, -1, {ini, "old", "stale", no, vxd}},
        {{ini, dir, no, no, no}, -1, 0, -1, {ini, dir, no, no, no}},         // no backup to remove
        // Written, but it can neither take the name nor go: system.ini is put back.
        {{ini, "old", "", no, no}, 2, all, -1, {ini, no, any, no, no}},
    };
    // clang-format on
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string longest = temp + std::string(79 - strlen(temp), 'w');
    for (const auto &folders : {std::make_pair(std::string(temp) + "sysini", std::string("SYSTEM")),
                                std::make_pair(longest, std::string(70, 's'))}) {
        for (const auto &row : rows) {
            fs::remove_all(folders.first);
            IniFiles files(folders.first, folders.first + "\\" + folders.second);
            files.Seed(row.before);
            HANDLE held = row.held < 0 ? INVALID_HANDLE_VALUE
                                       : CreateFileA(files.paths[row.held].c_str(), GENERIC_READ,
                                                     row.share, NULL, OPEN_EXISTING, 0, NULL);
            EXPECT_EQ(row.result,
                      PatchSystemIniIn(folders.first.c_str(),
                                       (folders.first + "\\" + folders.second).c_str()));
            CloseHandle(held);
            std::vector<std::string> after = files.Now();
            after[2] = row.after[2] == any ? any : after[2];
            EXPECT_EQ(row.after, after) << folders.first << " " << &row - rows;
        }
        fs::remove_all(folders.first);
    }
    // system.new on a full device (a link the build makes): every write
    // fails, system.ini and system.bak stay as they were.
    const std::string full = BuildFolder() + "\\fixtures\\full-disk";
    IniFiles files(full, full);
    files.Seed({ini, "old", no, no, no});
    EXPECT_EQ(-1, PatchSystemIniIn(full.c_str(), full.c_str()));
    EXPECT_EQ(ini + " old", ReadFile(files.paths[0]) + " " + ReadFile(files.paths[1]));
}
