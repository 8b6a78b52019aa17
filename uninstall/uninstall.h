// UNINSTAL.EXE: puts back what the setup noted in the undo journal of the
// SETUP.INF beside it and removes the product's files. Every step counts what
// it has to do (apply 0) or does it (apply 1); a failed step leaves the
// others to run and the journal in place for another run. What an earlier,
// stopped run left half done is put right first, so that running it again
// always finishes the job.
#ifndef SETUP_UNINSTALL_UNINSTALL_H
#define SETUP_UNINSTALL_UNINSTALL_H

#include "system/system.h"

// The copy of the uninstaller that does the work from the temporary folder,
// so that the product's folder can go whole.
#define RUNNER_FILE "~UNINST.EXE"

struct UndoTally {
    int Values; // registry values put back or removed
    int Keys;   // registry keys removed
    int Files;  // files removed or put back, now or at the next start
    int System; // system.ini, system.bak, VMOUSE.VXD
    int Failed; // changes that could not be made
};

// Registry values and created keys, all but those of the uninstall entry.
void UndoRegistry(const char *journal, int apply, UndoTally *tally);
// The uninstall entry's values and key, which go last.
void UndoUninstallEntry(const char *journal, int apply, UndoTally *tally);
// system.ini (back byte for byte when it still holds what the setup wrote,
// its pieces otherwise), system.bak, VMOUSE.VXD.
void UndoSystemFiles(const char *journal, const char *windowsDir, const char *systemDir, int apply,
                     UndoTally *tally);
// Puts every noted piece back: piece k at its place when that still holds
// the replacement line, else at the first replacement line of a [386Enh]
// section that no other piece took. 1 done (or due), 0 nothing to do, -1
// failed.
int RestoreIniPieces(const char *iniPath, const char *notes, int apply);
// The files outside the destination that the journal names: the ones the
// setup made are removed, the ones it replaced put back from their saved
// copies; a file the user changed since stays.
void UndoNotedFiles(const char *journal, int apply, UndoTally *tally, RemovalList *later);
// The script's files in folder and its sub-folders, the saved copies, then
// those folders when empty; self and the journal are left for the end.
void RemoveProductFiles(const char *journal, const char *folder, const char *self, int apply,
                        UndoTally *tally, RemovalList *later);
// Deletes path, or names it for removal at the next start. 1 when either.
int RemoveNowOrLater(const char *path, RemovalList *later);

#endif
