// Times the backdrop: CreateBackdrop (its first paint dissolves all three
// pictures before it returns), then a second, plain paint of the whole
// window, then the parts of a paint on their own. Prints figures only.
#include <stdio.h>

#include "backdrop/backdrop.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

static double Now(void) {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static void PaintWhole(void) {
    InvalidateRect(BackdropWindow, NULL, FALSE);
    UpdateWindow(BackdropWindow);
    GdiFlush();
}

int main(void) {
    AppInstance = GetModuleHandleA(NULL);
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    InstallConfig.OEM = 0;

    long gradientPixels = (long)ScreenWidth * ScreenHeight;
    long picturePixels = 0;
    for (short i = 0; i < BACKDROP_PICTURES; i++) {
        short id;
        RECT test;
        if (!BackdropPicture(i, ScreenWidth, ScreenHeight, InstallConfig.OEM, &id, &test))
            continue;
        HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
        BITMAP header;
        if (bitmap && GetObjectA(bitmap, sizeof header, &header))
            picturePixels += (long)header.bmWidth * header.bmHeight;
        if (bitmap)
            DeleteObject(bitmap);
    }
    printf("screen %dx%d: gradient %ld pixels, pictures %ld pixels\n", ScreenWidth, ScreenHeight,
           gradientPixels, picturePixels);

    double start = Now();
    if (!CreateBackdrop()) {
        printf("CreateBackdrop failed\n");
        return 1;
    }
    GdiFlush();
    double created = Now();
    double firstPaint = created - start;
    printf("CreateBackdrop (first paint, dissolve): %.1f ms\n", firstPaint);

    start = Now();
    PaintWhole();
    printf("second paint (plain):                   %.1f ms\n", Now() - start);

    // The parts of a paint, each on the window's own device context.
    HDC dc = GetDC(BackdropWindow);
    start = Now();
    PaintGradient(dc, ScreenWidth, ScreenHeight);
    GdiFlush();
    double gradient = Now() - start;
    printf("  gradient alone (255 brushes):         %.1f ms\n", gradient);
    double dissolveTook = 0;
    for (int dissolve = 0; dissolve <= 1; dissolve++) {
        start = Now();
        RECT screen = {0, 0, ScreenWidth, ScreenHeight};
        PaintPictures(dc, &screen, ScreenWidth, ScreenHeight, InstallConfig.OEM, dissolve);
        GdiFlush();
        double took = Now() - start;
        if (dissolve)
            dissolveTook = took;
        printf("  pictures alone, %s:              %.1f ms (%.2f us a pixel)\n",
               dissolve ? "dissolve" : "plain   ", took,
               picturePixels ? took * 1000.0 / picturePixels : 0.0);
    }

    printf("  CreateBackdrop less its painting:     %.1f ms (class, window, mapping)\n",
           firstPaint - gradient - dissolveTook);

    // The same pixel loop against memory: what GetPixel and SetPixel cost
    // without the window surface behind them.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP surface = CreateCompatibleBitmap(dc, ScreenWidth, 120);
    HGDIOBJ kept = SelectObject(memory, surface);
    start = Now();
    short id;
    RECT test;
    BackdropPicture(0, ScreenWidth, ScreenHeight, 0, &id, &test);
    PaintBitmap(memory, id, &test, 1);
    printf("  banner dissolve into memory:          %.1f ms\n", Now() - start);
    SelectObject(memory, kept);
    DeleteObject(surface);
    DeleteDC(memory);
    ReleaseDC(BackdropWindow, dc);

    DestroyWindow(BackdropWindow);
    return 0;
}
