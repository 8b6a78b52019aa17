// Scratch folders and whole-file reads and writes for the unit tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace fs = std::filesystem;

// A new, empty folder named by the tag (below the temporary folder unless the
// tag is a full path) and the process; gone with all it holds when it goes.
struct Scratch {
    std::string path;
    explicit Scratch(const std::string &tag)
        : path((fs::temp_directory_path() / tag).string() + std::to_string(GetCurrentProcessId())) {
        Unmark();
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Scratch() {
        Unmark();
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    // Saved copies keep the read-only mark of what they save: cleared, or
    // they would stop the removal and, left over, fail the next run's tests.
    void Unmark() const {
        std::error_code ignored;
        for (fs::recursive_directory_iterator at(path, ignored), end; at != end;
             at.increment(ignored))
            SetFileAttributesA(at->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string operator/(const std::string &name) const { return path + "\\" + name; }
};

// The bytes of a file; "<missing>" when there is none, "<dir>" for a folder.
inline std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return fs::is_directory(path) ? "<dir>"
           : in                   ? std::string(std::istreambuf_iterator<char>(in), {})
                                  : "<missing>";
}

// Writes the bytes, making the folders on the way; false when it could not.
inline bool WriteFile(const std::string &path, const std::string &bytes) {
    fs::create_directories(fs::path(path).parent_path());
    return (bool)(std::ofstream(path, std::ios::binary) << bytes);
}

// The text with the platform's line ends.
inline std::string Crlf(std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\r');
    return text;
}

// Everything below the folder by its path relative to it: folders with a
// backslash at the end, files with their bytes.
inline std::string Listing(const std::string &folder) {
    std::set<std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        entries.insert(fs::relative(entry.path(), folder).string() +
                       (entry.is_directory() ? "\\" : "=" + ReadFile(entry.path().string())));
    std::string listing;
    for (const std::string &entry : entries)
        listing += entry + " ";
    return listing;
}

// A section of a profile file as its key=value lines in file order, each
// followed by "|".
inline std::string ProfileSection(const std::string &path, const char *name) {
    char lines[4096] = "";
    DWORD length = GetPrivateProfileSectionA(name, lines, sizeof lines, path.c_str());
    std::replace(lines, lines + length, '\0', '|');
    return std::string(lines, length);
}

// The build folder: the test programs lie in its bin.
inline std::string BuildFolder() {
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    return fs::path(module).parent_path().parent_path().string();
}
