// The script loader on real SETUP.INF files read through the platform's
// profile calls, each load compared whole as one text.
#include <gtest/gtest.h>

#include <tuple>

#include "script/script.h"
#include "runtime/runtime.h"
#include "support/files.h"

// A field as it reads, "~" marking a byte set behind its terminator.
static std::string T(const char *field, size_t size) {
    size_t length = strnlen(field, size);
    for (size_t i = length + 1; i < size; i++)
        if (field[i] != '\0')
            return std::string(field, length) + "~";
    return length < size ? field : "<unterminated>";
}
template <size_t N> static std::string T(const char (&field)[N]) {
    return T(field, N);
}

// Every text setting: its section, key, field and size.
static std::vector<std::tuple<std::string, std::string, char *, size_t>> Fields() {
    InstallConfigRecord &c = InstallConfig;
    // clang-format off
    std::vector<std::tuple<std::string, std::string, char *, size_t>> f = {
        {"Main", "DefaultPath", c.DefaultPath, 80}, {"Main", "GroupName", c.GroupName, 20},
        {"Main", "GroupTitle", c.GroupTitle, 48}, {"Main", "ProductName", c.ProductName, 32},
        {"Startup", "FileName", c.FileName, 80}, {"Startup", "Title", c.Title, 80}, {"Startup", "Mfg", c.Mfg, 40},
        {"Startup", "MouseDriver", c.MouseDriver, 40}, {"Startup", "MouseInf", c.MouseInf, 40},
        {"Startup", "DriverDate", c.DriverDate, 40}, {"Startup", "PS2InfSection", c.PS2InfSection, 40},
        {"Startup", "SerialInfSection", c.SerialInfSection, 40}, {"Startup", "PS2Name", c.PS2Name, 40},
        {"Startup", "SeialName", c.SeialName, 40}};
    const char *dirs[] = {"RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4", "SubDir5", "SubDir6",
                          "WinDir", "WinSystemDir", "WinInfDir"};
    // clang-format on
    for (int i = 0; i < 10; i++)
        f.emplace_back("DirectoryName", dirs[i], c.DirectoryTable[i], 80);
    for (int i = 0; i < 6; i++)
        f.emplace_back("DiskLabel", "Disk" + std::to_string(i + 1), c.DiskTable.DiskLabels[i], 40);
    return f;
}

// What a load left: the folder, caption and numbers, every text setting that
// is not empty, the disk table, then each record and program item.
static std::string Loaded() {
    const InstallConfigRecord &c = InstallConfig;
    const DiskTableRecord &d = c.DiskTable;
    std::string s = T(c.SourceRoot) + "|" + T(c.Caption) + "|" + std::to_string(c.MinimumSpace) +
                    "|" + std::to_string(c.OEM);
    for (const auto &f : Fields())
        s += T(std::get<2>(f), std::get<3>(f)).empty()
                 ? ""
                 : " " + std::get<1>(f) + "=" + T(std::get<2>(f), std::get<3>(f));
    s += "\n" + std::to_string(d.DiskCount) + ":";
    for (short count : d.FileCounts)
        s += " " + std::to_string(count);
    s += " / " + std::to_string(d.TotalFiles) + " @";
    for (int i = 0; i <= d.DiskCount; i++)
        s += " " + std::to_string(d.DiskFiles[i] - InstallRecords);
    for (const FileEntry *e = InstallRecords; e < InstallRecords + d.TotalFiles; e++)
        s += "\n" + T(e->SourceSubDir) + "|" + T(e->TargetDir) + "|" + T(e->SourceName) + "|" +
             T(e->TargetName) + "|" + T(e->Description) + "|" + std::to_string(e->IsAbsolute);
    for (int i = 0; i < MAX_PROGRAM_ITEMS; i++) {
        const ProgramItem &p = *c.ProgramItems[i];
        if (i < c.ProgramItemCount || p.ItemFile[0] || p.ItemTitle[0] || p.ItemIcon[0])
            s += "\npm " + T(p.ItemFile) + "|" + T(p.ItemTitle) + "|" + T(p.ItemIcon);
    }
    return s;
}

// Loads the text (empty: no script at all) for a program at A:\SETUP.EXE, from
// a fresh file name each time: the platform caches profile files by name.
static int Load(const std::string &text, const char *windows = "D:\\WINDOWS") {
    static Scratch folder("script");
    static int loads = (AppInstance = GetModuleHandleA(NULL), 0);
    std::string path = folder / ("S" + std::to_string(++loads) + ".INF");
    if (!text.empty())
        WriteFile(path, text);
    return LoadScriptFrom("A:\\SETUP.EXE", windows, path.c_str());
}

