// Drawing of the copy page's progress panel, straight onto the page.
#ifndef SETUP_INSTALL_PROGRESS_PANEL_H
#define SETUP_INSTALL_PROGRESS_PANEL_H

#include <windows.h>

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

#endif
