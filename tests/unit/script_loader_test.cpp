// The script loader against real SETUP.INF files through the platform's
// private-profile reads.
#include <gtest/gtest.h>

#include <string>

#include "script/script.h"
#include "support/script_files.h"

namespace {

const char *const WorkedExample =
    "[Main]\nProductName=Velor Scroll Mouse\nDefaultPath=C:\\VELOR\nMinimumSpace=2048\n"
    "[DiskLabel]\nDisk1=Setup Disk\n[FileCounts]\nDisk1=4\n"
    "[DirectoryName]\nRootDir=\nSubDir1=HELP\nWinSystemDir=DRIVERS\nWinInfDir=DRIVERS\n"
    "[Disk1]\n"
    "1=SETUP.INF, SETUP.INF, Setup script, RootDir\n"
    "2=MOUSEHLP.TX_, MOUSEHLP.TXT,  Help text , subdir1\n"
    "3=SCROLL.DR_, SCROLL.DRV, Mouse driver, WinSystemDir\n"
    "4=SCROLL.INF, SCROLL.INF, Driver information, WinInfDir\n"
    "[Startup]\nTitle=Velor Scroll Mouse\n";

// Programs at A:\SETUP.EXE with Windows in D:\WINDOWS, as in the worked example.
using ScriptLoader = ScriptScratch;

long RecordIndex(const FileEntry *entry) {
    return (long)(entry - InstallRecords);
}

TEST_F(ScriptLoader, WorkedExample) {
    ASSERT_EQ(1, Load(WorkedExample));
    EXPECT_STREQ("Velor Scroll Mouse", InstallConfig.ProductName);
    EXPECT_STREQ("Velor Scroll Mouse Setup Program", InstallConfig.Caption);
    EXPECT_STREQ("D:\\VELOR", InstallConfig.DefaultPath);
    EXPECT_STREQ("A:", InstallConfig.SourceRoot);
    EXPECT_STREQ("D:\\WINDOWS", InstallConfig.WindowsDir);
    EXPECT_EQ(2048, InstallConfig.MinimumSpace);
    EXPECT_STREQ("Velor Scroll Mouse", InstallConfig.Title);
    EXPECT_STREQ("VELOR.GRP", InstallConfig.GroupName);
    EXPECT_STREQ("VELOR", InstallConfig.GroupTitle);
    EXPECT_EQ(0, InstallConfig.OEM);

    const DiskTableRecord &disks = InstallConfig.DiskTable;
    EXPECT_STREQ("Setup Disk", disks.DiskLabels[0]);
    EXPECT_EQ(1, disks.DiskCount);
    EXPECT_EQ(4, disks.FileCounts[0]);
    EXPECT_EQ(4, disks.TotalFiles);
    ASSERT_EQ(InstallRecords, disks.DiskFiles[0]);
    EXPECT_EQ(4, RecordIndex(disks.DiskFiles[1]));
    const char *const records[] = {
        "||SETUP.INF|SETUP.INF|Setup script|0",
        "HELP|HELP|MOUSEHLP.TX_|MOUSEHLP.TXT|Help text|0",
        "DRIVERS|D:\\WINDOWS\\SYSTEM|SCROLL.DR_|SCROLL.DRV|Mouse driver|1",
        "DRIVERS|D:\\WINDOWS\\INF|SCROLL.INF|SCROLL.INF|Driver information|1",
    };
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(records[i], ShowEntry(InstallRecords[i]));
}

TEST_F(ScriptLoader, ProgramPathGivesSourceRootAndScript) {
    char root[PATH_TEXT], script[PATH_TEXT];
    ASSERT_EQ(1, SplitProgramPath("A:\\SETUP.EXE", root, script));
    EXPECT_STREQ("A:", root);
    EXPECT_STREQ("A:\\SETUP.INF", script);
    ASSERT_EQ(1, SplitProgramPath("C:\\MEDIA\\DISK1\\SETUP.EXE", root, script));
    EXPECT_STREQ("C:\\MEDIA\\DISK1", root);
    EXPECT_STREQ("C:\\MEDIA\\DISK1\\SETUP.INF", script);
    // No backslash after the first character: the path stays whole.
    ASSERT_EQ(1, SplitProgramPath("\\SETUP.EXE", root, script));
    EXPECT_STREQ("\\SETUP.EXE", root);
    ASSERT_EQ(1, SplitProgramPath("SETUP.EXE", root, script));
    EXPECT_STREQ("SETUP.EXE", root);
    EXPECT_STREQ("SETUP.EXE\\SETUP.INF", script);

    // 79 characters fit; 80 do not, nor a script path that would not.
    std::string folder79 = "C:\\" + std::string(66, 'F');
    ASSERT_EQ(1, SplitProgramPath((folder79 + "\\SETUP.EXE").c_str(), root, script));
    EXPECT_EQ(folder79, root);
    EXPECT_EQ(folder79 + "\\SETUP.INF", script);
    EXPECT_EQ(0, SplitProgramPath((folder79 + "F\\SETUP.EXE").c_str(), root, script));
    EXPECT_STREQ("", root);
    EXPECT_STREQ("", script);
    // A short program name in a 70-character folder fits, its script does not.
    EXPECT_EQ(0, SplitProgramPath((folder79 + "F\\S.EXE").c_str(), root, script));
    EXPECT_EQ(0, SplitProgramPath(NULL, root, script));
}

TEST_F(ScriptLoader, ScriptBesideTheProgramIsRead) {
    std::string disk = folder + "\\MEDIA\\DISK1";
    MakeFolders(disk);
    ASSERT_TRUE(WriteTextFile(disk + "\\SETUP.INF", "[Main]\nProductName=Beside\n"));
    ASSERT_EQ(1, LoadScriptFrom((disk + "\\SETUP.EXE").c_str(), "C:\\WINDOWS", NULL));
    EXPECT_EQ(disk, InstallConfig.SourceRoot);
    EXPECT_STREQ("Beside", InstallConfig.ProductName);
}

TEST_F(ScriptLoader, OverlongProgramPathIsRefusedNotCut) {
    // Cut to 79 characters, this program path would lie in decoy and the
    // loader would read decoy's script instead of its own.
    std::string decoy = folder + "\\DECOY";
    MakeFolders(decoy);
    ASSERT_TRUE(WriteTextFile(decoy + "\\SETUP.INF", "[Main]\nProductName=Wrong\n"));
    std::string program = decoy + "\\" + std::string(80, 'L') + "\\SETUP.EXE";
    ASSERT_GT(program.size(), 79u);
    EXPECT_EQ(0, LoadScriptFrom(program.c_str(), "C:\\WINDOWS", NULL));
    EXPECT_STREQ("", InstallConfig.SourceRoot);
    EXPECT_STREQ("Velor", InstallConfig.ProductName);
    EXPECT_STREQ("Velor Setup Program", InstallConfig.Caption);
    EXPECT_EQ(nullptr, InstallRecords);
}

TEST_F(ScriptLoader, LoadSetupScriptStartsFromTheProgramsFolder) {
    char module[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, module, sizeof module), 0u);
    std::string expected = module;
    expected.erase(expected.rfind('\\'));
    GetWindowsDirectoryA(InstallConfig.WindowsDir, PATH_TEXT);
    std::string windows = InstallConfig.WindowsDir;
    if (expected.size() + 10 > 79)
        GTEST_SKIP() << "test program lies too deep for a script path: " << module;
    ASSERT_EQ(1, LoadSetupScript());
    EXPECT_EQ(expected, InstallConfig.SourceRoot);
    EXPECT_EQ(windows, InstallConfig.WindowsDir);
    EXPECT_EQ(windows[0], InstallConfig.DefaultPath[0]);
}

