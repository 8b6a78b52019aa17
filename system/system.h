// What the setup changes outside its destination folder: the registry step,
// the system.ini patch and the notes the copy makes. The funnel: every such
// change goes through system/, and each is noted in the undo journal of the
// destination (system/journal.h) before it is made, write-once, so that
// UNINSTAL.EXE can put the machine back: values through SetJournalValue,
// created keys through OpenJournalKey, files through NoteCreatedFile, the
// system.ini patch through NoteSystemChange. The steps behind these calls
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
// A file outside the destination that the copy is about to create (noted
// only when it does not exist yet).
void NoteCreatedFile(const char *path);
// Before replacement takes target's place: when target is the destination's
// SETUP.INF, its record and journal go into replacement. 0 when they could
// not, and the old file must stay.
int KeepRecordSections(const char *target, const char *replacement);

// Opens an existing key with full access; 0 when it is not open.
HKEY OpenSetupKey(HKEY root, const char *path);

#endif
