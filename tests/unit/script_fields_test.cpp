// Comma fields, directory tokens and the widths of every field the loader
// fills, with real scripts read through the platform's profile calls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/script.h"
#include "support/script_files.h"

namespace {

class ScriptFields : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(NULL);
        folder = MakeScratchFolder("scrfield");
    }
    void TearDown() override {
        FreeInstallTables();
        RemoveTree(folder);
    }
    int Load(const std::string &text, const char *windowsDir = "C:\\WINDOWS") {
        std::string path = WriteScript(folder, text);
        EXPECT_FALSE(path.empty());
        return LoadScriptFrom("C:\\MEDIA\\SETUP.EXE", windowsDir, path.c_str());
    }
    std::string folder;
};

std::string Field(const char *text, const char **rest = NULL) {
    char out[LINE_TEXT];
    const char *after = NextField(text, out);
    if (rest != NULL)
        *rest = after;
    return out;
}

bool EntryIsEmpty(const FileEntry &e) {
    static const FileEntry zero = {};
    return memcmp(&e, &zero, sizeof e) == 0;
}

bool ItemIsEmpty(const ProgramItem *item) {
    static const ProgramItem zero = {};
    return memcmp(item, &zero, sizeof zero) == 0;
}

#define EXPECT_CLEAN(field, expected)                                                              \
    EXPECT_TRUE(FieldIsClean(field, sizeof field, expected)) << #field

TEST(NextField, BlanksAndEnds) {
    const char *rest;
    EXPECT_EQ("", Field("     ", &rest));
    EXPECT_EQ('\0', *rest);
    EXPECT_EQ("A B", Field(" A B ,next", &rest));
    EXPECT_STREQ("next", rest);
    // Only the space is a blank: a tab stays text.
    EXPECT_EQ("\tA", Field("\tA"));
    EXPECT_EQ("A\t", Field("  A\t  "));

    const char *line = ",  ,last";
    EXPECT_EQ("", Field(line, &rest));
    EXPECT_EQ("", Field(rest, &rest));
    EXPECT_EQ("last", Field(rest, &rest));
    // Once the text has ended every further field is empty and stays there.
    const char *end = rest;
    EXPECT_EQ("", Field(rest, &rest));
    EXPECT_EQ(end, rest);
    EXPECT_EQ("", Field(NULL));
}

TEST(NextField, LongFieldIsBoundedByItsOutput) {
    std::string text = std::string(300, 'Q') + ",after";
    char out[LINE_TEXT + 64];
    memset(out, '#', sizeof out);
    const char *rest = NextField(text.c_str(), out);
    EXPECT_EQ(std::string(LINE_TEXT - 1, 'Q'), out);
    for (size_t i = LINE_TEXT; i < sizeof out; i++)
        ASSERT_EQ('#', out[i]) << i;
    EXPECT_STREQ("after", rest);
}

TEST_F(ScriptFields, TokensPickTheFolders) {
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=8\n"
                      "[DirectoryName]\nRootDir=BASE\nSubDir2=TWO\nSubDir3=THREE\nWinDir=WSRC\n"
                      "WinSystemDir=SSRC\nWinInfDir=ISRC\n"
                      "[Disk1]\n"
                      "1=A.DLL, A.DLL, Library\n"
                      "2=A.DLL,,,SubDir2\n"
                      "3=B.DLL,B.DLL\n"
                      "4=C.DLL,C.DLL,Mixed,sUbDiR3\n"
                      "5=D.DLL,D.DLL,Unmatched,WinSys\n"
                      "6=E.DLL,E.DLL,System,WINSYSTEMDIR\n"
                      "7=F.DLL,F.DLL,Windows,windir,extra,fields\n"
                      "8=G.DLL,G.DLL,Root, RootDir \n"));
    const FileEntry *e = InstallRecords;
    struct Want {
        const char *sub, *target, *source, *name, *description;
        int absolute;
    } want[] = {
        {"", "", "A.DLL", "A.DLL", "Library", 0},
        {"TWO", "TWO", "A.DLL", "", "", 0},
        {"", "", "B.DLL", "B.DLL", "", 0},
        {"THREE", "THREE", "C.DLL", "C.DLL", "Mixed", 0},
        {"", "", "D.DLL", "D.DLL", "Unmatched", 0},
        {"SSRC", "C:\\WINDOWS\\SYSTEM", "E.DLL", "E.DLL", "System", 1},
        {"WSRC", "C:\\WINDOWS", "F.DLL", "F.DLL", "Windows", 1},
        {"BASE", "BASE", "G.DLL", "G.DLL", "Root", 0},
    };
    for (int i = 0; i < 8; i++) {
        SCOPED_TRACE(i + 1);
        EXPECT_STREQ(want[i].sub, e[i].SourceSubDir);
        EXPECT_STREQ(want[i].target, e[i].TargetDir);
        EXPECT_STREQ(want[i].source, e[i].SourceName);
        EXPECT_STREQ(want[i].name, e[i].TargetName);
        EXPECT_STREQ(want[i].description, e[i].Description);
        EXPECT_EQ(want[i].absolute, e[i].IsAbsolute);
    }
    EXPECT_EQ(9, DirectoryTokenIndex("wininfdir"));
    EXPECT_EQ(-1, DirectoryTokenIndex("SubDir7"));
    EXPECT_EQ(-1, DirectoryTokenIndex(""));
}