TEST_F(ScriptLoader, NoScriptLoadsTheDefaults) {
    std::string missing = folder + "\\NONE\\SETUP.INF";
    ASSERT_EQ(1, LoadScriptFrom("A:\\SETUP.EXE", "D:\\WINDOWS", missing.c_str()));
    EXPECT_STREQ("D:\\VELOR", InstallConfig.DefaultPath);
    EXPECT_STREQ("Velor", InstallConfig.ProductName);
    EXPECT_STREQ("Velor Setup Program", InstallConfig.Caption);
    EXPECT_STREQ("VELOR.GRP", InstallConfig.GroupName);
    EXPECT_STREQ("VELOR", InstallConfig.GroupTitle);
    EXPECT_EQ(1024, InstallConfig.MinimumSpace);
    EXPECT_EQ(0, InstallConfig.OEM);
    EXPECT_EQ(0, InstallConfig.DiskTable.DiskCount);
    EXPECT_EQ(0, InstallConfig.DiskTable.TotalFiles);
    EXPECT_EQ(0, InstallConfig.ProgramItemCount);
    EXPECT_STREQ("", InstallConfig.Title);
    EXPECT_STREQ("", InstallConfig.SeialName);
    // The block holds only the ten program items.
    ASSERT_NE(nullptr, InstallRecords);
    SIZE_T size = GlobalSize(GlobalHandle(InstallRecords));
    EXPECT_GE(size, MAX_PROGRAM_ITEMS * sizeof(ProgramItem));
    EXPECT_LT(size, MAX_PROGRAM_ITEMS * sizeof(ProgramItem) + sizeof(FileEntry));
    EXPECT_EQ((void *)InstallRecords, (void *)InstallConfig.ProgramItems[0]);
    EXPECT_EQ((ProgramItem *)InstallRecords + 9, InstallConfig.ProgramItems[9]);
}

