#include "shell/setup.h"

void UpdateRegistry(int registerProduct) { (void)registerProduct; }
