// The report: what the setup will do with the media, then the findings.
#include "mediachk/media_check.h"
#include "runtime/runtime.h"
#include "script/script.h"

#define REPORT_LINE 1400
// A value longer than this shows only its start.
#define SHOWN_VALUE 64

void WriteLine(const char *text) {
    char line[REPORT_LINE + 2];
    int length = 0;
    for (; text[length] != '\0' && length < REPORT_LINE; length++)
        line[length] = (BYTE)text[length] < ' ' ? '?' : text[length];
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)length, &written, NULL);
}

static void AppendValue(char *line, const char *value) {
    if (value == NULL) {
        AppendText(line, REPORT_LINE, "(missing)");
        return;
    }
    char shown[SHOWN_VALUE];
    int whole = CopyText(shown, sizeof shown, value);
    AppendText(line, REPORT_LINE, "\"");
    AppendText(line, REPORT_LINE, shown);
    AppendText(line, REPORT_LINE, "\"");
    if (!whole)
        AppendText(line, REPORT_LINE, "...");
}

void PrintFinding(const Finding *finding) {
    char line[REPORT_LINE];
    CopyText(line, sizeof line, FindingIsError(finding->Kind) ? "error: " : "warning: ");
    AppendText(line, sizeof line, FindingTag(finding->Kind));
    AppendText(line, sizeof line, ": ");
    if (finding->Section[0] != '\0') {
        AppendText(line, sizeof line, "[");
        AppendText(line, sizeof line, finding->Section);
        AppendText(line, sizeof line, "]");
    }
    if (finding->Section[0] != '\0' && finding->Key[0] != '\0') {
        AppendText(line, sizeof line, " ");
        AppendText(line, sizeof line, finding->Key);
        AppendText(line, sizeof line, " = ");
        AppendValue(line, finding->Value);
    } else {
        AppendText(line, sizeof line, finding->Key);
    }
    AppendText(line, sizeof line, ": ");
    AppendText(line, sizeof line, finding->Effect);
    WriteLine(line);
}

static void PrintFiles(void) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    char line[REPORT_LINE], source[COPY_PATH_TEXT], target[COPY_PATH_TEXT];
    for (int d = 0; d < disks->DiskCount; d++) {
        char section[LABEL_TEXT];
        CopyText(section, sizeof section, ResourceText((short)(IDS_DISK1 + d)));
        for (int j = 0; j < disks->FileCounts[d]; j++) {
            const FileEntry *e = disks->DiskFiles[d] + j;
            JoinSourcePath(source, sizeof source, InstallConfig.SourceRoot, e);
            JoinTargetPath(target, sizeof target, InstallConfig.DefaultPath, e);
            if (e->SourceName[0] == '\0' && e->TargetName[0] == '\0')
                wsprintfA(line, "  [%s] %d: empty, nothing is copied", section, j + 1);
            else
                wsprintfA(line, "  [%s] %d: %s -> %s (%s)", section, j + 1, source, target,
                          e->Description);
            WriteLine(line);
        }
    }
}

void PrintPlan(void) {
    const InstallConfigRecord *c = &InstallConfig;
    const DiskTableRecord *disks = &c->DiskTable;
    char line[REPORT_LINE];
    wsprintfA(line, "Product: %s; caption: %s", c->ProductName, c->Caption);
    WriteLine(line);
    wsprintfA(line, "Destination: %s proposed; the drive must have %d KB free", c->DefaultPath,
              c->MinimumSpace);
    WriteLine(line);
    wsprintfA(line, "Disks used: %d, %d files", disks->DiskCount, disks->TotalFiles);
    WriteLine(line);
    for (int d = 0; d < disks->DiskCount; d++) {
        wsprintfA(line, "  Disk%d \"%s\": %d files", d + 1, disks->DiskLabels[d],
                  disks->FileCounts[d]);
        WriteLine(line);
    }
    WriteLine("Files (source -> target):");
    PrintFiles();
    WriteLine("Registry:");
    wsprintfA(line, "  property page %s\\ZKPAGE.DLL; Run entry %s\\ZKMAIN.EXE -startup",
              c->DefaultPath, c->DefaultPath);
    WriteLine(line);
    wsprintfA(line, "  uninstall entry \"%s\": %s\\UNINSTAL.EXE", c->Title, c->DefaultPath);
    WriteLine(line);
    wsprintfA(line,
              "  PS/2 mouse \"%s\", INF section \"%s\"; serial mouse \"%s\", INF section "
              "\"%s\"",
              c->PS2Name, c->PS2InfSection, c->SeialName, c->SerialInfSection);
    WriteLine(line);
    wsprintfA(line, "  maker \"%s\", driver \"%s\", INF \"%s\", date \"%s\"", c->Mfg,
              c->MouseDriver, c->MouseInf, c->DriverDate);
    WriteLine(line);
    wsprintfA(line, "  previous settings recorded into %s\\SETUP.INF", c->DefaultPath);
    WriteLine(line);
}

void PrintTotals(const MediaCheck *check) {
    char line[REPORT_LINE];
    if (check->Errors == 0 && check->Warnings == 0)
        wsprintfA(line, "Clean: %lu KB copied below the destination", check->DestinationKilobytes);
    else
        wsprintfA(line, "%d error(s), %d warning(s)", check->Errors, check->Warnings);
    WriteLine(line);
}
