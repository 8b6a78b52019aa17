// The undo journal's rules on real files and the prefix's registry: what is
// noted once and what follows every run, what undo does with a value, the
// record carried into a new SETUP.INF, the system.ini piece put back.
#include <gtest/gtest.h>

#include <tuple>

#include "driver/driver.h"
#include "support/files.h"
#include "uninstall/uninstall.h"
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kKey = "Software\\VelorJournal";

// The numbers, each followed by a blank.
template <typename... N> std::string Counts(N... numbers) {
    return ((std::to_string(numbers) + " ") + ...);
}

class Journal : public ::testing::Test {
  protected:
    Scratch scratch{"journal"};
    const std::string folder = scratch.path, file = scratch / "SETUP.INF";
    void SetUp() override {
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder.c_str());
        DeleteRegTree(HKLM, kKey);
    }
};

TEST_F(Journal, StateBeforeIsNotedOnceWhatWasWrittenFollowsEveryRun) {
    JournalKey key;
    ASSERT_TRUE(OpenJournalKey(&key, HKLM, (kKey + "\\A\\B").c_str(), 1));
    const std::string at = kKey + "\\A\\B", tooLong(NOTE_VALUE_BYTES, 'x');
    RegSetValueExA(key.Handle, "Bytes", 0, REG_BINARY, (const BYTE *)"\x01\xff", 2);
    // Long is too large for a note: it is never overwritten.
    for (const auto &[name, text] :
         RegValues{{"Text", " old \"x\" "}, {"Empty", ""}, {"Long", tooLong}})
        ASSERT_TRUE(SetRegText(HKLM, at, name.c_str(), text));
    for (const char *run : {"one", "two"})
        for (const char *name : {"Text", "Bytes", "Empty", "Long", "Absent", ""})
            EXPECT_EQ(std::string(name) != "Long", SetJournalText(&key, name, run) != 0) << name;
    char left[NOTE_VALUE_BYTES + 8];
    DWORD size = sizeof left;
    RegQueryValueExA(key.Handle, "Long", NULL, NULL, (BYTE *)left, &size);
    EXPECT_EQ(tooLong, left);
    RegCloseKey(key.Handle);
    const std::string top = "HKLM\\" + kKey, place = top + "\\A\\B\\\\";
    EXPECT_EQ(top + "=created|" + top + "\\A=created|" + top + "\\A\\B=created|",
              ProfileSection(file, JOURNAL_KEYS));
    // An empty text noted before is a note too: the second run keeps it.
    EXPECT_EQ(place + "Text=\" old \"x\" \"|" + place + "Bytes=#3:01ff|" + place + "Empty=\"\"|" +
                  place + "Absent=-|" + place + "=-|",
              ProfileSection(file, JOURNAL_VALUES));
    std::string written;
    for (const char *name : {"Text", "Bytes", "Empty", "Absent", ""})
        written += place + name + "=\"two\"|";
    EXPECT_EQ(written, ProfileSection(file, JOURNAL_WRITTEN));
}

TEST_F(Journal, NothingChangesWhoseNoteCannotBeWritten) {
    ASSERT_TRUE(SetRegText(HKLM, kKey, "Kept", "old"));
    JournalKey key, child;
    ASSERT_TRUE(OpenJournalKey(&key, HKLM, kKey.c_str(), 0));
    const std::string user = folder + "\\USER.DRV";
    ASSERT_TRUE(WriteFile(user, "mine"));
    // A journal that cannot be written, as on a full or read-only disk.
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), NULL));
    EXPECT_FALSE(SetJournalText(&key, "Kept", "new"));
    EXPECT_FALSE(SetJournalText(&key, "Added", "new"));
    EXPECT_FALSE(OpenJournalKey(&child, HKLM, (kKey + "\\A").c_str(), 1));
    EXPECT_FALSE(NoteFileChange((folder + "\\NEW.DRV").c_str()));
    EXPECT_FALSE(NoteFileChange(user.c_str()));
    RegCloseKey(key.Handle);
    RemoveDirectoryA(file.c_str());
    EXPECT_EQ((RegValues{{"Kept", "old"}}), ReadRegValues(HKLM, kKey));
    EXPECT_TRUE(RegSubkeys(HKLM, kKey).empty());
    EXPECT_EQ("USER.DRV=mine ", Listing(folder)) << "no copy kept of a file not replaced";
}

