// The findings: their tags and counting, and reading the script's values as
// they are written, for every check.
#include "mediachk/media_check.h"
#include "runtime/runtime.h"

#include <stdarg.h>

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

void Report(MediaCheck *check, FindingKind kind, const char *section, const char *key,
            const char *value, const char *effect, ...) {
    // Every argument is a bounded text of the script or a path of at most
    // COPY_PATH_TEXT, so the 1024 bytes wvsprintfA may write are enough.
    char text[1024];
    va_list arguments;
    va_start(arguments, effect);
    wvsprintfA(text, effect, arguments);
    va_end(arguments);
    if (FindingIsError(kind))
        check->Errors++;
    else
        check->Warnings++;
    Finding finding = {kind, section, key, value, text};
    if (check->Sink != NULL)
        check->Sink(&finding);
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

const char *ReadValue(const MediaCheck *check, const char *section, const char *key, char *out,
                      int size) {
    // A missing key reads as the default; no script value is a lone 0x01.
    GetPrivateProfileStringA(section, key, "\1", out, (DWORD)size, check->Script);
    return out[0] == '\1' && out[1] == '\0' ? NULL : out;
}
