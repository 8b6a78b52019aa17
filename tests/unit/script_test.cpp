// The script loader on real SETUP.INF files read through the platform's
// profile calls, each load compared whole as one text.
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "script/script.h"
#include "support/files.h"

namespace {

// A field as it reads, "~" marking a byte set behind its terminator.
std::string T(const char *field, size_t size) {
    size_t length = strnlen(field, size);
    for (size_t i = length + 1; i < size; i++)
        if (field[i] != '\0')
            return std::string(field, length) + "~";
    return length < size ? field : "<unterminated>";
}
template <size_t N> std::string T(const char (&field)[N]) {
    return T(field, N);
}

struct Field {
    std::string section, key;
    char *text;
    size_t size;
};

// Every text setting with its section, key and size.
std::vector<Field> Fields() {
    InstallConfigRecord &c = InstallConfig;
    std::vector<Field> f = {{"Main", "DefaultPath", c.DefaultPath, 80},
                            {"Main", "GroupName", c.GroupName, 20},
                            {"Main", "GroupTitle", c.GroupTitle, 48},
                            {"Main", "ProductName", c.ProductName, 32}};
    const char *dirs[] = {"RootDir", "SubDir1", "SubDir2", "SubDir3",      "SubDir4",
                          "SubDir5", "SubDir6", "WinDir",  "WinSystemDir", "WinInfDir"};
    for (int i = 0; i < 10; i++)
        f.push_back({"DirectoryName", dirs[i], c.DirectoryTable[i], 80});
    for (int i = 0; i < 6; i++)
        f.push_back({"DiskLabel", "Disk" + std::to_string(i + 1), c.DiskTable.DiskLabels[i], 40});
    const char *keys[] = {"FileName", "Title",      "Mfg",           "MouseDriver",
                          "MouseInf", "DriverDate", "PS2InfSection", "SerialInfSection",
                          "PS2Name",  "SeialName"};
    char *startup[] = {c.FileName, c.Title,      c.Mfg,           c.MouseDriver,
                       c.MouseInf, c.DriverDate, c.PS2InfSection, c.SerialInfSection,
                       c.PS2Name,  c.SeialName};
    for (int i = 0; i < 10; i++)
        f.push_back({"Startup", keys[i], startup[i], i < 2 ? 80u : 40u});
    return f;
}

// What a load left: the folder, caption and numbers, every text setting that
// is not empty, the disk table, then each record and program item.
std::string Loaded() {
    const InstallConfigRecord &c = InstallConfig;
    const DiskTableRecord &d = c.DiskTable;
    std::string s = T(c.SourceRoot) + "|" + T(c.Caption) + "|" + std::to_string(c.MinimumSpace) +
                    "|" + std::to_string(c.OEM);
    for (const Field &f : Fields())
        if (!T(f.text, f.size).empty())
            s += " " + f.key + "=" + T(f.text, f.size);
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

class Script : public ::testing::Test {
  protected:
    void SetUp() override { AppInstance = GetModuleHandleA(NULL); }
    void TearDown() override { FreeInstallTables(); }
    // Loads the text (empty: no script at all) for a program at A:\SETUP.EXE.
    // A fresh name each time: the platform caches profile files by name.
    int Load(const std::string &text, const char *windows = "D:\\WINDOWS") {
        static int loads;
        std::string path = folder / ("S" + std::to_string(++loads) + ".INF");
        if (!text.empty())
            WriteFile(path, text);
        return LoadScriptFrom("A:\\SETUP.EXE", windows, path.c_str());
    }
    Scratch folder{"script"};
};

const std::string Defaults = "DefaultPath=D:\\VELOR GroupName=VELOR.GRP GroupTitle=VELOR "
                             "ProductName=Velor";
const std::string x79(79, 'x'), x39(39, 'x'), w39 = "C:\\" + std::string(36, 'W');

TEST_F(Script, LoadsComparedWhole) {
    // clang-format off
    const struct { std::string script; const char *windows; std::string loaded; } loads[] = {
        {"", "D:\\WINDOWS", "A:|Velor Setup Program|1024|0 " + Defaults + "\n0: 0 0 0 0 0 0 / 0 @ 0"},
        // The worked example: tokens in any case, blanks around fields dropped.
        {"[Main]\nProductName=Velor Scroll Mouse\nDefaultPath=C:\\VELOR\nMinimumSpace=2048\n"
         "[DiskLabel]\nDisk1=Setup Disk\n[FileCounts]\nDisk1=4\n[DirectoryName]\nRootDir=\n"
         "SubDir1=HELP\nWinSystemDir=DRIVERS\nWinInfDir=DRIVERS\n[Disk1]\n"
         "1=SETUP.INF, SETUP.INF, Setup script, RootDir\n2=MOUSEHLP.TX_, MOUSEHLP.TXT,  Help text , subdir1\n"
         "3=SCROLL.DR_, SCROLL.DRV, Mouse driver, WinSystemDir\n"
         "4=SCROLL.INF, SCROLL.INF, Driver information, WinInfDir\n[Startup]\nTitle=Velor Scroll Mouse\n",
         "D:\\WINDOWS",
         "A:|Velor Scroll Mouse Setup Program|2048|0 DefaultPath=D:\\VELOR GroupName=VELOR.GRP "
         "GroupTitle=VELOR ProductName=Velor Scroll Mouse SubDir1=HELP WinSystemDir=DRIVERS "
         "WinInfDir=DRIVERS Disk1=Setup Disk Title=Velor Scroll Mouse\n1: 4 0 0 0 0 0 / 4 @ 0 4\n"
         "||SETUP.INF|SETUP.INF|Setup script|0\nHELP|HELP|MOUSEHLP.TX_|MOUSEHLP.TXT|Help text|0\n"
         "DRIVERS|D:\\WINDOWS\\SYSTEM|SCROLL.DR_|SCROLL.DRV|Mouse driver|1\n"
         "DRIVERS|D:\\WINDOWS\\INF|SCROLL.INF|SCROLL.INF|Driver information|1"},
        // Labels with gaps give 3 disks, the second without files; a missing
        // key keeps its empty record; Disk4 is not read; names match in any
        // case; lines are cut to 127 characters, the fields to their widths;
        // only the space is a blank; the drive letter replaces any first character.
        {("[main]\nDefaultPath=\\TOOLS\nOEM=-7\nminimumspace=  512  \nGroupName=\"Quoted\"\n"
          "[DiskLabel]\nDisk1=one\nDisk3=three\nDisk5=" + x79 + "\n[FileCounts]\nDisk1=2\nDisk2=0\n"
          "Disk3=8\nDisk4=9\n[DirectoryName]\nRootDir=BASE\nSubDir2=TWO\nSubDir3=" + x79 +
          "\nWinDir=WSRC\nWinSystemDir=SSRC\n[Disk1]\n2=A.DLL,\tB.DLL , Library, RootDir \n[Disk2]\n1=NEVER\n"
          "[Disk3]\n1=A.DLL,,  ,SubDir2\n2=C.DLL,C.DLL,Mixed,sUbDiR3\n3=D.DLL,D.DLL,Near,WinSys\n"
          "4=E.DLL,E.DLL,System,WINSYSTEMDIR\n5=F.DLL,F.DLL,Windows,windir,extra,fields\n"
          "6=G.DLL,G.DLL\n7=" + std::string(20, 's') + "," + std::string(20, 't') +
          "," + std::string(100, 'd') + ",SubDir2\n8=" + std::string(60, 'l') + "," +
          std::string(100, 'L') + "\n[STARTUP]\nSeialName=" + x79 + "\nSerialName=Not this key\n"),
         w39.c_str(),
         "A:|Velor Setup Program|512|-7 DefaultPath=CTOOLS GroupName=Quoted GroupTitle=VELOR "
         "ProductName=Velor RootDir=BASE SubDir2=TWO SubDir3=" + x79 + " WinDir=WSRC WinSystemDir=SSRC "
         "Disk1=one Disk3=three Disk5=" + x39 + " SeialName=" + x39 + "\n3: 2 0 8 0 0 0 / 10 @ 0 2 2 10\n"
         "|||||0\nBASE|BASE|A.DLL|\tB.DLL|Library|0\nTWO|TWO|A.DLL|||0\n" + x39 + "|" + x39 + "|C.DLL|C.DLL|Mixed|0\n"
         "||D.DLL|D.DLL|Near|0\nSSRC|" + w39 + "|E.DLL|E.DLL|System|1\nWSRC|" + w39 + "|F.DLL|F.DLL|Windows|1\n"
         "||G.DLL|G.DLL||0\n||" + std::string(14, 's') + "|" + std::string(14, 't') + "|" +
         std::string(61, 'd') + "|0\n||" + std::string(14, 'l') + "|" + std::string(14, 'L') + "||0"},
        // Program items stop at the first gap; each field is cut to its width.
        {("[PM Info]\n1=ZKMAIN.EXE, Velor Mouse, 0\n2=" + std::string(50, 'f') + ",," + std::string(50, 'i') +
          "\n4=LATE.EXE,Late,3\n"), "D:\\WINDOWS",
         "A:|Velor Setup Program|1024|0 " + Defaults + "\n0: 0 0 0 0 0 0 / 0 @ 0\n"
         "pm ZKMAIN.EXE|Velor Mouse|0\npm " + std::string(14, 'f') + "||iiii"},
    };
    // clang-format on
    for (const auto &load : loads) {
        ASSERT_EQ(1, Load(load.script, load.windows));
        EXPECT_EQ(load.loaded, Loaded());
    }
    // Without a script the block holds only the ten program items.
    ASSERT_EQ(1, Load(""));
    EXPECT_EQ((void *)InstallRecords, (void *)InstallConfig.ProgramItems[0]);
    EXPECT_LT(GlobalSize(GlobalHandle(InstallRecords)),
              10 * sizeof(ProgramItem) + sizeof(FileEntry));
    std::string twelve = "[PM Info]\n";
    for (int i = 1; i <= 12; i++)
        twelve += std::to_string(i) + "=F" + std::to_string(i) + ".EXE,Item,1\n";
    ASSERT_EQ(1, Load(twelve));
    EXPECT_EQ(10, InstallConfig.ProgramItemCount);
    EXPECT_STREQ("F10.EXE", InstallConfig.ProgramItems[9]->ItemFile);
}

TEST_F(Script, EveryTextSettingIsCutToItsWidth) {
    std::vector<Field> fields = Fields();
    std::string script;
    for (size_t i = 0; i < fields.size(); i++)
        script +=
            (i && fields[i].section == fields[i - 1].section ? ""
                                                             : "[" + fields[i].section + "]\n") +
            fields[i].key + "=" + std::string(200, (char)('A' + i)) + "\n";
    ASSERT_EQ(1, Load(script));
    for (size_t i = 0; i < fields.size(); i++) {
        std::string expected(fields[i].size - 1, (char)('A' + i));
        expected[0] = i ? expected[0] : 'D'; // the drive letter of the Windows folder
        EXPECT_EQ(expected, T(fields[i].text, fields[i].size)) << fields[i].key;
    }
    EXPECT_EQ(std::string(31, 'D') + " Setup Program", T(InstallConfig.Caption));
}

TEST_F(Script, CountsOutsideTheFormatAreRefusedTheLargestTotalIsAccepted) {
    for (const char *counts : {"-1\n", "20000\nDisk2=12768\n", "32768\n", "65537\n"}) {
        std::string script = "[Main]\nProductName=Counted\n[DiskLabel]\nDisk1=x\nDisk2=y\n"
                             "[FileCounts]\nDisk1=";
        EXPECT_EQ(0, Load(script + counts)) << counts;
        EXPECT_EQ(nullptr, InstallRecords);
        EXPECT_STREQ("Counted Setup Program", InstallConfig.Caption); // for the error message
    }
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=x\nDisk2=y\n[FileCounts]\nDisk1=32000\nDisk2=767\n"
                      "Disk3=-7\n[Disk2]\n767=LAST.DAT,LAST.DAT,Last\n"));
    EXPECT_EQ(32767, InstallConfig.DiskTable.DiskFiles[2] - InstallRecords);
    EXPECT_STREQ("", InstallRecords[32765].SourceName);
    EXPECT_STREQ("LAST.DAT", InstallRecords[32766].SourceName);
}

