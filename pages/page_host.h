// The page host's helpers for the page procedures: the caption and centring
// every page does on WM_CREATE, the product name in a template text, and
// closing. The arithmetic is kept in pure functions for the tests.
#ifndef SETUP_PAGES_PAGE_HOST_H
#define SETUP_PAGES_PAGE_HOST_H

#include <windows.h>

// Title and text buffers of the pages, terminator included.
#define PAGE_TEXT 128

struct PagePlacement {
    short x;
    short y;
    short width;
    short height;
};

// productName, a blank, then the template caption; 1 when it all fit.
int BuildPageCaption(char *out, int capacity, const char *productName, const char *templateCaption);

// Where a page with the given window rectangle goes on a screen of the
// given size: one pixel wider and taller than the rectangle, centred, in
// 16-bit arithmetic.
void CentrePage(const RECT *window, short screenWidth, short screenHeight, PagePlacement *out);

// The template text used as a format with the product name: each "%s" takes
// the name and "%%" gives "%"; anything else is copied. 1 when it all fit.
int FormatProductText(char *out, int capacity, const char *format, const char *productName);

// WM_CREATE of every page: caption, then centring on the given screen size;
// the page becomes visible.
void ShowPageFrame(HWND page, short screenWidth, short screenHeight);

// WM_PAGE_INIT: the product name into the "%s" of a control's text.
void PutProductName(HWND page, int controlId);

// A page closes itself: the default window procedure destroys it and its
// WM_DESTROY posts the quit message that ends RunPage's loop.
void ClosePageWindow(HWND page);

// A wizard button ends the page: PageResult becomes result (1 Next, 0
// Cancel, 2 Back), Cancel shows the cancel notice first, then the page closes.
void EndPage(HWND page, short result);

#endif