TEST(JournalRules, DeviceDriverValue) {
    const std::string full(16, 'x'), cut = full.substr(0, 15);
    // The query's result, the value's type and bytes, and what is done. A
    // Driver value used and one missing are on the mouse routes of system_test.
    const std::tuple<LONG, DWORD, std::string, DriverChoice> rows[] = {
        {ERROR_SUCCESS, REG_SZ, "", DRIVER_NEW},
        {ERROR_MORE_DATA, REG_SZ, "", DRIVER_LEAVE},
        {ERROR_SUCCESS, REG_SZ, full, DRIVER_LEAVE},
        {ERROR_SUCCESS, REG_BINARY, cut, DRIVER_LEAVE},
    };
    for (const auto &[result, type, text, choice] : rows) {
        char value[16] = {0};
        text.copy(value, sizeof value);
        EXPECT_EQ(choice, ChooseDriver(result, type, value, sizeof value)) << text;
    }
}

TEST(JournalRules, WhatUndoDoesWithAValue) {
    // The state noted before, the one written and the one now.
    // clang-format off
    const std::tuple<const char *, const char *, const char *, UndoStep> rows[] = {
        {"\"old\"", "\"new\"", "\"new\"", UNDO_RESTORE},
        {"-", "\"new\"", "\"new\"", UNDO_DELETE},
        {"\"old\"", "\"new\"", "\"user\"", UNDO_KEEP}, // changed by the user since
        {"\"old\"", "\"new\"", "-", UNDO_KEEP},        // removed by the user since
        {"\"same\"", "\"same\"", "\"same\"", UNDO_KEEP},
        {"?", "\"new\"", "\"new\"", UNDO_KEEP},
        {"", "\"new\"", "\"new\"", UNDO_KEEP},
        {"\"old\"", "", "", UNDO_KEEP},
    };
    // clang-format on
    for (const auto &[before, written, now, step] : rows)
        EXPECT_EQ(step, UndoValueStep(before, written, now)) << before << written << now;
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
    const std::string old = Crlf("[Main]\nProductName=Old\n[PS2]\nDeviceDesc=Standard\n"
                                 "[Undo Values]\nHKLM\\A\\\\B=\" kept \"\n"),
                      fresh = folder + "\\NEW.INF", other = folder + "\\OTHER.INF";
    ASSERT_TRUE(WriteFile(file, old) && WriteFile(other, old));
    ASSERT_TRUE(WriteFile(fresh, Crlf("[Main]\nProductName=New\n")));
    EXPECT_TRUE(KeepRecordSections(other.c_str(), fresh.c_str()));
    EXPECT_EQ("[Main]\r\nProductName=New\r\n", ReadFile(fresh)) << "not the record file";
    // The copy engine names the file with an empty folder value in between.
    EXPECT_TRUE(KeepRecordSections((folder + "\\\\setup.inf").c_str(), fresh.c_str()));
    EXPECT_EQ("ProductName=New| DeviceDesc=Standard| HKLM\\A\\\\B=\" kept \"|",
              ProfileSection(fresh, "Main") + " " + ProfileSection(fresh, "PS2") + " " +
                  ProfileSection(fresh, JOURNAL_VALUES));
}

