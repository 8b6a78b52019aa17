// The ground floor of every program: the few C library operations they need,
// over KERNEL32 alone (a bare Windows 95 has no C runtime DLL, and a setup
// program cannot bring one), and the text, path and file primitives that the
// folders above share, each of them once. Nothing here knows the product.
// Results follow the C library's where it has the operation (0 / -1, NULL on
// failure), and the program's own rule elsewhere (1 done, 0 not).
#ifndef SETUP_RUNTIME_RUNTIME_H
#define SETUP_RUNTIME_RUNTIME_H

#include <windows.h>

// --- text files (text_files.cpp) ---

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

// --- texts (text.cpp) ---

// Bounded copy and join: 1 when the whole text fit, 0 when it was cut. The
// destination is always terminated.
int CopyText(char *dest, int capacity, const char *src);
int AppendText(char *dest, int capacity, const char *src);
// first followed by second; 1 when both fit whole (out is then usable).
int JoinText(char *out, int capacity, const char *first, const char *second);
// Exact comparison, and one of paths: case and doubled backslashes ignored.
int SameText(const char *a, const char *b);
int SamePath(const char *a, const char *b);
// First occurrence of part in text, or NULL; an empty part is found at once.
const char *FindText(const char *text, const char *part);
// Leading blanks, a sign and decimal digits; 0 without digits. Values
// beyond an int stop at its limits.
int TextToInt(const char *text);
// Upper case of a-z, any other value unchanged.
int UpperChar(int c);

// --- files and folders (files.cpp) ---

// What GetFileAttributesA answers for a name that is not there.
#define NO_ATTRIBUTES 0xFFFFFFFF

// 0, or -1 on failure.
int RemoveFile(const char *path);
// 0, or -1 on failure, also when a file of the new name exists.
int RenameFile(const char *from, const char *to);
// 1 when something (a file or a folder) has that name.
int PathExists(const char *path);
// 1 when the name is a folder.
int IsDirectory(const char *path);
// The folder part of a path: "C:\WINDOWS" of "C:\WINDOWS\system.ini", "C:\"
// of "C:\NAME" (not the current folder of drive C), "." of a bare name. 0
// when it does not fit.
int FolderOf(const char *path, char *folder, int capacity);
// The current folder into buffer; NULL on failure or when it does not fit.
char *CurrentFolder(char *buffer, int size);

// --- profile files (profile.cpp) ---

// A whole section (section NULL: the names of the sections) as the profile
// functions deliver it: key=value strings, an empty one last, in a block
// grown until it fits; an empty block when there is none. NULL when it could
// not be read whole. Released with FreeProfileSection.
char *ReadProfileSection(const char *file, const char *section);
void FreeProfileSection(char *lines);
// The value of key in such a section (case ignored), or NULL.
const char *SectionValue(const char *lines, const char *key);

// --- the safe replacement (replace.cpp) ---

// The fixed names a replacement uses beside target: the spare "~O<name>",
// where the old file waits while the new one takes the name, and the fresh
// "~N<name>", where the new file is written. Fixed, so that a run after a
// stop finds what the stopped one left.
int SpareName(const char *target, char *spare, int capacity);
int FreshName(const char *target, char *fresh, int capacity);
// Puts right what a stopped replacement of target left: the old file back
// under the name when the name is empty, the spare and the fresh file gone.
void RecoverReplacement(const char *target);
// RecoverReplacement, then the fresh name to write the new file under.
int PrepareFresh(const char *target, char *fresh, int capacity);
// Puts fresh in target's place so that the target's name always holds the
// old file or the new one: the old file waits under spare until the new one
// has the name. spare NULL: the fixed spare name, removed at the end; a
// named spare is a backup the caller keeps, and replaces any file of that
// name. The old file's hidden, system and read-only marks go over to the new
// one. Without a target, fresh just takes the name. 1 when target holds the
// new file. Otherwise target holds the old file and fresh is gone; only when
// neither could be put under the name do both stay under their own names.
int ReplaceThroughSpare(const char *target, const char *fresh, const char *spare);
// The swap itself, with spare a name that nothing holds: target to spare,
// fresh to target, and the fallbacks, through a move that tests can refuse.
// The spare is removed at the end unless keepSpare; same outcomes.
typedef BOOL(WINAPI *MoveFileProc)(LPCSTR, LPCSTR);
int SwapThroughSpare(const char *target, const char *fresh, const char *spare, int keepSpare,
                     MoveFileProc move);
// A copy of from takes target's place, the same way.
int CopyThroughSpare(const char *from, const char *target);
// Deletes a file whatever its marks; 1 when it is gone.
int DeleteMarked(const char *path);
// Ends rewriting target into fresh: closes both files (in may be NULL) and,
// when ok and nothing failed, puts fresh in target's place through the safe
// replacement (or under its name when there is no target). 1 when it took
// the place; fresh is gone otherwise.
int FinishRewrite(TextFile *in, TextFile *out, int ok, const char *target, const char *fresh);
// "<size>:<hash>" of a file's bytes, to tell later whether it still holds
// them; "-" (and 0) when it cannot be read.
int FileFingerprint(const char *path, char *out, int capacity);

// --- the program's module and its string table (text_ring.cpp) ---

// Set by each program's WinMain; its string table, templates and pictures.
extern HINSTANCE AppInstance;
// A string-table text in one of four rotating 128-byte buffers: valid until
// four more have been fetched. NULL (the slot emptied) when there is none.
const char *ResourceText(short id);

// --- the entry (command_line.cpp) ---

// What WinMain gets of a command line: the text after the program's name
// (quoted names may hold blanks) and the blanks after it.
const char *CommandArguments(const char *commandLine);

#endif
