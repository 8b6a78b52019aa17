// Real setup scripts in a scratch folder for the script loader tests.
#ifndef TESTS_UNIT_SUPPORT_SCRIPT_FILES_H
#define TESTS_UNIT_SUPPORT_SCRIPT_FILES_H

#include <string>

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

#endif
