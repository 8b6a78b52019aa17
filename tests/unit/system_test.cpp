// The registry step on the prefix's registry with a seeded Windows 98 mouse
// machine, the record in the destination's SETUP.INF, and the system.ini patch
// on real files; the texts come from the sample media's SETUP.INF.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "script/script.h"
#include "support/files.h"
#include "system/system_steps.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string Clsid = "CLSID\\{4550E781-90B7-11d1-A2FD-FDB97FAA9D6C}",
                  Handlers = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls "
                             "Folder\\Mouse\\shellex\\PropertySheetHandlers",
                  RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                  Uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix",
                  MouseClass = "System\\CurrentControlSet\\Services\\Class\\Mouse";
const InstallConfigRecord &c = InstallConfig;
static Scratch Folder("registry");
static const std::string RecordPath = Folder / "SETUP.INF";

// Names of the text values written with a length other than their text's.
static std::string BadLengths;
static LONG WINAPI Checked(HKEY key, LPCSTR name, DWORD zero, DWORD type, const BYTE *data,
                           DWORD length) {
    if (type == REG_SZ && length != strlen((const char *)data))
        BadLengths += name ? name : "(default)";
    return RegSetValueExA(key, name, zero, type, data, length);
}

// The sample media's texts, the destination with an empty record, no product
// entries, every value write watched and, after each test, none wrong.
class Registry : public ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(1, LoadScriptFrom((BuildFolder() + "\\media\\SETUP.EXE").c_str(), "C:\\W", NULL));
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, Folder.path.c_str());
        WriteFile(RecordPath, "");
        for (const std::string &key : {Clsid, Handlers, RunKey, Uninstall})
            DeleteRegTree(key == Clsid ? HKEY_CLASSES_ROOT : HKLM, key);
        RegistrySetValue = Checked;
    }
    void TearDown() override { EXPECT_EQ("", std::exchange(BadLengths, "")); }
};

// The record's sections of the two routes.
static std::string Records() {
    return ProfileSection(RecordPath, "PS2") + " " + ProfileSection(RecordPath, "Serial");
}

TEST_F(Registry, ProductEntriesWholeWithTheirDataForEachFolderAndTitle) {
    // Folders that hold a journal: short, and the longest the page takes.
    const std::string longest = Folder / std::string(78 - Folder.path.size(), 'L');
    CreateDirectoryA(longest.c_str(), NULL);
    for (std::string folder : {Folder.path, longest})
        for (std::string title : {std::string(c.Title), std::string()}) {
            CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.c_str());
            CopyText(InstallConfig.Title, PATH_TEXT, title.c_str());
            RegisterProduct();
            RegTree tree = {{RunKey, {{"Dorvantix", ReadRegValues(HKLM, RunKey)["Dorvantix"]}}}};
            ReadRegTree(tree, HKEY_CLASSES_ROOT, Clsid);
            for (const std::string &key : {Handlers, Uninstall})
                ReadRegTree(tree, HKLM, key);
            // clang-format off
            EXPECT_EQ(RegTree({{Clsid, {{"", "ZKMouseControlPage"}}},
                {Clsid + "\\InProcServer32", {{"", folder + "\\ZKPAGE.DLL"}, {"ThreadingModel", "Apartment"}}},
                {Handlers, {{"", "ZKMousePage"}}}, {Handlers + "\\ZKMousePage", {{"", Clsid.substr(6)}}},
                {RunKey, {{"Dorvantix", folder + "\\ZKMAIN.EXE -startup"}}},
                {Uninstall, {{"DisplayName", title}, {"UninstallString", folder + "\\UNINSTAL.EXE"}}}}), tree);
            // clang-format on
        }
}

// The keys of the device tree and the class list whose values changed.
static RegTree Changes(const RegTree &before) {
    RegTree after, changed;
    ReadRegTree(after, HKLM, "Enum");
    ReadRegTree(after, HKLM, "System\\CurrentControlSet\\Services\\Class");
    for (const auto &key : after)
        if (before.count(key.first) ? before.at(key.first) != key.second : !key.second.empty())
            changed.insert(key);
    return changed;
}

