// Comma fields, directory tokens and the widths of every field the loader
// fills, with real scripts read through the platform's profile calls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/script.h"
#include "support/script_files.h"

namespace {

using ScriptFields = ScriptScratch;

std::string Field(const char *text, const char **rest = NULL) {
    char out[LINE_TEXT];
    const char *after = NextField(text, out);
    if (rest != NULL)
        *rest = after;
    return out;
}

std::string Repeat(int length, char c) {
    return std::string(length, c);
}

#define EXPECT_CLEAN(field, expected)                                                              \
    EXPECT_TRUE(FieldIsClean(field, sizeof field, std::string(expected).c_str())) << #field

// Each text field of a record holds its value and nothing past it.
void ExpectCleanRecord(const FileEntry &e, const std::string &sub, const std::string &target,
                       const std::string &source, const std::string &name,
                       const std::string &description, int absolute) {
    EXPECT_CLEAN(e.SourceSubDir, sub);
    EXPECT_CLEAN(e.TargetDir, target);
    EXPECT_CLEAN(e.SourceName, source);
    EXPECT_CLEAN(e.TargetName, name);
    EXPECT_CLEAN(e.Description, description);
    EXPECT_EQ(absolute, e.IsAbsolute);
}

void ExpectCleanItem(const ProgramItem *item, const std::string &file, const std::string &title,
                     const std::string &icon) {
    EXPECT_CLEAN(item->ItemFile, file);
    EXPECT_CLEAN(item->ItemTitle, title);
    EXPECT_CLEAN(item->ItemIcon, icon);
}

TEST(NextField, BlanksAndEnds) {
    const char *rest;
    EXPECT_EQ("", Field("     ", &rest));
    EXPECT_EQ('\0', *rest);
    EXPECT_EQ("A B", Field(" A B ,next", &rest));
    EXPECT_STREQ("next", rest);
    // Only the space is a blank: a tab stays text.
    EXPECT_EQ("\tA", Field("\tA"));
    EXPECT_EQ("A\t", Field("  A\t  "));

    EXPECT_EQ("", Field(",  ,last", &rest));
    EXPECT_EQ("", Field(rest, &rest));
    EXPECT_EQ("last", Field(rest, &rest));
    // Once the text has ended every further field is empty and stays there.
    const char *end = rest;
    EXPECT_EQ("", Field(rest, &rest));
    EXPECT_EQ(end, rest);
    EXPECT_EQ("", Field(NULL));
}

TEST(NextField, LongFieldIsBoundedByItsOutput) {
    std::string text = Repeat(300, 'Q') + ",after";
    char out[LINE_TEXT + 64];
    memset(out, '#', sizeof out);
    const char *rest = NextField(text.c_str(), out);
    EXPECT_EQ(Repeat(LINE_TEXT - 1, 'Q'), out);
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
                      "8=G.DLL,G.DLL,Root, RootDir \n",
                      "C:\\WINDOWS"));
    const char *const want[] = {"||A.DLL|A.DLL|Library|0",
                                "TWO|TWO|A.DLL|||0",
                                "||B.DLL|B.DLL||0",
                                "THREE|THREE|C.DLL|C.DLL|Mixed|0",
                                "||D.DLL|D.DLL|Unmatched|0",
                                "SSRC|C:\\WINDOWS\\SYSTEM|E.DLL|E.DLL|System|1",
                                "WSRC|C:\\WINDOWS|F.DLL|F.DLL|Windows|1",
                                "BASE|BASE|G.DLL|G.DLL|Root|0"};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(want[i], ShowEntry(InstallRecords[i])) << "record " << i + 1;
    EXPECT_EQ(9, DirectoryTokenIndex("wininfdir"));
    EXPECT_EQ(-1, DirectoryTokenIndex("SubDir7"));
    EXPECT_EQ(-1, DirectoryTokenIndex(""));
}

