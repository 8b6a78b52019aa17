// The undo journal's rules on real files and the prefix's registry: what is
// noted once and what follows every run, what undo does with a value, the
// record carried into a new SETUP.INF, the system.ini piece put back.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "driver/driver.h"
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
    RegSetValueExA(key.Handle, "Empty", 0, REG_SZ, (const BYTE *)"", 1);
    // Too large for a note: it is never overwritten.
    const std::string tooLong(NOTE_VALUE_BYTES, 'x');
    RegSetValueExA(key.Handle, "Long", 0, REG_SZ, (const BYTE *)tooLong.c_str(),
                   NOTE_VALUE_BYTES + 1);
    for (const char *run : {"one", "two"})
        for (const char *name : {"Text", "Bytes", "Empty", "Long", "Absent", ""})
            EXPECT_EQ(std::string(name) != "Long", SetJournalText(&key, name, run) != 0) << name;
    char left[NOTE_VALUE_BYTES + 8];
    DWORD size = sizeof left;
    RegQueryValueExA(key.Handle, "Long", NULL, NULL, (BYTE *)left, &size);
    EXPECT_EQ(tooLong, left);
    RegCloseKey(key.Handle);
    const std::string at = "HKLM\\" + kKey + "\\A\\B";
    EXPECT_EQ((std::vector<std::string>{"HKLM\\" + kKey + "=created",
                                        "HKLM\\" + kKey + "\\A=created", at + "=created"}),
              Section(file, JOURNAL_KEYS));
    // An empty text noted before is a note too: the second run keeps it.
    EXPECT_EQ((std::vector<std::string>{at + "\\\\Text=\" old \"x\" \"", at + "\\\\Bytes=#3:01ff",
                                        at + "\\\\Empty=\"\"", at + "\\\\Absent=-", at + "\\\\=-"}),
              Section(file, JOURNAL_VALUES));
    std::vector<std::string> written;
    for (const char *name : {"Text", "Bytes", "Empty", "Absent", ""})
        written.push_back(at + "\\\\" + name + "=\"two\"");
    EXPECT_EQ(written, Section(file, JOURNAL_WRITTEN));
}

