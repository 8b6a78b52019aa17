// The undo journal's rules on real files and the prefix's registry: what is
// noted once and what follows every run, what undo does with a value, the
// record carried into a new SETUP.INF, the system.ini piece put back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/files.h"
#include "uninstall/uninstall.h"
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

namespace {

const std::string kKey = "Software\\VelorJournal";

class Journal : public ::testing::Test {
  protected:
    Scratch scratch{"journal"};
    std::string folder, file;
    void SetUp() override {
        folder = scratch.path;
        file = folder + "\\SETUP.INF";
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.c_str());
        for (const char *level : {"\\A\\B", "\\A", ""})
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kKey + level).c_str());
    }
    // A section of the journal as key=value lines in file order, raw.
    std::vector<std::string> Section(const std::string &path, const char *name) {
        std::vector<std::string> lines;
        char *text = ReadProfileSection(path.c_str(), name);
        for (const char *line = text; line[0] != '\0'; line += lstrlenA(line) + 1)
            lines.push_back(line);
        FreeProfileSection(text);
        return lines;
    }
};

TEST_F(Journal, StateBeforeIsNotedOnceWhatWasWrittenFollowsEveryRun) {
    JournalKey key;
    ASSERT_TRUE(OpenJournalKey(&key, HKEY_LOCAL_MACHINE, (kKey + "\\A\\B").c_str(), 1));
    const BYTE bytes[2] = {1, 255};
    RegSetValueExA(key.Handle, "Text", 0, REG_SZ, (const BYTE *)" old \"x\" ", 10);
    RegSetValueExA(key.Handle, "Bytes", 0, REG_BINARY, bytes, 2);
    const std::string tooLong(REG_TEXT, 'x');
    RegSetValueExA(key.Handle, "Long", 0, REG_SZ, (const BYTE *)tooLong.c_str(), REG_TEXT + 1);
    for (const char *run : {"one", "two"})
        for (const char *name : {"Text", "Bytes", "Long", "Absent", ""})
            SetJournalText(&key, name, run);
    RegCloseKey(key.Handle);
    const std::string at = "HKLM\\" + kKey + "\\A\\B";
    EXPECT_EQ((std::vector<std::string>{"HKLM\\" + kKey + "=created",
                                        "HKLM\\" + kKey + "\\A=created", at + "=created"}),
              Section(file, JOURNAL_KEYS));
    EXPECT_EQ((std::vector<std::string>{at + "\\\\Text=\" old \"x\" \"", at + "\\\\Bytes=#3:01ff",
                                        at + "\\\\Long=?", at + "\\\\Absent=-", at + "\\\\=-"}),
              Section(file, JOURNAL_VALUES));
    std::vector<std::string> written;
    for (const char *name : {"Text", "Bytes", "Long", "Absent", ""})
        written.push_back(at + "\\\\" + name + "=\"two\"");
    EXPECT_EQ(written, Section(file, JOURNAL_WRITTEN));
}

TEST(JournalRules, DeviceDriverValue) {
    const std::string full(16, 'x'), cut = full.substr(0, 15);
    const struct {
        LONG result;
        DWORD type;
        std::string value;
        DriverChoice choice;
    } rows[] = {
        {ERROR_SUCCESS, REG_SZ, "Mouse\\0001", DRIVER_USE},
        {ERROR_FILE_NOT_FOUND, 0, "", DRIVER_NEW},
        {ERROR_SUCCESS, REG_SZ, "", DRIVER_NEW},
        {ERROR_MORE_DATA, REG_SZ, "", DRIVER_LEAVE},
        {ERROR_SUCCESS, REG_SZ, full, DRIVER_LEAVE},
        {ERROR_SUCCESS, REG_BINARY, cut, DRIVER_LEAVE},
    };
    for (const auto &r : rows) {
        char value[16] = {0};
        r.value.copy(value, sizeof value);
        EXPECT_EQ(r.choice, ChooseDriver(r.result, r.type, value, sizeof value)) << r.value;
    }
}

TEST(JournalRules, WhatUndoDoesWithAValue) {
    const struct {
        const char *before, *written, *now;
        UndoStep step;
    } rows[] = {
        {"\"old\"", "\"new\"", "\"new\"", UNDO_RESTORE},
        {"-", "\"new\"", "\"new\"", UNDO_DELETE},
        {"#3:01", "#3:00", "#3:00", UNDO_RESTORE},
        {"\"old\"", "\"new\"", "\"user\"", UNDO_KEEP},
        {"\"old\"", "\"new\"", "-", UNDO_KEEP},
        {"\"old\"", "\"new\"", "\"old\"", UNDO_KEEP},
        {"\"same\"", "\"same\"", "\"same\"", UNDO_KEEP},
        {"?", "\"new\"", "\"new\"", UNDO_KEEP},
        {"", "\"new\"", "\"new\"", UNDO_KEEP},
        {"\"old\"", "", "", UNDO_KEEP},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.step, UndoValueStep(r.before, r.written, r.now))
            << r.before << " " << r.written << " " << r.now;
}