// A device key (with flags: the own serial one) or, without a driver, a class
// instance, as the product leaves it on the PS/2 route or the serial one.
static RegValues Left(bool ps2, const char *driver = NULL, bool flags = false) {
    const char *name = ps2 ? c.PS2Name : c.SeialName, *flag = "<type 3: 0 0 0 0>";
    // clang-format off
    RegValues v = driver ? RegValues{{"Class", "Mouse"}, {"DeviceDesc", name}, {"Mfg", c.Mfg}, {"Driver", driver}}
        : RegValues{{"DevLoader", "*vmouse"}, {"MouseType", ps2 ? "PS2" : "Serial"}, {"MouseDriver", c.MouseDriver},
                    {"InfPath", c.MouseInf}, {"DriverDesc", name}, {"DriverDate", c.DriverDate},
                    {"InfSection", ps2 ? c.PS2InfSection : c.SerialInfSection}};
    // clang-format on
    if (flags)
        v.insert({{"ConfigFlags", flag}, {"DetFlags", flag}, {"DetFunc", "*:DETECTSERIALMOUSE"}});
    return v;
}

// The record of a seeded device and class instance: without an INF section
// up to SubKey2, the instance having been made, not read.
static std::string Record(const std::string &device, const char *desc, const char *instance,
                          const char *section = NULL) {
    std::string record = "SubKey1=Enum\\" + device + "|DeviceDesc=" + desc +
                         "|Mfg=" + SeededDeviceValues(desc, NULL)["Mfg"] +
                         "|SubKey2=" + MouseClass + "\\" + instance + "|";
    RegValues old = SeededClassValues(desc, section ? section : "");
    for (const char *key : {"MouseDriver", "InfPath", "DriverDesc", "DriverDate", "InfSection"})
        record += section ? std::string(key) + "=" + old[key] + "|" : "";
    return record;
}

TEST_F(Registry, MouseRoutesOnSeededMachinesChangeTheWholeTreeAndRecordAsTheySay) {
    const std::string bios = "BIOS\\*PNP0F13\\0000", serial = "ROOT\\*PNP0F0C\\0000",
                      root = "ROOT\\*PNP0F0E\\0000", second = "BIOS\\*PNP0F13\\0001",
                      own = "Enum\\Root\\VelorMouse\\0000", c0 = MouseClass + "\\0000",
                      c1 = MouseClass + "\\0001", e = "Enum\\";
    // clang-format off
    const struct { MouseMachine machine; int kind; const char *type; RegTree changes; std::string records; } routes[] = {
        // Of both mice, the one chosen; the other is left alone.
        {BothMice, 0, "PS2", {{e + bios, Left(1, "Mouse\\0000")}, {c0, Left(1)}},
         Record(bios, "Standard PS/2 Port Mouse", "0000", "PS2_Inst") + " "},
        {BothMice, 1, "Serial", {{e + serial, Left(0, "Mouse\\0001")}, {c1, Left(0)}},
         " " + Record(serial, "Standard Serial Mouse", "0001", "SerialMouse")},
        {{{serial}, {{e + serial, "Serial", "Mouse\\0000"}}, {}}, 0, "", {}, " "}, {{}, 0, "", {}, " "},
        // Serial chosen beside a PS/2 mouse: an own device key, nothing
        // recorded; its instance follows the list up to its first gap.
        {Ps2Mouse, 1, "Serial", {{own, Left(0, "Mouse\\0001", 1)}, {c1, Left(0)}}, " "},
        {{{}, {}, {{"0000", "", ""}, {"0002", "", ""}}}, 1, "Serial", {{own, Left(0, "Mouse\\0001", 1)}, {c1, Left(0)}}, " "},
        {{{}, {}, {{"0001", "", ""}}}, 1, "Serial", {{own, Left(0, "Mouse\\0000", 1)}, {c0, Left(0)}}, " "},
        // The BIOS mouse before the root one; of two, the later.
        {{{root, bios, second}, {{e + root, "Root", "Mouse\\0000"}, {e + bios, "First", "Mouse\\0000"},
          {e + second, "Second", "Mouse\\0000"}}, {{"0000", "Second", "PS2_Inst"}}}, 0, "PS2",
         {{e + second, Left(1, "Mouse\\0000")}, {c0, Left(1)}}, Record(second, "Second", "0000", "PS2_Inst") + " "},
        // Letter case counts; a class key missing is made, SubKey2 recorded.
        {{{"bios\\*pnp0f13\\0000", root}, {{e + root, "Root", "Mouse\\0000"}}, {}}, 0, "PS2",
         {{e + root, Left(1, "Mouse\\0000")}, {c0, Left(1)}}, Record(root, "Root", "0000") + " "},
        // A device without Driver gets an instance of its own.
        {{{bios}, {{e + bios, "PS/2", NULL}}, {{"0000", "Serial", "SerialMouse"}}}, 0, "PS2",
         {{e + bios, Left(1, "Mouse\\0001")}, {c1, Left(1)}}, Record(bios, "PS/2", "0001") + " "},
    };
    // clang-format on
    for (const auto &route : routes) {
        WriteFile(RecordPath, "");
        ASSERT_TRUE(SeedMouseMachine(route.machine));
        RegTree before = Changes({});
        MouseKind = route.kind, MouseTypeName[0] = '\0';
        UpdateRegistry(0);
        EXPECT_EQ(route.type + (" " + route.records), MouseTypeName + (" " + Records()));
        EXPECT_EQ(route.changes, Changes(before)) << &route - routes;
    }
}

