// The record of previous settings and its write-once rule, which the undo
// journal shares: both live in the destination's SETUP.INF.
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

int RecordFile(char *path, int capacity) {
    return InstallConfig.DefaultPath[0] != '\0' &&
           JoinText(path, capacity, InstallConfig.DefaultPath, "\\" SCRIPT_FILE);
}

int NoteOnce(const char *file, const char *section, const char *key, const char *value) {
    char noted[8];
    GetPrivateProfileStringA(section, key, "", noted, sizeof noted, file);
    if (noted[0] != '\0')
        return 1;
    return WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
}

void RecordPreviousSetting(const char *section, const char *key, const char *value) {
    // Write-once: the value found before the first install is the one to keep.
    char path[MAX_PATH];
    if (RecordFile(path, sizeof path))
        NoteOnce(path, section, key, value);
}
