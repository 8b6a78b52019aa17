// Drives windows of the test's own user-interface thread from a second
// thread, as a user would: the main thread runs a page or a dialog (with its
// modal loop), the driver thread finds it, reads it and presses its buttons.
#ifndef TESTS_UNIT_SUPPORT_PAGE_DRIVER_H
#define TESTS_UNIT_SUPPORT_PAGE_DRIVER_H

#include <windows.h>
#include <functional>
#include <string>

// Runs work on this thread while driver runs on a new one; returns when
// both are done. The driver gives up waits after a generous bound, and
// windows still open when it is done are closed, so a broken dialog fails
// the test instead of hanging it. The driver must not assert: it records
// what it saw and the test checks that afterwards on its own thread.
void RunDriven(const std::function<void()> &work, const std::function<void()> &driver);

// Polls until the condition holds; false when the bound ran out.
bool WaitFor(const std::function<bool()> &condition);

// A visible top-level window of this process with the class and/or title
// (either may be null); null when none came within the bound.
HWND WaitForWindow(const char *className, const char *title);

// The text of a window or of a dialog control.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// A button click as the dialog manager would report it.
void PressButton(HWND dialog, int id);

// Waits for a message box owned by this process with the caption, returns
// its text and closes it with the given button; empty when none came.
std::string AnswerMessageBox(const char *caption, int button);

// Removes a quit message that a destroyed page left in this thread's queue.
void DropQuitMessage(void);

#endif
