// The system.ini patch and the VxD set-aside on real files in a temporary
// Windows folder and system folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/script_files.h"
#include "system/system.h"

namespace {

const char kMissing[] = "<missing>";
const char kDir[] = "<dir>";
const char kAny[] = "<any>"; // an expectation that does not look at the file

// The file's bytes, kDir for a folder, kMissing when there is nothing.
std::string Content(const std::string &path) {
    if (GetFileAttributesA(path.c_str()) == 0xFFFFFFFF)
        return kMissing;
    return IsDirectory(path.c_str()) ? kDir : ReadWholeFile(path);
}

void WriteBytes(const std::string &path, const std::string &text) {
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file != NULL) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

// Lines joined with the platform's line end, as the patch writes them.
std::string Crlf(std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\r');
    return text;
}

const char kWin98Ini[] =
    "[boot]\noemfonts.fon=vgaoem.fon\nshell=Explorer.exe\nmouse.drv=mouse.drv\n\n"
    "[boot.description]\nmouse.drv=Standard mouse\n\n"
    "[386Enh]\nebios=*ebios\nwoafont=dosapp.fon\nmouse=*vmouse, msmouse.vxd\ndevice=*vshare\n"
    "keyboard=*vkd\n\n"
    "[drivers]\nwave=mmsystem.dll\n";

// The files the patch touches, in this order.
enum { INI, BAK, NEW, VXD, VXD_BAK, FILES };
typedef std::vector<std::string> Files;

class SystemIni : public ::testing::Test {
  protected:
    std::string windows, system, path[FILES];

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        UseFolders(std::string(temp) + "sysini_win", "\\SYSTEM");
    }

    void TearDown() override { UseFolders("", ""); }

    // The system folder lies in the Windows folder: they go together.
    void UseFolders(const std::string &win, const std::string &sys) {
        static const char *const names[FILES] = {"\\system.ini", "\\system.bak", "\\system.new",
                                                 "\\VMM32\\VMOUSE.VXD", "\\VMM32\\VMOUSE.BAK"};
        for (const std::string &folder : {windows, win})
            if (!folder.empty()) // never the root of the drive
                RemoveTree(folder);
        windows = win;
        system = win + sys;
        for (int i = 0; i < FILES; i++)
            path[i] = (i < VXD ? windows : system) + names[i];
        if (!win.empty())
            MakeFolders(system + "\\VMM32");
    }

    // Each file: its text, kDir, or kMissing (absent).
    void Seed(const Files &files) {
        for (int i = 0; i < FILES; i++) {
            if (files[i] == kDir)
                ASSERT_TRUE(CreateDirectoryA(path[i].c_str(), NULL)) << path[i];
            else if (files[i] != kMissing)
                WriteBytes(path[i], files[i]);
        }
    }

    // What is there now, kAny where the expectation does not care.
    Files Now(const Files &expected) {
        Files now;
        for (int i = 0; i < FILES; i++)
            now.push_back(expected[i] == kAny ? kAny : Content(path[i]));
        return now;
    }

    int Patch() { return PatchSystemIniIn(windows.c_str(), system.c_str()); }
};

// Runs one text through the piece test, as the patch reads it.
std::string PatchText(const std::string &text) {
    std::string out;
    int inSection = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        size_t len = (end == std::string::npos ? text.size() : end + 1) - at;
        if (len > 119)
            len = 119;
        char piece[LINE_TEXT];
        CopyText(piece, sizeof piece, text.substr(at, len).c_str());
        PatchIniPiece(piece, &inSection);
        out += piece;
        at += len;
    }
    return out;
}

const std::string kLongHead = "device=" + std::string(112, 'x'); // 119 characters

TEST(SystemIniPiece, MatchingRules) {
    // "mouse" cut across two pieces is found in neither.
    const std::string split = "device=" + std::string(109, 'x') + "mouse=tail\n";
    const struct {
        std::string in, out;
    } cases[] = {
        // The commented line stays; the next one with "mouse" is replaced.
        {"[386Enh]\n;mouse=old.vxd\nmouse=msmouse.vxd\nkeyboard=*vkd\n",
         "[386Enh]\n;mouse=old.vxd\nmouse=*vmouse\nkeyboard=*vkd\n"},
        // No mouse line in the section: the next line anywhere takes it, once.
        {"[386Enh]\nebios=*ebios\n[drivers]\nmousedrv=a\nmousedrv=x\n",
         "[386Enh]\nebios=*ebios\n[drivers]\nmouse=*vmouse\nmousedrv=x\n"},
        // Case counts; a blank before ";" is no comment; a header with "mouse"
        // in it is replaced itself.
        {"[386ENH]\nmouse=a\n", "[386ENH]\nmouse=a\n"},
        {"[386Enh]\nMouse=a\n ;mouse=b\n", "[386Enh]\nMouse=a\nmouse=*vmouse\n"},
        {"[386Enh] ; mouse\n", "mouse=*vmouse\n"},
        // A second [386Enh] arms it again.
        {"[386Enh]\nmouse=a\nmouse=b\n[386Enh]\nmouse=c\n",
         "[386Enh]\nmouse=*vmouse\nmouse=b\n[386Enh]\nmouse=*vmouse\n"},
        // Long lines are tested piece by piece.
        {"[386Enh]\n" + kLongHead + "mouse=tail\n", "[386Enh]\n" + kLongHead + "mouse=*vmouse\n"},
        {"[386Enh]\n" + split, "[386Enh]\n" + split},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.out, PatchText(c.in)) << c.in;
}

