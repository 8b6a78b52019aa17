// Real setup scripts in a scratch folder for the script loader tests.
#ifndef TESTS_UNIT_SUPPORT_SCRIPT_FILES_H
#define TESTS_UNIT_SUPPORT_SCRIPT_FILES_H

#include <gtest/gtest.h>

#include <string>

#include "shell/setup.h"

// A new, empty folder below the system's temporary folder (no trailing
// backslash).
std::string MakeScratchFolder(const char *tag);

// Removes a folder with everything below it.
void RemoveTree(const std::string &folder);

// Makes every folder of path that is missing.
void MakeFolders(const std::string &path);

// Writes text to path with CR LF line ends; false when it could not.
bool WriteTextFile(const std::string &path, const std::string &text);

// Writes text into a file of a fresh name in folder and returns its path.
// Fresh names keep the platform's profile cache from serving an earlier
// script written under the same name.
std::string WriteScript(const std::string &folder, const std::string &text);

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string &path);

// true when the field holds expected and every byte after its terminator up
// to size is still 0, that is nothing wrote past what the field shows.
bool FieldIsClean(const char *field, int size, const char *expected);

// A record as one line, its fields joined by "|" and the absolute flag last,
// so that a table row compares a whole record and a mismatch shows it whole.
std::string ShowEntry(const FileEntry &e);

// true when every byte of the record is 0.
bool EntryIsEmpty(const FileEntry &e);

// Scripts in a scratch folder of their own, and the tables freed after each
// test.
class ScriptScratch : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Loads text as the script of the program at programPath on a system
    // with Windows in windowsDir.
    int Load(const std::string &text, const char *windowsDir = "D:\\WINDOWS",
             const char *programPath = "A:\\SETUP.EXE");
    std::string folder;
};

#endif
