// The runtime layer on real files (text-mode reads and writes, remove and
// rename) and its text helpers, the program entry's argument text and the
// memory functions the product programs link in place of the C library's.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <string>

#include "shell/runtime.h"
#include "support/files.h"

// The product's memory functions under names of their own, built as the
// product builds them (no loop-to-call rewrite).
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#define memcpy RuntimeMemcpy
#define memmove RuntimeMemmove
#define memset RuntimeMemset
#define memcmp RuntimeMemcmp
#include "shell/memory_functions.cpp"

namespace {

class Runtime : public ::testing::Test {
  protected:
    Scratch scratch{"runtime"};
    void SetUp() override { folder = scratch.path + "\\"; }
    // Every piece that reads of size give from a file of these bytes, each
    // followed by "|".
    std::string Pieces(const std::string &bytes, int size) {
        std::ofstream(folder + "IN.TXT", std::ios::binary) << bytes;
        TextFile *file = OpenTextFile((folder + "IN.TXT").c_str(), "rt");
        std::string pieces;
        char buffer[1024];
        while (file != NULL && ReadTextLine(buffer, size, file) != NULL)
            pieces += std::string(buffer) + "|";
        EXPECT_FALSE(TextFileFailed(file));
        EXPECT_EQ(0, CloseTextFile(file));
        return pieces;
    }
    std::string folder;
};

TEST_F(Runtime, TextReadsInPiecesWithLineEndsAndCtrlZ) {
    const std::string a511(511, 'a'); // a CR at the end of the first 512 bytes read
    const struct {
        std::string bytes;
        int size;
        std::string pieces;
    } rows[] = {{"a\r\nbc\n", 64, "a\n|bc\n|"},
                {"abcdef", 4, "abc|def|"},
                {"ab\r\ncd", 3, "ab|\n|cd|"},
                {"x\ry\r", 64, "x\ry\r|"},
                {"\r\n\r\n", 64, "\n|\n|"},
                {"one\x1Atwo\n", 64, "one|"},
                {"", 64, ""},
                {a511 + "\r\nb", 600, a511 + "\n|b|"},
                {a511 + "\r\r\n", 1024, a511 + "\r\n|"}};
    for (const auto &row : rows)
        EXPECT_EQ(row.pieces, Pieces(row.bytes, row.size)) << row.bytes.size() << " bytes";
    char buffer[4];
    TextFile *file = OpenTextFile((folder + "IN.TXT").c_str(), "rt");
    EXPECT_EQ(nullptr, ReadTextLine(buffer, 1, file));
    EXPECT_EQ(0, CloseTextFile(file));
    EXPECT_EQ(nullptr, OpenTextFile((folder + "IN.TXT").c_str(), "r"));
    EXPECT_EQ(nullptr, OpenTextFile((folder + "NONE.TXT").c_str(), "rt"));
}

TEST_F(Runtime, TextWritesCrLfAcrossTheBufferAndFilesAreRemovedAndRenamed) {
    std::string out = folder + "OUT.TXT", added = folder + "NEW.TXT", moved = folder + "MOVED";
    TextFile *file = OpenTextFile(out.c_str(), "wt");
    EXPECT_LE(0, WriteText((std::string(511, 'x') + "\n").c_str(), file));
    EXPECT_LE(0, WriteText("a\nb", file));
    EXPECT_EQ(0, FlushTextFile(file));
    EXPECT_EQ(0, CloseTextFile(file));
    EXPECT_EQ(std::string(511, 'x') + "\r\na\r\nb", ReadFile(out));

    std::ofstream(added) << "new";
    EXPECT_EQ(-1, RenameFile(added.c_str(), out.c_str()));
    EXPECT_EQ("new", ReadFile(added));
    EXPECT_EQ(0, RenameFile(added.c_str(), moved.c_str()));
    EXPECT_EQ(0, RemoveFile(moved.c_str()));
    EXPECT_EQ(-1, RemoveFile(moved.c_str()));
}

TEST(RuntimeText, SearchNumbersCaseFolderAndArguments) {
    const char *text = "aababd";
    for (const char *part : {"ab", "bab", "", "abd", "abdx"})
        EXPECT_EQ(strstr(text, part), FindText(text, part)) << part;
    const struct {
        const char *text;
        int value;
    } numbers[] = {{"42", 42},
                   {" \t\n-17x", -17},
                   {"+8", 8},
                   {"x1", 0},
                   {"", 0},
                   {"2147483647", INT_MAX},
                   {"2147483648", INT_MAX},
                   {"-2147483648", INT_MIN},
                   {"-99999999999", INT_MIN}};
    for (const auto &n : numbers)
        EXPECT_EQ(n.value, TextToInt(n.text)) << n.text;
    for (int c : {97, 122, 96, 123, 65, 0xE4, -1}) // a z ` { A
        EXPECT_EQ(c >= 'a' && c <= 'z' ? c - 32 : c, UpperChar(c)) << c;

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

} // namespace
