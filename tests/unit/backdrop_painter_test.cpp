// The bitmap painter on real device contexts: key colour, dissolve order,
// the loaded resources, clipping.
#include <gtest/gtest.h>

#include <string.h>

#include "backdrop/backdrop.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

namespace {

const COLORREF Background = RGB(0, 0, 200);

// A 24-bit memory surface, so every colour reads back exactly.
struct Surface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ kept;
    int width;
    int height;
};

Surface MakeSurface(int width, int height, COLORREF fill) {
    Surface s;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    s.dc = CreateCompatibleDC(NULL);
    s.bitmap = CreateDIBSection(s.dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    s.kept = SelectObject(s.dc, s.bitmap);
    s.width = width;
    s.height = height;
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(s.dc, &all, brush);
    DeleteObject(brush);
    return s;
}

void FreeSurface(Surface &s) {
    SelectObject(s.dc, s.kept);
    DeleteObject(s.bitmap);
    DeleteDC(s.dc);
}

// Colours with key pixels on a diagonal pattern.
COLORREF PatternColour(int x, int y) {
    if ((x + 2 * y) % 5 == 0)
        return COLOUR_KEY;
    return RGB(x * 7 % 256, y * 11 % 256, (x + y) % 256);
}

Surface MakePattern(int width, int height) {
    Surface s = MakeSurface(width, height, RGB(0, 0, 0));
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            SetPixel(s.dc, x, y, PatternColour(x, y));
    return s;
}

int CountChanged(Surface &target, COLORREF fill) {
    int changed = 0;
    for (int y = 0; y < target.height; y++)
        for (int x = 0; x < target.width; x++)
            if (GetPixel(target.dc, x, y) != fill)
                changed++;
    return changed;
}

TEST(DissolveOrder, EveryPassOnceAndTheKnownCells) {
    int seen[64];
    memset(seen, 0, sizeof seen);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            ASSERT_LT(DissolveOrder[y][x], 64);
            seen[DissolveOrder[y][x]]++;
        }
    for (int pass = 0; pass < 64; pass++)
        EXPECT_EQ(1, seen[pass]) << "pass " << pass;
    // [y][x]
    EXPECT_EQ(0, DissolveOrder[1][1]);
    EXPECT_EQ(1, DissolveOrder[5][5]);
    EXPECT_EQ(2, DissolveOrder[1][5]);
    EXPECT_EQ(3, DissolveOrder[5][1]);
    EXPECT_EQ(4, DissolveOrder[3][3]);
    EXPECT_EQ(5, DissolveOrder[7][7]);
    EXPECT_EQ(63, DissolveOrder[7][1]);
    EXPECT_EQ(44, DissolveOrder[0][0]);
}

TEST(PaintPixels, EachPassAddsItsCellPixel) {
    const int left = 3, top = 5;
    Surface source = MakeSurface(20, 17, RGB(10, 20, 30));
    const int passCounts[] = {1, 2, 7, 63};
    for (int passes : passCounts) {
        Surface target = MakeSurface(30, 30, Background);
        PaintPixelsDissolve(target.dc, source.dc, 20, 17, left, top, passes);
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 30; x++) {
                int bx = x - left, by = y - top;
                bool inside = bx >= 0 && bx < 20 && by >= 0 && by < 17;
                bool drawn = inside && DissolveOrder[by % 8][bx % 8] < passes;
                ASSERT_EQ(drawn ? RGB(10, 20, 30) : Background, GetPixel(target.dc, x, y))
                    << passes << " passes, pixel " << x << "," << y;
            }
        FreeSurface(target);
    }
    FreeSurface(source);
}

TEST(PaintPixels, DissolveEndsAsPlainAndKeyPixelsShowThrough) {
    const int w = 37, h = 21, left = 4, top = 2;
    Surface source = MakePattern(w, h);
    Surface plain = MakeSurface(45, 25, Background);
    Surface dissolved = MakeSurface(45, 25, Background);
    PaintPixelsPlain(plain.dc, source.dc, w, h, left, top);
    PaintPixelsDissolve(dissolved.dc, source.dc, w, h, left, top, 64);
    int keyPixels = 0;
    for (int y = 0; y < 25; y++)
        for (int x = 0; x < 45; x++) {
            int bx = x - left, by = y - top;
            COLORREF expected = Background;
            if (bx >= 0 && bx < w && by >= 0 && by < h) {
                if (PatternColour(bx, by) == COLOUR_KEY)
                    keyPixels++;
                else
                    expected = PatternColour(bx, by);
            }
            ASSERT_EQ(expected, GetPixel(plain.dc, x, y)) << x << "," << y;
            ASSERT_EQ(expected, GetPixel(dissolved.dc, x, y)) << x << "," << y;
        }
    EXPECT_GT(keyPixels, 100);
    FreeSurface(source);
    FreeSurface(plain);
    FreeSurface(dissolved);
}