TEST_F(Registry, RecordWrittenOnceRefilledWhenEmptyAndKeptByLaterRunsOfEitherRoute) {
    WriteFile(RecordPath, "[Main]\r\nProductName=Velor\r\n");
    for (const char *value : {"", "first", "second"}) // an empty one is filled later
        RecordPreviousSetting("PS2", "DeviceDesc", value);
    EXPECT_EQ("ProductName=Velor|DeviceDesc=first|",
              ProfileSection(RecordPath, "Main") + ProfileSection(RecordPath, "PS2"));
    WriteFile(RecordPath, "");
    SeedMouseMachine(BothMice);
    MouseKind = 0;
    UpdateRegistry(1); // a full install and a second one into the same folder
    UpdateRegistry(1);
    DeleteRegTree(HKLM, RunKey);
    SetRegText(HKLM, "Enum\\BIOS\\*PNP0F13\\0000", "DeviceDesc", "Changed since");
    UpdateRegistry(0); // a -u run from there: the mouse only
    EXPECT_EQ(std::string(c.PS2Name) + " 0",
              ReadRegValues(HKLM, "Enum\\BIOS\\*PNP0F13\\0000")["DeviceDesc"] + " " +
                  std::to_string(ReadRegValues(HKLM, RunKey).size()));
    MouseKind = 1;
    UpdateRegistry(0); // and on the serial route: both sections side by side
    EXPECT_EQ(Record("BIOS\\*PNP0F13\\0000", "Standard PS/2 Port Mouse", "0000", "PS2_Inst") + " " +
                  Record("ROOT\\*PNP0F0C\\0000", "Standard Serial Mouse", "0001", "SerialMouse"),
              Records());
}

