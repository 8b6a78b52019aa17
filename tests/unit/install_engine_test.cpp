// The copy engine's pieces: paths, percentages and status, and the copy of
// one file on real files (LZ expansion, failures that must leave the target
// as it was, entries that copy nothing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/copy_engine.h"
#include "support/script_files.h"

namespace {

FileEntry Entry(const char *subDir, const char *targetDir, const char *source, const char *target,
                const char *description, int absolute) {
    FileEntry e;
    ZeroMemory(&e, sizeof e);
    lstrcpynA(e.SourceSubDir, subDir, sizeof e.SourceSubDir);
    lstrcpynA(e.TargetDir, targetDir, sizeof e.TargetDir);
    lstrcpynA(e.SourceName, source, sizeof e.SourceName);
    lstrcpynA(e.TargetName, target, sizeof e.TargetName);
    lstrcpynA(e.Description, description, sizeof e.Description);
    e.IsAbsolute = absolute;
    return e;
}

std::string Join(const char *root, const FileEntry &e, bool target) {
    char path[COPY_PATH_TEXT];
    int fit = target ? JoinTargetPath(path, sizeof path, root, &e)
                     : JoinSourcePath(path, sizeof path, root, &e);
    return fit ? std::string(path) : std::string("<cut>");
}

TEST(CopyPaths, JoinsWithOneBackslashBetweenEveryPart) {
    FileEntry help = Entry("HELP", "HELP", "MOUSEHLP.TX_", "MOUSEHLP.TXT", "Help text", 0);
    EXPECT_EQ("C:\\MEDIA\\HELP\\MOUSEHLP.TX_", Join("C:\\MEDIA", help, false));
    EXPECT_EQ("D:\\VELOR\\HELP\\MOUSEHLP.TXT", Join("D:\\VELOR", help, true));

    // An empty folder gives two backslashes in a row; a missing line, all empty.
    FileEntry root = Entry("", "", "SETUP.INF", "SETUP.INF", "Setup script", 0);
    EXPECT_EQ("A:\\\\SETUP.INF", Join("A:", root, false));
    EXPECT_EQ("D:\\VELOR\\\\SETUP.INF", Join("D:\\VELOR", root, true));
    FileEntry missing = Entry("", "", "", "", "", 0);
    EXPECT_EQ("A:\\\\", Join("A:", missing, false));
    EXPECT_EQ("D:\\VELOR\\\\", Join("D:\\VELOR", missing, true));

    // Absolute entries take no destination in front; any non-zero value counts.
    FileEntry driver = Entry("DRIVERS", "D:\\WINDOWS\\SYSTEM", "SCROLL.DR_", "SCROLL.DRV", "", 1);
    EXPECT_EQ("D:\\WINDOWS\\SYSTEM\\SCROLL.DRV", Join("D:\\VELOR", driver, true));
    driver.IsAbsolute = 0x10000;
    EXPECT_EQ("D:\\WINDOWS\\SYSTEM\\SCROLL.DRV", Join("D:\\VELOR", driver, true));
}

TEST(CopyPaths, LongestValuesFitAndLongerOnesAreRefused) {
    std::string folder = "C:\\" + std::string(76, 'F'); // 79 characters
    std::string sub(39, 'S');
    std::string name = "ABCDEFGHIJ.TX_"; // 14
    FileEntry e = Entry(sub.c_str(), sub.c_str(), name.c_str(), name.c_str(), "", 0);
    std::string expected = folder + "\\" + sub + "\\" + name;
    ASSERT_EQ(134u, expected.size());
    EXPECT_EQ(expected, Join(folder.c_str(), e, false));
    EXPECT_EQ(expected, Join(folder.c_str(), e, true));

    char small[100];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(0, JoinSourcePath(small, sizeof small, folder.c_str(), &e));
    EXPECT_EQ(99, lstrlenA(small));
    EXPECT_EQ(0, JoinTargetPath(small, sizeof small, folder.c_str(), &e));
    EXPECT_EQ(99, lstrlenA(small));
}

TEST(CopyPaths, BuiltFromTheInstallTables) {
    FileEntry entries[3] = {
        Entry("", "", "README.TXT", "README.TXT", "Read this first", 0),
        Entry("HELP", "HELP", "WHEEL.TXT", "WHEEL.TXT", "Wheels", 0),
        Entry("DRIVERS", "C:\\WIN\\INF", "SCROLL.INF", "SCROLL.INF", "Info", 1),
    };
    DiskTableRecord saved = InstallConfig.DiskTable;
    lstrcpyA(InstallConfig.SourceRoot, "E:\\SETUP");
    lstrcpyA(InstallConfig.DefaultPath, "C:\\VELOR");
    InstallConfig.DiskTable.DiskCount = 2;
    InstallConfig.DiskTable.FileCounts[0] = 1;
    InstallConfig.DiskTable.FileCounts[1] = 2;
    InstallConfig.DiskTable.DiskFiles[0] = entries;
    InstallConfig.DiskTable.DiskFiles[1] = entries + 1;
    InstallConfig.DiskTable.DiskFiles[2] = entries + 3;

    char path[COPY_PATH_TEXT];
    EXPECT_EQ(1, BuildSourcePath(path, sizeof path, 0, 0));
    EXPECT_STREQ("E:\\SETUP\\\\README.TXT", path);
    EXPECT_EQ(1, BuildTargetPath(path, sizeof path, 0, 0));
    EXPECT_STREQ("C:\\VELOR\\\\README.TXT", path);
    EXPECT_EQ(1, BuildSourcePath(path, sizeof path, 1, 1));
    EXPECT_STREQ("E:\\SETUP\\DRIVERS\\SCROLL.INF", path);
    EXPECT_EQ(1, BuildTargetPath(path, sizeof path, 1, 1));
    EXPECT_STREQ("C:\\WIN\\INF\\SCROLL.INF", path);
    // Outside the tables: no path at all.
    EXPECT_EQ(0, BuildSourcePath(path, sizeof path, 0, 1));
    EXPECT_STREQ("", path);
    EXPECT_EQ(0, BuildTargetPath(path, sizeof path, 6, 0));
    EXPECT_STREQ("", path);
    InstallConfig.DiskTable = saved;
}

TEST(CopyProgress, PercentagesCountTheFileInHand) {
    std::vector<short> three, seven, four;
    for (short i = 0; i < 3; i++)
        three.push_back(CopyPercentage(i, 3));
    for (short i = 0; i < 7; i++)
        seven.push_back(CopyPercentage(i, 7));
    for (short i = 0; i < 4; i++)
        four.push_back(CopyPercentage(i, 4));
    EXPECT_EQ((std::vector<short>{33, 66, 100}), three);
    EXPECT_EQ((std::vector<short>{14, 28, 42, 57, 71, 85, 100}), seven);
    EXPECT_EQ((std::vector<short>{25, 50, 75, 100}), four);
    EXPECT_EQ(100, CopyPercentage(0, 1));
    EXPECT_EQ(0, CopyPercentage(0, 300));
    EXPECT_EQ(100, CopyPercentage(32766, 32767)); // no 16-bit overflow on the way
    EXPECT_EQ(0, CopyPercentage(0, 0));
}

TEST(CopyProgress, StatusShowsNameBlankLineAndDescription) {
    AppInstance = GetModuleHandleA(NULL);
    char text[STATUS_TEXT];
    FileEntry e = Entry("", "", "SCROLL.DR_", "SCROLL.DRV", "Mouse driver", 1);
    StatusText(text, sizeof text, &e);
    EXPECT_STREQ("Copying SCROLL.DR_\n\nMouse driver", text);
    FileEntry missing = Entry("", "", "", "", "", 0);
    StatusText(text, sizeof text, &missing);
    EXPECT_STREQ("Copying \n\n", text);
}

// One file through OpenSourceFile and CopyToTarget, in a scratch folder.
class CopyOne : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = MakeScratchFolder("instone");
        page = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
        SourceHandle = NO_LZ_HANDLE;
    }
    void TearDown() override {
        DestroyWindow(page);
        RemoveTree(folder);
    }
    void Write(const std::string &name, const std::string &bytes) {
        FILE *file = fopen((folder + "\\" + name).c_str(), "wb");
        ASSERT_NE(nullptr, file);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    std::string Read(const std::string &name) { return ReadWholeFile(folder + "\\" + name); }
    bool Exists(const std::string &name) {
        return GetFileAttributesA((folder + "\\" + name).c_str()) != 0xFFFFFFFF;
    }
    // Names in the folder, so that no temporary file is left behind.
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..")
                    names.push_back(name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        return names;
    }
    void Copy(const std::string &source, const std::string &target) {
        std::string from = folder + "\\" + source;
        std::string to = folder + "\\" + target;
        EXPECT_EQ(1, OpenSourceFile(page, from.c_str()));
        EXPECT_EQ(1, CopyToTarget(page, to.c_str()));
        EXPECT_EQ(NO_LZ_HANDLE, SourceHandle);
    }
    std::string folder;
    HWND page = NULL;
};

