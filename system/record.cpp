#include "system/system.h"

char PreviousSettingBuffer[PREVIOUS_SETTING_TEXT];

int BuildRecordPath(const char *folder, char *path, int capacity) {
    return CopyText(path, capacity, folder) && AppendText(path, capacity, "\\SETUP.INF");
}

const char *ReadPreviousSetting(const char *section, const char *key, const char *defaultText) {
    char path[MAX_PATH];
    if (!BuildRecordPath(InstallConfig.DefaultPath, path, sizeof path)) {
        CopyText(PreviousSettingBuffer, sizeof PreviousSettingBuffer, defaultText);
        return PreviousSettingBuffer;
    }
    GetPrivateProfileStringA(section, key, defaultText, PreviousSettingBuffer,
                             sizeof PreviousSettingBuffer, path);
    return PreviousSettingBuffer;
}

void RecordPreviousSetting(const char *section, const char *key, const char *value) {
    char recorded[PREVIOUS_SETTING_TEXT];
    CopyText(recorded, sizeof recorded, ReadPreviousSetting(section, key, ""));
    // Write-once: the value found before the first install is the one to keep.
    if (recorded[0] != '\0')
        return;
    char path[MAX_PATH];
    if (!BuildRecordPath(InstallConfig.DefaultPath, path, sizeof path))
        return;
    WritePrivateProfileStringA(section, key, value, path);
}
