#include "system/system.h"

void UpdateRegistry(int registerProduct) {
    if (registerProduct)
        RegisterProduct();
    RegisterMouseDevice();
}
