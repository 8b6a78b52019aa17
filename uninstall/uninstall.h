// UNINSTAL.EXE: puts back what the setup noted in the undo journal of the
// SETUP.INF beside it and removes the product's files. Every step counts what
// it has to do (apply 0) or does it (apply 1); a failed step leaves the
// others to run and the journal in place for another run.
#ifndef SETUP_UNINSTALL_UNINSTALL_H
#define SETUP_UNINSTALL_UNINSTALL_H

#include "runtime/runtime.h"

// Files that can be named for removal at the next start in one run.
#define MAX_REMOVALS 64

struct UndoTally {
    int Values; // registry values put back or removed
    int Keys;   // registry keys removed
    int Files;  // files removed, now or at the next start
    int System; // system.ini piece, system.bak, VMOUSE.VXD
    int Failed; // changes that could not be made
};

// Paths the next start of Windows removes (WININIT.INI), gathered in a run.
struct RemovalList {
    int Count;
    char Paths[MAX_REMOVALS][MAX_PATH];
};

// Registry values and created keys.
void UndoRegistry(const char *journal, int apply, UndoTally *tally);
// The system.ini piece (through a new file put in place), system.bak when
// the setup made it, VMOUSE.BAK back to VMOUSE.VXD.
void UndoSystemFiles(const char *journal, const char *windowsDir, const char *systemDir, int apply,
                     UndoTally *tally);
// Puts piece back at place: the piece number (from 0) that holds the
// replacement line, or failing that the first replacement line after a
// [386Enh] line. 1 done (or due), 0 nothing to do, -1 failed.
int RestoreIniPiece(const char *iniPath, const char *piece, int place, int apply);
// The script's files in folder and its sub-folders, then those folders when
// empty, and the files outside it that the journal says the setup created.
// self (the running program) and the journal itself are left for the end.
void UndoInstalledFiles(const char *journal, const char *folder, const char *self, int apply,
                        UndoTally *tally, RemovalList *later);
// Deletes path, or names it for removal at the next start. 1 when either.
int RemoveNowOrLater(const char *path, RemovalList *later);
// Adds a NUL=<short path> line to the [rename] section of windowsDir's
// WININIT.INI for each path not named there yet. 1 when the file is in place.
int ScheduleRemovals(const char *windowsDir, const RemovalList *later);
// Ends rewriting target into fresh: closes both files (in may be NULL) and,
// when ok and nothing failed, puts fresh in target's place through the safe
// replacement (or under its name when there is no target). 1 when it took
// the place; fresh is gone otherwise.
int FinishRewrite(TextFile *in, TextFile *out, int ok, const char *target, const char *fresh);

#endif
