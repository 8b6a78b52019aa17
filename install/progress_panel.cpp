// The progress panel: a sunken box where the hidden placeholder lies, and
// the bar inside it. Nothing here keeps state between calls.
#include "install/progress_panel.h"

static const COLORREF FillTable[LAST_FILL_CODE - FIRST_FILL_CODE + 1] = {
    0x00FF00, 0x00FFFF, 0x0000FF, 0x008000, 0x008080, 0x000080, 0x808000,
};

int FillCodeColour(unsigned short fillCode, COLORREF *colour) {
    if (fillCode < FIRST_FILL_CODE || fillCode > LAST_FILL_CODE)
        return 0;
    *colour = FillTable[fillCode - FIRST_FILL_CODE];
    return 1;
}

void ControlRectInParent(HWND page, WORD controlId, RECT *rect) {
    HWND control = GetDlgItem(page, controlId);
    RECT pageClient;
    GetClientRect(page, &pageClient);
    POINT pageOrigin = {pageClient.left, pageClient.top};
    ClientToScreen(page, &pageOrigin);
    GetClientRect(control, rect);
    POINT controlOrigin = {0, 0};
    ClientToScreen(control, &controlOrigin);
    OffsetRect(rect, controlOrigin.x - pageOrigin.x, controlOrigin.y - pageOrigin.y);
}

void DrawSunkenBox(HWND page, HDC dc, WORD controlId, unsigned short fillCode) {
    RECT box;
    ControlRectInParent(page, controlId, &box);
    HGDIOBJ whitePen = GetStockObject(WHITE_PEN);
    HPEN grayPen = CreatePen(PS_SOLID, 1, 0x808080);
    COLORREF colour;
    HGDIOBJ brush;
    if (FillCodeColour(fillCode, &colour))
        brush = CreateSolidBrush(colour);
    else
        brush = GetStockObject(fillCode);

    // Kept from the device context itself: a stock id that names no object
    // selects nothing, and its result would put a wrong brush back.
    HGDIOBJ keptBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ keptPen = GetCurrentObject(dc, OBJ_PEN);
    SelectObject(dc, brush);
    SelectObject(dc, whitePen);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);

    OffsetRect(&box, -1, -1);
    SelectObject(dc, grayPen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);

    SelectObject(dc, keptPen);
    SelectObject(dc, keptBrush);
    DeleteObject(grayPen);
    // No effect on a stock brush.
    if (brush != NULL)
        DeleteObject(brush);
}

void ProgressBarRect(const RECT *placeholder, short percent, RECT *bar) {
    *bar = *placeholder;
    InflateRect(bar, -2, -2);
    OffsetRect(bar, -1, -1);
    long width = bar->right - bar->left + 1;
    bar->right = bar->left + (width * percent) / 100;
}