// States read from the registry are in the first test; these are the rest.
TEST(JournalRules, StatesOfValuesAndDamagedStates) {
    char state[16];
    EncodeValueState(state, sizeof state, 0, REG_SZ, (const BYTE *)"a\nb", 4);
    EXPECT_STREQ("#1:610a6200", state) << "a line feed would end the profile line";
    EncodeValueState(state, sizeof state, 0, REG_SZ, (const BYTE *)"ab", 2);
    EXPECT_STREQ("\"ab\"", state) << "a text stored without its end";
    EncodeValueState(state, 8, 0, REG_SZ, (const BYTE *)"123456", 7);
    EXPECT_STREQ("?", state) << "too long for the note";
    BYTE data[8];
    DWORD type = 0, length = 0;
    ASSERT_TRUE(DecodeValueState("#3:01ff", &type, data, sizeof data, &length));
    EXPECT_EQ(std::string("\x01\xff"), std::string((char *)data, length));
    ASSERT_TRUE(DecodeValueState("\"x y\"", &type, data, sizeof data, &length));
    EXPECT_EQ(std::string("x y", 4), std::string((char *)data, length)) << "kept with its end";
    for (const char *damaged :
         {"-", "?", "\"x", "#3:0", "#3:zz", "#:00", "#3", "#3:001122334455667788"})
        EXPECT_FALSE(DecodeValueState(damaged, &type, data, sizeof data, &length)) << damaged;
}

TEST_F(Journal, NewSetupInfTakesOverTheRecordAndJournalOfTheOldOne) {
    const std::string old = "[Main]\nProductName=Old\n[PS2]\nDeviceDesc=Standard\n"
                            "[Undo Values]\nHKLM\\A\\\\B=\" kept \"\n";
    const std::string fresh = folder + "\\NEW.INF", other = folder + "\\OTHER.INF";
    ASSERT_TRUE(WriteFile(file, Crlf(old)) && WriteFile(other, Crlf(old)));
    ASSERT_TRUE(WriteFile(fresh, Crlf("[Main]\nProductName=New\n")));
    EXPECT_TRUE(KeepRecordSections(other.c_str(), fresh.c_str()));
    EXPECT_EQ("[Main]\r\nProductName=New\r\n", ReadFile(fresh)) << "not the record file";
    // The copy engine names the file with an empty folder value in between.
    EXPECT_TRUE(KeepRecordSections((folder + "\\\\setup.inf").c_str(), fresh.c_str()));
    EXPECT_EQ((std::vector<std::string>{"ProductName=New"}), Section(fresh, "Main"));
    EXPECT_EQ((std::vector<std::string>{"DeviceDesc=Standard"}), Section(fresh, "PS2"));
    EXPECT_EQ((std::vector<std::string>{"HKLM\\A\\\\B=\" kept \""}),
              Section(fresh, JOURNAL_VALUES));
}

TEST_F(Journal, SystemIniPieceGoesBackWhereThePatchPutItsLine) {
    const std::string ini = folder + "\\system.ini", expected = folder + "\\expected.ini";
    const std::string longLine(150, 'm');
    const struct {
        const char *what;
        std::string before, piece;
        int place, result;
        std::string after;
    } rows[] = {
        {"at its place", "[386Enh]\nebios=*ebios\nmouse=*vmouse\nx=1\n", "mouse=*vmd\n", 2, 1,
         "[386Enh]\nebios=*ebios\nmouse=*vmd\nx=1\n"},
        {"lines added above", "[386Enh]\nnew=1\nmouse=*vmouse\n", "mouse=*vmd\n", 1, 1,
         "[386Enh]\nnew=1\nmouse=*vmd\n"},
        {"changed by the user", "[386Enh]\nmouse=*other\n", "mouse=*vmd\n", 1, 0, ""},
        {"only outside [386Enh]", "[386Enh]\n[boot]\nmouse=*vmouse\n", "mouse=*vmd\n", 1, 0, ""},
        {"piece of a long line", "[386Enh]\nmouse=*vmouse\n" + longLine.substr(119) + "\n",
         longLine.substr(0, 119), 1, 1, "[386Enh]\n" + longLine + "\n"},
    };
    for (const auto &r : rows) {
        ASSERT_TRUE(WriteFile(ini, Crlf(r.before)));
        EXPECT_EQ(r.result, RestoreIniPiece(ini.c_str(), r.piece.c_str(), r.place, 0)) << r.what;
        EXPECT_EQ(r.result, RestoreIniPiece(ini.c_str(), r.piece.c_str(), r.place, 1)) << r.what;
        ASSERT_TRUE(WriteFile(expected, Crlf(r.result ? r.after : r.before)));
        EXPECT_EQ(ReadFile(expected), ReadFile(ini)) << r.what;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*.TMP").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << r.what << ": " << found.cFileName;
        FindClose(search);
    }
}

