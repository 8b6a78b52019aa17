// The wizard pages: the host that runs one page at a time over the backdrop,
// the welcome, mouse-type, destination and finish pages, and the helpers
// every page procedure (the copy page's too) uses: the caption and centring
// on WM_CREATE, the product name in a template text, and closing. The
// arithmetic is kept in pure functions for the tests.
#ifndef SETUP_PAGES_PAGE_HOST_H
#define SETUP_PAGES_PAGE_HOST_H

#include <windows.h>

// --- the host (page_host.cpp) ---

// Result of the running page: 0 cancel, 1 next or completed, 2 back.
extern short PageResult;
// The window class of a page: its procedure, the dialog's extra bytes, the
// menu colour behind it. Registering it again keeps the first.
void RegisterPageClass(const char *className, WNDPROC pageProc);
// Registers the page's class, creates the page from its template over the
// backdrop, sends it WM_PAGE_INIT and serves it until it is gone.
short RunPage(const char *className, WNDPROC pageProc, short templateId);
// "<product> installation is not completed !", owned by owner.
void ShowCancelNotice(HWND owner);

// --- the pages' procedures ---
LRESULT CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MouseTypePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FinishPageProc(HWND, UINT, WPARAM, LPARAM);

// --- what every page does (page_frame.cpp) ---

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

// What a page procedure leaves to the system. The pages are dialogs of their
// own classes: IsDialogMessageA moves the focus for Tab with WM_NEXTDLGCTL,
// which only the dialog procedure serves; everything else goes to
// DefWindowProcA.
LRESULT PageDefaultProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// A wizard button ends the page: PageResult becomes result (1 Next, 0
// Cancel, 2 Back), Cancel shows the cancel notice first, then the page closes.
void EndPage(HWND page, short result);

#endif
