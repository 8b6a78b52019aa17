#include "support/script_files.h"

#include "script/script.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

std::string MakeScratchFolder(const char *tag) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string base = std::string(temp) + tag + std::to_string(GetCurrentProcessId());
    std::string folder = base;
    for (int n = 1; !CreateDirectoryA(folder.c_str(), NULL); n++)
        folder = base + "_" + std::to_string(n);
    return folder;
}

void RemoveTree(const std::string &folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void MakeFolders(const std::string &path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), NULL);
    CreateDirectoryA(path.c_str(), NULL);
}

bool WriteTextFile(const std::string &path, const std::string &text) {
    FILE *file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    bool written = fwrite(crlf.data(), 1, crlf.size(), file) == crlf.size();
    return fclose(file) == 0 && written;
}

std::string WriteScript(const std::string &folder, const std::string &text) {
    static int counter;
    std::string path = folder + "\\S" + std::to_string(++counter) + ".INF";
    if (!WriteTextFile(path, text))
        return std::string();
    return path;
}

std::string ReadWholeFile(const std::string &path) {
    std::string content;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return content;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    fclose(file);
    return content;
}

bool FieldIsClean(const char *field, int size, const char *expected) {
    int length = (int)strnlen(field, size);
    if (length >= size || strcmp(field, expected) != 0)
        return false;
    for (int i = length + 1; i < size; i++)
        if (field[i] != '\0')
            return false;
    return true;
}

std::string ShowEntry(const FileEntry &e) {
    return std::string(e.SourceSubDir) + "|" + e.TargetDir + "|" + e.SourceName + "|" +
           e.TargetName + "|" + e.Description + "|" + std::to_string(e.IsAbsolute);
}

bool EntryIsEmpty(const FileEntry &e) {
    static const FileEntry zero = {};
    return memcmp(&e, &zero, sizeof e) == 0;
}

void ScriptScratch::SetUp() {
    AppInstance = GetModuleHandleA(NULL);
    folder = MakeScratchFolder("script");
}

void ScriptScratch::TearDown() {
    FreeInstallTables();
    RemoveTree(folder);
}

int ScriptScratch::Load(const std::string &text, const char *windowsDir, const char *programPath) {
    std::string path = WriteScript(folder, text);
    EXPECT_FALSE(path.empty());
    return LoadScriptFrom(programPath, windowsDir, path.c_str());
}
