// Scratch folders and whole-file reads and writes for the unit tests.
#pragma once

#include <windows.h>

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
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
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

// The names directly in the folder, sorted, each followed by a blank.
inline std::string Names(const std::string &folder) {
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    std::string list;
    for (const std::string &name : names)
        list += name + " ";
    return list;
}

// The build folder: the test programs lie in its bin.
inline std::string BuildFolder() {
    char module[MAX_PATH];
    return fs::path(std::string(module, GetModuleFileNameA(NULL, module, MAX_PATH)))
        .parent_path()
        .parent_path()
        .string();
}
