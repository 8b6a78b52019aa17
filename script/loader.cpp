#include "shell/setup.h"

int LoadSetupScript(void)
{
    return 0;
}

const char *NextField(const char *text, char *out)
{
    out[0] = '\0';
    return text;
}