// "SZDD" LZ file of the platform's format, made by hand: header, then one
// flag byte and literal bytes only.
std::string Compressed(const std::string &plain) {
    std::string out("SZDD\x88\xF0\x27\x33", 8);
    out += 'A';
    out += 'T'; // the missing last character of the name
    unsigned long size = plain.size();
    for (int i = 0; i < 4; i++)
        out += (char)((size >> (8 * i)) & 0xFF);
    for (size_t at = 0; at < plain.size(); at += 8) {
        out += (char)0xFF;
        out += plain.substr(at, 8);
    }
    return out;
}

TEST_F(CopyOne, PlainFileCopiedAndCompressedFileExpanded) {
    std::string text = "first line\r\nsecond line\r\n";
    std::string binary;
    for (int i = 0; i < 3000; i++)
        binary += (char)(i * 7 + 3);
    Write("PLAIN.TXT", text);
    Write("PACKED.DA_", Compressed(binary));
    ASSERT_NE(binary, Read("PACKED.DA_"));

    Copy("PLAIN.TXT", "COPY.TXT");
    Copy("PACKED.DA_", "PACKED.DAT");
    EXPECT_EQ(text, Read("COPY.TXT"));
    EXPECT_EQ(binary, Read("PACKED.DAT"));
    EXPECT_EQ(4u, Names().size()); // no temporary file left
}

