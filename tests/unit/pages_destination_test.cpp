// The destination page's Next check on real folders of the test prefix. The
// message boxes are answered by a recording stand-in; everything else is the
// platform's own folder test, free-space query and folder creation.
#include "pages/destination.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<short> shownTexts;
std::vector<UINT> shownTypes;
int questionAnswer = IDOK;
std::vector<std::string> askedRoots;
std::vector<std::string> createdFolders;
int fakeFreeAnswer = -1; // -1: ask the platform
unsigned long long fakeFreeKilobytes = 0;

int RecordMessage(HWND, short textId, UINT type) {
    shownTexts.push_back(textId);
    shownTypes.push_back(type);
    return textId == 32 ? questionAnswer : IDOK;
}

int FreeKilobytes(const char *root, unsigned long long *kilobytes) {
    askedRoots.push_back(root);
    if (fakeFreeAnswer < 0)
        return PlatformDestinationOps.FreeKilobytes(root, kilobytes);
    *kilobytes = fakeFreeKilobytes;
    return fakeFreeAnswer;
}

int CreateFolder(const char *path) {
    createdFolders.push_back(path);
    return PlatformDestinationOps.CreateFolder(path);
}

const DestinationOps TestOps = {IsDirectory, RecordMessage, FreeKilobytes, CreateFolder};

class DestinationCheck : public ::testing::Test {
  protected:
    std::string base;

    void SetUp() override {
        shownTexts.clear();
        shownTypes.clear();
        askedRoots.clear();
        createdFolders.clear();
        questionAnswer = IDOK;
        fakeFreeAnswer = -1;
        InstallConfig.MinimumSpace = 1024;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char folder[MAX_PATH];
        wsprintfA(folder, "%sdst%lu", temp, GetCurrentProcessId());
        base = folder;
        RemoveTree(base);
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    }
    void TearDown() override { RemoveTree(base); }

    static void RemoveTree(const std::string &path) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string child = path + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

    static int Check(const std::string &path) {
        EXPECT_LT(path.size(), 80u) << path;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, path.c_str());
        return AcceptDestination(NULL, &TestOps);
    }
};

TEST(DestinationForm, RootAndFormOfTheText) {
    char root[4];
    DestinationRoot("d:\\velor", root);
    EXPECT_STREQ("D:\\", root);
    DestinationRoot("Z:\\", root);
    EXPECT_STREQ("Z:\\", root);
    DestinationRoot("1:\\x", root);
    EXPECT_STREQ("1:\\", root);
    DestinationRoot("\xe4:\\x", root); // a letter of another code page stays
    EXPECT_STREQ("\xe4:\\", root);

    EXPECT_TRUE(HasDrivePathForm("C:\\"));
    EXPECT_TRUE(HasDrivePathForm("7:\\TOOLS"));
    EXPECT_FALSE(HasDrivePathForm("C:"));
    EXPECT_FALSE(HasDrivePathForm("C"));
    EXPECT_FALSE(HasDrivePathForm(""));
    EXPECT_FALSE(HasDrivePathForm("C:/VELOR"));
    EXPECT_FALSE(HasDrivePathForm("\\\\server\\share"));
}

TEST(DestinationForm, FreeSpaceDoesNotWrapAtFourGigabytes) {
    EXPECT_EQ(0u, FreeSpaceKilobytes(8, 512, 0));
    EXPECT_EQ(2048u, FreeSpaceKilobytes(4, 512, 1024));
    // 4 GiB and 4 KiB free: a 32-bit product would say 4 KiB.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    // The largest factors the call can report.
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_TRUE(SpaceSuffices(4194308u, 32767));
    EXPECT_TRUE(SpaceSuffices(0, 0));
    EXPECT_TRUE(SpaceSuffices(2048, 2048));
    EXPECT_FALSE(SpaceSuffices(2047, 2048));
    EXPECT_FALSE(SpaceSuffices(0xFFFFFFFFFFull, -1)); // a script value of 65535
}

TEST_F(DestinationCheck, NewFolderWithLowerCaseDriveIsCreated) {
    std::string path = base + "\\new";
    path[0] = (char)(path[0] | 0x20);
    EXPECT_EQ(1, Check(path));
    EXPECT_TRUE(shownTexts.empty());
    ASSERT_EQ(1u, askedRoots.size());
    EXPECT_EQ(std::string(1, (char)(path[0] & ~0x20)) + ":\\", askedRoots[0]);
    EXPECT_EQ(1, IsDirectory(path.c_str()));
}

TEST_F(DestinationCheck, TextsWithoutDrivePathFormAreRefused) {
    const char *texts[] = {"C:", "C", ""};
    for (const char *text : texts) {
        SetUp();
        // An older, longer text behind the terminator must not count.
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
        lstrcpynA(InstallConfig.DefaultPath, text, PATH_TEXT);
        EXPECT_EQ(0, AcceptDestination(NULL, &TestOps)) << text;
        ASSERT_EQ(1u, shownTexts.size()) << text;
        EXPECT_EQ(33, shownTexts[0]);
        EXPECT_EQ((UINT)(MB_OK | MB_ICONWARNING), shownTypes[0]);
        EXPECT_TRUE(askedRoots.empty());
        EXPECT_TRUE(createdFolders.empty());
    }
}

