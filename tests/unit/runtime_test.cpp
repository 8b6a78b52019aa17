// The ground floor on real files (text-mode reads and writes, remove and
// rename, the safe replacement) and its text helpers, the text ring, the
// program entry's argument text and the memory functions the product
// programs link in place of the C library's.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <tuple>

#include "runtime/runtime.h"
#include "support/files.h"

// The product's memory functions under names of their own, built as the
// product builds them (no loop-to-call rewrite).
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#define memcpy RuntimeMemcpy
#define memmove RuntimeMemmove
#define memset RuntimeMemset
#define memcmp RuntimeMemcmp
#include "runtime/memory_functions.cpp"

// The process's first text, before any test runs: it must land in slot 0.
static const char *const Slot0 = (AppInstance = GetModuleHandleA(NULL), ResourceText(4001));

TEST(TextRing, SlotsInTurnMissingTextsUseOneLongTextsAreCut) {
    std::string cut, zero = Slot0; // the 130 letters of text 4000, cut to 127
    for (int i = 0; i < 127; i++)
        cut += (char)('A' + i % 26);
    const std::pair<short, const char *> calls[] = {
        {4002, "beta"}, {4003, "gamma"}, {4010, NULL}, {4000, cut.c_str()}, {4001, "alpha"}};
    const char *texts[5], *first = ResourceText(4001);
    for (int i = 0; i < 5; i++) { // Slot0 is the lowest: each text lies 0 to 3 slots above it
        texts[i] = ResourceText(calls[i].first);
        EXPECT_EQ(calls[i].second ? Slot0 + (first - Slot0 + 128 * (i + 1)) % 512 : NULL, texts[i]);
    }
    // Each text still stands after the three calls that follow it.
    EXPECT_EQ("alpha gamma" + cut + "alpha", zero + " " + texts[1] + texts[3] + texts[4]);
}

TEST(BoundedText, CopyAndAppendNeverWritePastTheCapacity) {
    // start: copied in first (NULL: the buffer stays all 'x', unterminated);
    // the whole buffer after the call, '.' for a terminator.
    // clang-format off
    const struct { bool append; const char *start; int cap; const char *text, *fitAndBuffer; } rows[] = {
        {false, NULL, 8, "abcdefg", "1abcdefg.xxxx"}, {false, NULL, 8, "abcdefgh", "0abcdefg.xxxx"},
        {false, NULL, 1, "a", "0.xxxxxxxxxxx"},       {false, NULL, 0, "abc", "0xxxxxxxxxxxx"},
        {false, NULL, -5, "abc", "0xxxxxxxxxxxx"},    {true, NULL, 0, "abc", "0xxxxxxxxxxxx"},
        {true, NULL, -1, "abc", "0xxxxxxxxxxxx"},     {true, "C:\\AB", 8, "CD", "1C:\\ABCD.xxxx"},
        {true, "C:\\ABCD", 8, "E", "0C:\\ABCD.xxxx"},  {true, "ab", 6, "cdefgh", "0abcde.xxxxxx"},
        {true, NULL, 4, "z", "0xxx.xxxxxxxx"}, // unterminated: terminated, not overrun
    };
    // clang-format on
    for (const auto &row : rows) {
        char buffer[12];
        memset(buffer, 'x', sizeof buffer);
        if (row.start)
            CopyText(buffer, row.cap, row.start);
        int fit = row.append ? AppendText(buffer, row.cap, row.text)
                             : CopyText(buffer, row.cap, row.text);
        std::string image = std::to_string(fit) + std::string(buffer, sizeof buffer);
        std::replace(image.begin(), image.end(), '\0', '.');
        EXPECT_EQ(row.fitAndBuffer, image) << row.text << " " << row.cap;
    }
}

// Every piece that reads of size give from the file, each followed by "|";
// "<none>" when the file does not open.
static std::string Pieces(const std::string &path, int size, const char *mode = "rt") {
    TextFile *file = OpenTextFile(path.c_str(), mode);
    std::string pieces = file ? "" : "<none>";
    char buffer[1024];
    // Bounded: a read that never reached the end would not stop the test.
    for (int n = 0; file != NULL && n < 16 && ReadTextLine(buffer, size, file) != NULL; n++)
        pieces += std::string(buffer) + "|";
    EXPECT_TRUE(file == NULL || (!TextFileFailed(file) && CloseTextFile(file) == 0)) << path;
    return pieces;
}