TEST_F(CopyOne, ExistingTargetReplacedWhole) {
    Write("NEW.TXT", "new");
    Write("OLD.TXT", "an older and longer content");
    Copy("NEW.TXT", "OLD.TXT");
    EXPECT_EQ("new", Read("OLD.TXT"));
    EXPECT_EQ(2u, Names().size());
}

TEST_F(CopyOne, MissingSourceLeavesTheTargetAlone) {
    Write("KEEP.DRV", "a driver of the system");
    Copy("ABSENT.DR_", "KEEP.DRV");
    EXPECT_EQ("a driver of the system", Read("KEEP.DRV"));
    Copy("ABSENT.DR_", "NEW.DRV");
    EXPECT_FALSE(Exists("NEW.DRV"));
    EXPECT_EQ(1u, Names().size());
}

TEST_F(CopyOne, ReadOnlyTargetAndMissingFolderCopyNothing) {
    Write("SOURCE.TXT", "fresh");
    Write("LOCKED.TXT", "read-only content");
    std::string locked = folder + "\\LOCKED.TXT";
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    Copy("SOURCE.TXT", "LOCKED.TXT");
    EXPECT_EQ("read-only content", Read("LOCKED.TXT"));
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    Copy("SOURCE.TXT", "NOFOLDER\\SOURCE.TXT");
    EXPECT_FALSE(Exists("NOFOLDER"));

    // A folder of the target's name stays a folder.
    CreateDirectoryA((folder + "\\ADIR").c_str(), NULL);
    Copy("SOURCE.TXT", "ADIR");
    DWORD attributes = GetFileAttributesA((folder + "\\ADIR").c_str());
    EXPECT_TRUE(attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(3u, Names().size());
}

TEST_F(CopyOne, FailedExpansionKeepsTheExistingTarget) {
    Write("TARGET.DRV", "the working driver");
    Write("PARTIAL.TMP", "half a dri");
    std::string target = folder + "\\TARGET.DRV";
    std::string partial = folder + "\\PARTIAL.TMP";
    EXPECT_EQ(0, SettleExpansion(partial.c_str(), target.c_str(), LZERROR_WRITE));
    EXPECT_EQ("the working driver", Read("TARGET.DRV"));
    EXPECT_FALSE(Exists("PARTIAL.TMP"));

    Write("WHOLE.TMP", "the new driver");
    std::string whole = folder + "\\WHOLE.TMP";
    EXPECT_EQ(1, SettleExpansion(whole.c_str(), target.c_str(), 14));
    EXPECT_EQ("the new driver", Read("TARGET.DRV"));
    EXPECT_EQ(1u, Names().size());
}

// Moves refused for the sources named here, to reach every fallback.
std::vector<std::string> RefusedMoves;
BOOL WINAPI MoveUnlessRefused(LPCSTR from, LPCSTR to) {
    for (const std::string &refused : RefusedMoves)
        if (refused == from)
            return FALSE;
    return MoveFileA(from, to);
}

TEST_F(CopyOne, ReplacementKeepsMarksAndNeverLeavesTheNameEmpty) {
    std::string target = folder + "\\T.DRV", fresh = folder + "\\T.NEW", spare = folder + "\\T.OLD";
    const struct {
        std::vector<std::string> refused;
        int result;
        const char *holds;
    } rows[] = {
        {{}, 1, "fresh"}, {{fresh}, 0, "old"}, {{fresh, spare}, 0, "old"}, {{target}, 0, "old"}};
    for (const auto &row : rows) {
        Write("T.DRV", "old");
        Write("T.NEW", "fresh");
        RefusedMoves = row.refused;
        EXPECT_EQ(row.result,
                  SwapIntoPlace(fresh.c_str(), target.c_str(), spare.c_str(), MoveUnlessRefused));
        EXPECT_EQ(row.holds, Read("T.DRV")) << row.refused.size();
        EXPECT_FALSE(Exists("T.NEW") || Exists("T.OLD")) << row.refused.size();
    }
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    Write("T.NEW", "fresh");
    SetFileAttributesA(target.c_str(), marks);
    EXPECT_EQ(1, SettleExpansion(fresh.c_str(), target.c_str(), 5));
    EXPECT_EQ(marks, GetFileAttributesA(target.c_str()) & marks);
}

TEST_F(CopyOne, PathsThatDidNotFitOpenNothing) {
    Write("SOURCE.TXT", "content");
    Write("TARGET.TXT", "kept");
    std::string source = folder + "\\SOURCE.TXT";
    EXPECT_EQ(1, OpenSourceFile(page, NULL));
    EXPECT_EQ(NO_LZ_HANDLE, SourceHandle);
    EXPECT_EQ(1, OpenSourceFile(page, source.c_str()));
    EXPECT_NE(NO_LZ_HANDLE, SourceHandle);
    EXPECT_EQ(1, CopyToTarget(page, NULL));
    EXPECT_EQ(NO_LZ_HANDLE, SourceHandle);
    EXPECT_EQ("kept", Read("TARGET.TXT"));
}

TEST(SubFolders, EntriesOneToSixBelowTheDestination) {
    std::string folder = MakeScratchFolder("instdirs");
    char saved[DIRECTORY_TOKENS][PATH_TEXT];
    char savedPath[PATH_TEXT];
    memcpy(saved, InstallConfig.DirectoryTable, sizeof saved);
    lstrcpyA(savedPath, InstallConfig.DefaultPath);
    ZeroMemory(InstallConfig.DirectoryTable, sizeof InstallConfig.DirectoryTable);
    lstrcpynA(InstallConfig.DefaultPath, folder.c_str(), PATH_TEXT);
    lstrcpyA(InstallConfig.DirectoryTable[0], "ROOT");
    lstrcpyA(InstallConfig.DirectoryTable[1], "HELP");
    lstrcpyA(InstallConfig.DirectoryTable[3], "DOCS");
    lstrcpyA(InstallConfig.DirectoryTable[5], "MISSING\\DEEP");
    lstrcpyA(InstallConfig.DirectoryTable[6], "LAST");
    lstrcpyA(InstallConfig.DirectoryTable[7], "WIN");
    lstrcpyA(InstallConfig.DirectoryTable[9], "INF");

    CreateSubFolders();
    auto isFolder = [&](const char *name) {
        DWORD a = GetFileAttributesA((folder + "\\" + name).c_str());
        return a != 0xFFFFFFFF && (a & FILE_ATTRIBUTE_DIRECTORY);
    };
    EXPECT_TRUE(isFolder("HELP"));
    EXPECT_TRUE(isFolder("DOCS"));
    EXPECT_TRUE(isFolder("LAST"));
    EXPECT_FALSE(isFolder("ROOT"));
    EXPECT_FALSE(isFolder("WIN"));
    EXPECT_FALSE(isFolder("INF"));
    EXPECT_FALSE(isFolder("MISSING")); // only the last level is made
    CreateSubFolders();                // existing folders are fine
    EXPECT_TRUE(isFolder("HELP"));

    memcpy(InstallConfig.DirectoryTable, saved, sizeof saved);
    lstrcpyA(InstallConfig.DefaultPath, savedPath);
    RemoveTree(folder);
}

} // namespace
