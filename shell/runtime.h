// The few C library operations the programs need, over KERNEL32 alone: a
// bare Windows 95 has no C runtime DLL, and a setup program cannot bring one.
// Results follow the C library's (0 / -1, NULL on failure).
#ifndef SETUP_SHELL_RUNTIME_H
#define SETUP_SHELL_RUNTIME_H

// A file opened in text mode: CR LF reads as LF, LF writes as CR LF, Ctrl-Z
// ends a read.
struct TextFile;

// "rt" reads an existing file, "wt" creates or empties one; NULL on failure.
TextFile *OpenTextFile(const char *path, const char *mode);
// At most size - 1 characters, up to and including a line feed, terminated.
// NULL at the end of the file, on an error, or when size leaves no room.
char *ReadTextLine(char *buffer, int size, TextFile *file);
// >= 0 when the text went into the file's buffer or out, -1 on failure.
int WriteText(const char *text, TextFile *file);
// Nonzero once a read or write has failed.
int TextFileFailed(TextFile *file);
// Writes out what is buffered: 0, or -1 on failure.
int FlushTextFile(TextFile *file);
// Flushes and closes; 0, or -1 when anything of that failed.
int CloseTextFile(TextFile *file);

// 0, or -1 on failure.
int RemoveFile(const char *path);
// 0, or -1 on failure, also when a file of the new name exists.
int RenameFile(const char *from, const char *to);

// First occurrence of part in text, or NULL; an empty part is found at once.
const char *FindText(const char *text, const char *part);
// Leading blanks, a sign and decimal digits; 0 without digits. Values
// beyond an int stop at its limits.
int TextToInt(const char *text);
// Upper case of a-z, any other value unchanged.
int UpperChar(int c);
// The current folder into buffer; NULL on failure or when it does not fit.
char *CurrentFolder(char *buffer, int size);

// What WinMain gets of a command line: the text after the program's name
// (quoted names may hold blanks) and the blanks after it.
const char *CommandArguments(const char *commandLine);

#endif