// Text fields of InstallConfig read straight from the script, in the order
// they lie in memory, so each one's neighbours are the entries around it.
struct ConfigField {
    const char *section, *key;
    char *field;
    int size;
    const char *fallback;
};

std::vector<ConfigField> ConfigFields() {
    InstallConfigRecord &c = InstallConfig;
    std::vector<ConfigField> fields = {
        {"Main", "DefaultPath", c.DefaultPath, PATH_TEXT, NULL},
        {"Main", "GroupName", c.GroupName, sizeof c.GroupName, "VELOR.GRP"},
        {"Main", "GroupTitle", c.GroupTitle, sizeof c.GroupTitle, "VELOR"},
        {"Main", "ProductName", c.ProductName, sizeof c.ProductName, "Velor"},
    };
    const char *directories[] = {"RootDir", "SubDir1", "SubDir2", "SubDir3",      "SubDir4",
                                 "SubDir5", "SubDir6", "WinDir",  "WinSystemDir", "WinInfDir"};
    for (int i = 0; i < DIRECTORY_TOKENS; i++)
        fields.push_back({"DirectoryName", directories[i], c.DirectoryTable[i], PATH_TEXT, ""});
    const char *disks[] = {"Disk1", "Disk2", "Disk3", "Disk4", "Disk5", "Disk6"};
    for (int i = 0; i < MAX_DISKS; i++)
        fields.push_back({"DiskLabel", disks[i], c.DiskTable.DiskLabels[i], LABEL_TEXT, ""});
    fields.push_back({"Startup", "FileName", c.FileName, PATH_TEXT, ""});
    fields.push_back({"Startup", "Title", c.Title, PATH_TEXT, ""});
    const char *startup[] = {"Mfg",           "MouseDriver",      "MouseInf", "DriverDate",
                             "PS2InfSection", "SerialInfSection", "PS2Name",  "SeialName"};
    char *targets[] = {c.Mfg,           c.MouseDriver,      c.MouseInf, c.DriverDate,
                       c.PS2InfSection, c.SerialInfSection, c.PS2Name,  c.SeialName};
    for (int i = 0; i < 8; i++)
        fields.push_back({"Startup", startup[i], targets[i], STARTUP_TEXT, ""});
    return fields;
}

TEST_F(ScriptFields, OversizedSettingsStayInTheirFields) {
    std::vector<ConfigField> fields = ConfigFields();
    // Every other field gets a value far over its width, each in a letter of
    // its own; the ones between stay unset, so any spill would show in them.
    for (int parity = 0; parity < 2; parity++) {
        SCOPED_TRACE(parity);
        std::string script;
        std::string section;
        for (size_t i = 0; i < fields.size(); i++) {
            if ((int)(i % 2) != parity)
                continue;
            if (section != fields[i].section) {
                section = fields[i].section;
                script += "[" + section + "]\n";
            }
            script +=
                std::string(fields[i].key) + "=" + std::string(200, (char)('A' + i % 26)) + "\n";
        }
        ASSERT_EQ(1, Load(script, "D:\\WINDOWS"));
        for (size_t i = 0; i < fields.size(); i++) {
            const ConfigField &f = fields[i];
            SCOPED_TRACE(f.key);
            std::string expected;
            if ((int)(i % 2) == parity) {
                expected = std::string(f.size - 1, (char)('A' + i % 26));
                if (f.field == InstallConfig.DefaultPath)
                    expected[0] = 'D';
            } else {
                expected = f.fallback != NULL ? f.fallback : "D:\\VELOR";
            }
            EXPECT_TRUE(FieldIsClean(f.field, f.size, expected.c_str())) << f.field;
        }
        std::string caption = std::string(InstallConfig.ProductName) + " Setup Program";
        EXPECT_CLEAN(InstallConfig.Caption, caption.c_str());
    }
}

