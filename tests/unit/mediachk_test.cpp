// The media check on small media folders, each with one planted fault, on
// one folder with all of them at once and on damaged scripts; and the
// program itself on the sample media and on the folder with every fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

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

// Files beside the script. The "_" files carry an LZ header alone, method
// 'A', name tail and an expanded size of 5 bytes: the check reads no further.
const std::string Packed("SZDD\x88\xF0'3A_\5\0\0\0", 14);
const std::map<std::string, std::string> MediaFiles = {
    {"ZKMAIN.EXE", "app"},  {"ZKPAGE.DL_", Packed},     {"UNINSTAL.EXE", "uninstaller"},
    {"HELP.TXT", "help"},   {"HELP\\HELP.TXT", "help"}, {"HELP\\TIPS.TX_", Packed},
    {"README.TXT", "read"}, {"NOTES.TXT", "notes"},     {"LONG.TXT", "long"}};

// An edit is "from>to" on the script, "@FILE" (removed) or "@FILE=content"
// on a media file, or "?FOLDER" ("+FOLDER": made) below the media, checked
// instead of it. "expected" lists the findings in report order; "..." in
// front: among the findings.
struct Row {
    const char *name, *edit, *expected;
    int exitCode;
};

// Rows before kCombined also go into one folder with every fault at once.
// clang-format off
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
    {"nearkey", "SeialName=N>SerialName=N", "empty text [Startup] SeialName; near name [Startup] SerialName", 1},
    {"disklabel", ";disk2>[Disk2]\n1=A,A,A,RootDir", "no label [Disk2] ", 1},
    {"nearsection", ";pminfo>[PMInfos]\n1=A,B,0", "near name [PMInfos] ", 1},
    // Faults that stop the check, and damaged scripts.
    {"longdir", "SubDir1=HELP>SubDir1=~", "missing source [Disk1] 5; missing source [Disk1] 6; cut [DirectoryName] SubDir1", 2},
    {"short", "@ZKPAGE.DL_=SZDD\x88\xF0'3", "damaged header [Disk1] 3", 2},
    {"refused", "Disk1=9>Disk1=-9", "refused [FileCounts] Disk1", 2},
    {"spaceout", "MinimumSpace=64>MinimumSpace=40000", "refused [Main] MinimumSpace", 2},
    {"noscript", "@SETUP.INF", "unreadable script [] SETUP.INF", 2},
    {"nofolder", "?NONE", "unreadable script [] SETUP.INF", 2},
    {"longpath", "+~~", "refused [] SETUP.INF", 2},
    {"blank", "@SETUP.INF=", "...empty text [Startup] SeialName; product file [] ZKMAIN.EXE", 2},
    {"binary", "@SETUP.INF=*", "...product file [] ZKPAGE.DLL", 2},
    {"hugeline", "Help,SubDir1>^,SubDir1", "cut [Disk1] 5; unmatched token [Disk1] 5; minimum space [Main] MinimumSpace", 1},
    {"hugevalue", "ProductName=Test Mouse>ProductName=^", "cut [Main] ProductName; minimum space [Main] MinimumSpace", 1},
    {"32767", ";entries\n[FileCounts]\nDisk1=9>#[FileCounts]\nDisk1=32767", "...same target [Disk1] 32767", 2},
    // Just enough space (nine files of up to 1 KB), and a short name two edits away.
    {"spaceexact", "MinimumSpace=64>MinimumSpace=9", "", 0},
    {"farkey", ";counts>Dxsy1=1", "", 0},
    // Targets told apart without case; a repeated number is read once, the first.
    {"samecase", "NOTES.TXT,Notes>readme.txt,Notes", "same target [Disk1] 8", 2},
    {"repeatednum", ";entries>3=ZKPAGE.DL_,OTHER.DLL,Page,RootDir", "never read [Disk1] 3", 1},
};
// clang-format on
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

