#include "shell/setup.h"

int PatchSystemIni(void) { return -1; }