TEST_F(ScriptLoader, DefaultPathTakesTheWindowsDrive) {
    ASSERT_EQ(1, Load("[Main]\nDefaultPath=\\TOOLS\n"));
    EXPECT_STREQ("DTOOLS", InstallConfig.DefaultPath);
    ASSERT_EQ(1, Load("[Main]\nDefaultPath=\n", "E:\\WIN"));
    EXPECT_STREQ("E", InstallConfig.DefaultPath);
    ASSERT_EQ(1, Load("[Main]\nDefaultPath=C:\\Program Files\\Velor\n", "F:\\WINDOWS"));
    EXPECT_STREQ("F:\\Program Files\\Velor", InstallConfig.DefaultPath);
}

TEST_F(ScriptLoader, DiskCountIsTheNumberOfLabels) {
    // Labels on disks 1 and 3: disks 1 and 2 are used, section Disk3 is not read.
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=One\nDisk3=Three\n"
                      "[FileCounts]\nDisk1=1\nDisk2=2\nDisk3=4\n"
                      "[DirectoryName]\nSubDir1=ONE\n"
                      "[Disk1]\n1=A1,A1,First,SubDir1\n"
                      "[Disk2]\n1=B1,B1,Second\n2=B2,B2,Second\n"
                      "[Disk3]\n1=C1,C1,Third\n"));
    const DiskTableRecord &disks = InstallConfig.DiskTable;
    EXPECT_EQ(2, disks.DiskCount);
    EXPECT_STREQ("One", disks.DiskLabels[0]);
    EXPECT_STREQ("", disks.DiskLabels[1]);
    EXPECT_STREQ("Three", disks.DiskLabels[2]);
    EXPECT_EQ(1, disks.FileCounts[0]);
    EXPECT_EQ(2, disks.FileCounts[1]);
    EXPECT_EQ(0, disks.FileCounts[2]);
    EXPECT_EQ(3, disks.TotalFiles);
    EXPECT_EQ("ONE|ONE|A1|A1|First|0", ShowEntry(InstallRecords[0]));
    EXPECT_STREQ("B1", InstallRecords[1].SourceName);
    EXPECT_STREQ("B2", InstallRecords[2].SourceName);

    // Only Disk2 labelled: one disk, and it is disk 1.
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk2=Two\n[FileCounts]\nDisk1=1\nDisk2=5\n"
                      "[Disk1]\n1=A1,A1\n[Disk2]\n1=B1,B1\n"));
    EXPECT_EQ(1, InstallConfig.DiskTable.DiskCount);
    EXPECT_EQ(1, InstallConfig.DiskTable.TotalFiles);
    EXPECT_STREQ("A1", InstallRecords[0].SourceName);
}

