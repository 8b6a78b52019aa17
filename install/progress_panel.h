// The copy page's display, for the copy engine and its tests: the status and
// percentage texts, the sunken box and bar drawn straight onto the page, and
// the page's device context while the copy holds it.
#ifndef SETUP_INSTALL_PROGRESS_PANEL_H
#define SETUP_INSTALL_PROGRESS_PANEL_H

#include <windows.h>

struct FileEntry;

#define STATUS_TEXT 128

// Fill codes 100 to 106 pick a colour of their own; any other code is a
// stock-object id.
#define FIRST_FILL_CODE 100
#define LAST_FILL_CODE 106

// Colour of a fill code of the table; 1 when the code is in it, 0 (and
// colour untouched) when it is to be taken as a stock-object id.
int FillCodeColour(unsigned short fillCode, COLORREF *colour);
// Client area of control controlId in the page's client coordinates.
void ControlRectInParent(HWND page, WORD controlId, RECT *rect);
// Sunken box at the place of control controlId: filled with the brush of
// fillCode, outlined in white, with a gray outline one pixel up and left.
void DrawSunkenBox(HWND page, HDC dc, WORD controlId, unsigned short fillCode);
// Bar of a given percentage inside a panel placeholder.
void ProgressBarRect(const RECT *placeholder, short percent, RECT *bar);

// Percentage of a disk done once file index (from 0) of count is copied.
short CopyPercentage(short index, short count);
// "Copying " name "\n\n" description; cut to fit.
void StatusText(char *text, int capacity, const FileEntry *entry);

// Forgets the texts shown and the controls looked up: a new copy starts.
void ResetPanelText(void);
// The page's view of the file in hand: its status text, then the disk's
// percentage and the bar in the placeholder's rectangle; each shown at once.
void ShowFileStatus(HWND page, const FileEntry *entry);
void ShowDiskShare(HWND page, HDC dc, const RECT *placeholder, short percent);
// Any other text in the status line, shown at once.
void ShowStatusLine(HWND page, const char *text);

// The page's device context while the copy holds it, else null. A cancel
// destroys the page in the middle of the copy: the page then gives the
// context back while it still exists. ReleaseDC's result, 0 when none held.
extern HDC CopyPageDC;
HDC TakeCopyPageDC(HWND page);
int ReleaseCopyPageDC(void);

#endif
