// The backdrop: the gradient's bands and the pictures' places, the painter on
// memory bitmaps, and the window's first paint and partial repaints.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "backdrop/backdrop.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "support/canvas.h"

TEST(Gradient, BandsTileEveryHeightFromBlueToAlmostBlackWithTheKnownEdges) {
    // The first five tops, the last one and the number of empty bands.
    std::map<short, std::string> known = {
        {768, "0 3 6 9 12 764 0"}, {480, "0 1 3 5 7 478 0"}, {200, "0 0 1 2 3 199 55"}};
    for (short height = 1; height <= 4096; height++) {
        short top, bottom = 0, empty = 0;
        std::string edges;
        for (short band = 0; band < BACKDROP_BANDS; band++, empty += top == bottom) {
            short previous = bottom;
            BandEdges(BandStep(height), band, &top, &bottom);
            ASSERT_TRUE(top == previous && top <= bottom) << height << " " << band;
            edges += band < 5 || band == 254 ? std::to_string(top) + " " : "";
        }
        ASSERT_EQ(height, bottom);
        if (known.count(height)) {
            EXPECT_EQ(known[height], edges + std::to_string(empty));
        }
    }
    EXPECT_EQ(std::vector<COLORREF>({RGB(0, 0, 255), RGB(0, 0, 254), RGB(0, 0, 1)}),
              std::vector<COLORREF>({BandColour(0), BandColour(1), BandColour(254)}));
}

TEST(Pictures, TestRectanglesAndTheBottomPictureOnlyWithoutOem) {
    // clang-format off
    const struct { short index, width, height; int oem; const char *placed; } rows[] = {
        {0, 1024, 768, 0, "306 20,10,320,60"}, {1, 1024, 768, 0, "305 854,10,1024,50"},
        {2, 1024, 768, 0, "307 20,708,600,758"}, {1, 640, 480, 1, "305 470,10,640,50"},
        {2, 640, 480, 0, "307 20,420,600,470"}, {2, 640, 480, -7, "none"}, {3, 640, 480, 0, "none"},
    };
    // clang-format on
    for (const auto &row : rows) {
        short id = 0;
        RECT r;
        char text[64] = "none";
        if (BackdropPicture(row.index, row.width, row.height, row.oem, &id, &r))
            wsprintfA(text, "%d %ld,%ld,%ld,%ld", id, r.left, r.top, r.right, r.bottom);
        EXPECT_STREQ(row.placed, text);
    }
}

TEST(Painter, PassesAddTheirCellsKeyNeverDrawnClipHeldPlainLikeDissolveUnknownIdNothing) {
    // The pass that draws each place of the 8 by 8 cell, found by drawing
    // fewer and fewer passes: every pass draws exactly one place.
    const COLORREF back = RGB(0, 0, 200), ink = RGB(255, 255, 255);
    HDC whole = Canvas(8, 8, ink);
    int order[8][8] = {};
    for (int passes = 64; passes >= 1; passes--) {
        HDC target = Canvas(8, 8, back);
        PaintPixelsDissolve(target, whole, 8, 8, 0, 0, passes);
        for (int at = 0; at < 64; at++)
            if (GetPixel(target, at % 8, at / 8) == ink)
                order[at / 8][at % 8] = passes - 1;
    }
    ASSERT_EQ(64u, std::set<int>(&order[0][0], &order[0][0] + 64).size()) << "one place a pass";
    // Pass 0 at (1, 1), 1 at (5, 5), 2 at (5, 1), 63 at (1, 7).
    EXPECT_EQ(std::vector<int>({0, 1, 2, 63}),
              std::vector<int>({order[1][1], order[5][5], order[1][5], order[7][1]}));
    // A picture of 37 by 21, no multiple of the cell, to be drawn at (4, 2);
    // a key pixel on every fifth diagonal.
    const RECT all = {0, 0, 45, 25};
    HDC source = Canvas(37, 21, back), plain = Canvas(45, 25, back), clipped = Canvas(45, 25, back);
    for (int y = 0; y < 21; y++)
        for (int x = 0; x < 37; x++)
            SetPixel(source, x, y, (x + 2 * y) % 5 ? RGB(x * 7, y * 11, 99) : COLOUR_KEY);
    auto after = [&](int passes, RECT clip) {
        return [&, passes, clip](int x, int y) {
            POINT at = {x, y};
            bool due = x >= 4 && y >= 2 && x < 41 && y < 23 && PtInRect(&clip, at) &&
                       order[(y - 2) % 8][(x - 4) % 8] < passes;
            COLORREF colour = due ? GetPixel(source, x - 4, y - 2) : back;
            return colour == COLOUR_KEY ? back : colour;
        };
    };
    for (int passes : {1, 2, 7, 63, 64}) {
        HDC target = Canvas(45, 25, back);
        PaintPixelsDissolve(target, source, 37, 21, 4, 2, passes);
        EXPECT_EQ("", Differs(target, all, after(passes, all))) << passes << " passes";
    }
    PaintPixelsPlain(plain, source, 37, 21, 4, 2);
    for (short id : {9999, -1})
        PaintBitmap(plain, id, &all, id < 0);
    EXPECT_EQ("", Differs(plain, all, after(64, all)));
    // A source that cannot hold the exact key (8 bits: the nearest is
    // (240, 16, 240)): the key as it holds it is left out, by either painter.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } eight = {{sizeof eight.header, 4, -1, 1, 8, BI_RGB, 0, 0, 0, 2, 0},
               {{240, 16, 240, 0}, {0, 200, 0, 0}}};
    void *bits;
    HDC held = CreateCompatibleDC(NULL), fourPlain = Canvas(4, 1, back), four = Canvas(4, 1, back);
    SelectObject(held,
                 CreateDIBSection(held, (BITMAPINFO *)&eight, DIB_RGB_COLORS, &bits, NULL, 0));
    memcpy(bits, "\1\0\1\0", 4); // green, key, green, key
    PaintPixelsPlain(fourPlain, held, 4, 1, 0, 0);
    PaintPixelsDissolve(four, held, 4, 1, 0, 0, 64);
    auto greens = [&](int x, int) { return x % 2 ? back : RGB(0, 200, 0); };
    EXPECT_EQ("", Differs(fourPlain, {0, 0, 4, 1}, greens) + Differs(four, {0, 0, 4, 1}, greens));
    IntersectClipRect(clipped, 8, 8, 16, 16);
    PaintPixelsDissolve(clipped, source, 37, 21, 4, 2, 64);
    EXPECT_EQ("", Differs(clipped, all, after(64, {8, 8, 16, 16})));
}

