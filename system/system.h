// What the setup changes outside its destination folder: the registry step,
// the system.ini patch and the notes the copy makes. The funnel: every such
// change goes through system/, and each is noted in the undo journal of the
// destination (system/journal.h) before it is made, write-once, so that
// UNINSTAL.EXE can put the machine back: values through SetJournalValue,
// created keys through OpenJournalKey, files through NoteFileChange, the
// system.ini patch through NoteSystemChange. A change whose note could not
// be written is not made. The steps behind these calls
// are in system/system_steps.h, for system/ and its tests.
#ifndef SETUP_SYSTEM_SYSTEM_H
#define SETUP_SYSTEM_SYSTEM_H

#include <windows.h>

// The registry step: the product's entries (registerProduct 1) and the mouse
// device for the chosen MouseKind, for the destination InstallConfig names.
void UpdateRegistry(int registerProduct);
// [386Enh] mouse=*vmouse in system.ini (the old file kept as system.bak),
// VMOUSE.VXD set aside as VMOUSE.BAK. 0 when both were done, else -1.
int PatchSystemIni(void);
// Before the copy: the journal of a product installed in another folder
// goes into this one's, so that undoing either, in any order, puts back the
// machine as it was before both.
void InheritJournal(void);
// A file outside the destination that the copy is about to put there: noted
// as created, or the file there saved into the destination first. 1 when
// noted; without the note the file must not be copied.
int NoteFileChange(const char *path);
// After the copy: what the file holds now, so that undo can tell a later
// change of the user's.
void NoteFileWritten(const char *path);
// 1 when path is the destination's SETUP.INF, which holds the record and
// the journal.
int IsRecordFile(const char *path);
// Before replacement takes target's place: when target is the destination's
// SETUP.INF, its record and journal go into replacement (and none of the
// replacement's own). 0 when they could not, and the old file must stay.
int KeepRecordSections(const char *target, const char *replacement);
// A -u run notes into the installed product's journal when there is one.
void UseInstalledJournal(void);

// Opens an existing key with full access; 0 when it is not open.
HKEY OpenSetupKey(HKEY root, const char *path);

// --- WININIT.INI, which removes files at the next start (wininit.cpp) ---
#define MAX_REMOVALS 64
// Paths gathered in a run, for removal at the next start or kept from it.
struct RemovalList {
    int Count;
    char Paths[MAX_REMOVALS][MAX_PATH];
};
// Adds a NUL=<short path> line to the [rename] section of windowsDir's
// WININIT.INI for each path not named there yet. 1 when the file is in place.
int ScheduleRemovals(const char *windowsDir, const RemovalList *later);
// Drops every NUL= line that names one of the kept paths or a file below
// one: what a new setup puts there must not go at the next start. 1 when
// WININIT.INI needed no change or was rewritten.
int CancelRemovals(const char *windowsDir, const RemovalList *kept);

#endif