// The notes of pieces as the journal's section holds them: (piece, place).
std::string PieceNotes(const std::vector<std::pair<std::string, int>> &pieces) {
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
    const std::string ini = folder + "\\system.ini", m = "mouse=*vmouse\n", longLine(150, 'm');
    // The file before, the pieces, the result and the file after ("": as before).
    // clang-format off
    const struct { std::string before; std::vector<std::pair<std::string, int>> pieces; int result;
                   std::string after; } rows[] = {
        // At its place, and with lines added above it.
        {"[386Enh]\nebios=*ebios\n" + m + "x=1\n", {{"mouse=*vmd\n", 2}}, 1, "[386Enh]\nebios=*ebios\nmouse=*vmd\nx=1\n"},
        {"[386Enh]\nnew=1\n" + m, {{"mouse=*vmd\n", 1}}, 1, "[386Enh]\nnew=1\nmouse=*vmd\n"},
        // Changed by the user; the line only outside [386Enh].
        {"[386Enh]\nmouse=*other\n", {{"mouse=*vmd\n", 1}}, 0, ""},
        {"[386Enh]\n[boot]\n" + m, {{"mouse=*vmd\n", 1}}, 0, ""},
        // The first piece of a long line.
        {"[386Enh]\n" + m + longLine.substr(119) + "\n", {{longLine.substr(0, 119), 1}}, 1, "[386Enh]\n" + longLine + "\n"},
        // One piece to each [386Enh], also when both moved down.
        {"[386Enh]\n" + m + "[386Enh]\n" + m, {{"mouse=*vmd\n", 1}, {"mouse=msmouse.vxd\n", 3}}, 1,
         "[386Enh]\nmouse=*vmd\n[386Enh]\nmouse=msmouse.vxd\n"},
        {"x=1\n[386Enh]\n" + m + "[386Enh]\n" + m, {{"mouse=*vmd\n", 1}, {"mouse=two\n", 3}}, 1,
         "x=1\n[386Enh]\nmouse=*vmd\n[386Enh]\nmouse=two\n"},
    };
    // clang-format on
    for (const auto &r : rows) {
        ASSERT_TRUE(WriteFile(ini, Crlf(r.before)));
        const std::string notes = PieceNotes(r.pieces);
        EXPECT_EQ(r.result, RestoreIniPieces(ini.c_str(), notes.c_str(), 0)) << &r - rows;
        EXPECT_EQ(r.result, RestoreIniPieces(ini.c_str(), notes.c_str(), 1)) << &r - rows;
        EXPECT_EQ("system.ini=" + Crlf(r.result ? r.after : r.before) + " ", Listing(folder))
            << &r - rows;
    }
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
    EXPECT_EQ(old + "=" + folder + "\\UNDO\\FILE1|" + made + "=created|" + changed + "=created|" +
                  never + "=created|",
              ProfileSection(file, JOURNAL_FILES));
    RemovalList later = {0, {}};
    UndoTally tally = {};
    UndoNotedFiles(file.c_str(), 1, &tally, &later);
    EXPECT_EQ("2 0 0 ", Counts(tally.Files, tally.Failed, later.Count));
    EXPECT_EQ("OLD.DRV=user's SETUP.INF=" + ReadFile(file) +
                  " UNDO\\ UNDO\\FILE1=user's USER.DRV=changed since ",
              Listing(folder));
}