TEST(TextFiles, ReadInPiecesWithLineEndsAndCtrlZ) {
    Scratch folder("textin");
    const std::string in = folder / "IN.TXT", a511(511, 'a'); // a CR ends the first 512 read
    // The file's bytes, the size of a read, the pieces read.
    const std::tuple<std::string, int, std::string> rows[] = {
        {"a\r\nbc\n", 64, "a\n|bc\n|"},
        {"abcdef", 4, "abc|def|"},
        {"ab\r\ncd", 3, "ab|\n|cd|"},
        {"x\ry\r", 64, "x\ry\r|"},
        {"one\x1Atwo\n", 64, "one|"},
        {"", 64, ""},
        {a511 + "\r\nb", 600, a511 + "\n|b|"},
        {a511 + "\r\r\n", 1024, a511 + "\r\n|"},
        {"ab", 1, ""}}; // no room for a character
    for (const auto &[bytes, size, pieces] : rows) {
        ASSERT_TRUE(WriteFile(in, bytes));
        EXPECT_EQ(pieces, Pieces(in, size)) << bytes.size() << " bytes, " << size;
    }
    EXPECT_EQ("<none>", Pieces(in, 64, "r")) << "text mode only";
    EXPECT_EQ("<none>", Pieces(folder / "NONE.TXT", 64));
}

TEST(TextFiles, WritesCrLfAcrossTheBufferAndFilesAreRemovedAndRenamed) {
    Scratch folder("textout");
    const std::string out = folder / "OUT.TXT", added = folder / "NEW.TXT";
    TextFile *file = OpenTextFile(out.c_str(), "wt");
    EXPECT_LE(0, WriteText((std::string(511, 'x') + "\n").c_str(), file));
    EXPECT_LE(0, WriteText("a\nb", file));
    EXPECT_EQ(0, FlushTextFile(file));
    EXPECT_EQ(0, CloseTextFile(file));
    EXPECT_EQ(std::string(511, 'x') + "\r\na\r\nb", ReadFile(out));
    WriteFile(added, "new");
    EXPECT_EQ(-1, RenameFile(added.c_str(), out.c_str())) << "a name that is taken";
    EXPECT_EQ(0, RenameFile(added.c_str(), (folder / "MOVED").c_str()));
    EXPECT_EQ(0, RemoveFile(out.c_str()));
    EXPECT_EQ(-1, RemoveFile(out.c_str()));
    EXPECT_EQ("MOVED=new ", Listing(folder.path));
}