TEST(Script, LoadsComparedWhole) {
    const std::string x79(79, 'x'), x39(39, 'x'), w = "C:\\" + std::string(29, 'W');
    // clang-format off
    const struct { std::string script, windows, loaded; } loads[] = {
        // Labels with gaps, the last one Disk6, give 3 disks, the second without files; a missing
        // key keeps its empty record; Disk4 is not read; names and tokens match
        // in any case; only the space is a blank; a line with fewer fields
        // ends there; lines are cut to 127 characters, fields to their widths;
        // the drive letter replaces any first character.
        {"[main]\nDefaultPath=\\TOOLS\nOEM=-7\nminimumspace=  512  \nProductName=\"Velor Mouse\"\n"
         "[DiskLabel]\nDisk1=one\nDisk3=three\nDisk6=" + x79 + "\n[FileCounts]\nDisk1=2\nDisk2=0\nDisk3=9\n"
         "Disk4=9\n[DirectoryName]\nRootDir=BASE\nSubDir2=TWO\nSubDir3=" + x79 + "\nWinDir=W\nWinSystemDir=S\n"
         "WinInfDir=I\n[Disk1]\n2=A.DLL,\tB.DLL ,  Library , RootDir \n[Disk2]\n1=NEVER\n[Disk3]\n"
         "1=A.DLL,,  ,SubDir2\n2=C.DLL,C.DLL,Mixed,sUbDiR3\n3=D.DLL,D.DLL,Near,WinSys\n4=E.DLL,E.DLL,System,"
         "WINSYSTEMDIR\n5=F.DLL,F.DLL,Windows,windir,extra,fields\n6=G.DLL,G.DLL\n7=" + std::string(20, 's') +
         "," + std::string(20, 't') + "," + std::string(100, 'd') + ",SubDir2\n8=" + std::string(60, 'l') +
         "," + std::string(100, 'L') + "\n9=I.INF,I.INF,Inf,WinInfDir\n[STARTUP]\nSeialName=" + x79 +
         "\nSerialName=Not this key\n", w,
         "A:|Velor Mouse Setup Program|512|-7 DefaultPath=CTOOLS GroupName=VELOR.GRP GroupTitle=VELOR "
         "ProductName=Velor Mouse SeialName=" + x39 + " RootDir=BASE SubDir2=TWO SubDir3=" + x79 +
         " WinDir=W WinSystemDir=S WinInfDir=I Disk1=one Disk3=three Disk6=" + x39 +
         "\n3: 2 0 9 0 0 0 / 11 @ 0 2 2 11\n|||||0\nBASE|BASE|A.DLL|\tB.DLL|Library|0\nTWO|TWO|A.DLL|||0\n" +
         x39 + "|" + x39 + "|C.DLL|C.DLL|Mixed|0\n||D.DLL|D.DLL|Near|0\nS|" + w + "\\SYSTEM|E.DLL|E.DLL|"
         "System|1\nW|" + w + "|F.DLL|F.DLL|Windows|1\n||G.DLL|G.DLL||0\n||" + std::string(14, 's') + "|" +
         std::string(14, 't') + "|" + std::string(61, 'd') + "|0\n||" + std::string(14, 'l') + "|" +
         std::string(14, 'L') + "||0\nI|" + w + "\\INF|I.INF|I.INF|Inf|1"},
        // Program items stop at the first gap; each field is cut to its width.
        {"[PM Info]\n1=ZKMAIN.EXE, Velor Mouse, 0\n2=" + std::string(50, 'f') + ",," + std::string(50, 'i') +
         "\n4=LATE.EXE,Late,3\n", "D:\\WINDOWS", "A:|Velor Setup Program|1024|0 DefaultPath=D:\\VELOR GroupName=VELOR.GRP "
         "GroupTitle=VELOR ProductName=Velor\n0: 0 0 0 0 0 0 / 0 @ 0\npm ZKMAIN.EXE|Velor Mouse|0\npm " +
         std::string(14, 'f') + "||iiii"},
        // Without a script the block holds only the ten program items.
        {"", "D:\\WINDOWS", "A:|Velor Setup Program|1024|0 DefaultPath=D:\\VELOR GroupName=VELOR.GRP GroupTitle=VELOR "
         "ProductName=Velor\n0: 0 0 0 0 0 0 / 0 @ 0"},
    };
    // clang-format on
    for (const auto &load : loads) {
        ASSERT_EQ(1, Load(load.script, load.windows.c_str()));
        EXPECT_EQ(load.loaded, Loaded());
    }
    EXPECT_EQ((void *)InstallRecords, (void *)InstallConfig.ProgramItems[0]);
    EXPECT_LT(GlobalSize(GlobalHandle(InstallRecords)),
              10 * sizeof(ProgramItem) + sizeof(FileEntry));
    std::string twelve = "[PM Info]\n";
    for (int i = 1; i <= 12; i++)
        twelve += std::to_string(i) + "=F" + std::to_string(i) + ".EXE,Item,1\n";
    ASSERT_EQ(1, Load(twelve));
    EXPECT_EQ("10 F10.EXE", std::to_string(InstallConfig.ProgramItemCount) + " " +
                                InstallConfig.ProgramItems[9]->ItemFile);
}

