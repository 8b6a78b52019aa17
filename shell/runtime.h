// Stop-gap until the runtime layer lands: the agreed names over the C library.
#ifndef SETUP_SHELL_RUNTIME_H
#define SETUP_SHELL_RUNTIME_H

struct TextFile;
TextFile *OpenTextFile(const char *path, const char *mode);
char *ReadTextLine(char *buffer, int size, TextFile *file);
int WriteText(const char *text, TextFile *file);
int TextFileFailed(TextFile *file);
int FlushTextFile(TextFile *file);
int CloseTextFile(TextFile *file);
int RemoveFile(const char *path);
int RenameFile(const char *from, const char *to);
const char *FindText(const char *text, const char *part);
int TextToInt(const char *text);

#endif
