// The destination page's Next check on real folders of the test prefix. The
// message boxes are answered by a recording stand-in; everything else is the
// platform's own folder test, free-space query and folder creation.
#include "pages/destination.h"

#include <gtest/gtest.h>
#include <ctype.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

const short Exists = 32, Unusable = 33, TooSmall = 34; // the message texts
std::vector<short> shownTexts;
std::vector<UINT> shownTypes;
int questionAnswer;
std::vector<std::string> askedRoots;
std::vector<std::string> createdFolders;
int fakeFreeAnswer; // below 0: ask the platform
unsigned long long fakeFreeKilobytes;

int RecordMessage(HWND, short textId, UINT type) {
    shownTexts.push_back(textId);
    shownTypes.push_back(type);
    return textId == Exists ? questionAnswer : IDOK;
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

void RemoveTree(const std::string &path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, child = path + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(path.c_str());
}

TEST(DestinationForm, RootFormAndSpaceArithmetic) {
    const struct {
        const char *path, *root;
    } roots[] = {{"d:\\velor", "D:\\"},
                 {"Z:\\", "Z:\\"},
                 {"1:\\x", "1:\\"},
                 {"\xe4:\\x", "\xe4:\\"}}; // a letter of another code page stays
    for (const auto &r : roots) {
        char root[4];
        DestinationRoot(r.path, root);
        EXPECT_STREQ(r.root, root) << r.path;
    }
    const struct {
        const char *path;
        bool form;
    } forms[] = {
        {"C:\\", true},      {"7:\\TOOLS", true},         {"C:", false}, {"C", false}, {"", false},
        {"C:/VELOR", false}, {"\\\\server\\share", false}};
    for (const auto &f : forms)
        EXPECT_EQ(f.form, HasDrivePathForm(f.path) != 0) << f.path;

    EXPECT_EQ(0u, FreeSpaceKilobytes(8, 512, 0));
    EXPECT_EQ(2048u, FreeSpaceKilobytes(4, 512, 1024));
    // 4 GiB and 4 KiB free: a 32-bit product would say 4 KiB.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    // The largest factors the call can report.
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
    const struct {
        unsigned long long free;
        short minimum;
        bool suffices;
    } spaces[] = {{4194308u, 32767, true},
                  {0, 0, true},
                  {2048, 2048, true},
                  {2047, 2048, false},
                  {0xFFFFFFFFFFull, -1, false}}; // a script value of 65535
    for (const auto &c : spaces)
        EXPECT_EQ(c.suffices, SpaceSuffices(c.free, c.minimum) != 0) << c.free << " " << c.minimum;
}

// One Next press per row, in order, on the same test folder. In a path, '~'
// stands for the test folder (its drive letter in lower case, as typed) and
// '^' for the root of its drive.
TEST(DestinationCheck, NextPressesAndWhatTheyShowAskAndCreate) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string base = std::string(temp) + "dst" + std::to_string(GetCurrentProcessId());
    RemoveTree(base);
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    std::ofstream(base + "\\VELOR") << "keep";
    const struct {
        const char *path;
        int freeAnswer; // -1: the platform's own figure
        unsigned long long freeKilobytes;
        short minimum;
        int answer, accepted;
        std::vector<short> texts;
        size_t rootsAsked, created;
        bool folderAfter;
    } cases[] = {
        // Without the drive-path form: nothing is asked or created.
        {"C:", -1, 0, 1024, IDOK, 0, {Unusable}, 0, 0, false},
        {"C", -1, 0, 1024, IDOK, 0, {Unusable}, 0, 0, false},
        {"", -1, 0, 1024, IDOK, 0, {Unusable}, 0, 0, false},
        // A digit drive passes the form; no such drive has a known free space.
        {"1:\\VELOR", -1, 0, 1024, IDOK, 0, {Unusable}, 1, 0, false},
        // Under a missing folder the one creation fails.
        {"~\\missing\\deeper", -1, 0, 1024, IDOK, 0, {Unusable}, 1, 1, false},
        // Naming a file: no question, the creation fails.
        {"~\\VELOR", -1, 0, 1024, IDOK, 0, {Unusable}, 1, 1, false},
        // An existing folder is asked about and never created; Cancel stays on
        // the page before the space is asked, and the next press asks again.
        {"^", -1, 0, 1024, IDOK, 1, {Exists}, 1, 0, true},
        {"~", -1, 0, 1024, IDCANCEL, 0, {Exists}, 0, 0, true},
        {"~", -1, 0, 1024, IDOK, 1, {Exists}, 1, 0, true},
        // A new folder is created only once the space is known to suffice.
        {"~\\new", -1, 0, 1024, IDOK, 1, {}, 1, 1, true},
        {"~\\zero", 1, 0, 0, IDOK, 1, {}, 1, 1, true},
        {"~\\exact", 1, 2048, 2048, IDOK, 1, {}, 1, 1, true},
        {"~\\small", 1, 2047, 2048, IDOK, 0, {TooSmall}, 1, 0, false},
        // A script value of 65535 reads as -1 and no drive meets it.
        {"~\\huge", 1, 0xFFFFFFFFFull, -1, IDOK, 0, {TooSmall}, 1, 0, false},
        // A failed query is refused; its figure must not be used.
        {"~\\nodrive", 0, 123456, 1024, IDOK, 0, {Unusable}, 1, 0, false},
        // The test prefix's drive has far more than 32 MB free.
        {"~\\large", -1, 0, 32767, IDOK, 1, {}, 1, 1, true},
    };
    std::string lowerBase = base;
    lowerBase[0] = (char)(lowerBase[0] | 0x20);
    for (const auto &c : cases) {
        std::string path = c.path;
        if (path[0] == '~')
            path = lowerBase + path.substr(1);
        else if (path[0] == '^')
            path = base.substr(0, 3);
        shownTexts.clear();
        shownTypes.clear();
        askedRoots.clear();
        createdFolders.clear();
        fakeFreeAnswer = c.freeAnswer;
        fakeFreeKilobytes = c.freeKilobytes;
        InstallConfig.MinimumSpace = c.minimum;
        questionAnswer = c.answer;
        // An older, longer text behind the terminator must not count.
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
        ASSERT_LT(path.size(), 80u) << path;
        lstrcpynA(InstallConfig.DefaultPath, path.c_str(), PATH_TEXT);
        EXPECT_EQ(c.accepted, AcceptDestination(NULL, &TestOps)) << path;
        EXPECT_EQ(c.texts, shownTexts) << path;
        for (size_t i = 0; i < c.texts.size() && i < shownTypes.size(); i++)
            EXPECT_EQ((UINT)(c.texts[i] == Exists ? MB_OKCANCEL | MB_ICONQUESTION
                                                  : MB_OK | MB_ICONWARNING),
                      shownTypes[i])
                << path;
        // The space of the path's drive, by its upper-case root.
        EXPECT_EQ(c.rootsAsked, askedRoots.size()) << path;
        EXPECT_EQ(c.rootsAsked ? std::string(1, (char)toupper(path[0])) + ":\\" : "",
                  askedRoots.empty() ? "" : askedRoots[0])
            << path;
        EXPECT_EQ(c.created, createdFolders.size()) << path;
        bool ours = c.path[0] == '~' || c.path[0] == '^'; // "C:" may well be a folder
        EXPECT_EQ(ours && c.folderAfter, ours && IsDirectory(path.c_str())) << path;
    }
    // Nothing above the missing folder was made, and the file is still one.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((base + "\\missing").c_str()));
    DWORD attributes = GetFileAttributesA((base + "\\VELOR").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
    RemoveTree(base);
}

} // namespace