TEST_F(Journal, SystemIniComesBackByteForByteOrByItsPieces) {
    const std::string win = folder + "\\WIN", ini = win + "\\system.ini",
                      bak = win + "\\system.bak", sys = win + "\\SYS";
    // LF-only lines, a trailing Ctrl-Z and a second [386Enh] do not survive
    // the patch's text rewrite; undo brings the bytes back all the same.
    const std::string odd = "[boot]\nshell=x\n[386Enh]\nmouse=*vmd\n[386Enh]\r\nmouse=y\r\n\x1a";
    // system.ini before, the user's system.bak, the user's edit after the
    // patch (with a VxD of theirs put in, which undo must not overwrite), the
    // file's marks, and system.ini after undo ("": as before).
    const std::tuple<std::string, std::string, std::string, DWORD, std::string> rows[] = {
        {odd, "", "", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, ""},
        {odd, "my backup", "", 0, ""},
        {Crlf("[386Enh]\nmouse=*vmd\n"), "", "added=1\r\n", 0,
         Crlf("[386Enh]\nmouse=*vmd\nadded=1\n")},
    };
    for (const auto &r : rows) {
        const auto &[before, userBak, userEdit, marks, after] = r;
        SCOPED_TRACE(&r - rows);
        scratch.Unmark(); // the saved copies keep the files' marks
        fs::remove_all(folder);
        ASSERT_TRUE(WriteFile(ini, before) && WriteFile(sys + "\\VMM32\\VMOUSE.VXD", "old VxD"));
        ASSERT_TRUE(userBak.empty() || WriteFile(bak, userBak));
        SetFileAttributesA(ini.c_str(), marks);
        EXPECT_EQ(0, PatchSystemIniIn(win.c_str(), sys.c_str()));
        EXPECT_EQ(marks, GetFileAttributesA(ini.c_str()) & marks);
        if (!userEdit.empty()) { // on a row without marks
            std::ofstream(ini, std::ios::app | std::ios::binary) << userEdit;
            WriteFile(sys + "\\VMM32\\VMOUSE.VXD", "new VxD");
        }
        UndoTally tally = {};
        UndoSystemFiles(file.c_str(), win.c_str(), sys.c_str(), 1, &tally);
        EXPECT_EQ(0, tally.Failed);
        EXPECT_EQ(marks, GetFileAttributesA(ini.c_str()) & marks);
        EXPECT_EQ(std::string("SYS\\ SYS\\VMM32\\ SYS\\VMM32\\") +
                      (userEdit.empty() ? "VMOUSE.VXD=old VxD "
                                        : "VMOUSE.BAK=old VxD SYS\\VMM32\\VMOUSE.VXD=new VxD ") +
                      (userBak.empty() ? "" : "system.bak=" + userBak + " ") +
                      "system.ini=" + (after.empty() ? before : after) + " ",
                  Listing(win));
    }
}

TEST_F(Journal, AStopInTheMiddleOfASwapLeavesNothingARunAfterItCannotPutBack) {
    const std::string win = folder + "\\WIN", ini = win + "\\system.ini",
                      saved = folder + "\\FILE1";
    const std::string original = Crlf("[386Enh]\nmouse=*vmd\n"),
                      patched = Crlf("[386Enh]\nmouse=*vmouse\n");
    // The patch stopped between its two renames: system.ini is system.bak, on
    // a second install the first one's patch; system.new is the files' step
    // to remove.
    const std::string after = "system.ini=" + original + " system.new=" + patched + " ";
    UndoTally tally = {};
    for (const std::string &inBak : {original, patched}) {
        fs::remove_all(win);
        DeleteFileA(file.c_str());
        char state[32];
        ASSERT_TRUE(WriteFile(win + "\\system.bak", inBak) &&
                    WriteFile(win + "\\system.new", patched) && WriteFile(saved, original) &&
                    FileFingerprint((win + "\\system.new").c_str(), state, 32));
        WritePrivateProfileStringA(JOURNAL_SYSTEM, NOTE_INI_BACKUP, NOTE_CREATED, file.c_str());
        WritePrivateProfileStringA(JOURNAL_SYSTEM, NOTE_INI_SAVED, saved.c_str(), file.c_str());
        WritePrivateProfileStringA(JOURNAL_WRITTEN, ini.c_str(), state, file.c_str());
        tally = {};
        UndoSystemFiles(file.c_str(), win.c_str(), "", 1, &tally);
        EXPECT_EQ("1 0 " + after, Counts(tally.System, tally.Failed) + Listing(win))
            << (inBak == original ? "the first install" : "a second install");
    }
    // The uninstaller's own rewrite stopped with system.ini under its spare.
    ASSERT_TRUE(MoveFileA(ini.c_str(), (win + "\\~Osystem.ini").c_str()));
    ASSERT_TRUE(WriteFile(win + "\\~Nsystem.ini", "half"));
    UndoSystemFiles(file.c_str(), win.c_str(), "", 1, &tally);
    EXPECT_EQ(after, Listing(win));
}

