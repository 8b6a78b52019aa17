// The install tables: one zero-filled block holding every file record and,
// after them, the ten program items.
#include "script/script.h"
#include "runtime/runtime.h"

InstallConfigRecord InstallConfig;
FileEntry *InstallRecords;

static HGLOBAL InstallBlock;

int AllocInstallTables(short fileCount) {
    // A loaded script is read once per run; a second call replaces the block
    // rather than leaking the first.
    FreeInstallTables();
    if (fileCount < 0)
        return 0;
    DWORD size = (DWORD)fileCount * sizeof(FileEntry) + MAX_PROGRAM_ITEMS * sizeof(ProgramItem);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block == NULL)
        return 0;
    void *records = GlobalLock(block);
    if (records == NULL) {
        GlobalFree(block);
        return 0;
    }
    InstallBlock = block;
    InstallRecords = (FileEntry *)records;
    return 1;
}

void FreeInstallTables(void) {
    if (InstallBlock == NULL)
        return;
    GlobalUnlock(InstallBlock);
    GlobalFree(InstallBlock);
    InstallBlock = NULL;
    InstallRecords = NULL;
    // The positions pointed into the block; leave none dangling.
    for (int d = 0; d <= MAX_DISKS; d++)
        InstallConfig.DiskTable.DiskFiles[d] = NULL;
    for (int i = 0; i < MAX_PROGRAM_ITEMS; i++)
        InstallConfig.ProgramItems[i] = NULL;
}