TEST_F(ScriptLoader, DiskPositionsInTheBlock) {
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=1\nDisk2=2\nDisk3=3\n"
                      "[FileCounts]\nDisk1=2\nDisk2=0\nDisk3=3\n"
                      "[Disk1]\n1=D1F1\n2=D1F2\n"
                      "[Disk2]\n1=NEVER\n"
                      "[Disk3]\n1=D3F1\n2=D3F2\n3=D3F3\n"));
    const DiskTableRecord &disks = InstallConfig.DiskTable;
    ASSERT_EQ(3, disks.DiskCount);
    EXPECT_EQ(5, disks.TotalFiles);
    // A disk with no files starts where the next one does.
    const long starts[] = {0, 2, 2, 5};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(starts[i], RecordIndex(disks.DiskFiles[i])) << "disk " << i + 1;
    const char *names[] = {"D1F1", "D1F2", "D3F1", "D3F2", "D3F3"};
    for (int i = 0; i < 5; i++)
        EXPECT_STREQ(names[i], InstallRecords[i].SourceName) << i;
    // The program items follow the last record.
    EXPECT_EQ((ProgramItem *)(InstallRecords + 5), InstallConfig.ProgramItems[0]);
    EXPECT_EQ((ProgramItem *)(InstallRecords + 5) + 9, InstallConfig.ProgramItems[9]);
}

TEST_F(ScriptLoader, MissingKeyKeepsItsPlaceAsAnEmptyRecord) {
    ASSERT_EQ(1,
              Load("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=3\n[DirectoryName]\nWinDir=W\n"
                   "[Disk1]\n1=ONE.DLL,ONE.DLL,One,WinDir\n3=THREE.DLL,THREE.DLL,Three,WinDir\n"));
    ASSERT_EQ(3, InstallConfig.DiskTable.TotalFiles);
    EXPECT_EQ("W|D:\\WINDOWS|ONE.DLL|ONE.DLL|One|1", ShowEntry(InstallRecords[0]));
    EXPECT_TRUE(EntryIsEmpty(InstallRecords[1]));
    EXPECT_EQ("W|D:\\WINDOWS|THREE.DLL|THREE.DLL|Three|1", ShowEntry(InstallRecords[2]));
}

TEST_F(ScriptLoader, CountsOutsideTheFormatAreRefused) {
    const char *refused[] = {
        "[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=-1\n",
        "[DiskLabel]\nDisk1=x\nDisk2=y\n[FileCounts]\nDisk1=20000\nDisk2=12768\n",
        "[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=32768\n",
        // 65537 would wrap to 1 in 16 bits.
        "[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=65537\n",
    };
    for (const char *script : refused) {
        EXPECT_EQ(0, Load(std::string("[Main]\nProductName=Counted\n") + script)) << script;
        EXPECT_EQ(nullptr, InstallRecords) << script;
        // The error message still has its caption.
        EXPECT_STREQ("Counted Setup Program", InstallConfig.Caption);
    }
    // Counts of unused disks are not read, so they cannot refuse anything.
    EXPECT_EQ(1, Load("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=1\nDisk2=-7\n"));
    EXPECT_EQ(1, InstallConfig.DiskTable.TotalFiles);
}