TEST_F(Journal, AKeyTheSetupMadeGoesOnlyWhenNothingIsLeftInIt) {
    const std::string path = kKey + "\\A";
    WritePrivateProfileStringA(JOURNAL_KEYS, ("HKLM\\" + path).c_str(), "created", file.c_str());
    std::string seen;
    for (bool mine : {true, false}) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        if (mine)
            RegSetValueExA(key, "Mine", 0, REG_SZ, (const BYTE *)"x", 2);
        RegCloseKey(key);
        UndoTally tally = {0, 0, 0, 0, 0};
        UndoRegistry(file.c_str(), 1, &tally);
        LONG open = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
        if (open == ERROR_SUCCESS)
            RegCloseKey(key);
        seen += std::to_string(open == ERROR_SUCCESS) + std::to_string(tally.Keys) +
                std::to_string(tally.Failed) + " ";
        if (mine) {
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key);
            RegDeleteValueA(key, "Mine");
            RegCloseKey(key);
        }
    }
    EXPECT_EQ("100 010 ", seen);
}

TEST_F(Journal, OnlyFilesTheSetupMadeAreNotedAndAVxdSetAsideComesBackOverNothing) {
    // A file replaced outside the destination is the user's: never noted.
    const std::string old = folder + "\\OLD.DRV", made = folder + "\\NEW.DRV";
    ASSERT_TRUE(WriteFile(old, "x"));
    NoteCreatedFile(old.c_str());
    NoteCreatedFile(made.c_str());
    EXPECT_EQ(std::vector<std::string>{made + "=created"}, Section(file, JOURNAL_FILES));

    const std::string system = folder + "\\SYSTEM", bak = system + "\\VMM32\\VMOUSE.BAK",
                      vxd = system + "\\VMM32\\VMOUSE.VXD";
    CreateDirectoryA(system.c_str(), NULL);
    CreateDirectoryA((system + "\\VMM32").c_str(), NULL);
    WritePrivateProfileStringA(JOURNAL_SYSTEM, "VxdSetAside", "yes", file.c_str());
    // A VMOUSE.VXD standing there (a new driver) stays, and so does the backup.
    for (bool fresh : {true, false}) {
        ASSERT_TRUE(WriteFile(bak, "set aside"));
        DeleteFileA(vxd.c_str());
        ASSERT_TRUE(!fresh || WriteFile(vxd, "new"));
        UndoTally tally = {0, 0, 0, 0, 0};
        UndoSystemFiles(file.c_str(), folder.c_str(), system.c_str(), 1, &tally);
        EXPECT_EQ(fresh ? "0 0 new set aside" : "1 0 set aside <missing>",
                  std::to_string(tally.System) + " " + std::to_string(tally.Failed) + " " +
                      ReadFile(vxd) + " " + ReadFile(bak));
    }
}

TEST_F(Journal, WininitNamesEveryFileOnceInShortForm) {
    const std::string ini = folder + "\\WININIT.INI", longName = folder + "\\Long File Name.txt";
    ASSERT_TRUE(WriteFile(longName, Crlf("x")) && WriteFile(file, Crlf("x")));
    char shortName[MAX_PATH], shortFile[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(longName.c_str(), shortName, MAX_PATH));
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortFile, MAX_PATH));
    RemovalList later = {3, {}};
    for (int i = 0; i < 3; i++)
        lstrcpyA(later.Paths[i], (i == 1 ? longName : file).c_str());
    // No file yet; then one with a [rename] section among others.
    ASSERT_TRUE(ScheduleRemovals(folder.c_str(), &later));
    EXPECT_EQ("[rename]\r\nNUL=" + std::string(shortFile) + "\r\nNUL=" + shortName + "\r\n",
              ReadFile(ini));
    ASSERT_TRUE(
        WriteFile(ini, Crlf("[CombineVxDs]\na=b\n[Rename]\nNUL=" + std::string(shortName))));
    ASSERT_TRUE(ScheduleRemovals(folder.c_str(), &later));
    EXPECT_EQ("[CombineVxDs]\r\na=b\r\n[Rename]\r\nNUL=" + std::string(shortFile) +
                  "\r\nNUL=" + shortName,
              ReadFile(ini));
}

} // namespace
