// The media check on small media folders, each with one planted fault, on
// one folder with all of them at once and on damaged scripts; and the
// program itself on the sample media and on the folder with every fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "mediachk/media_check.h"
#include "runtime/runtime.h"
#include "support/files.h"

namespace {

// A clean media: every file the registry step names in the destination's
// root, packed files, a sub-folder; the comment lines are places for faults.
const char *const BaseScript =
    "[Main]\nProductName=Test Mouse\nMinimumSpace=64\n[DiskLabel]\nDisk1=One\n"
    "[DirectoryName]\nSubDir1=HELP\n[Disk1]\n1=SETUP.INF,SETUP.INF,Script,RootDir\n"
    "2=ZKMAIN.EXE,ZKMAIN.EXE,Application,RootDir\n3=ZKPAGE.DL_,ZKPAGE.DLL,Page,RootDir\n"
    "4=UNINSTAL.EXE,UNINSTAL.EXE,Uninstaller,RootDir\n5=HELP.TXT,HELP.TXT,Help,SubDir1\n"
    "6=TIPS.TX_,TIPS.TXT,Tips,subdir1\n7=README.TXT,README.TXT,Read me,RootDir\n"
    "8=NOTES.TXT,NOTES.TXT,Notes,RootDir\n9=LONG.TXT,LONG.TXT,Long,RootDir\n;entries\n"
    "[FileCounts]\nDisk1=9\n;counts\n[Startup]\nTitle=T\nMfg=M\nMouseDriver=D\nMouseInf=I\n"
    "DriverDate=1\nPS2InfSection=P\nSerialInfSection=S\nPS2Name=N\nSeialName=N\n;disk2\n;pminfo\n";

// Files beside the script; "=" in front: LZ-compressed.
const char *const MediaFiles[][2] = {
    {"ZKMAIN.EXE", "app"},  {"ZKPAGE.DL_", "=property page"}, {"UNINSTAL.EXE", "uninstaller"},
    {"HELP.TXT", "help"},   {"HELP\\HELP.TXT", "help"},       {"HELP\\TIPS.TX_", "=tips"},
    {"README.TXT", "read"}, {"NOTES.TXT", "notes"},           {"LONG.TXT", "long"}};

// An edit is "from>to" on the script, "@FILE" (removed) or "@FILE=content"
// on a media file, or "?FOLDER" ("+FOLDER": made) below the media, checked
// instead of it. "expected" lists the findings in report order; "..." in
// front: among the findings.
struct Row {
    const char *name, *edit, *expected;
    int exitCode;
};

// Rows before kCombined also go into one folder with every fault at once.
const Row Rows[] = {
    {"clean", "", "", 0},
    {"cut", "ProductName=Test Mouse>ProductName=~", "cut [Main] ProductName", 1},
    {"space", "MinimumSpace=64>MinimumSpace=2", "minimum space [Main] MinimumSpace", 1},
    {"gap", "Disk1=One>Disk2=One", "label gap [DiskLabel] Disk2", 1},
    {"keymissing", "Disk1=9>Disk1=10", "missing key [Disk1] 10", 1},
    {"countlabel", ";counts>Disk2=1", "no label [FileCounts] Disk2", 1},
    {"product", "Application,RootDir>Application,WinDir", "product file [] ZKMAIN.EXE", 2},
    {"linecut", "Uninstaller,RootDir>Uninstaller,RootDir,~~~", "cut [Disk1] 4", 1},
    {"token", "Help,SubDir1>Help,SubDirl", "unmatched token [Disk1] 5", 1},
    {"source", "@README.TXT", "missing source [Disk1] 7", 2},
    {"plain", "@HELP\\TIPS.TX_=tips", "not compressed [Disk1] 6", 2},
    {"damaged", "@ZKPAGE.DL_=SZDD\x88\xF0'3B_xxxx", "damaged header [Disk1] 3", 2},
    {"same", "NOTES.TXT,Notes>README.TXT,Notes", "same target [Disk1] 8", 2},
    {"fieldcut", "Long,RootDir>~~,RootDir", "cut [Disk1] 9", 1},
    {"beyond", ";entries>11=EXTRA.TXT,EXTRA.TXT,Extra,RootDir", "never read [Disk1] 11", 1},
    {"empty", "Mfg=M>Mfg=", "empty text [Startup] Mfg", 1},
    {"repeated", "MouseInf=I>MouseInf=I\nmouseinf=E", "never read [Startup] mouseinf", 1},
    {"nearkey", "SeialName=N>SerialName=N",
     "empty text [Startup] SeialName; near name [Startup] SerialName", 1},
    {"disklabel", ";disk2>[Disk2]\n1=A,A,A,RootDir", "no label [Disk2] ", 1},
    {"nearsection", ";pminfo>[PMInfos]\n1=A,B,0", "near name [PMInfos] ", 1},
    // Faults that stop the check, and damaged scripts.
    {"longdir", "SubDir1=HELP>SubDir1=~",
     "missing source [Disk1] 5; missing source [Disk1] 6; cut [DirectoryName] SubDir1", 2},
    {"short", "@ZKPAGE.DL_=SZDD\x88\xF0'3", "damaged header [Disk1] 3", 2},
    {"refused", "Disk1=9>Disk1=-9", "refused [FileCounts] Disk1", 2},
    {"spaceout", "MinimumSpace=64>MinimumSpace=40000", "refused [Main] MinimumSpace", 2},
    {"noscript", "@SETUP.INF", "unreadable script [] SETUP.INF", 2},
    {"nofolder", "?NONE", "unreadable script [] SETUP.INF", 2},
    {"longpath", "+~~", "refused [] SETUP.INF", 2},
    {"blank", "@SETUP.INF=", "...empty text [Startup] SeialName; product file [] ZKMAIN.EXE", 2},
    {"binary", "@SETUP.INF=*", "...product file [] ZKPAGE.DLL", 2},
    {"hugeline", "Help,SubDir1>^,SubDir1",
     "cut [Disk1] 5; unmatched token [Disk1] 5; minimum space [Main] MinimumSpace", 1},
    {"hugevalue", "ProductName=Test Mouse>ProductName=^",
     "cut [Main] ProductName; minimum space [Main] MinimumSpace", 1},
    {"32767", ";entries\n[FileCounts]\nDisk1=9>#[FileCounts]\nDisk1=32767",
     "...same target [Disk1] 32767", 2},
    // Just enough space (nine files of up to 1 KB), and a short name two edits away.
    {"spaceexact", "MinimumSpace=64>MinimumSpace=9", "", 0},
    {"farkey", ";counts>Dxsy1=1", "", 0},
};
const int kCombined = 20;

std::vector<std::string> Found;

void Collect(const Finding *f) {
    Found.push_back(std::string(FindingTag(f->Kind)) + " [" + f->Section + "] " + f->Key);
}

// "~" stands for 40 characters, "^" for 100 KB, "*" for 4 KB of noise and
// "#" for the entries 10 to 32767.
std::string Expand(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '~' || c == '^')
            out += std::string(c == '~' ? 40 : 100 * 1024, 'x');
        for (unsigned i = 0, seed = 7; c == '*' && i < 4096; i++)
            out += (char)((seed = seed * 1103515245 + 12345) >> 16);
        for (int n = 10; c == '#' && n <= 32767; n++)
            out += std::to_string(n) + "=NOTES.TXT,NOTES.TXT,x,RootDir\n";
        if (!strchr("~^*#", c))
            out += c;
    }
    return out;
}