TEST_F(Journal, WininitNamesEveryFileOnceInShortForm) {
    const std::string ini = folder + "\\WININIT.INI", longName = folder + "\\Long File Name.txt";
    ASSERT_TRUE(WriteFile(longName, "x") && WriteFile(file, "x"));
    char shortName[MAX_PATH], shortFile[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(longName.c_str(), shortName, MAX_PATH));
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortFile, MAX_PATH));
    const std::string lines = "NUL=" + std::string(shortFile) + "\r\nNUL=" + shortName;
    RemovalList later = {3, {}};
    for (int i = 0; i < 3; i++)
        lstrcpyA(later.Paths[i], (i == 1 ? longName : file).c_str());
    // No file yet; then one with a [rename] section among others.
    ASSERT_TRUE(ScheduleRemovals(folder.c_str(), &later));
    EXPECT_EQ("[rename]\r\n" + lines + "\r\n", ReadFile(ini));
    ASSERT_TRUE(
        WriteFile(ini, Crlf("[CombineVxDs]\na=b\n[Rename]\nNUL=" + std::string(shortName))));
    ASSERT_TRUE(ScheduleRemovals(folder.c_str(), &later));
    EXPECT_EQ("[CombineVxDs]\r\na=b\r\n[Rename]\r\n" + lines, ReadFile(ini));
    // A new setup into that folder takes its files back; a line that starts
    // with a NUL byte is read within its buffer, and is no line to keep.
    ASSERT_TRUE(
        WriteFile(ini, Crlf("[rename]\nNUL=" + std::string(shortName) + "\nNUL=C:\\KEEP\n") +
                           std::string("\0x\r\n", 4)));
    RemovalList kept = {1, {}};
    lstrcpyA(kept.Paths[0], folder.c_str());
    ASSERT_TRUE(CancelRemovals(folder.c_str(), &kept));
    EXPECT_EQ("Long File Name.txt=x SETUP.INF=x WININIT.INI=[rename]\r\nNUL=C:\\KEEP\r\n ",
              Listing(folder));
}

TEST_F(Journal, KeysTheSetupMadeGoWhenNothingIsLeftInThemTheUninstallEntryLast) {
    const std::string top = "HKLM\\" + kKey, entry = "HKLM\\" UNINSTALL_KEY;
    DeleteRegTree(HKLM, UNINSTALL_KEY);
    // All made by the setup, parents first: the top key and the entry with
    // a value of ours, B and C empty (a parent goes once its child has), A
    // given a value of the user's since (it and so its parent stay).
    for (const std::string &key : {top, top + "\\A", top + "\\B", top + "\\B\\C", entry})
        WritePrivateProfileStringA(JOURNAL_KEYS, key.c_str(), NOTE_CREATED, file.c_str());
    for (const std::string &key : {top, entry}) {
        ASSERT_TRUE(SetRegText(HKLM, key.substr(5), "Made", "ours"));
        WritePrivateProfileStringA(JOURNAL_VALUES, (key + "\\\\Made").c_str(), "-", file.c_str());
        WritePrivateProfileStringA(JOURNAL_WRITTEN, (key + "\\\\Made").c_str(), "\"ours\"",
                                   file.c_str());
    }
    ASSERT_TRUE(SetRegText(HKLM, kKey + "\\A", "Mine", "x"));
    HKEY empty;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKLM, (kKey + "\\B\\C").c_str(), &empty));
    RegCloseKey(empty);
    UndoTally tally = {};
    UndoRegistry(file.c_str(), 1, &tally);
    EXPECT_EQ("1 2 0 1 ", Counts(tally.Values, tally.Keys, tally.Failed,
                                 ReadRegValues(HKLM, UNINSTALL_KEY).size()));
    RegTree left;
    ReadRegTree(left, HKLM, kKey);
    EXPECT_EQ((RegTree{{kKey, {}}, {kKey + "\\A", {{"Mine", "x"}}}}), left);
    UndoUninstallEntry(file.c_str(), 1, &tally);
    EXPECT_EQ("2 3 0 ", Counts(tally.Values, tally.Keys, tally.Failed));
    HKEY gone;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKLM, UNINSTALL_KEY, 0, KEY_READ, &gone));
}

} // namespace