TEST_F(DestinationCheck, DigitDrivePassesTheFormAndFailsOnTheDrive) {
    EXPECT_EQ(0, Check("1:\\VELOR"));
    ASSERT_EQ(1u, askedRoots.size());
    EXPECT_EQ("1:\\", askedRoots[0]);
    // No such drive: its free space is unknown, so it is refused as unusable.
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(33, shownTexts[0]);
    EXPECT_TRUE(createdFolders.empty());
}

TEST_F(DestinationCheck, ExistingRootIsAskedAboutAndNotCreated) {
    std::string root = base.substr(0, 3);
    EXPECT_EQ(1, Check(root));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(32, shownTexts[0]);
    EXPECT_EQ((UINT)(MB_OKCANCEL | MB_ICONQUESTION), shownTypes[0]);
    EXPECT_EQ(1u, askedRoots.size());
    EXPECT_TRUE(createdFolders.empty());
}

TEST_F(DestinationCheck, CancelOnTheQuestionStaysAndAsksAgainLater) {
    questionAnswer = IDCANCEL;
    EXPECT_EQ(0, Check(base));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(32, shownTexts[0]);
    EXPECT_TRUE(askedRoots.empty());

    questionAnswer = IDOK;
    EXPECT_EQ(1, Check(base));
    ASSERT_EQ(2u, shownTexts.size());
    EXPECT_EQ(32, shownTexts[1]);
    EXPECT_TRUE(createdFolders.empty());
}

TEST_F(DestinationCheck, FolderUnderAMissingOneIsRefused) {
    std::string missing = base + "\\missing";
    EXPECT_EQ(0, Check(missing + "\\deeper"));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(33, shownTexts[0]);
    EXPECT_EQ(1u, createdFolders.size());
    EXPECT_EQ(0, IsDirectory(missing.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missing.c_str()));
}

TEST_F(DestinationCheck, PathNamingAFileIsRefusedAndTheFileKept) {
    std::string file = base + "\\VELOR";
    HANDLE handle =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    DWORD written = 0;
    WriteFile(handle, "keep", 4, &written, NULL);
    CloseHandle(handle);

    EXPECT_EQ(0, Check(file));
    // Not a folder: no question, the creation fails.
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(33, shownTexts[0]);
    DWORD attributes = GetFileAttributesA(file.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(DestinationCheck, MinimumSpaceZeroAndExactlyTheFreeSpaceAreAccepted) {
    fakeFreeAnswer = 1;
    fakeFreeKilobytes = 0;
    InstallConfig.MinimumSpace = 0;
    EXPECT_EQ(1, Check(base + "\\zero"));
    EXPECT_TRUE(shownTexts.empty());

    fakeFreeKilobytes = 2048;
    InstallConfig.MinimumSpace = 2048;
    EXPECT_EQ(1, Check(base + "\\exact"));
    EXPECT_TRUE(shownTexts.empty());
    EXPECT_EQ(1, IsDirectory((base + "\\exact").c_str()));
}

TEST_F(DestinationCheck, TooLittleSpaceWarnsAndCreatesNothing) {
    fakeFreeAnswer = 1;
    fakeFreeKilobytes = 2047;
    InstallConfig.MinimumSpace = 2048;
    EXPECT_EQ(0, Check(base + "\\small"));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(34, shownTexts[0]);
    EXPECT_TRUE(createdFolders.empty());
    EXPECT_EQ(0, IsDirectory((base + "\\small").c_str()));

    // A script value of 65535 reads as -1 and no drive meets it.
    shownTexts.clear();
    fakeFreeKilobytes = 0xFFFFFFFFFull;
    InstallConfig.MinimumSpace = -1;
    EXPECT_EQ(0, Check(base + "\\small"));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(34, shownTexts[0]);
}

TEST_F(DestinationCheck, FailedFreeSpaceQueryIsRefusedWithoutCreating) {
    fakeFreeAnswer = 0;
    fakeFreeKilobytes = 123456; // must not be used
    EXPECT_EQ(0, Check(base + "\\nodrive"));
    ASSERT_EQ(1u, shownTexts.size());
    EXPECT_EQ(33, shownTexts[0]);
    EXPECT_TRUE(createdFolders.empty());
}

TEST_F(DestinationCheck, RealDriveOffersTheLargestMinimum) {
    // The test prefix's drive has far more than 32 MB free.
    InstallConfig.MinimumSpace = 32767;
    EXPECT_EQ(1, Check(base + "\\large"));
    EXPECT_TRUE(shownTexts.empty());
}

} // namespace
