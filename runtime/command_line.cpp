// The argument part of the command line, as WinMain is given it.
#include "runtime/runtime.h"

const char *CommandArguments(const char *commandLine) {
    if (commandLine == NULL)
        return "";
    // Unsigned, so that letters beyond ASCII count as part of the name.
    const unsigned char *p = (const unsigned char *)commandLine;
    int quoted = 0;
    for (; *p > ' ' || (*p != '\0' && quoted); p++)
        if (*p == '"')
            quoted = !quoted;
    while (*p != '\0' && *p <= ' ')
        p++;
    return (const char *)p;
}