TEST_F(ScriptLoader, LargestTotalIsAccepted) {
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=x\nDisk2=y\n[FileCounts]\nDisk1=32000\nDisk2=767\n"
                      "[Disk2]\n767=LAST.DAT,LAST.DAT,Last\n"));
    EXPECT_EQ(32767, InstallConfig.DiskTable.TotalFiles);
    EXPECT_EQ(32767, RecordIndex(InstallConfig.DiskTable.DiskFiles[2]));
    EXPECT_STREQ("LAST.DAT", InstallRecords[32766].SourceName);
    EXPECT_TRUE(EntryIsEmpty(InstallRecords[32765]));
}

std::string ShowItem(const ProgramItem *item) {
    return std::string(item->ItemFile) + "|" + item->ItemTitle + "|" + item->ItemIcon;
}

TEST_F(ScriptLoader, ProgramItemsStopAtTheFirstGapAndAtTen) {
    ASSERT_EQ(1, Load("[PM Info]\n1=ZKMAIN.EXE, Velor Mouse, 0\n2=README.TXT,Read "
                      "Me,1\n4=LATE.EXE,Late,3\n"));
    ASSERT_EQ(2, InstallConfig.ProgramItemCount);
    EXPECT_EQ("ZKMAIN.EXE|Velor Mouse|0", ShowItem(InstallConfig.ProgramItems[0]));
    EXPECT_STREQ("README.TXT", InstallConfig.ProgramItems[1]->ItemFile);
    EXPECT_STREQ("", InstallConfig.ProgramItems[3]->ItemFile);

    std::string twelve = "[PM Info]\n";
    for (int i = 1; i <= 12; i++)
        twelve += std::to_string(i) + "=F" + std::to_string(i) + ".EXE,Item " + std::to_string(i) +
                  "," + std::to_string(i) + "\n";
    ASSERT_EQ(1, Load(twelve));
    EXPECT_EQ(10, InstallConfig.ProgramItemCount);
    EXPECT_EQ("F10.EXE|Item 10|10", ShowItem(InstallConfig.ProgramItems[9]));
}

TEST_F(ScriptLoader, MainAndStartupValues) {
    ASSERT_EQ(
        1,
        Load("[main]\nOEM=7\nminimumspace=  512  \nGroupName=\"Quoted\"\nGroupTitle=Velor Tools\n"
             "[STARTUP]\nFileName=ZKMAIN.EXE\nTitle=Velor Scroll Mouse\nMfg=Velor\n"
             "MouseDriver=SCROLL.DRV\nMouseInf=SCROLL.INF\nDriverDate=10-12-1998\n"
             "PS2InfSection=VelorScroll.PS2\nSerialInfSection=VelorScroll.Serial\n"
             "PS2Name=Velor Scroll Mouse (PS/2)\nSeialName=Velor Scroll Mouse (Serial)\n"
             "SerialName=Not this key\n"));
    EXPECT_EQ(7, InstallConfig.OEM);
    EXPECT_EQ(512, InstallConfig.MinimumSpace);
    EXPECT_STREQ("Quoted", InstallConfig.GroupName);
    EXPECT_STREQ("Velor Tools", InstallConfig.GroupTitle);
    EXPECT_STREQ("ZKMAIN.EXE", InstallConfig.FileName);
    EXPECT_STREQ("Velor Scroll Mouse", InstallConfig.Title);
    EXPECT_STREQ("Velor", InstallConfig.Mfg);
    EXPECT_STREQ("SCROLL.DRV", InstallConfig.MouseDriver);
    EXPECT_STREQ("SCROLL.INF", InstallConfig.MouseInf);
    EXPECT_STREQ("10-12-1998", InstallConfig.DriverDate);
    EXPECT_STREQ("VelorScroll.PS2", InstallConfig.PS2InfSection);
    EXPECT_STREQ("VelorScroll.Serial", InstallConfig.SerialInfSection);
    EXPECT_STREQ("Velor Scroll Mouse (PS/2)", InstallConfig.PS2Name);
    EXPECT_STREQ("Velor Scroll Mouse (Serial)", InstallConfig.SeialName);
}

} // namespace