// Text fields of InstallConfig read straight from the script, in the order
// they lie in memory, so each one's neighbours are the entries around it.
struct ConfigField {
    std::string section, key;
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
    for (int i = 0; i < MAX_DISKS; i++)
        fields.push_back({"DiskLabel", "Disk" + std::to_string(i + 1), c.DiskTable.DiskLabels[i],
                          LABEL_TEXT, ""});
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
    for (size_t parity = 0; parity < 2; parity++) {
        SCOPED_TRACE(parity);
        std::string script, section;
        for (size_t i = parity; i < fields.size(); i += 2) {
            if (section != fields[i].section)
                script += "[" + (section = fields[i].section) + "]\n";
            script += fields[i].key + "=" + Repeat(200, (char)('A' + i % 26)) + "\n";
        }
        ASSERT_EQ(1, Load(script));
        for (size_t i = 0; i < fields.size(); i++) {
            const ConfigField &f = fields[i];
            std::string expected = f.fallback != NULL ? f.fallback : "D:\\VELOR";
            if (i % 2 == parity) {
                expected = Repeat(f.size - 1, (char)('A' + i % 26));
                if (f.field == InstallConfig.DefaultPath)
                    expected[0] = 'D';
            }
            EXPECT_TRUE(FieldIsClean(f.field, f.size, expected.c_str()))
                << f.key << ": " << f.field;
        }
        EXPECT_CLEAN(InstallConfig.Caption,
                     std::string(InstallConfig.ProductName) + " Setup Program");
    }
}

TEST_F(ScriptFields, OversizedRecordFieldsStayInTheirFields) {
    std::string windows = "C:\\" + Repeat(36, 'W'); // 39 characters
    std::string script = "[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=6\n[DirectoryName]\nSubDir1=" +
                         Repeat(PATH_TEXT - 1, 'S') + "\n[Disk1]\n";
    script += "1=" + Repeat(30, 'a') + ",," + Repeat(100, 'c') + ",\n";
    script += "2=," + Repeat(30, 'b') + ",,SubDir1\n";
    script += "4=" + Repeat(20, 'x') + "," + Repeat(20, 'y') + "," + Repeat(200, 'z') + "\n";
    script += "5=WIN.DLL,WIN.DLL,Windows,WinDir\n[PM Info]\n";
    script += "1=" + Repeat(50, 'f') + ",," + Repeat(50, 'i') + "\n2=," + Repeat(80, 't') + ",\n";
    ASSERT_EQ(1, Load(script, windows.c_str()));
    ASSERT_EQ(6, InstallConfig.DiskTable.TotalFiles);
    const FileEntry *e = InstallRecords;
    ExpectCleanRecord(e[0], "", "", Repeat(14, 'a'), "", Repeat(61, 'c'), 0);
    ExpectCleanRecord(e[1], Repeat(39, 'S'), Repeat(39, 'S'), "", Repeat(14, 'b'), "", 0);
    EXPECT_TRUE(EntryIsEmpty(e[2]));
    // The line itself is cut to 127 characters before it is split.
    ExpectCleanRecord(e[3], "", "", Repeat(14, 'x'), Repeat(14, 'y'), Repeat(61, 'z'), 0);
    ExpectCleanRecord(e[4], "", windows, "WIN.DLL", "WIN.DLL", "Windows", 1);
    EXPECT_TRUE(EntryIsEmpty(e[5]));

    ASSERT_EQ(2, InstallConfig.ProgramItemCount);
    ProgramItem *const *items = InstallConfig.ProgramItems;
    ExpectCleanItem(items[0], Repeat(14, 'f'), "", "iiii");
    ExpectCleanItem(items[1], "", Repeat(39, 't'), "");
    static const ProgramItem zero = {};
    for (int i = 2; i < MAX_PROGRAM_ITEMS; i++)
        EXPECT_EQ(0, memcmp(items[i], &zero, sizeof zero)) << "item " << i;
}

TEST_F(ScriptFields, WindowsFolderTargetThatDoesNotFitRefusesTheLoad) {
    // Windows folder length that just fits TargetDir with each token's tail.
    const struct {
        const char *token;
        int fits;
    } rows[] = {{"WinDir", 39}, {"WinSystemDir", 32}, {"WinInfDir", 35}};
    for (const auto &row : rows)
        for (int extra : {0, 1}) {
            std::string windows = "C:\\" + Repeat(row.fits - 3 + extra, 'W');
            int loaded = Load(std::string("[DiskLabel]\nDisk1=x\n[FileCounts]\nDisk1=1\n") +
                                  "[Disk1]\n1=A.DLL,A.DLL,a," + row.token + "\n",
                              windows.c_str());
            EXPECT_EQ(1 - extra, loaded) << row.token << " with " << windows;
            // Loaded, the target is the folder and its tail; refused, no tables.
            EXPECT_EQ(loaded ? SUBDIR_TEXT - 1 : 0,
                      loaded ? lstrlenA(InstallRecords[0].TargetDir) : InstallRecords != NULL);
        }
    // A program whose own path could not be had reads no script at all.
    EXPECT_EQ(0, Load("[Main]\nProductName=Root\n", "C:\\WINDOWS", ""));
    EXPECT_STREQ("Velor Setup Program", InstallConfig.Caption);
}

} // namespace