// Every outcome on real files: system.ini, system.bak, system.new,
// VMM32\VMOUSE.VXD and VMM32\VMOUSE.BAK before, one held open while the
// patch runs (with its sharing), the result and the files after; in short
// folders and in the longest, which must be joined whole.
TEST(SystemIni, RulesAndOutcomesOnTheFiles) {
    const std::string ini = "[386Enh]\nmouse=*vmouse, msmouse.vxd\nx=y\n",
                      patched = Crlf("[386Enh]\nmouse=*vmouse\nx=y\n"), no = "<missing>",
                      dir = "<dir>", any = "any", head = "device=" + std::string(112, 'x');
    // clang-format off
    const struct { std::vector<std::string> before; int held; DWORD share; int result;
                   std::vector<std::string> after; } rows[] = {
        {{ini, "old", no, "vxd", no}, -1, 0, 0, {patched, ini, no, no, "vxd"}},
        // What a first run leaves, with a new VxD: VMOUSE.BAK is in the way.
        {{patched, ini, no, "new", "vxd"}, -1, 0, -1, {patched, patched, no, "new", "vxd"}},
        {{no, "old", no, no, no}, -1, 0, -1, {no, "old", no, no, no}},
        {{ini, "old", no, no, no}, 0, 0, -1, {ini, "old", no, no, no}},          // held without sharing
        {{ini, "old", dir, "vxd", no}, -1, 0, -1, {ini, "old", dir, no, "vxd"}}, // the set-aside apart
        {{ini, dir, no, no, no}, -1, 0, -1, {ini, dir, no, no, no}},             // no backup to remove
        // Written, but it can neither take the name nor go: system.ini is put back.
        {{ini, "old", "", no, no}, 2, FILE_SHARE_READ | FILE_SHARE_WRITE, -1, {ini, no, any, no, no}},
    };
    // A commented line stays, the next with "mouse" is replaced, once; without
    // one in the section, the next anywhere; case counts; a blank before ";"
    // is no comment; a header with "mouse" is itself replaced; a second
    // [386Enh] arms it again; long lines go in pieces of 119 characters.
    const std::pair<std::string, std::string> rules[] = {
        {"[386Enh]\n;mouse=a\nmouse=b\nmouse=c\n", "[386Enh]\n;mouse=a\nmouse=*vmouse\nmouse=c\n"},
        {"[386Enh]\n[x]\nmousedrv=a\n", "[386Enh]\n[x]\nmouse=*vmouse\n"}, {"[386ENH]\nmouse=a\n", ""},
        {"[386Enh]\nMouse=a\n ;mouse=b\n", "[386Enh]\nMouse=a\nmouse=*vmouse\n"},
        {"[386Enh] mouse\nmouse=a\n", "mouse=*vmouse\nmouse=a\n"},
        {"[386Enh]\nmouse=a\n[386Enh]\nmouse=c\n", "[386Enh]\nmouse=*vmouse\n[386Enh]\nmouse=*vmouse\n"},
        {"[386Enh]\n" + head + "mouse=a\n", "[386Enh]\n" + head + "mouse=*vmouse\n"},
        {"[386Enh]\n" + head.substr(3) + "mouse=a\n", ""},
    };
    // clang-format on
    const std::string temp = (fs::temp_directory_path() / "").string(),
                      longest = temp + std::string(79 - temp.size(), 'w');
    for (auto folders : {std::make_pair(temp + "sysini", std::string("\\SYSTEM")),
                         std::make_pair(longest, "\\" + std::string(70, 's'))}) {
        std::string system = folders.first + folders.second,
                    paths[] = {folders.first + "\\system.ini", folders.first + "\\system.bak",
                               folders.first + "\\system.new", system + "\\VMM32\\VMOUSE.VXD",
                               system + "\\VMM32\\VMOUSE.BAK"};
        for (const auto &row : rows) {
            fs::remove_all(folders.first);
            fs::create_directories(system + "\\VMM32");
            for (int i = 0; i < 5; i++)
                if (row.before[i] == dir)
                    fs::create_directory(paths[i]);
                else if (row.before[i] != no)
                    WriteFile(paths[i], row.before[i]);
            HANDLE held = CreateFileA(row.held < 0 ? "" : paths[row.held].c_str(), GENERIC_READ,
                                      row.share, NULL, OPEN_EXISTING, 0, NULL);
            EXPECT_EQ(row.result, PatchSystemIniIn(folders.first.c_str(), system.c_str()));
            CloseHandle(held);
            std::vector<std::string> after;
            for (int i = 0; i < 5; i++)
                after.push_back(row.after[i] == any ? any : ReadFile(paths[i]));
            EXPECT_EQ(row.after, after) << folders.first << " " << &row - rows;
        }
        for (const auto &rule : rules) {
            WriteFile(paths[0], rule.first);
            PatchSystemIniIn(folders.first.c_str(), system.c_str());
            EXPECT_EQ(Crlf(rule.second.empty() ? rule.first : rule.second), ReadFile(paths[0]));
        }
        fs::remove_all(folders.first);
    }
    // system.new on a full device (a link the build makes): every write
    // fails; system.ini and system.bak stay as they were.
    const std::string full = BuildFolder() + "\\fixtures\\full-disk";
    WriteFile(full + "\\system.ini", ini);
    WriteFile(full + "\\system.bak", "old");
    EXPECT_EQ(-1, PatchSystemIniIn(full.c_str(), full.c_str()));
    EXPECT_EQ(ini + "|old",
              ReadFile(full + "\\system.ini") + "|" + ReadFile(full + "\\system.bak"));
}
