// The system.ini patch and the VxD set-aside on real files in a temporary
// Windows folder and system folder.
#include <gtest/gtest.h>

#include <string>

#include "system/system.h"

namespace {

const char kMissing[] = "<missing>";

std::string ReadBytes(const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return kMissing;
    std::string text;
    char chunk[512];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    fclose(file);
    return text;
}

void WriteBytes(const std::string &path, const std::string &text) {
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file != NULL) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

bool Exists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != 0xFFFFFFFF;
}

// Lines joined with the platform's line end, as the patch writes them.
std::string Crlf(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

const char kWin98Ini[] = "[boot]\n"
                         "oemfonts.fon=vgaoem.fon\n"
                         "shell=Explorer.exe\n"
                         "mouse.drv=mouse.drv\n"
                         "\n"
                         "[boot.description]\n"
                         "mouse.drv=Standard mouse\n"
                         "\n"
                         "[386Enh]\n"
                         "ebios=*ebios\n"
                         "woafont=dosapp.fon\n"
                         "mouse=*vmouse, msmouse.vxd\n"
                         "device=*vshare\n"
                         "keyboard=*vkd\n"
                         "\n"
                         "[drivers]\n"
                         "wave=mmsystem.dll\n";

class SystemIni : public ::testing::Test {
  protected:
    std::string windows, system, ini, bak, fresh, vxd, vxdBak;

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        UseFolders(std::string(temp) + "sysini_win", std::string(temp) + "sysini_win\\SYSTEM");
    }

    void TearDown() override { Clean(); }

    void UseFolders(const std::string &win, const std::string &sys) {
        windows = win;
        system = sys;
        ini = windows + "\\system.ini";
        bak = windows + "\\system.bak";
        fresh = windows + "\\system.new";
        vxd = system + "\\VMM32\\VMOUSE.VXD";
        vxdBak = system + "\\VMM32\\VMOUSE.BAK";
        Clean();
        CreateDirectoryA(windows.c_str(), NULL);
        CreateDirectoryA(system.c_str(), NULL);
        CreateDirectoryA((system + "\\VMM32").c_str(), NULL);
    }

    void Clean() {
        for (const std::string &path : {ini, bak, fresh, vxd, vxdBak}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            RemoveDirectoryA(path.c_str());
        }
        RemoveDirectoryA((system + "\\VMM32").c_str());
        RemoveDirectoryA(system.c_str());
        RemoveDirectoryA(windows.c_str());
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

TEST(SystemIniPiece, MatchingRules) {
    // The commented line stays; the next one with "mouse" is replaced.
    EXPECT_EQ("[386Enh]\n;mouse=old.vxd\nmouse=*vmouse\nkeyboard=*vkd\n",
              PatchText("[386Enh]\n;mouse=old.vxd\nmouse=msmouse.vxd\nkeyboard=*vkd\n"));
    // No mouse line in the section: the next line anywhere takes it, once.
    EXPECT_EQ("[386Enh]\nebios=*ebios\n[drivers]\nmouse=*vmouse\nmousedrv=x\n",
              PatchText("[386Enh]\nebios=*ebios\n[drivers]\nmousedrv=a\nmousedrv=x\n"));
    // Case counts; a blank before ";" is no comment; a header with "mouse"
    // in it is replaced itself.
    EXPECT_EQ("[386ENH]\nmouse=a\n", PatchText("[386ENH]\nmouse=a\n"));
    EXPECT_EQ("[386Enh]\nMouse=a\nmouse=*vmouse\n", PatchText("[386Enh]\nMouse=a\n ;mouse=b\n"));
    EXPECT_EQ("mouse=*vmouse\n", PatchText("[386Enh] ; mouse\n"));
    // A second [386Enh] arms it again.
    EXPECT_EQ("[386Enh]\nmouse=*vmouse\nmouse=b\n[386Enh]\nmouse=*vmouse\n",
              PatchText("[386Enh]\nmouse=a\nmouse=b\n[386Enh]\nmouse=c\n"));
}

TEST(SystemIniPiece, LongLinesAreTestedPieceByPiece) {
    std::string head = "device=" + std::string(112, 'x'); // 119 characters
    std::string line = head + "mouse=tail\n";
    EXPECT_EQ("[386Enh]\n" + head + "mouse=*vmouse\n", PatchText("[386Enh]\n" + line));
    // "mouse" cut across two pieces is found in neither.
    std::string split = "device=" + std::string(109, 'x') + "mouse=tail\n";
    EXPECT_EQ("[386Enh]\n" + split, PatchText("[386Enh]\n" + split));
}

TEST_F(SystemIni, RealisticFileIsPatchedBackedUpAndVxdSetAside) {
    WriteBytes(ini, Crlf(kWin98Ini));
    WriteBytes(bak, "old backup");
    WriteBytes(vxd, "vxd image");

    EXPECT_EQ(0, Patch());
    std::string expected = kWin98Ini;
    expected.replace(expected.find("mouse=*vmouse, msmouse.vxd\n"), 27, "mouse=*vmouse\n");
    EXPECT_EQ(Crlf(expected), ReadBytes(ini));
    EXPECT_EQ(Crlf(kWin98Ini), ReadBytes(bak));
    EXPECT_FALSE(Exists(fresh));
    EXPECT_FALSE(Exists(vxd));
    EXPECT_EQ("vxd image", ReadBytes(vxdBak));

    // Second run: the same text again, system.bak is the first run's result,
    // and the set-aside finds VMOUSE.BAK already there.
    WriteBytes(vxd, "new vxd");
    EXPECT_EQ(-1, Patch());
    EXPECT_EQ(Crlf(expected), ReadBytes(ini));
    EXPECT_EQ(Crlf(expected), ReadBytes(bak));
    EXPECT_EQ("new vxd", ReadBytes(vxd));
    EXPECT_EQ("vxd image", ReadBytes(vxdBak));
}

TEST_F(SystemIni, NoMouseLineStillRewritesAndBacksUp) {
    std::string text = "[boot]\nshell=Explorer.exe\n[386Enh]\nebios=*ebios\n";
    WriteBytes(ini, text);  // bare line feeds come back as the platform's
    EXPECT_EQ(-1, Patch()); // no VMOUSE.VXD to set aside
    EXPECT_EQ(Crlf(text), ReadBytes(ini));
    EXPECT_EQ(text, ReadBytes(bak));
    EXPECT_FALSE(Exists(vxdBak));
}

TEST_F(SystemIni, LongLineInTheFile) {
    std::string head = "device=" + std::string(112, 'x');
    WriteBytes(ini, Crlf("[386Enh]\n" + head + "mouse=tail\nmouse=keep\n"));
    Patch();
    EXPECT_EQ(Crlf("[386Enh]\n" + head + "mouse=*vmouse\nmouse=keep\n"), ReadBytes(ini));
}

TEST_F(SystemIni, UnreadableSystemIniLeavesEverythingAsItWas) {
    // Missing.
    WriteBytes(bak, "backup");
    EXPECT_EQ(-1, Patch());
    EXPECT_FALSE(Exists(ini));
    EXPECT_FALSE(Exists(fresh));
    EXPECT_EQ("backup", ReadBytes(bak));

    // A directory in its place.
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), NULL));
    EXPECT_EQ(-1, Patch());
    EXPECT_FALSE(Exists(fresh));
    EXPECT_EQ("backup", ReadBytes(bak));
    EXPECT_TRUE(IsDirectory(ini.c_str()));
    RemoveDirectoryA(ini.c_str());

    // Held open by another program without sharing.
    WriteBytes(ini, "[386Enh]\nmouse=old\n");
    HANDLE held =
        CreateFileA(ini.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(-1, Patch());
    CloseHandle(held);
    EXPECT_EQ("[386Enh]\nmouse=old\n", ReadBytes(ini));
    EXPECT_FALSE(Exists(fresh));
    EXPECT_EQ("backup", ReadBytes(bak));
}

