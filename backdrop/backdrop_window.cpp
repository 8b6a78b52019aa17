// The full-screen backdrop behind the pages: a blue gradient of 255 bands and
// three pictures, dissolved in on the first paint.
#include "backdrop/backdrop.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

int DissolvePending = 1;

static const char BackdropClass[] = "SetupMain";

// 8421505 / 2^31, a hair above 1/255, so that the 255th band reaches the
// bottom row for every screen height.
static float GradientConstant(void) {
    union {
        unsigned long bits;
        float value;
    } constant;
    constant.bits = 0x3B808081UL;
    return constant.value;
}

float BandStep(short screenHeight) {
    // The product is exact in double; the volatile store forces the one
    // rounding to single precision even on the x87.
    volatile float step = (float)((double)screenHeight * (double)GradientConstant());
    return step;
}

void BandEdges(float step, short band, short *top, short *bottom) {
    *top = (short)(int)((double)band * (double)step);
    *bottom = (short)(int)((double)(band + 1) * (double)step);
}

COLORREF BandColour(short band) {
    return (COLORREF)(255 - band) << 16;
}

int BackdropPicture(short index, short screenWidth, short screenHeight, int oem, short *bitmapId,
                    RECT *test) {
    switch (index) {
    case 0:
        *bitmapId = IDB_BACKDROP_BANNER;
        SetRect(test, 20, 10, 320, 60);
        return 1;
    case 1:
        *bitmapId = IDB_BACKDROP_MOUSE;
        SetRect(test, screenWidth - 170, 10, screenWidth, 50);
        return 1;
    case 2:
        if (oem != 0)
            return 0;
        *bitmapId = IDB_BACKDROP_SLOGAN;
        SetRect(test, 20, screenHeight - 60, 600, screenHeight - 10);
        return 1;
    }
    return 0;
}

void PaintGradient(HDC dc, short width, short height) {
    float step = BandStep(height);
    for (short band = 0; band < BACKDROP_BANDS; band++) {
        short top, bottom;
        BandEdges(step, band, &top, &bottom);
        RECT strip;
        SetRect(&strip, 0, top, width, bottom);
        HBRUSH brush = CreateSolidBrush(BandColour(band));
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
}

void PaintPictures(HDC dc, const RECT *area, short width, short height, int oem, int dissolve) {
    for (short index = 0; index < BACKDROP_PICTURES; index++) {
        short bitmapId;
        RECT test, common;
        if (!BackdropPicture(index, width, height, oem, &bitmapId, &test))
            continue;
        if (IntersectRect(&common, &test, area))
            PaintBitmap(dc, bitmapId, &test, dissolve);
    }
}

static void PaintBackdrop(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // The full height every time: the window has no background brush.
    PaintGradient(dc, ScreenWidth, ScreenHeight);
    PaintPictures(dc, &paint.rcPaint, ScreenWidth, ScreenHeight, InstallConfig.OEM,
                  DissolvePending);
    DissolvePending = 0;
    EndPaint(window, &paint);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(message)) {
    case WM_CREATE:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, ScreenWidth, ScreenHeight, SWP_SHOWWINDOW);
        return 0;
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_DESTROY:
    case WM_PAGE_INIT:
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int CreateBackdrop(void) {
    WNDCLASSA backdropClass;
    ZeroMemory(&backdropClass, sizeof backdropClass);
    backdropClass.style = CS_HREDRAW | CS_VREDRAW;
    backdropClass.lpfnWndProc = BackdropProc;
    backdropClass.hInstance = AppInstance;
    backdropClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    backdropClass.lpszClassName = BackdropClass;
    RegisterClassA(&backdropClass);

    BackdropWindow =
        CreateWindowExA(0, BackdropClass, "Setup", WS_POPUP | WS_VISIBLE | WS_BORDER, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, AppInstance, NULL);
    if (!BackdropWindow)
        return 0;

    // The first paint, with its dissolve, is served here, before any page.
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}
