// The files an entry names: the paths the copy engine builds from it, the
// source on the media and its LZ header, the target shared with another
// entry, and the space the files need below the destination.
#include "mediachk/media_check.h"
#include "script/script.h"
#include "runtime/runtime.h"

#define PACKED_HEADER 14

enum { MISSING_FILE, PLAIN_FILE, PACKED_FILE, DAMAGED_FILE };

// LZ-compressed files begin with this magic, a method byte 'A', the last
// character of the name and the expanded size. A folder is no file.
static int ReadPackedHeader(const char *path, DWORD *expandedSize) {
    static const BYTE Magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    BYTE header[PACKED_HEADER];
    DWORD got = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    *expandedSize = 0;
    if (file == INVALID_HANDLE_VALUE)
        return MISSING_FILE;
    *expandedSize = GetFileSize(file, NULL);
    if (!ReadFile(file, header, sizeof header, &got, NULL))
        got = 0;
    CloseHandle(file);
    if (got < 4 || header[0] != 'S' || header[1] != 'Z' || header[2] != 'D' || header[3] != 'D')
        return PLAIN_FILE;
    for (int i = 4; i < 8; i++)
        if (i >= (int)got || header[i] != Magic[i])
            return DAMAGED_FILE;
    if (got < PACKED_HEADER || header[8] != 'A')
        return DAMAGED_FILE;
    *expandedSize = header[10] | header[11] << 8 | header[12] << 16 | (DWORD)header[13] << 24;
    return PACKED_FILE;
}

// A target as one spelling: doubled backslashes as one, upper case.
static void TargetKey(int record, char *key) {
    char path[COPY_PATH_TEXT];
    JoinTargetPath(path, sizeof path, InstallConfig.DefaultPath, InstallRecords + record);
    int length = 0;
    for (int i = 0; path[i] != '\0'; i++)
        if (!(path[i] == '\\' && length > 0 && key[length - 1] == '\\'))
            key[length++] = path[i];
    key[length] = '\0';
    CharUpperBuffA(key, (DWORD)length);
}

// Where a record comes from: its disk section and key.
static void RecordPlace(int record, char *section, char *key) {
    int d = 0;
    while (d + 1 < InstallConfig.DiskTable.DiskCount &&
           InstallConfig.DiskTable.DiskFiles[d + 1] <= InstallRecords + record)
        d++;
    CopyText(section, SECTION_SIZE, ResourceText((short)(IDS_DISK1 + d)));
    wsprintfA(key, "%d", (int)(InstallRecords + record - InstallConfig.DiskTable.DiskFiles[d]) + 1);
}

// The earlier record with the same target as record, or -1 (then record is
// kept for the ones after it).
static int EarlierSameTarget(MediaCheck *check, int record) {
    char key[COPY_PATH_TEXT], other[COPY_PATH_TEXT];
    TargetKey(record, key);
    DWORD hash = 2166136261u;
    for (int i = 0; key[i] != '\0'; i++)
        hash = (hash ^ (BYTE)key[i]) * 16777619u;
    if (check->TargetSlots == NULL)
        return -1;
    for (DWORD slot = hash & check->TargetMask;; slot = (slot + 1) & check->TargetMask) {
        if (check->TargetSlots[slot] == 0) {
            check->TargetSlots[slot] = record + 1;
            return -1;
        }
        TargetKey(check->TargetSlots[slot] - 1, other);
        if (lstrcmpA(key, other) == 0)
            return check->TargetSlots[slot] - 1;
    }
}

void CheckEntryFiles(MediaCheck *check, const char *section, const char *key, const char *value,
                     const FileEntry *e) {
    char source[COPY_PATH_TEXT], target[COPY_PATH_TEXT], longest[COPY_PATH_TEXT];
    int fits = JoinSourcePath(source, sizeof source, InstallConfig.SourceRoot, e) &&
               SourcePathOpens(source);
    fits = JoinTargetPath(longest, sizeof longest, check->LongestDestination, e) && fits;
    JoinTargetPath(target, sizeof target, InstallConfig.DefaultPath, e);
    if (!fits) {
        Report(check, FINDING_PATH_TOO_LONG, section, key, value,
               "the copy skips it: %s or %s does not fit", source, longest);
        return;
    }
    DWORD size;
    int kind = ReadPackedHeader(source, &size);
    if (kind == MISSING_FILE) {
        Report(check, FINDING_NO_SOURCE, section, key, value,
               "%s is not on the media: nothing is copied to %s", source, target);
        return;
    }
    int nameLength = lstrlenA(e->SourceName);
    if (kind == DAMAGED_FILE)
        Report(check, FINDING_DAMAGED_HEADER, section, key, value,
               "%s has a damaged LZ header: %s gets a wrong or empty file", source, target);
    else if (kind == PLAIN_FILE && nameLength > 0 && e->SourceName[nameLength - 1] == '_')
        Report(check, FINDING_NOT_PACKED, section, key, value,
               "%s is not LZ-compressed: it is copied unchanged to %s", source, target);
    if (!e->IsAbsolute) {
        DWORD kilobytes = size / 1024 + (size % 1024 != 0);
        check->DestinationKilobytes += kilobytes;
        if (check->DestinationKilobytes < kilobytes)
            check->DestinationKilobytes = 0xFFFFFFFF;
    }
}

void CheckSameTarget(MediaCheck *check, const char *section, const char *key, const char *value,
                     const FileEntry *e) {
    int earlier = EarlierSameTarget(check, (int)(e - InstallRecords));
    if (earlier >= 0) {
        char otherSection[SECTION_SIZE], otherKey[16], target[COPY_PATH_TEXT];
        RecordPlace(earlier, otherSection, otherKey);
        JoinTargetPath(target, sizeof target, InstallConfig.DefaultPath, e);
        Report(check, FINDING_SAME_TARGET, section, key, value,
               "%s is the target of [%s] %s too: this copy replaces that one", target, otherSection,
               otherKey);
    }
}

void CheckSpace(MediaCheck *check) {
    char section[SECTION_SIZE], key[SECTION_SIZE], raw[1024];
    CopyText(section, sizeof section, ResourceText(IDS_SECTION_MAIN));
    CopyText(key, sizeof key, ResourceText(IDS_KEY_MINIMUM_SPACE));
    const char *value = ReadValue(check, section, key, raw, sizeof raw);
    short minimum = InstallConfig.MinimumSpace;
    if (minimum < 0)
        Report(check, FINDING_REFUSED, section, key, value,
               "read as %d: the destination page refuses every drive", minimum);
    else if ((DWORD)minimum < check->DestinationKilobytes)
        Report(check, FINDING_SPACE, section, key, value,
               "the destination page accepts a drive with %d KB free, but the files copied "
               "below the destination need %lu KB",
               minimum, check->DestinationKilobytes);
}
