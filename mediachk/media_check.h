// The media check: loads a media folder's SETUP.INF with the setup's own
// loader and reports every place where the setup would silently fall back.
#ifndef SETUP_MEDIACHK_MEDIA_CHECK_H
#define SETUP_MEDIACHK_MEDIA_CHECK_H

#include "shell/setup.h"

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

struct CheckTotalsRecord {
    int Errors;
    int Warnings;
    DWORD DestinationKilobytes; // expanded size of what lands below the destination
};
extern CheckTotalsRecord CheckTotals;

// Full path of the script being checked.
extern char CheckedScript[MAX_PATH];

// Loads the SETUP.INF of folder as SETUP.EXE started from that folder would,
// on a system whose Windows folder is windowsDir. Returns 0, after reporting
// why, when the setup would not get past loading.
int LoadMedia(const char *folder, const char *windowsDir, FindingSink sink);
// Every check of the loaded script and of the files it lists.
void CheckLoadedMedia(void);
// 0 clean, 1 warnings only, 2 errors.
int CheckExitCode(void);

// --- the pieces, shared by the check's own files ---
void Report(FindingKind kind, const char *section, const char *key, const char *value,
            const char *effect, ...);
// Section listing (key=value lines) or, for a NULL section, the section
// names of the script; a block to release with FreeListing. NULL when empty.
char *ReadListing(const char *section);
void FreeListing(char *listing);
// Splits a listing line "key=value" in place: returns the value, NULL when
// the line has no "=".
const char *SplitListingLine(char *line);
// The value of a key as the loader's read would give it, whole up to size - 1;
// NULL when the key is missing.
const char *ReadValue(const char *section, const char *key, char *out, int size);
// Sections and keys: unread, near-miss, repeated, cut and empty texts.
void CheckNames(void);
// The disk sections, their entries and the files they name.
void CheckFiles(void);

// --- the report on the console ---
// One line of output; control characters show as '?'.
void WriteLine(const char *text);
// What the setup will do with the loaded media.
void PrintPlan(void);
// The finding sink of the program: one line per finding.
void PrintFinding(const Finding *finding);
void PrintTotals(void);

#endif