TEST_F(Journal, NothingChangesWhoseNoteCannotBeWritten) {
    ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, kKey, "Kept", "old"));
    JournalKey key;
    ASSERT_TRUE(OpenJournalKey(&key, HKEY_LOCAL_MACHINE, kKey.c_str(), 0));
    const std::string user = folder + "\\USER.DRV";
    ASSERT_TRUE(WriteFile(user, "mine"));
    // A journal that cannot be written, as on a full or read-only disk.
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), NULL));
    EXPECT_FALSE(SetJournalText(&key, "Kept", "new"));
    EXPECT_FALSE(SetJournalText(&key, "Added", "new"));
    JournalKey child;
    EXPECT_FALSE(OpenJournalKey(&child, HKEY_LOCAL_MACHINE, (kKey + "\\A").c_str(), 1));
    EXPECT_FALSE(NoteFileChange((folder + "\\NEW.DRV").c_str()));
    EXPECT_FALSE(NoteFileChange(user.c_str()));
    RemoveDirectoryA(file.c_str());
    EXPECT_EQ((RegValues{{"Kept", "old"}}), ReadRegValues(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_TRUE(RegSubkeys(HKEY_LOCAL_MACHINE, kKey).empty());
    EXPECT_EQ("USER.DRV=mine ", Listing(folder)) << "no copy kept of a file not replaced";
    RegCloseKey(key.Handle);
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

// The notes of pieces as the journal's section holds them: (piece, place).
static std::string PieceNotes(const std::vector<std::pair<std::string, int>> &pieces) {
    std::string notes;
    for (size_t k = 1; k <= pieces.size(); k++) {
        char pieceKey[32], placeKey[32], hex[512];
        IniPieceKeys((int)k, pieceKey, placeKey);
        const std::string &piece = pieces[k - 1].first;
        EncodeHex(hex, sizeof hex, (const BYTE *)piece.c_str(), (DWORD)piece.size());
        notes += std::string(pieceKey) + "=" + hex + '\0' + placeKey + "=" +
                 std::to_string(pieces[k - 1].second) + '\0';
    }
    return notes + '\0';
}

TEST_F(Journal, SystemIniPiecesGoBackWhereThePatchPutTheirLines) {
    const std::string ini = folder + "\\system.ini", expected = folder + "\\expected.ini";
    const std::string longLine(150, 'm');
    const struct {
        const char *what;
        std::string before;
        std::vector<std::pair<std::string, int>> pieces;
        int result;
        std::string after;
    } rows[] = {
        {"at its place",
         "[386Enh]\nebios=*ebios\nmouse=*vmouse\nx=1\n",
         {{"mouse=*vmd\n", 2}},
         1,
         "[386Enh]\nebios=*ebios\nmouse=*vmd\nx=1\n"},
        {"lines added above",
         "[386Enh]\nnew=1\nmouse=*vmouse\n",
         {{"mouse=*vmd\n", 1}},
         1,
         "[386Enh]\nnew=1\nmouse=*vmd\n"},
        {"changed by the user", "[386Enh]\nmouse=*other\n", {{"mouse=*vmd\n", 1}}, 0, ""},
        {"only outside [386Enh]",
         "[386Enh]\n[boot]\nmouse=*vmouse\n",
         {{"mouse=*vmd\n", 1}},
         0,
         ""},
        {"piece of a long line",
         "[386Enh]\nmouse=*vmouse\n" + longLine.substr(119) + "\n",
         {{longLine.substr(0, 119), 1}},
         1,
         "[386Enh]\n" + longLine + "\n"},
        {"a second [386Enh]",
         "[386Enh]\nmouse=*vmouse\n[386Enh]\nmouse=*vmouse\n",
         {{"mouse=*vmd\n", 1}, {"mouse=msmouse.vxd\n", 3}},
         1,
         "[386Enh]\nmouse=*vmd\n[386Enh]\nmouse=msmouse.vxd\n"},
        {"both moved down",
         "x=1\n[386Enh]\nmouse=*vmouse\n[386Enh]\nmouse=*vmouse\n",
         {{"mouse=*vmd\n", 1}, {"mouse=two\n", 3}},
         1,
         "x=1\n[386Enh]\nmouse=*vmd\n[386Enh]\nmouse=two\n"},
    };
    for (const auto &r : rows) {
        ASSERT_TRUE(WriteFile(ini, Crlf(r.before)));
        const std::string notes = PieceNotes(r.pieces);
        EXPECT_EQ(r.result, RestoreIniPieces(ini.c_str(), notes.c_str(), 0)) << r.what;
        EXPECT_EQ(r.result, RestoreIniPieces(ini.c_str(), notes.c_str(), 1)) << r.what;
        ASSERT_TRUE(WriteFile(expected, Crlf(r.result ? r.after : r.before)));
        EXPECT_EQ(ReadFile(expected), ReadFile(ini)) << r.what;
        EXPECT_EQ("expected.ini system.ini ", Names(folder)) << r.what;
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

TEST_F(Journal, FilesOutsideComeBackAsTheyWereUnlessTheUserChangedThem) {
    // The user's file replaced (its copy kept), one made, one made and then
    // changed by the user, one noted but never copied.
    const std::string old = folder + "\\OLD.DRV", made = folder + "\\NEW.DRV",
                      changed = folder + "\\USER.DRV", never = folder + "\\NEVER.DRV";
    ASSERT_TRUE(WriteFile(old, "user's"));
    for (const std::string &path : {old, made, changed, never})
        ASSERT_TRUE(NoteFileChange(path.c_str())) << path;
    for (const std::string &path : {old, made, changed}) {
        ASSERT_TRUE(WriteFile(path, "ours"));
        NoteFileWritten(path.c_str());
    }
    ASSERT_TRUE(WriteFile(changed, "changed since"));
    // A second run notes nothing new: the file from before the first stays.
    ASSERT_TRUE(NoteFileChange(old.c_str()));
    EXPECT_EQ((std::vector<std::string>{old + "=" + folder + "\\UNDO\\FILE1", made + "=created",
                                        changed + "=created", never + "=created"}),
              Section(file, JOURNAL_FILES));
    RemovalList later = {0, {}};
    UndoTally tally = {0, 0, 0, 0, 0};
    UndoNotedFiles(file.c_str(), 1, &tally, &later);
    EXPECT_EQ("2 0 0", std::to_string(tally.Files) + " " + std::to_string(tally.Failed) + " " +
                           std::to_string(later.Count));
    EXPECT_EQ("OLD.DRV=user's SETUP.INF=" + ReadFile(file) +
                  " UNDO\\ UNDO\\FILE1=user's "
                  "USER.DRV=changed since ",
              Listing(folder));
}

// The Windows folder of the system.ini tests, its system folder and a file.
static std::string Win(const std::string &folder, const char *name = "") {
    return folder + "\\WIN" + name;
}

TEST_F(Journal, SystemIniComesBackByteForByteOrByItsPieces) {
    const std::string ini = Win(folder, "\\system.ini"), bak = Win(folder, "\\system.bak"),
                      vxd = Win(folder, "\\SYS\\VMM32\\VMOUSE.VXD");
    // LF-only lines, a trailing Ctrl-Z and a second [386Enh] do not survive
    // the patch's text rewrite; undo brings the bytes back all the same.
    const std::string odd = "[boot]\nshell=x\n[386Enh]\nmouse=*vmd\n[386Enh]\r\nmouse=y\r\n\x1a";
    const struct {
        const char *what;
        std::string before, userBak, userEdit;
        DWORD marks;
        std::string after; // "": as before
    } rows[] = {
        {"plain", Crlf("[386Enh]\nmouse=*vmd\nx=1\n"), "", "", 0, ""},
        {"odd bytes, read-only and hidden", odd, "", "",
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, ""},
        {"the user's system.bak", odd, "my backup", "", 0, ""},
        {"changed by the user since", Crlf("[386Enh]\nmouse=*vmd\n"), "", "added=1\r\n", 0,
         Crlf("[386Enh]\nmouse=*vmd\nadded=1\n")},
    };
    for (const auto &r : rows) {
        fs::remove_all(Win(folder));
        DeleteFileA(file.c_str());
        for (int n = 1; n <= 2; n++) // the saved copies keep the files' marks
            DeleteMarked((folder + "\\UNDO\\FILE" + std::to_string(n)).c_str());
        ASSERT_TRUE(WriteFile(ini, r.before) && WriteFile(vxd, "old VxD"));
        ASSERT_TRUE(r.userBak.empty() || WriteFile(bak, r.userBak));
        SetFileAttributesA(ini.c_str(), r.marks);
        EXPECT_EQ(0, PatchSystemIniIn(Win(folder).c_str(), Win(folder, "\\SYS").c_str())) << r.what;
        EXPECT_EQ(r.marks, GetFileAttributesA(ini.c_str()) & r.marks) << r.what;
        if (!r.userEdit.empty()) {
            SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
            std::ofstream(ini, std::ios::app | std::ios::binary) << r.userEdit;
        }
        UndoTally tally = {0, 0, 0, 0, 0};
        UndoSystemFiles(file.c_str(), Win(folder).c_str(), Win(folder, "\\SYS").c_str(), 1, &tally);
        EXPECT_EQ(0, tally.Failed) << r.what;
        EXPECT_EQ(r.after.empty() ? r.before : r.after, ReadFile(ini)) << r.what;
        EXPECT_EQ(r.marks, GetFileAttributesA(ini.c_str()) & r.marks) << r.what;
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(r.userBak.empty() ? "<missing>" : r.userBak, ReadFile(bak)) << r.what;
        EXPECT_EQ("old VxD", ReadFile(vxd)) << r.what;
        EXPECT_EQ(r.userBak.empty() ? "SYS system.ini " : "SYS system.bak system.ini ",
                  Names(Win(folder)))
            << r.what;
    }
}

TEST_F(Journal, AStopInTheMiddleOfASwapLeavesNothingARunAfterItCannotPutBack) {
    const std::string ini = Win(folder, "\\system.ini"), bak = Win(folder, "\\system.bak"),
                      fresh = Win(folder, "\\system.new"), saved = folder + "\\FILE1";
    const std::string original = Crlf("[386Enh]\nmouse=*vmd\n"),
                      patched = Crlf("[386Enh]\nmouse=*vmouse\n");
    // The patch stopped between its two renames: system.ini is system.bak,
    // on a second install the first one's patch.
    const struct {
        const char *what;
        std::string inBak;
    } rows[] = {{"the first install", original}, {"a second install", patched}};
    UndoTally tally = {0, 0, 0, 0, 0};
    for (const auto &r : rows) {
        fs::remove_all(Win(folder));
        DeleteFileA(file.c_str());
        char state[32];
        ASSERT_TRUE(WriteFile(bak, r.inBak) && WriteFile(fresh, patched) &&
                    WriteFile(saved, original) && FileFingerprint(fresh.c_str(), state, 32));
        WritePrivateProfileStringA(JOURNAL_SYSTEM, NOTE_INI_BACKUP, NOTE_CREATED, file.c_str());
        WritePrivateProfileStringA(JOURNAL_SYSTEM, NOTE_INI_SAVED, saved.c_str(), file.c_str());
        WritePrivateProfileStringA(JOURNAL_WRITTEN, ini.c_str(), state, file.c_str());
        tally = {0, 0, 0, 0, 0};
        UndoSystemFiles(file.c_str(), Win(folder).c_str(), "", 1, &tally);
        EXPECT_EQ("1 0 " + original, std::to_string(tally.System) + " " +
                                         std::to_string(tally.Failed) + " " + ReadFile(ini))
            << r.what;
        EXPECT_EQ("system.ini system.new ", Names(Win(folder)))
            << "system.new is the files' to remove";
    }
    // The uninstaller's own rewrite stopped with system.ini under its spare.
    ASSERT_TRUE(MoveFileA(ini.c_str(), Win(folder, "\\~Osystem.ini").c_str()));
    ASSERT_TRUE(WriteFile(Win(folder, "\\~Nsystem.ini"), "half"));
    UndoSystemFiles(file.c_str(), Win(folder).c_str(), "", 1, &tally);
    EXPECT_EQ(original, ReadFile(ini));
    EXPECT_EQ("system.ini system.new ", Names(Win(folder)));
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
    // A new setup into that folder takes its files back; a line that starts
    // with a NUL byte is read within its buffer, and is no line to keep.
    const std::string nul("\0x\r\n", 4);
    ASSERT_TRUE(
        WriteFile(ini, Crlf("[rename]\nNUL=" + std::string(shortName) + "\nNUL=C:\\KEEP\n") + nul));
    RemovalList kept = {1, {}};
    lstrcpyA(kept.Paths[0], folder.c_str());
    ASSERT_TRUE(CancelRemovals(folder.c_str(), &kept));
    EXPECT_EQ("[rename]\r\nNUL=C:\\KEEP\r\n", ReadFile(ini));
    EXPECT_EQ("Long File Name.txt SETUP.INF WININIT.INI ", Names(folder));
}

TEST_F(Journal, TheUninstallEntryGoesLast) {
    const std::string entry = "HKLM\\" UNINSTALL_KEY, other = "HKLM\\" + kKey;
    DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    for (const std::string &key : {other, entry}) {
        ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, key.substr(5), "Made", "ours"));
        WritePrivateProfileStringA(JOURNAL_KEYS, key.c_str(), NOTE_CREATED, file.c_str());
        WritePrivateProfileStringA(JOURNAL_VALUES, (key + "\\\\Made").c_str(), "-", file.c_str());
        WritePrivateProfileStringA(JOURNAL_WRITTEN, (key + "\\\\Made").c_str(), "\"ours\"",
                                   file.c_str());
    }
    UndoTally tally = {0, 0, 0, 0, 0};
    UndoRegistry(file.c_str(), 1, &tally);
    EXPECT_EQ("1 1 0 1",
              std::to_string(tally.Values) + " " + std::to_string(tally.Keys) + " " +
                  std::to_string(RegSubkeys(HKEY_LOCAL_MACHINE, kKey).size()) + " " +
                  std::to_string(ReadRegValues(HKEY_LOCAL_MACHINE, UNINSTALL_KEY).size()));
    UndoUninstallEntry(file.c_str(), 1, &tally);
    EXPECT_EQ("2 2 0 0", std::to_string(tally.Values) + " " + std::to_string(tally.Keys) + " " +
                             std::to_string(tally.Failed) + " " +
                             std::to_string(RegSubkeys(HKEY_LOCAL_MACHINE, UNINSTALL_KEY).size()));
    HKEY gone;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &gone));
}

} // namespace