TEST(PaintPixels, KeyOnlyPictureDrawsNothing) {
    Surface source = MakeSurface(16, 16, COLOUR_KEY);
    Surface target = MakeSurface(20, 20, Background);
    PaintPixelsPlain(target.dc, source.dc, 16, 16, 1, 1);
    PaintPixelsDissolve(target.dc, source.dc, 16, 16, 2, 2, 64);
    EXPECT_EQ(0, CountChanged(target, Background));
    FreeSurface(source);
    FreeSurface(target);
}

TEST(PaintBitmap, UnknownIdDrawsNothing) {
    Surface target = MakeSurface(64, 64, Background);
    RECT at = {0, 0, 64, 64};
    PaintBitmap(target.dc, 9999, &at, 0);
    PaintBitmap(target.dc, 9999, &at, 1);
    PaintBitmap(target.dc, -1, &at, 1);
    EXPECT_EQ(0, CountChanged(target, Background));
    FreeSurface(target);
}

// Compares the target with the resource as the platform loads it: drawn at
// (left, top) with its own size, key pixels left at the background.
void ExpectPicture(short id, int width, int height, int dissolve) {
    HBITMAP reference = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
    ASSERT_TRUE(reference != NULL) << "bitmap " << id;
    BITMAP header;
    GetObjectA(reference, sizeof header, &header);
    EXPECT_EQ(width, header.bmWidth);
    EXPECT_EQ(height, header.bmHeight);
    HDC refDc = CreateCompatibleDC(NULL);
    HGDIOBJ kept = SelectObject(refDc, reference);

    const int left = 20, top = 10;
    Surface target = MakeSurface(left + width + 5, top + height + 5, Background);
    // Only the corner counts; right and bottom are the backdrop's test rectangle.
    RECT at = {left, top, left + 300, top + 40};
    PaintBitmap(target.dc, id, &at, dissolve);
    int drawn = 0, keyed = 0;
    for (int y = 0; y < target.height; y++)
        for (int x = 0; x < target.width; x++) {
            int bx = x - left, by = y - top;
            COLORREF expected = Background;
            if (bx >= 0 && bx < width && by >= 0 && by < height) {
                COLORREF colour = GetPixel(refDc, bx, by);
                if (colour == COLOUR_KEY) {
                    keyed++;
                } else {
                    expected = colour;
                    drawn++;
                }
            }
            ASSERT_EQ(expected, GetPixel(target.dc, x, y))
                << "bitmap " << id << " " << x << "," << y;
        }
    EXPECT_GT(drawn, 0) << "bitmap " << id;
    EXPECT_GT(keyed, 0) << "bitmap " << id << " has no key-coloured background";

    SelectObject(refDc, kept);
    DeleteDC(refDc);
    DeleteObject(reference);
    FreeSurface(target);
}

TEST(PaintBitmap, BackdropPicturesFromTheResources) {
    AppInstance = GetModuleHandleA(NULL);
    ExpectPicture(IDB_BACKDROP_BANNER, 400, 50, 0);
    ExpectPicture(IDB_BACKDROP_MOUSE, 144, 43, 1);
    ExpectPicture(IDB_BACKDROP_SLOGAN, 490, 43, 1);
}

TEST(PaintBitmap, ClippedTargetKeepsPixelsOutsideTheClip) {
    const int w = 24, h = 24;
    Surface source = MakeSurface(w, h, RGB(1, 2, 3));
    Surface target = MakeSurface(w, h, Background);
    IntersectClipRect(target.dc, 8, 8, 16, 16);
    PaintPixelsDissolve(target.dc, source.dc, w, h, 0, 0, 64);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool inside = x >= 8 && x < 16 && y >= 8 && y < 16;
            ASSERT_EQ(inside ? RGB(1, 2, 3) : Background, GetPixel(target.dc, x, y))
                << x << "," << y;
        }
    FreeSurface(source);
    FreeSurface(target);
}

} // namespace
