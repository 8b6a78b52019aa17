// The record of previous settings and its write-once rule, which the undo
// journal shares: both live in the destination's SETUP.INF.
#include "system/system_steps.h"
#include "script/script.h"
#include "runtime/runtime.h"

int RecordFile(char *path, int capacity) {
    return InstallConfig.DefaultPath[0] != '\0' &&
           JoinText(path, capacity, InstallConfig.DefaultPath, "\\" SCRIPT_FILE);
}

int IsNoted(const char *file, const char *section, const char *key) {
    // Told by the key itself, not its text: an empty value is a note too
    // (and a quoted one reads back without its quotes).
    char noted[4];
    GetPrivateProfileStringA(section, key, "\1", noted, sizeof noted, file);
    return !(noted[0] == '\1' && noted[1] == '\0');
}

int WriteOnce(const char *file, const char *section, const char *key, const char *value,
              int refillEmpty) {
    char noted[4];
    GetPrivateProfileStringA(section, key, "", noted, sizeof noted, file);
    if (refillEmpty ? noted[0] != '\0' : IsNoted(file, section, key))
        return 1;
    return WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
}

int NoteOnce(const char *file, const char *section, const char *key, const char *value) {
    return WriteOnce(file, section, key, value, 0);
}

void RecordPreviousSetting(const char *section, const char *key, const char *value) {
    // Write-once: the value found before the first install is the one to
    // keep; one recorded empty (the registry had none) is filled later.
    char path[MAX_PATH];
    if (RecordFile(path, sizeof path))
        WriteOnce(path, section, key, value, 1);
}
