// Loads a setup script at the format's limits (six disks, 32767 entries,
// every entry line 127 characters) and compares the load with a plain read
// of the same file. Prints figures; asserts nothing.
#include <cstdio>
#include <string>

#include "script/script.h"
#include "runtime/runtime.h"

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

static std::string Pad(std::string text, size_t width, char fill) {
    if (text.size() < width)
        text.append(width - text.size(), fill);
    return text.substr(0, width);
}

// One entry line of exactly 127 characters: four fields at their widths and
// ignored text after the token.
static std::string EntryLine(int disk, int number) {
    char names[32];
    wsprintfA(names, "F%d_%05d", disk, number);
    std::string source = Pad(std::string(names) + ".DA_", 14, 'X');
    std::string target = Pad(std::string(names) + ".DAT", 14, 'X');
    std::string description =
        Pad(std::string("Data file ") + names + " of the limit test", 61, '.');
    const char *tokens[] = {"RootDir", "SubDir1", "SubDir6", "WinDir", "WinSystemDir", "WinInfDir"};
    std::string line = source + "," + target + "," + description + "," + tokens[number % 6] + ",";
    return Pad(line, 127, 'z');
}

static bool WriteLimitScript(const std::string &path, long *bytes) {
    std::string text = "[Main]\r\nProductName=Velor Scroll "
                       "Mouse\r\nDefaultPath=C:\\VELOR\r\nMinimumSpace=32767\r\n";
    text += "[DiskLabel]\r\n";
    for (int d = 1; d <= MAX_DISKS; d++)
        text += "Disk" + std::to_string(d) + "=" + Pad("Limit Disk " + std::to_string(d), 39, '-') +
                "\r\n";
    int counts[MAX_DISKS];
    int left = 32767;
    for (int d = 0; d < MAX_DISKS; d++) {
        counts[d] = left / (MAX_DISKS - d);
        left -= counts[d];
    }
    text += "[FileCounts]\r\n";
    for (int d = 1; d <= MAX_DISKS; d++)
        text += "Disk" + std::to_string(d) + "=" + std::to_string(counts[d - 1]) + "\r\n";
    text += "[DirectoryName]\r\nRootDir=\r\nSubDir1=HELP\r\nSubDir6=DOCS\r\nWinDir=DRIVERS\r\n"
            "WinSystemDir=DRIVERS\r\nWinInfDir=DRIVERS\r\n";
    for (int d = 1; d <= MAX_DISKS; d++) {
        text += "[Disk" + std::to_string(d) + "]\r\n";
        for (int j = 1; j <= counts[d - 1]; j++)
            text += std::to_string(j) + "=" + EntryLine(d, j) + "\r\n";
    }
    text += "[PM Info]\r\n";
    for (int i = 1; i <= MAX_PROGRAM_ITEMS; i++)
        text += std::to_string(i) + "=" +
                Pad("ZKMAIN.EXE,Velor Scroll Mouse item " + std::to_string(i) + ",0,", 127, 'z') +
                "\r\n";
    text += "[Startup]\r\nTitle=Velor Scroll Mouse\r\nMfg=Velor\r\nMouseDriver=SCROLL.DRV\r\n";

    FILE *file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    *bytes = (long)text.size();
    return fclose(file) == 0 && written;
}

static double PlainRead(const std::string &path, long *got) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    *got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        static char buffer[65536];
        DWORD read;
        while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0)
            *got += (long)read;
        CloseHandle(file);
    }
    QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

static double TimedLoad(const std::string &path, int *result) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    *result = LoadScriptFrom("C:\\MEDIA\\SETUP.EXE", "C:\\WINDOWS", path.c_str());
    QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

int main() {
    AppInstance = GetModuleHandleA(NULL);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "LIMIT" + std::to_string(GetCurrentProcessId()) + ".INF";
    long bytes = 0;
    if (!WriteLimitScript(path, &bytes)) {
        printf("could not write %s\n", path.c_str());
        return 1;
    }

    long got = 0;
    double read = PlainRead(path, &got);
    int first = 0, second = 0;
    double load = TimedLoad(path, &first);
    double again = TimedLoad(path, &second);
    double readAgain = PlainRead(path, &got);

    const DiskTableRecord &disks = InstallConfig.DiskTable;
    printf("script: %ld bytes, %d disks, %d entries (result %d, %d)\n", bytes, disks.DiskCount,
           disks.TotalFiles, first, second);
    printf("last record: %s -> %s\\%s\n", InstallRecords[disks.TotalFiles - 1].SourceName,
           InstallRecords[disks.TotalFiles - 1].TargetDir,
           InstallRecords[disks.TotalFiles - 1].TargetName);
    printf("plain read:  %.4f s first, %.4f s again (%ld bytes)\n", read, readAgain, got);
    printf("script load: %.4f s first, %.4f s again\n", load, again);
    printf("load / read: %.0f first, %.0f again\n", read > 0 ? load / read : 0.0,
           readAgain > 0 ? again / readAgain : 0.0);
    printf("per entry:   %.1f us\n", again * 1e6 / (disks.TotalFiles > 0 ? disks.TotalFiles : 1));
    FreeInstallTables();
    DeleteFileA(path.c_str());
    return first == 1 && second == 1 ? 0 : 1;
}
