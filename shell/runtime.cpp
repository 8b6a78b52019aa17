// Stop-gap until the runtime layer lands.
#include "shell/runtime.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

TextFile *OpenTextFile(const char *path, const char *mode) {
    return (TextFile *)fopen(path, mode);
}
char *ReadTextLine(char *buffer, int size, TextFile *file) {
    return fgets(buffer, size, (FILE *)file);
}
int WriteText(const char *text, TextFile *file) {
    return fputs(text, (FILE *)file) == EOF ? -1 : 0;
}
int TextFileFailed(TextFile *file) {
    return ferror((FILE *)file);
}
int FlushTextFile(TextFile *file) {
    return fflush((FILE *)file) == 0 ? 0 : -1;
}
int CloseTextFile(TextFile *file) {
    return fclose((FILE *)file) == 0 ? 0 : -1;
}
int RemoveFile(const char *path) {
    return remove(path) == 0 ? 0 : -1;
}
int RenameFile(const char *from, const char *to) {
    return rename(from, to) == 0 ? 0 : -1;
}
const char *FindText(const char *text, const char *part) {
    return strstr(text, part);
}
int TextToInt(const char *text) {
    return atoi(text);
}
