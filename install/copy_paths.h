// The copy engine's source and target paths, kept apart from the engine so
// that programs without the copy page can build the same paths.
#ifndef SETUP_INSTALL_COPY_PATHS_H
#define SETUP_INSTALL_COPY_PATHS_H

#include "shell/setup.h"

// The longest source or target path the script format allows: a 79-character
// folder, a 39-character sub-folder and a 14-character name, two
// backslashes and the terminator.
#define COPY_PATH_TEXT (PATH_TEXT + SUBDIR_TEXT + NAME_TEXT + 1)

// root "\" entry->SourceSubDir "\" entry->SourceName. 1 when it fit.
int JoinSourcePath(char *path, int capacity, const char *root, const FileEntry *entry);
// [destination "\"] entry->TargetDir "\" entry->TargetName; the destination
// only for an entry that is not absolute. 1 when it fit.
int JoinTargetPath(char *path, int capacity, const char *destination, const FileEntry *entry);
// 1 when the LZ open can take the source path whole.
int SourcePathOpens(const char *path);

#endif
