// What only the unit tests need to drive their windows: the main thread runs
// a page or a dialog (with its modal loop), a driver thread works it through
// the shared driver (driver/driver.h) as a user would.
#pragma once

#include "driver/driver.h"

// Runs work on this thread while driver runs on a new one; returns when
// both are done. Windows still open when the driver is done are closed, so a
// broken dialog fails the test instead of hanging it. The driver must not
// assert: it records what it saw and the test checks that afterwards.
void RunDriven(const std::function<void()> &work, const std::function<void()> &driver);

// Removes a quit message that a destroyed page left in this thread's queue.
void DropQuitMessage(void);

// Where the keyboard's messages go: the focused window of the window's
// thread, or the window itself while nothing there has the focus.
HWND Focus(HWND window);

// A key pressed and let go, queued for the focused window as the keyboard
// queues it, so the thread's own loop must hand it to the dialog manager.
// With alt, the system keys, whose character that loop's TranslateMessage
// makes. Posted, not injected: it reaches the thread whether or not it is in
// the foreground.
void PressKey(HWND window, UINT key, bool alt = false);

// Characters typed into the focused window.
void TypeText(HWND window, const std::string &text);
