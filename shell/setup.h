// The setup program's process-wide values and the shell's shared utilities:
// what every folder of the setup may read and call of the shell. The order of
// the pages is in shell/page_sequence.h, for the entry and its tests.
#ifndef SETUP_SHELL_SETUP_H
#define SETUP_SHELL_SETUP_H

#include <windows.h>

// Sent by the page host to every new page before its message loop starts.
#define WM_PAGE_INIT (WM_USER + 100)

// --- process-wide values (globals.cpp) ---
extern short ScreenWidth; // cached at the start
extern short ScreenHeight;
extern int MouseKind;        // 1 serial, 0 PS/2
extern int RestartChoice;    // 1 restart now, 0 later
extern int MouseBackEnabled; // 0 in the re-registration run
// The full-screen window the pages are shown over; null without one.
extern HWND BackdropWindow;

// --- shared utilities (utilities.cpp) ---
// A busy wait of the duration that drops every message queued meanwhile.
void WaitMilliseconds(DWORD duration);
// Serves one queued message of the window, if any; 0 when that message is
// a click on control 1 (Cancel of the copy page), which is then taken.
int ServiceOneMessage(HWND window);

// Asks a running mouse application to close, so its files can be replaced.
void CloseMouseApplication(void);

#endif