TEST_F(Script, ProgramPathGivesTheFolderAndScriptOrIsRefusedWhenEitherWouldNotFit) {
    const std::string f69 = "C:\\" + std::string(66, 'F'); // with "\SETUP.INF", 79 characters
    // clang-format off
    const struct { std::string program, root; } rows[] = {
        {"A:\\SETUP.EXE", "A:"}, {"C:\\MEDIA\\DISK1\\SETUP.EXE", "C:\\MEDIA\\DISK1"},
        {"\\SETUP.EXE", "\\SETUP.EXE"}, {"SETUP.EXE", "SETUP.EXE"}, {f69 + "\\SETUP.EXE", f69},
        {f69 + "F\\S.EXE", ""}, {f69 + std::string(80, 'F') + "\\SETUP.EXE", ""},
    };
    // clang-format on
    for (const auto &row : rows) {
        char root[PATH_TEXT] = "x", script[PATH_TEXT] = "x";
        EXPECT_EQ(!row.root.empty(), SplitProgramPath(row.program.c_str(), root, script));
        EXPECT_EQ(row.root, root);
        EXPECT_EQ(row.root.empty() ? "" : row.root + "\\SETUP.INF", script);
    }
    EXPECT_EQ(0, LoadScriptFrom(rows[6].program.c_str(), "C:\\WINDOWS", NULL));
    EXPECT_EQ(nullptr, InstallRecords);
    EXPECT_STREQ("Velor Setup Program", InstallConfig.Caption);
}

} // namespace
