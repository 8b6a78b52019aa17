// The copy page's display: its status and percentage texts, the sunken box
// where the hidden placeholder lies and the bar inside it, and the page's
// device context while the copy draws into it.
#include "install/progress_panel.h"
#include "script/script.h"
#include "runtime/runtime.h"
#include "resources/resource_ids.h"

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

short CopyPercentage(short index, short count) {
    if (count <= 0)
        return 0;
    // The file in hand counts as done: the first file already shows its share.
    long percent = (100L * index + 100L) / count;
    return (short)percent;
}

void StatusText(char *text, int capacity, const FileEntry *entry) {
    // A cut status line is still worth showing, so the results are not checked.
    CopyText(text, capacity, ResourceText(IDS_COPYING));
    AppendText(text, capacity, entry->SourceName);
    AppendText(text, capacity, "\n\n");
    AppendText(text, capacity, entry->Description);
}

// The two texts of the page change with every file. Their windows are looked
// up once per page: each lookup is a round trip to the window manager, and
// on a media of small files those trips cost as much as the copying.
static HWND ControlsPage;
static HWND StatusControl;
static HWND PercentControl;

static HWND PageControl(HWND page, int controlId) {
    if (page != ControlsPage || !IsWindow(StatusControl) || !IsWindow(PercentControl)) {
        ControlsPage = page;
        StatusControl = GetDlgItem(page, IDC_STATUS);
        PercentControl = GetDlgItem(page, IDC_PERCENT);
    }
    if (controlId == IDC_STATUS)
        return StatusControl;
    if (controlId == IDC_PERCENT)
        return PercentControl;
    return GetDlgItem(page, controlId);
}

static void ShowControlText(HWND page, int controlId, const char *text) {
    HWND control = PageControl(page, controlId);
    SetWindowTextA(control, text);
    UpdateWindow(control);
}

void ShowFileStatus(HWND page, const FileEntry *entry) {
    char status[STATUS_TEXT];
    StatusText(status, sizeof status, entry);
    ShowControlText(page, IDC_STATUS, status);
}

// Percentage the page shows now; -1 before the first of a copy.
static short ShownPercent = -1;

void ResetPanelText(void) {
    ShownPercent = -1;
    ControlsPage = NULL;
}

void ShowStatusLine(HWND page, const char *text) {
    ShowControlText(page, IDC_STATUS, text);
}

void ShowDiskShare(HWND page, HDC dc, const RECT *placeholder, short percent) {
    // Putting the same text again would change nothing on the page but costs
    // two repaints; on a disk of more than 100 files it is the common case.
    if (percent != ShownPercent) {
        char text[STATUS_TEXT];
        wsprintfA(text, "%d%%", percent);
        ShowControlText(page, IDC_PERCENT, text);
        ShownPercent = percent;
    }
    RECT bar;
    ProgressBarRect(placeholder, percent, &bar);
    HBRUSH blue = CreateSolidBrush(0xFF0000);
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
}

HDC CopyPageDC;
static HWND CopyPageDCOwner;

HDC TakeCopyPageDC(HWND page) {
    CopyPageDC = GetDC(page);
    CopyPageDCOwner = page;
    return CopyPageDC;
}

int ReleaseCopyPageDC(void) {
    if (CopyPageDC == NULL)
        return 0;
    int released = ReleaseDC(CopyPageDCOwner, CopyPageDC);
    CopyPageDC = NULL;
    CopyPageDCOwner = NULL;
    return released;
}