// Makes the media in folder with the edits of rows and checks it in-process;
// the findings joined by "; ".
std::string CheckMedia(const std::string &folder, const Row *rows, int count, int *exitCode) {
    std::map<std::string, std::string> files = MediaFiles;
    std::string script = BaseScript, checked = folder;
    for (int i = 0; i < count; i++) {
        std::string edit = rows[i].edit;
        size_t to = edit.find('>'), at = script.find(edit.substr(0, to)), equals = edit.find('=');
        if (edit[0] == '@')
            files[edit.substr(1, equals - 1)] =
                equals == std::string::npos ? "<gone>" : Expand(edit.substr(equals + 1));
        else if (edit[0] == '?' || edit[0] == '+')
            checked += "\\" + Expand(edit.substr(1));
        else if (to != std::string::npos && at != std::string::npos)
            script.replace(at, to, Expand(edit.substr(to + 1)));
        else
            EXPECT_EQ("", edit) << rows[i].name << ": not in the script";
        if (edit[0] == '+')
            fs::create_directories(checked);
    }
    files.emplace("SETUP.INF", Crlf(script));
    for (const auto &f : files)
        if (f.second != "<gone>")
            WriteFile(folder + "\\" + f.first, f.second);
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

// Runs MEDIACHK.EXE with arguments through the command interpreter, which
// takes the outer quotes off; its exit code and what it wrote.
int RunProgram(const std::string &arguments, std::string *output) {
    std::string command = "\"\"" + BuildFolder() + "\\bin\\MEDIACHK.EXE\" " + arguments + "\"";
    FILE *pipe = _popen(command.c_str(), "rb");
    output->clear();
    for (int c; pipe && (c = fgetc(pipe)) != EOF;)
        *output += (char)c;
    return pipe ? _pclose(pipe) : -1;
}

// Lines of the output that are findings.
size_t FindingLines(const std::string &output) {
    size_t count = 0;
    for (size_t at = output.find("\r\n"); at != std::string::npos; at = output.find("\r\n", at + 2))
        count += !output.compare(at + 2, 7, "error: ") || !output.compare(at + 2, 9, "warning: ");
    return count;
}

TEST(MediaCheck, EachRowGivesItsFindingsAndExitCode) {
    AppInstance = GetModuleHandleA(NULL);
    for (const Row &row : Rows) {
        int exitCode = -1;
        std::string found =
            CheckMedia(Scratch("mc" + std::string(row.name)).path, &row, 1, &exitCode);
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
    std::string folder = scratch.path, output;
    int exitCode = -1;
    // What each row finds alone (held to the table above), all together.
    std::vector<std::string> expected;
    for (int i = 0; i < kCombined; i++) {
        CheckMedia(Scratch(std::string("mc") + Rows[i].name).path, &Rows[i], 1, &exitCode);
        expected.insert(expected.end(), Found.begin(), Found.end());
    }
    CheckMedia(folder, Rows, kCombined, &exitCode);
    std::sort(expected.begin(), expected.end());
    std::sort(Found.begin(), Found.end());
    EXPECT_EQ(expected, Found);
    EXPECT_EQ(2, exitCode);
    // The program on that folder (quoted), on the sample media and on nothing:
    // its exit code, a line it prints (on the media, a packed file's line of
    // the plan, from its source to its target) and the number of finding lines.
    // clang-format off
    const struct { std::string arguments; int exitCode; std::string line; size_t findings; } runs[] = {
        {"\"" + folder + "\"", 2, "\r\nwarning: near name: [Startup] SerialName = \"N\": never read; probably meant SeialName\r\n", Found.size()},
        {BuildFolder() + "\\media", 0, "\r\n  [Disk2] 1: " + BuildFolder() + "\\media\\HELP\\MOUSEHLP.TX_ -> C:\\VELOR\\HELP\\MOUSEHLP.TXT (Help text)\r\n", 0},
        {"", 2, "Usage: MEDIACHK <media folder>\r\n", 0},
    };
    // clang-format on
    for (const auto &run : runs) {
        EXPECT_EQ(run.exitCode, RunProgram(run.arguments, &output)) << run.arguments;
        EXPECT_NE(std::string::npos, output.find(run.line)) << output;
        EXPECT_EQ(run.findings, FindingLines(output)) << output;
    }
}

} // namespace