// Every outcome on the real files: seeded state, the file held open while
// the patch runs (with its sharing), the result and the state after; in
// short folders and in the longest ones, which must be joined whole.
TEST_F(SystemIni, OutcomesOnTheFiles) {
    std::string win98 = Crlf(kWin98Ini), patched = win98;
    patched.replace(patched.find("mouse=*vmouse, msmouse.vxd"), 26, "mouse=*vmouse");
    const std::string noMouse = "[boot]\nshell=Explorer.exe\n[386Enh]\nebios=*ebios\n";
    const std::string longLine = "[386Enh]\n" + kLongHead + "mouse=tail\nmouse=keep\n";
    const std::string old = "[386Enh]\nmouse=old\n", no = kMissing;
    const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // clang-format off
    const struct {
        const char *what;
        Files before;
        int held; DWORD share; int result;
        Files after;
    } cases[] = {
        {"realistic file: patched, backed up, VxD set aside", {win98, "old backup", no, "vxd image", no},
         -1, 0, 0, {patched, win98, no, no, "vxd image"}},
        {"short file", {Crlf(old), no, no, "vxd image", no},
         -1, 0, 0, {Crlf("[386Enh]\nmouse=*vmouse\n"), Crlf(old), no, no, "vxd image"}},
        // The state a first run leaves, with a new VxD: VMOUSE.BAK is in the way.
        {"second run", {patched, win98, no, "new vxd", "vxd image"},
         -1, 0, -1, {patched, patched, no, "new vxd", "vxd image"}},
        // Bare line feeds come back as the platform's; no VxD to set aside.
        {"no mouse line", {noMouse, no, no, no, no},
         -1, 0, -1, {Crlf(noMouse), noMouse, no, no, no}},
        {"long line", {Crlf(longLine), no, no, no, no},
         -1, 0, -1, {Crlf("[386Enh]\n" + kLongHead + "mouse=*vmouse\nmouse=keep\n"), Crlf(longLine), no, no, no}},
        {"system.ini missing", {no, "backup", no, no, no},
         -1, 0, -1, {no, "backup", no, no, no}},
        {"system.ini a folder", {kDir, "backup", no, no, no},
         -1, 0, -1, {kDir, "backup", no, no, no}},
        {"system.ini held without sharing", {old, "backup", no, no, no},
         INI, 0, -1, {old, "backup", no, no, no}},
        // The set-aside is a step of its own.
        {"system.new a folder", {win98, "backup", kDir, "vxd image", no},
         -1, 0, -1, {win98, "backup", kDir, no, "vxd image"}},
        {"system.new held without sharing", {win98, "backup", "stale", "vxd image", no},
         NEW, 0, -1, {win98, "backup", "stale", no, "vxd image"}},
        {"system.bak cannot be removed", {win98, kDir, no, no, no},
         -1, 0, -1, {win98, kDir, no, no, no}},
        // Without delete sharing the copy is written but can neither take
        // the name nor be removed: system.ini is put back.
        {"system.new cannot take the name", {win98, "backup", "", no, no},
         NEW, kShareAll, -1, {win98, no, kAny, no, no}},
    };
    // clang-format on
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string longest = std::string(temp) + "sysini_";
    longest += std::string(79 - longest.size(), 'w');
    ASSERT_EQ(79u, longest.size());
    const std::pair<std::string, std::string> folders[] = {{windows, "\\SYSTEM"},
                                                           {longest, "\\" + std::string(70, 's')}};
    for (const auto &folder : folders) {
        for (const auto &c : cases) {
            SCOPED_TRACE(folder.first + ": " + c.what);
            UseFolders(folder.first, folder.second);
            Seed(c.before);
            HANDLE held = INVALID_HANDLE_VALUE;
            if (c.held >= 0) {
                held = CreateFileA(path[c.held].c_str(), GENERIC_READ, c.share, NULL, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, NULL);
                ASSERT_NE(INVALID_HANDLE_VALUE, held);
            }
            EXPECT_EQ(c.result, Patch());
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            EXPECT_EQ(c.after, Now(c.after));
        }
    }
}

TEST_F(SystemIni, ProgramUsesTheWindowsFolderOfTheScriptAndTheRealSystemFolder) {
    char realSystem[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(realSystem, sizeof realSystem), 0u);
    std::string vmm32 = std::string(realSystem) + "\\VMM32";
    std::string realVxd = vmm32 + "\\VMOUSE.VXD", realBak = vmm32 + "\\VMOUSE.BAK";
    if (Content(realVxd) != kMissing || Content(realBak) != kMissing)
        GTEST_SKIP() << "the prefix has a mouse VxD of its own";
    bool madeVmm32 = CreateDirectoryA(vmm32.c_str(), NULL) != 0;
    WriteBytes(realVxd, "vxd image");
    WriteBytes(path[INI], Crlf("[386Enh]\nmouse=old\n"));
    char saved[PATH_TEXT];
    CopyText(saved, sizeof saved, InstallConfig.WindowsDir);
    CopyText(InstallConfig.WindowsDir, PATH_TEXT, windows.c_str());

    int result = PatchSystemIni();

    CopyText(InstallConfig.WindowsDir, PATH_TEXT, saved);
    bool setAside = Content(realVxd) == kMissing && Content(realBak) == "vxd image";
    DeleteFileA(realVxd.c_str());
    DeleteFileA(realBak.c_str());
    if (madeVmm32)
        RemoveDirectoryA(vmm32.c_str());
    EXPECT_EQ(0, result);
    EXPECT_TRUE(setAside);
    EXPECT_EQ(Crlf("[386Enh]\nmouse=*vmouse\n"), Content(path[INI]));
}

} // namespace
