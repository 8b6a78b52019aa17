// The message-queue helpers shared by the pages and the copy engine.
#include "shell/setup.h"

void WaitMilliseconds(DWORD duration) {
    DWORD start = GetTickCount();
    DWORD end = start + duration;
    // A zero wait, or one whose end would pass the tick count's wrap, is no wait.
    if (end <= start)
        return;
    MSG message;
    // Busy on purpose: whatever the user does during the pause is dropped.
    while (GetTickCount() < end)
        PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);
}

int ServiceOneMessage(HWND window) {
    MSG message;
    if (!PeekMessageA(&message, window, 0, 0, PM_REMOVE))
        return 1;
    // Control 1 on the copy page is its Cancel button.
    if (message.message == WM_COMMAND && message.wParam == 1)
        return 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return 1;
}
