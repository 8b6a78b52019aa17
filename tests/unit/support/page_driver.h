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