// What the backdrop shows at a client pixel, and the gradient's colour there.
static COLORREF Shown(int x, int y) {
    HDC dc = GetDC(BackdropWindow);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(BackdropWindow, dc);
    return colour;
}

static COLORREF BandAt(int y) {
    for (short band = 0, top, bottom; band < BACKDROP_BANDS; band++) {
        BandEdges(BandStep(ScreenHeight), band, &top, &bottom);
        if (y >= top && y < bottom)
            return BandColour(band);
    }
    return CLR_INVALID;
}

static void Repaint(const RECT *area) {
    InvalidateRect(BackdropWindow, area, FALSE);
    UpdateWindow(BackdropWindow);
}

TEST(BackdropWindow, FirstPaintDoneAtCreationPartialRepaintsDrawOnlyWhatTheyTouch) {
    AppInstance = GetModuleHandleA(NULL);
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(1, CreateBackdrop());
    RECT window;
    GetWindowRect(BackdropWindow, &window);
    EXPECT_EQ(std::vector<LONG>({0, 0, ScreenWidth, ScreenHeight, WS_EX_TOPMOST, 0}),
              std::vector<LONG>({window.left, window.top, window.right, window.bottom,
                                 GetWindowLongA(BackdropWindow, GWL_EXSTYLE) & WS_EX_TOPMOST,
                                 GetUpdateRect(BackdropWindow, NULL, FALSE) + DissolvePending}));
    // Row 33 of the screen is row 23 of the banner, with pixels of the last
    // pass, 400 of them from column 20, over the gradient.
    HDC banner = Canvas(1, 1, 0);
    DeleteObject(SelectObject(banner, LoadBitmapA(AppInstance, MAKEINTRESOURCEA(306))));
    std::string wrong;
    int x = 0;
    for (int column = 0; column < 440; column++) {
        COLORREF c = column < 20 || column >= 420 ? COLOUR_KEY : GetPixel(banner, column - 20, 23);
        x = c != COLOUR_KEY && column >= 330 ? column : x; // beyond the test rectangle
        wrong += Shown(column, 33) != (c == COLOUR_KEY ? BandAt(33) : c) ? "x" : ".";
    }
    EXPECT_EQ(std::string(440, '.'), wrong);
    EXPECT_EQ(BandAt(ScreenHeight - 3), Shown(600, ScreenHeight - 3));
    ASSERT_NE(0, x) << "the banner draws nothing in columns 330 to 419 of row 33";
    RECT beside = {325, 10, 420, 60}, corner = {300, 20, 330, 40};
    Repaint(&beside); // the gradient alone
    EXPECT_EQ(BandAt(33), Shown(x, 33));
    Repaint(&corner); // the picture, but only inside the update region
    EXPECT_EQ(BandAt(33), Shown(x, 33));
    Repaint(NULL);
    EXPECT_NE(BandAt(33), Shown(x, 33));
    DestroyWindow(BackdropWindow);
}
