// Loading the media as the setup does, and the findings' bookkeeping.
#include "mediachk/media_check.h"
#include "script/script.h"

#include <stdarg.h>

CheckTotalsRecord CheckTotals;
char CheckedScript[MAX_PATH];

static FindingSink Sink;
static DWORD ScriptBytes;

static const char *const FindingTags[FINDING_KINDS] = {
    "unreadable script", "refused",        "missing source",
    "not compressed",    "damaged header", "same target",
    "path too long",     "product file",   "cut",
    "unmatched token",   "missing key",    "never read",
    "no label",          "label gap",      "minimum space",
    "near name",         "empty text"};

const char *FindingTag(FindingKind kind) {
    return FindingTags[kind];
}

int FindingIsError(FindingKind kind) {
    return kind < FINDING_CUT;
}

void Report(FindingKind kind, const char *section, const char *key, const char *value,
            const char *effect, ...) {
    // Every argument is a bounded text of the script or a path of at most
    // COPY_PATH_TEXT, so the 1024 bytes wvsprintfA may write are enough.
    char text[1024];
    va_list arguments;
    va_start(arguments, effect);
    wvsprintfA(text, effect, arguments);
    va_end(arguments);
    if (FindingIsError(kind))
        CheckTotals.Errors++;
    else
        CheckTotals.Warnings++;
    Finding finding = {kind, section, key, value, text};
    if (Sink != NULL)
        Sink(&finding);
}

char *ReadListing(const char *section) {
    // A listing never holds more than the file does, terminators included.
    DWORD size = ScriptBytes + 64;
    char *listing = (char *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    if (listing == NULL)
        return NULL;
    DWORD length = section != NULL
                       ? GetPrivateProfileSectionA(section, listing, size, CheckedScript)
                       : GetPrivateProfileStringA(NULL, NULL, "", listing, size, CheckedScript);
    if (length == 0) {
        GlobalFree(listing);
        return NULL;
    }
    return listing;
}

void FreeListing(char *listing) {
    if (listing != NULL)
        GlobalFree(listing);
}

const char *SplitListingLine(char *line) {
    for (char *p = line; *p != '\0'; p++) {
        if (*p == '=') {
            *p = '\0';
            return p + 1;
        }
    }
    return NULL;
}

const char *ReadValue(const char *section, const char *key, char *out, int size) {
    // A missing key reads as the default; no script value is a lone 0x01.
    GetPrivateProfileStringA(section, key, "\1", out, (DWORD)size, CheckedScript);
    return out[0] == '\1' && out[1] == '\0' ? NULL : out;
}

// Which FileCounts key made the loader refuse the script, by the loader's rule.
static void ReportRefusedCounts(void) {
    char section[LABEL_TEXT], key[LABEL_TEXT], value[LINE_TEXT];
    CopyText(section, sizeof section, ResourceText(IDS_SECTION_FILE_COUNTS));
    long total = 0;
    for (int i = 0; i < InstallConfig.DiskTable.DiskCount; i++) {
        CopyText(key, sizeof key, ResourceText((short)(IDS_DISK1 + i)));
        int count = (int)GetPrivateProfileIntA(section, key, 0, CheckedScript);
        total += count;
        if (count < 0 || count >= 32768 || total >= 32768) {
            Report(FINDING_REFUSED, section, key, ReadValue(section, key, value, sizeof value),
                   "counts must not be negative and must add up to less than 32768: "
                   "the setup stops with \"%s\"",
                   ResourceText(IDS_READING_ERROR));
            return;
        }
    }
    Report(FINDING_REFUSED, "", "", NULL, "the install tables could not be allocated");
}

int LoadMedia(const char *folder, const char *windowsDir, FindingSink sink) {
    Sink = sink;
    ZeroMemory(&CheckTotals, sizeof CheckTotals);
    CheckedScript[0] = '\0';
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full || !IsDirectory(full)) {
        Report(FINDING_UNREADABLE, "", "SETUP.INF", NULL, "%s is no folder", folder);
        return 0;
    }
    // The setup's own folder never ends in a backslash: "A:\" is "A:".
    while (length > 1 && full[length - 1] == '\\')
        full[--length] = '\0';

    char program[MAX_PATH + 16], root[PATH_TEXT];
    CopyText(program, sizeof program, full);
    AppendText(program, sizeof program, "\\SETUP.EXE");
    if (!SplitProgramPath(program, root, CheckedScript)) {
        Report(FINDING_REFUSED, "", "SETUP.INF", NULL,
               "the path %s\\SETUP.INF is longer than %d characters: the setup stops with "
               "\"%s\"",
               full, PATH_TEXT - 1, ResourceText(IDS_READING_ERROR));
        return 0;
    }
    HANDLE file = CreateFileA(CheckedScript, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        Report(FINDING_UNREADABLE, "", "SETUP.INF", NULL,
               "%s is missing: the setup runs with its defaults and copies nothing", CheckedScript);
        return 0;
    }
    ScriptBytes = GetFileSize(file, NULL);
    CloseHandle(file);
    if (ScriptBytes == 0xFFFFFFFF)
        ScriptBytes = 0;
    if (!LoadScriptFrom(program, windowsDir, NULL)) {
        ReportRefusedCounts();
        return 0;
    }
    return 1;
}

void CheckLoadedMedia(void) {
    CheckNames();
    CheckFiles();
}

int CheckExitCode(void) {
    if (CheckTotals.Errors > 0)
        return 2;
    return CheckTotals.Warnings > 0 ? 1 : 0;
}