TEST(Script, EveryTextSettingIsCutToItsWidth) {
    std::string script, section;
    for (const auto &f : Fields())
        script += (section == std::get<0>(f) ? "" : "[" + (section = std::get<0>(f)) + "]\n") +
                  std::get<1>(f) + "=" + std::string(200, (char)('A' + script.size() % 26)) + "\n";
    ASSERT_EQ(1, Load(script));
    for (const auto &f : Fields()) {
        std::string line = "\n" + std::get<1>(f) + "=",
                    value = script.substr(script.find(line) + line.size(), std::get<3>(f) - 1);
        value[0] = std::get<1>(f) == "DefaultPath" ? 'D' : value[0]; // the Windows drive
        EXPECT_EQ(value, T(std::get<2>(f), std::get<3>(f))) << std::get<1>(f);
    }
    EXPECT_EQ(std::string(InstallConfig.ProductName) + " Setup Program", T(InstallConfig.Caption));
}

TEST(Script, CountsOutsideTheFormatAreRefusedTheLargestTotalIsAccepted) {
    for (const char *counts : {"-1\nDisk2=5\n", "20000\nDisk2=12768\n", "32768\n", "65537\n"}) {
        EXPECT_EQ(0, Load(std::string("[Main]\nProductName=Counted\n[DiskLabel]\nDisk1=x\nDisk2=y\n"
                                      "[FileCounts]\nDisk1=") +
                          counts));
        // The error message still has its caption.
        EXPECT_EQ("0 Counted Setup Program",
                  std::to_string(InstallRecords != NULL) + " " + InstallConfig.Caption);
    }
    // A Windows folder that leaves no room for a token's tail refuses the load.
    std::string seen;
    for (auto token : {std::make_pair("WinDir", 39), {"WinSystemDir", 32}, {"WinInfDir", 35}})
        for (int extra : {0, 1}) {
            seen += std::to_string(
                Load(std::string("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=1\n[Disk1]\n"
                                 "1=A,A,a,") +
                         token.first + "\n",
                     ("C:\\" + std::string(token.second - 3 + extra, 'W')).c_str()));
            seen +=
                InstallRecords ? std::to_string(strlen(InstallRecords[0].TargetDir)) + " " : " ";
        }
    EXPECT_EQ("139 0 139 0 139 0 ", seen);
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=x\nDisk2=y\n[FileCounts]\nDisk1=32000\nDisk2=767\n"
                      "Disk3=-7\n[Disk2]\n767=LAST.DAT,LAST.DAT,Last\n"));
    EXPECT_EQ(32767, InstallConfig.DiskTable.DiskFiles[2] - InstallRecords);
    EXPECT_EQ("|LAST.DAT", std::string(InstallRecords[32765].SourceName) + "|" +
                               InstallRecords[32766].SourceName);
}

TEST(Script, ProgramPathGivesTheFolderAndScriptOrIsRefusedWhenEitherWouldNotFit) {
    const std::string f69 = "C:\\" + std::string(66, 'F'); // with "\SETUP.INF", 79 characters
    const std::pair<std::string, std::string> rows[] = {
        {"A:\\SETUP.EXE", "A:"},
        {"C:\\MEDIA\\DISK1\\SETUP.EXE", "C:\\MEDIA\\DISK1"},
        {"\\SETUP.EXE", "\\SETUP.EXE"},
        {"SETUP.EXE", "SETUP.EXE"},
        {f69 + "\\SETUP.EXE", f69},
        {f69 + "F\\S.EXE", ""},
        {"", ""},
        {f69 + std::string(80, 'F') + "\\SETUP.EXE", ""}};
    for (const auto &row : rows) {
        char root[PATH_TEXT] = "x", script[PATH_TEXT] = "x";
        EXPECT_EQ(!row.second.empty(), SplitProgramPath(row.first.c_str(), root, script));
        EXPECT_EQ(row.second + (row.second.empty() ? "|" : "|" + row.second + "\\SETUP.INF"),
                  std::string(root) + "|" + script);
    }
    EXPECT_EQ(0, LoadScriptFrom(rows[7].first.c_str(), "C:\\WINDOWS", NULL));
    EXPECT_EQ("0 Velor Setup Program",
              std::to_string(InstallRecords != NULL) + " " + InstallConfig.Caption);
}
