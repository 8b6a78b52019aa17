// Draws a bitmap resource onto a device context one pixel at a time, leaving
// out the key colour, either row by row or as a 64-pass ordered dissolve.
#include "backdrop/backdrop.h"
#include "runtime/runtime.h"

const unsigned char DissolveOrder[8][8] = {
    {44, 16, 24, 36, 46, 18, 26, 38}, {48, 0, 8, 56, 50, 2, 10, 58},
    {28, 32, 40, 20, 30, 34, 42, 22}, {12, 60, 52, 4, 14, 62, 54, 6},
    {47, 19, 27, 39, 45, 17, 25, 37}, {51, 3, 11, 59, 49, 1, 9, 57},
    {31, 35, 43, 23, 29, 33, 41, 21}, {15, 63, 55, 7, 13, 61, 53, 5},
};

COLORREF HeldKeyColour(HDC source) {
    COLORREF kept = GetPixel(source, 0, 0);
    if (kept == CLR_INVALID)
        return COLOUR_KEY;
    SetPixel(source, 0, 0, COLOUR_KEY);
    COLORREF held = GetPixel(source, 0, 0);
    // A colour read back from the source is one it holds exactly.
    SetPixel(source, 0, 0, kept);
    return held == CLR_INVALID ? COLOUR_KEY : held;
}

static void CopyPixel(HDC target, HDC source, COLORREF key, int left, int top, int x, int y) {
    COLORREF colour = GetPixel(source, x, y);
    if (colour != key)
        SetPixel(target, left + x, top + y, colour);
}

void PaintPixelsPlain(HDC target, HDC source, int width, int height, int left, int top) {
    COLORREF key = HeldKeyColour(source);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            CopyPixel(target, source, key, left, top, x, y);
}

// Each pass adds the same pixel of every 8-by-8 cell, so the picture fades
// in as a growing ordered dither; other passes' pixels are not even read.
void PaintPixelsDissolve(HDC target, HDC source, int width, int height, int left, int top,
                         int passCount) {
    COLORREF key = HeldKeyColour(source);
    for (int pass = 0; pass < passCount; pass++)
        for (int y = 0; y < height; y++) {
            const unsigned char *row = DissolveOrder[y & 7];
            for (int x = 0; x < width; x++)
                if (row[x & 7] == pass)
                    CopyPixel(target, source, key, left, top, x, y);
        }
}

void PaintBitmap(HDC dc, short bitmapId, const RECT *at, int dissolve) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA((WORD)bitmapId));
    if (!bitmap) {
        if (memory)
            DeleteDC(memory);
        return;
    }
    if (!memory) {
        DeleteObject(bitmap);
        return;
    }
    HGDIOBJ kept = SelectObject(memory, bitmap);
    BITMAP header;
    ZeroMemory(&header, sizeof header);
    GetObjectA(bitmap, sizeof header, &header);
    if (dissolve)
        PaintPixelsDissolve(dc, memory, header.bmWidth, header.bmHeight, at->left, at->top, 64);
    else
        PaintPixelsPlain(dc, memory, header.bmWidth, header.bmHeight, at->left, at->top);

    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
}