// The file's bytes; "=" in front: LZ-compressed, literals only, each eight
// after a flag byte of ones.
void Put(const std::string &path, const std::string &text) {
    std::string bytes = text;
    if (text[0] == '=') {
        bytes = "SZDD\x88\xF0'3A_";
        for (int shift = 0; shift < 32; shift += 8)
            bytes += (char)((text.size() - 1) >> shift);
        for (size_t i = 1; i < text.size(); i += 8)
            bytes += '\xFF' + text.substr(i, 8);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    EXPECT_EQ(bytes.size(), written) << path;
}

// Makes the media in folder with the edits of rows and checks it in-process;
// the findings joined by "; ".
std::string CheckMedia(const std::string &folder, const Row *rows, int count, int *exitCode) {
    fs::create_directories(folder + "\\HELP");
    for (const auto &f : MediaFiles)
        Put(folder + "\\" + f[0], f[1]);
    std::string script = BaseScript, checked = folder;
    for (int i = 0; i < count; i++) {
        std::string edit = rows[i].edit;
        size_t to = edit.find('>'), at = script.find(edit.substr(0, to));
        EXPECT_TRUE(to == std::string::npos || at != std::string::npos) << rows[i].name;
        if (to != std::string::npos && at != std::string::npos)
            script.replace(at, to, Expand(edit.substr(to + 1)));
    }
    EXPECT_TRUE(WriteFile(folder + "\\SETUP.INF", Crlf(script)));
    for (int i = 0; i < count; i++) {
        std::string edit = rows[i].edit, path = folder + "\\" + edit.substr(edit.empty() ? 0 : 1);
        size_t equals = path.find('=');
        if (edit[0] == '@' && equals == std::string::npos)
            DeleteFileA(path.c_str());
        else if (edit[0] == '@')
            Put(path.substr(0, equals), Expand(path.substr(equals + 1)));
        if (edit[0] == '?' || edit[0] == '+')
            checked += "\\" + Expand(edit.substr(1));
        if (edit[0] == '+')
            fs::create_directories(checked);
    }
    Found.clear();
    MediaCheck check;
    if (LoadMedia(&check, checked.c_str(), "C:\\WINDOWS", Collect))
        CheckLoadedMedia(&check);
    *exitCode = CheckExitCode(&check);
    FreeInstallTables();
    std::string joined;
    for (const std::string &f : Found)
        joined += (joined.empty() ? "" : "; ") + f;
    return joined;
}

std::vector<std::string> Sorted(const std::string &joined) {
    std::vector<std::string> parts;
    for (size_t at = 0, end; at < joined.size(); at = end + 2) {
        end = std::min(joined.find("; ", at), joined.size());
        parts.push_back(joined.substr(at, end - at));
    }
    std::sort(parts.begin(), parts.end());
    return parts;
}

std::string BinFolder() {
    char module[MAX_PATH];
    std::string path(module, GetModuleFileNameA(NULL, module, sizeof module));
    return path.substr(0, path.rfind('\\'));
}

// Runs MEDIACHK.EXE with arguments; its exit code, -1 when it did not end.
int RunProgram(const std::string &arguments, std::string *output) {
    char temp[MAX_PATH];
    std::string outPath = std::string(temp, GetTempPathA(sizeof temp, temp)) + "mediachk.out";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION process;
    std::string command = "\"" + BinFolder() + "\\MEDIACHK.EXE\" " + arguments;
    DWORD code = (DWORD)-1;
    if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    *output = ReadFile(outPath);
    DeleteFileA(outPath.c_str());
    return (int)code;
}

// Lines of the output that are findings.
int FindingLines(const std::string &output) {
    int count = 0;
    for (size_t at = output.find("\r\n"); at != std::string::npos; at = output.find("\r\n", at + 2))
        count += !output.compare(at + 2, 7, "error: ") || !output.compare(at + 2, 9, "warning: ");
    return count;
}

TEST(MediaCheck, EachRowGivesItsFindingsAndExitCode) {
    AppInstance = GetModuleHandleA(NULL);
    for (const Row &row : Rows) {
        Scratch scratch(std::string("mc") + row.name);
        std::string folder = scratch.path;
        int exitCode = -1;
        std::string found = CheckMedia(folder, &row, 1, &exitCode);
        if (strncmp(row.expected, "...", 3) == 0)
            EXPECT_NE(std::string::npos, found.find(row.expected + 3)) << row.name << ": " << found;
        else
            EXPECT_EQ(row.expected, found) << row.name;
        EXPECT_EQ(row.exitCode, exitCode) << row.name;
    }
}

TEST(MediaCheck, EveryFaultAtOnceInProcessAndAsTheProgram) {
    AppInstance = GetModuleHandleA(NULL);
    Scratch scratch("mcall");
    std::string folder = scratch.path, expected, output;
    int exitCode = -1;
    std::vector<std::string> found = Sorted(CheckMedia(folder, Rows, kCombined, &exitCode));
    for (int i = 0; i < kCombined; i++)
        if (*Rows[i].expected)
            expected += (expected.empty() ? "" : "; ") + std::string(Rows[i].expected);
    EXPECT_EQ(Sorted(expected), found);
    EXPECT_EQ(2, exitCode);

    EXPECT_EQ(2, RunProgram("\"" + folder + "\"", &output));
    EXPECT_EQ((int)found.size(), FindingLines(output)) << output;
    EXPECT_NE(std::string::npos,
              output.find("\r\nwarning: near name: [Startup] SerialName = \"N\": never read; "
                          "probably meant SeialName\r\n"))
        << output;
}

TEST(MediaCheck, ProgramFindsTheSampleMediaCleanAndWantsAFolder) {
    std::string output, media = BinFolder().substr(0, BinFolder().rfind('\\')) + "\\media";
    EXPECT_EQ(0, RunProgram(media, &output)) << output;
    EXPECT_NE(std::string::npos, output.find("\r\nClean: ")) << output;
    EXPECT_EQ(0, FindingLines(output));
    EXPECT_EQ(2, RunProgram("", &output));
    EXPECT_EQ("Usage: MEDIACHK <media folder>\r\n", output);
}

} // namespace
