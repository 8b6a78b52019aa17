// Whole sections of a profile file, read into a block that grows until the
// section fits.
#include "runtime/runtime.h"

// Where growing stops: beyond it a section is refused rather than cut.
#define LARGEST_SECTION (1024 * 1024)

char *ReadProfileSection(const char *file, const char *section) {
    for (DWORD size = 4096; size <= LARGEST_SECTION; size *= 2) {
        char *lines = (char *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
        if (lines == NULL)
            return NULL;
        DWORD got = section != NULL ? GetPrivateProfileSectionA(section, lines, size, file)
                                    : GetPrivateProfileStringA(NULL, NULL, "", lines, size, file);
        // A block that was filled to its last two bytes may hold a cut section.
        if (got < size - 2)
            return lines;
        GlobalFree(lines);
    }
    return NULL;
}

void FreeProfileSection(char *lines) {
    if (lines != NULL)
        GlobalFree(lines);
}

const char *SectionValue(const char *lines, const char *key) {
    for (const char *line = lines; line[0] != '\0'; line += lstrlenA(line) + 1) {
        int i = 0;
        while (key[i] != '\0' && UpperChar(line[i]) == UpperChar(key[i]))
            i++;
        if (key[i] == '\0' && line[i] == '=')
            return line + i + 1;
    }
    return NULL;
}
