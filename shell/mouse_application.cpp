// Closes a running mouse application before its files are replaced.
#include "shell/setup.h"

// The title of the running mouse application's main window.
static const char MouseApplicationTitle[] = "Dorvantix";

void CloseMouseApplication(void) {
    HWND window = FindWindowA(NULL, MouseApplicationTitle);
    // Sent, not posted: the copy must not start before it has let go.
    if (window != NULL)
        SendMessageA(window, WM_CLOSE, 0, 0);
}
