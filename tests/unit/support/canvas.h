// Memory bitmaps to draw on and read back: 24 bits per pixel, so that every
// colour reads back exactly. They live as long as the test program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

inline HDC Canvas(int width, int height, COLORREF fill) {
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0},
                       {}};
    void *bits;
    HDC dc = CreateCompatibleDC(NULL);
    SelectObject(dc, CreateDIBSection(dc, &info, 0, &bits, NULL, 0));
    SelectObject(dc, CreateSolidBrush(fill));
    PatBlt(dc, 0, 0, width, height, PATCOPY);
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
    return dc;
}

// The pixels of the area that are not the colour expected there.
inline std::string Differs(HDC dc, RECT area, const std::function<COLORREF(int, int)> &expected) {
    std::string wrong;
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            if (GetPixel(dc, x, y) != expected(x, y))
                wrong += std::to_string(x) + "," + std::to_string(y) + " ";
    return wrong;
}
