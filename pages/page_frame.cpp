// What every page does to its own frame: the product name in its title, the
// centring on the screen, the product name in its texts.
#include "pages/page_host.h"
#include "script/script.h"
#include "runtime/runtime.h"

int BuildPageCaption(char *out, int capacity, const char *productName,
                     const char *templateCaption) {
    int fit = CopyText(out, capacity, productName);
    fit &= AppendText(out, capacity, " ");
    fit &= AppendText(out, capacity, templateCaption);
    return fit;
}

void CentrePage(const RECT *window, short screenWidth, short screenHeight, PagePlacement *out) {
    // One pixel more than the extent, as the pages have always been placed.
    out->width = (short)(window->right - window->left + 1);
    out->height = (short)(window->bottom - window->top + 1);
    out->x = (short)((screenWidth - out->width) / 2);
    out->y = (short)((screenHeight - out->height) / 2);
}

int FormatProductText(char *out, int capacity, const char *format, const char *productName) {
    int fit = CopyText(out, capacity, "");
    char piece[2] = {0, 0};
    for (const char *c = format; *c; c++) {
        if (c[0] == '%' && c[1] == 's') {
            fit &= AppendText(out, capacity, productName);
            c++;
        } else if (c[0] == '%' && c[1] == '%') {
            fit &= AppendText(out, capacity, "%");
            c++;
        } else {
            piece[0] = *c;
            fit &= AppendText(out, capacity, piece);
        }
    }
    return fit;
}

void ShowPageFrame(HWND page, short screenWidth, short screenHeight) {
    char templateCaption[PAGE_TEXT];
    char caption[PAGE_TEXT];
    GetWindowTextA(page, templateCaption, sizeof templateCaption);
    BuildPageCaption(caption, sizeof caption, InstallConfig.ProductName, templateCaption);
    SetWindowTextA(page, caption);

    RECT window;
    GetWindowRect(page, &window);
    PagePlacement place;
    CentrePage(&window, screenWidth, screenHeight, &place);
    SetWindowPos(page, HWND_TOP, place.x, place.y, place.width, place.height, SWP_SHOWWINDOW);
}

void PutProductName(HWND page, int controlId) {
    char format[PAGE_TEXT];
    char text[PAGE_TEXT];
    GetDlgItemTextA(page, controlId, format, sizeof format);
    FormatProductText(text, sizeof text, format, InstallConfig.ProductName);
    SetDlgItemTextA(page, controlId, text);
}

void ClosePageWindow(HWND page) {
    SendMessageA(page, WM_CLOSE, 0, 0);
}

void EndPage(HWND page, short result) {
    PageResult = result;
    // Owned by the page, which still shows behind it.
    if (result == 0)
        ShowCancelNotice(page);
    ClosePageWindow(page);
}

LRESULT PageDefaultProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NEXTDLGCTL)
        return DefDlgProcA(page, message, wParam, lParam);
    return DefWindowProcA(page, message, wParam, lParam);
}