TEST(RuntimeText, SearchNumbersCaseFolderAndArguments) {
    const char *text = "aababd";
    for (const char *part : {"bab", "", "abd", "abdx"})
        EXPECT_EQ(strstr(text, part), FindText(text, part)) << part;
    // clang-format off
    const std::pair<const char *, int> numbers[] = {{" \t\n-17x", -17}, {"+8", 8}, {"x1", 0},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-99999999999", INT_MIN}};
    // clang-format on
    for (const auto &n : numbers)
        EXPECT_EQ(n.second, TextToInt(n.first)) << n.first;
    std::string upper;
    for (char c : std::string("`az{A\xE4"))
        upper += (char)UpperChar((unsigned char)c);
    EXPECT_EQ("`AZ{A\xE4", upper);

    char folder[MAX_PATH], buffer[MAX_PATH];
    int length = (int)GetCurrentDirectoryA(sizeof folder, folder);
    EXPECT_STREQ(folder, CurrentFolder(buffer, length + 1));
    EXPECT_EQ(nullptr, CurrentFolder(buffer, length));
    EXPECT_STREQ("", buffer);

    // As the C library's entry gave them: quotes may hold blanks and run on.
    const char *lines[][2] = {
        {"SETUP.EXE -u", "-u"},       {"\"C:\\A B\\SETUP.EXE\"  -u x", "-u x"},
        {"\"C:\\A B\\S.EXE\"-u", ""}, {"C:\\A B\\S.EXE -u", "B\\S.EXE -u"},
        {"S.EXE\t \t-u ", "-u "},     {"\"C:\\NO END -u", ""}};
    for (const auto &line : lines)
        EXPECT_STREQ(line[1], CommandArguments(line[0])) << line[0];
}

TEST(RuntimeMemory, CopiesMovesFillsAndCompares) {
    char forward[] = "abcdef", backward[] = "abcdef", filled[] = "abcdef";
    RuntimeMemmove(forward, forward + 2, 4);
    RuntimeMemmove(backward + 2, backward, 4);
    RuntimeMemset(RuntimeMemcpy(filled, "XY", 2), 0x17F, 1);
    EXPECT_EQ("cdefef|ababcd|\x7FYcdef", std::string(forward) + "|" + backward + "|" + filled);
    EXPECT_GT(RuntimeMemcmp("a\x80", "a\x01", 2), 0);
    EXPECT_LT(RuntimeMemcmp("a\x01", "b\x80", 2), 0);
    EXPECT_EQ(0, RuntimeMemcmp("ab", "ax", 1));
}

// Moves refused from the paths named here, to reach every fallback; with
// Squat, a refused move finds something else has taken the name meanwhile.
static std::vector<std::string> Refused;
static bool Squat;
static BOOL WINAPI MoveUnlessRefused(LPCSTR from, LPCSTR to) {
    if (std::find(Refused.begin(), Refused.end(), from) == Refused.end())
        return MoveFileA(from, to);
    if (Squat)
        WriteFile(to, "other");
    return FALSE;
}

TEST(SafeReplacement, KeepsTheMarksAndABackupAndNeverLeavesTheNameEmpty) {
    Scratch folder("swap");
    const std::string target = folder / "T.DRV", fresh = folder / "T.NEW", spare = folder / "T.OLD";
    std::string seen;
    const struct {
        std::vector<std::string> refused;
        bool squat;
    } rows[] = {
        {{}, false}, {{fresh}, false}, {{fresh, spare}, false}, {{target}, false}, {{fresh}, true}};
    for (const auto &row : rows) {
        WriteFile(target, "old"), WriteFile(fresh, "fresh");
        Refused = row.refused, Squat = row.squat;
        seen += std::to_string(
            SwapThroughSpare(target.c_str(), fresh.c_str(), spare.c_str(), 0, MoveUnlessRefused));
        seen += " " + Listing(folder.path);
    }
    EXPECT_EQ("1 T.DRV=fresh 0 T.DRV=old 0 T.DRV=old 0 T.DRV=old 0 T.DRV=old ", seen);
    // A named spare is a backup that stays; a free one goes, and the old
    // file's marks go over to the new one.
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    WriteFile(fresh, "fresh"), WriteFile(spare, "older");
    EXPECT_EQ(1, ReplaceThroughSpare(target.c_str(), fresh.c_str(), spare.c_str()));
    EXPECT_EQ("T.DRV=fresh T.OLD=old ", Listing(folder.path));
    WriteFile(fresh, "newest");
    SetFileAttributesA(target.c_str(), marks);
    EXPECT_EQ(1, ReplaceThroughSpare(target.c_str(), fresh.c_str(), NULL));
    EXPECT_EQ(marks, GetFileAttributesA(target.c_str()) & marks);
    EXPECT_EQ("T.DRV=newest T.OLD=old ", Listing(folder.path));
    // Without a target the new file takes the name.
    WriteFile(fresh, "first");
    EXPECT_EQ(1, ReplaceThroughSpare((folder / "N.DRV").c_str(), fresh.c_str(), NULL));
    EXPECT_EQ("N.DRV=first T.DRV=newest T.OLD=old ", Listing(folder.path));
}

TEST(SafeReplacement, WhatAStoppedReplacementLeftIsPutRight) {
    Scratch folder("recover");
    // The names a replacement uses beside its target, as the rows see them.
    const std::string target = folder / "T.DRV", spare = folder / "~OT.DRV",
                      fresh = folder / "~NT.DRV";
    // What the stop left (target, spare, fresh; "": none) and what is there after.
    const std::tuple<const char *, const char *, const char *, const char *> rows[] = {
        {"", "old", "new", "T.DRV=old "},  // stopped before the new file took the name
        {"new", "old", "", "T.DRV=new "},  // stopped before the old one was removed
        {"old", "", "half", "T.DRV=old "}, // stopped while the new one was written
        {"", "", "", ""},                  // nothing there at all
    };
    for (const auto &[left, leftSpare, leftFresh, after] : rows) {
        for (const auto &file : {std::make_pair(target, left), std::make_pair(spare, leftSpare),
                                 std::make_pair(fresh, leftFresh)}) {
            DeleteFileA(file.first.c_str());
            ASSERT_TRUE(!*file.second || WriteFile(file.first, file.second));
        }
        SetFileAttributesA(spare.c_str(), FILE_ATTRIBUTE_READONLY);
        RecoverReplacement(target.c_str());
        EXPECT_EQ(after, Listing(folder.path)) << left << "|" << leftSpare << "|" << leftFresh;
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    char name[MAX_PATH];
    EXPECT_FALSE(FreshName("C:\\WIN\\SYSTEM.INI", name, 16)) << "a name that does not fit";
}
