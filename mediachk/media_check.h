// The media check: loads a media folder's SETUP.INF with the setup's own
// loader and reports every place where the setup would silently fall back.
#ifndef SETUP_MEDIACHK_MEDIA_CHECK_H
#define SETUP_MEDIACHK_MEDIA_CHECK_H

#include <windows.h>

#include "script/script.h"

enum FindingKind {
    // Errors: the setup stops, or installs something other than the author meant.
    FINDING_UNREADABLE,
    FINDING_REFUSED,
    FINDING_NO_SOURCE,
    FINDING_NOT_PACKED,
    FINDING_DAMAGED_HEADER,
    FINDING_SAME_TARGET,
    FINDING_PATH_TOO_LONG,
    FINDING_PRODUCT_FILE,
    // Warnings: a silent fall-back of the loader.
    FINDING_CUT,
    FINDING_NO_TOKEN,
    FINDING_KEY_MISSING,
    FINDING_NEVER_READ,
    FINDING_NO_LABEL,
    FINDING_LABEL_GAP,
    FINDING_SPACE,
    FINDING_NEAR_NAME,
    FINDING_EMPTY_TEXT,
    FINDING_KINDS
};

// One finding: where (section and key as written, either may be empty), the
// value as written (NULL when there is none) and what the setup will do.
struct Finding {
    FindingKind Kind;
    const char *Section;
    const char *Key;
    const char *Value;
    const char *Effect;
};
typedef void (*FindingSink)(const Finding *finding);

const char *FindingTag(FindingKind kind);
int FindingIsError(FindingKind kind);

// The product's files the registry step names in the destination's root.
#define PRODUCT_FILE_COUNT 4

// The whole state of one check, from the load to the exit code.
struct MediaCheck {
    FindingSink Sink;
    char Script[MAX_PATH]; // full path of the script being checked
    int Errors;
    int Warnings;
    DWORD DestinationKilobytes; // expanded size of what lands below the destination
    // What the file checks gather on the way through the disks.
    int ProductFound[PRODUCT_FILE_COUNT];
    int LongTokenUsed[DIRECTORY_TOKENS];
    char LongestDestination[PATH_TEXT]; // the longest the destination page accepts
    int *TargetSlots;                   // targets met: record index + 1, by hash
    DWORD TargetMask;
};

// Loads the SETUP.INF of folder as SETUP.EXE started from that folder would,
// on a system whose Windows folder is windowsDir; check starts afresh.
// Returns 0, after reporting why, when the setup would not get past loading.
int LoadMedia(MediaCheck *check, const char *folder, const char *windowsDir, FindingSink sink);
// Every check of the loaded script and of the files it lists.
void CheckLoadedMedia(MediaCheck *check);
// 0 clean, 1 warnings only, 2 errors.
int CheckExitCode(const MediaCheck *check);

// --- the pieces (findings.cpp below the checks, the checks below the whole) ---
void Report(MediaCheck *check, FindingKind kind, const char *section, const char *key,
            const char *value, const char *effect, ...);
// Splits a listing line "key=value" in place: returns the value, NULL when
// the line has no "=".
const char *SplitListingLine(char *line);
// The value of a key as the loader's read would give it, whole up to size - 1;
// NULL when the key is missing.
const char *ReadValue(const MediaCheck *check, const char *section, const char *key, char *out,
                      int size);
// A section or key name of the script as the checks keep it.
#define SECTION_SIZE 32
// Sections and keys: unread, near-miss, repeated, cut and empty texts.
void CheckNames(MediaCheck *check);
// The disk sections, their entries and the files they name.
void CheckFiles(MediaCheck *check);
// One entry's paths and source file, and the space all of them need.
void CheckEntryFiles(MediaCheck *check, const char *section, const char *key, const char *value,
                     const FileEntry *e);
// One entry's target against those of the entries before it.
void CheckSameTarget(MediaCheck *check, const char *section, const char *key, const char *value,
                     const FileEntry *e);
// MinimumSpace against what the files need below the destination.
void CheckSpace(MediaCheck *check);

// --- the report on the console ---
// One line of output; control characters show as '?'.
void WriteLine(const char *text);
// What the setup will do with the loaded media.
void PrintPlan(void);
// The finding sink of the program: one line per finding.
void PrintFinding(const Finding *finding);
void PrintTotals(const MediaCheck *check);

#endif