TEST_F(ScriptFields, OversizedRecordFieldsStayInTheirFields) {
    std::string longDir = std::string(PATH_TEXT - 1, 'S');
    std::string windows = "C:\\" + std::string(36, 'W'); // 39 characters
    std::string longLine =
        std::string(20, 'x') + "," + std::string(20, 'y') + "," + std::string(200, 'z');
    ASSERT_EQ(1, Load("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=6\n"
                      "[DirectoryName]\nSubDir1=" +
                          longDir +
                          "\n"
                          "[Disk1]\n"
                          "1=" +
                          std::string(30, 'a') + ",," + std::string(100, 'c') +
                          ",\n"
                          "2=," +
                          std::string(30, 'b') +
                          ",,SubDir1\n"
                          "4=" +
                          longLine +
                          "\n"
                          "5=WINSYS.DLL,WINSYS.DLL,System,WinSystemDir\n"
                          "[PM Info]\n"
                          "1=" +
                          std::string(50, 'f') + ",," + std::string(50, 'i') +
                          "\n"
                          "2=," +
                          std::string(80, 't') + ",\n",
                      windows.c_str()));
    ASSERT_EQ(6, InstallConfig.DiskTable.TotalFiles);
    const FileEntry *e = InstallRecords;

    EXPECT_CLEAN(e[0].SourceName, std::string(14, 'a').c_str());
    EXPECT_CLEAN(e[0].TargetName, "");
    EXPECT_CLEAN(e[0].Description, std::string(61, 'c').c_str());
    EXPECT_CLEAN(e[0].SourceSubDir, "");
    EXPECT_CLEAN(e[0].TargetDir, "");
    EXPECT_EQ(0, e[0].IsAbsolute);

    EXPECT_CLEAN(e[1].SourceName, "");
    EXPECT_CLEAN(e[1].TargetName, std::string(14, 'b').c_str());
    EXPECT_CLEAN(e[1].Description, "");
    EXPECT_CLEAN(e[1].SourceSubDir, std::string(39, 'S').c_str());
    EXPECT_CLEAN(e[1].TargetDir, std::string(39, 'S').c_str());
    EXPECT_EQ(0, e[1].IsAbsolute);

    EXPECT_TRUE(EntryIsEmpty(e[2]));

    // The line itself is cut to 127 characters before it is split.
    EXPECT_CLEAN(e[3].SourceName, std::string(14, 'x').c_str());
    EXPECT_CLEAN(e[3].TargetName, std::string(14, 'y').c_str());
    EXPECT_CLEAN(e[3].Description, std::string(61, 'z').c_str());
    EXPECT_CLEAN(e[3].TargetDir, "");

    // The Windows folder and "\SYSTEM" do not fit the 39 characters together.
    EXPECT_CLEAN(e[4].TargetDir, windows.c_str());
    EXPECT_EQ(1, e[4].IsAbsolute);
    EXPECT_CLEAN(e[4].SourceName, "WINSYS.DLL");

    EXPECT_TRUE(EntryIsEmpty(e[5]));

    ASSERT_EQ(2, InstallConfig.ProgramItemCount);
    ProgramItem *const *items = InstallConfig.ProgramItems;
    EXPECT_CLEAN(items[0]->ItemFile, std::string(14, 'f').c_str());
    EXPECT_CLEAN(items[0]->ItemTitle, "");
    EXPECT_CLEAN(items[0]->ItemIcon, "iiii");
    EXPECT_CLEAN(items[1]->ItemFile, "");
    EXPECT_CLEAN(items[1]->ItemTitle, std::string(39, 't').c_str());
    EXPECT_CLEAN(items[1]->ItemIcon, "");
    for (int i = 2; i < MAX_PROGRAM_ITEMS; i++)
        EXPECT_TRUE(ItemIsEmpty(items[i])) << i;
}

} // namespace
