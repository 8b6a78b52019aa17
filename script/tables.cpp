#include "shell/setup.h"

InstallConfigRecord InstallConfig;

int AllocInstallTables(short fileCount)
{
    (void)fileCount;
    return 0;
}

void FreeInstallTables(void)
{
}