TEST_F(SystemIni, SystemNewThatCannotBeCreated) {
    WriteBytes(ini, Crlf(kWin98Ini));
    WriteBytes(bak, "backup");
    WriteBytes(vxd, "vxd image");

    // A directory in the way.
    ASSERT_TRUE(CreateDirectoryA(fresh.c_str(), NULL));
    EXPECT_EQ(-1, Patch());
    EXPECT_EQ(Crlf(kWin98Ini), ReadBytes(ini));
    EXPECT_EQ("backup", ReadBytes(bak));
    EXPECT_TRUE(IsDirectory(fresh.c_str()));
    RemoveDirectoryA(fresh.c_str());

    // A file of that name that another program holds open without sharing.
    WriteBytes(fresh, "stale");
    HANDLE held = CreateFileA(fresh.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(-1, Patch());
    CloseHandle(held);
    EXPECT_EQ(Crlf(kWin98Ini), ReadBytes(ini));
    EXPECT_EQ("backup", ReadBytes(bak));
    EXPECT_EQ("stale", ReadBytes(fresh));
    // The set-aside is a step of its own.
    EXPECT_EQ("vxd image", ReadBytes(vxdBak));
}

TEST_F(SystemIni, BackupThatCannotBeRemovedKeepsSystemIni) {
    WriteBytes(ini, Crlf(kWin98Ini));
    ASSERT_TRUE(CreateDirectoryA(bak.c_str(), NULL));
    EXPECT_EQ(-1, Patch());
    EXPECT_EQ(Crlf(kWin98Ini), ReadBytes(ini));
    EXPECT_TRUE(IsDirectory(bak.c_str()));
}

TEST_F(SystemIni, SystemNewThatCannotTakeTheNamePutsTheBackupBack) {
    WriteBytes(ini, Crlf(kWin98Ini));
    WriteBytes(bak, "backup");
    // An open handle without delete sharing lets the copy be written but
    // keeps the file from being renamed.
    WriteBytes(fresh, "");
    HANDLE held = CreateFileA(fresh.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(-1, Patch());
    CloseHandle(held);
    EXPECT_EQ(Crlf(kWin98Ini), ReadBytes(ini));
    EXPECT_FALSE(Exists(bak));
}

TEST_F(SystemIni, LongFoldersAreJoinedWhole) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string win = std::string(temp) + "sysini_";
    win += std::string(79 - win.size(), 'w');
    ASSERT_EQ(79u, win.size());
    TearDown();
    UseFolders(win, win + "\\" + std::string(70, 's'));
    WriteBytes(ini, Crlf("[386Enh]\nmouse=old\n"));
    WriteBytes(vxd, "vxd image");
    EXPECT_EQ(0, Patch());
    EXPECT_EQ(Crlf("[386Enh]\nmouse=*vmouse\n"), ReadBytes(ini));
    EXPECT_EQ(Crlf("[386Enh]\nmouse=old\n"), ReadBytes(bak));
    EXPECT_EQ("vxd image", ReadBytes(vxdBak));
}

TEST_F(SystemIni, ProgramUsesTheWindowsFolderOfTheScriptAndTheRealSystemFolder) {
    char realSystem[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(realSystem, sizeof realSystem), 0u);
    std::string vmm32 = std::string(realSystem) + "\\VMM32";
    std::string realVxd = vmm32 + "\\VMOUSE.VXD", realBak = vmm32 + "\\VMOUSE.BAK";
    if (Exists(realVxd) || Exists(realBak))
        GTEST_SKIP() << "the prefix has a mouse VxD of its own";
    bool madeVmm32 = CreateDirectoryA(vmm32.c_str(), NULL) != 0;
    WriteBytes(realVxd, "vxd image");
    WriteBytes(ini, Crlf("[386Enh]\nmouse=old\n"));
    char saved[PATH_TEXT];
    CopyText(saved, sizeof saved, InstallConfig.WindowsDir);
    CopyText(InstallConfig.WindowsDir, PATH_TEXT, windows.c_str());

    int result = PatchSystemIni();

    CopyText(InstallConfig.WindowsDir, PATH_TEXT, saved);
    bool setAside = !Exists(realVxd) && ReadBytes(realBak) == "vxd image";
    DeleteFileA(realVxd.c_str());
    DeleteFileA(realBak.c_str());
    if (madeVmm32)
        RemoveDirectoryA(vmm32.c_str());
    EXPECT_EQ(0, result);
    EXPECT_TRUE(setAside);
    EXPECT_EQ(Crlf("[386Enh]\nmouse=*vmouse\n"), ReadBytes(ini));
}

} // namespace
