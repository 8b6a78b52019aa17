// The registry step: the product's entries, then the mouse device.
#include "system/system_steps.h"

void UpdateRegistry(int registerProduct) {
    if (registerProduct)
        RegisterProduct();
    else
        UseInstalledJournal();
    RegisterMouseDevice();
}
