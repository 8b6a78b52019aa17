// The sample installation media as the build made it: its SETUP.INF loads,
// every file it lists lies where the copy page will look, and the platform's
// LZ expansion of each one gives back the original byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "script/script.h"
#include "support/script_files.h"

// After windows.h, which the script header brings.
#include <lzexpand.h>

namespace {

// The build puts the media and the originals beside bin/.
std::string BuildFolder() {
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, sizeof module);
    std::string path = module;
    path.erase(path.rfind('\\')); // the program
    path.erase(path.rfind('\\')); // bin
    return path;
}

bool IsFile(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != 0xFFFFFFFF && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Expands source into target with the calls the copy engine makes; returns
// LZCopy's result (negative on failure).
LONG Expand(const std::string &source, const std::string &target) {
    OFSTRUCT scratch;
    INT from = LZOpenFileA((LPSTR)source.c_str(), &scratch, OF_READ);
    INT to = from < 0 ? from : LZOpenFileA((LPSTR)target.c_str(), &scratch, OF_CREATE);
    LONG copied = to < 0 ? to : LZCopy(from, to);
    if (from >= 0)
        LZClose(from);
    if (to >= 0)
        LZClose(to);
    return copied;
}

// The media's script loaded; expanded files go to the scratch folder.
class SampleMedia : public ScriptScratch {
  protected:
    void SetUp() override {
        ScriptScratch::SetUp();
        media = BuildFolder() + "\\media";
        originals = BuildFolder() + "\\media-originals";
        ASSERT_TRUE(IsFile(media + "\\SETUP.INF")) << "media not built: " << media;
        ASSERT_TRUE(IsFile(media + "\\SETUP.EXE"));
        ASSERT_EQ(1, LoadScriptFrom((media + "\\SETUP.EXE").c_str(), "C:\\WINDOWS", NULL));
    }
    std::string media, originals;
};

TEST_F(SampleMedia, ScriptDescribesTheProduct) {
    EXPECT_STREQ("Velor Scroll Mouse", InstallConfig.ProductName);
    EXPECT_STREQ("Velor Scroll Mouse Setup Program", InstallConfig.Caption);
    EXPECT_STREQ("C:\\VELOR", InstallConfig.DefaultPath);
    EXPECT_GT(InstallConfig.MinimumSpace, 0);
    EXPECT_EQ(media, InstallConfig.SourceRoot);
    EXPECT_EQ(2, InstallConfig.DiskTable.DiskCount);
    EXPECT_EQ(InstallConfig.DiskTable.FileCounts[0] + InstallConfig.DiskTable.FileCounts[1],
              InstallConfig.DiskTable.TotalFiles);

    // Every kind of target appears: the product's folder, a folder below it
    // and the three Windows folders, and no other.
    std::map<std::string, std::set<std::string>> byTarget;
    for (int i = 0; i < InstallConfig.DiskTable.TotalFiles; i++) {
        const FileEntry &e = InstallRecords[i];
        std::string kind = e.IsAbsolute ? e.TargetDir : *e.TargetDir ? "subdir" : "root";
        byTarget[kind].insert(e.TargetName);
    }
    EXPECT_EQ(5u, byTarget.size());
    for (const char *kind :
         {"root", "subdir", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\INF"})
        EXPECT_EQ(1u, byTarget.count(kind)) << kind;
    for (const char *product : {"SETUP.INF", "ZKMAIN.EXE", "ZKPAGE.DLL", "UNINSTAL.EXE"})
        EXPECT_EQ(1u, byTarget["root"].count(product)) << product;
    // The driver values name files that the script itself installs.
    EXPECT_EQ(1u, byTarget["C:\\WINDOWS\\SYSTEM"].count(InstallConfig.MouseDriver));
    EXPECT_EQ(1u, byTarget["C:\\WINDOWS\\INF"].count(InstallConfig.MouseInf));
    for (const char *value : {InstallConfig.Title, InstallConfig.Mfg, InstallConfig.DriverDate,
                              InstallConfig.PS2Name, InstallConfig.SeialName})
        EXPECT_STRNE("", value);

    // The INF sections the class key will name are in the driver's INF.
    std::string inf = originals + "\\DRIVERS\\" + InstallConfig.MouseInf;
    char section[512];
    for (const char *name : {InstallConfig.PS2InfSection, InstallConfig.SerialInfSection})
        EXPECT_GT(GetPrivateProfileSectionA(name, section, sizeof section, inf.c_str()), 0u)
            << name;
    EXPECT_NE(std::string::npos, ReadWholeFile(inf).find("DevLoader,,*vmouse"));
}

TEST_F(SampleMedia, EveryFileExpandsToItsOriginal) {
    int packed = 0;
    for (int i = 0; i < InstallConfig.DiskTable.TotalFiles; i++) {
        const FileEntry &e = InstallRecords[i];
        SCOPED_TRACE(e.SourceName);
        // The copy engine's joins: one backslash per join, also around an
        // empty folder.
        std::string source =
            std::string(InstallConfig.SourceRoot) + "\\" + e.SourceSubDir + "\\" + e.SourceName;
        std::string original = originals + "\\" + e.SourceSubDir + "\\" + e.TargetName;
        ASSERT_TRUE(IsFile(source)) << source;
        ASSERT_TRUE(IsFile(original)) << original;

        std::string expected = ReadWholeFile(original);
        ASSERT_FALSE(expected.empty());
        std::string stored = ReadWholeFile(source);
        if (e.SourceName[lstrlenA(e.SourceName) - 1] == '_') {
            packed++;
            EXPECT_EQ(0u, stored.compare(0, 4, "SZDD"));
            EXPECT_NE(expected, stored);
        } else {
            EXPECT_EQ(expected, stored);
        }

        std::string target = folder + "\\" + e.TargetName;
        EXPECT_EQ((LONG)expected.size(), Expand(source, target));
        EXPECT_TRUE(expected == ReadWholeFile(target)) << "expansion differs from " << original;
    }
    EXPECT_GE(packed, 5);
}

} // namespace
