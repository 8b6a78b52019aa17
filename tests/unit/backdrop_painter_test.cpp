// The backdrop: its arithmetic (band edges and colours, picture placement),
// its bitmap painter on real device contexts (key colour, dissolve order, the
// loaded resources, clipping) and the window itself (class, style,
// placement, the first paint's drain, messages, a partial repaint beside the
// banner).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "backdrop/backdrop.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

namespace {

const COLORREF Background = RGB(0, 0, 200);

// A 24-bit memory surface, so every colour reads back exactly.
struct Surface {
    HDC dc;
    HBITMAP bitmap;
    int width, height;

    Surface(int w, int h, COLORREF fill) : width(w), height(h) {
        BITMAPINFO info = {{sizeof info.bmiHeader, w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void *bits = NULL;
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        SelectObject(dc, bitmap);
        RECT all = {0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    // A loaded bitmap, as the platform gives it.
    explicit Surface(HBITMAP loaded) : dc(CreateCompatibleDC(NULL)), bitmap(loaded) {
        BITMAP header = {};
        GetObjectA(bitmap, sizeof header, &header);
        width = header.bmWidth;
        height = header.bmHeight;
        SelectObject(dc, bitmap);
    }
    ~Surface() {
        DeleteDC(dc); // first, so that the bitmap is no longer selected
        DeleteObject(bitmap);
    }

    // Every pixel against the colour expected there; stops at the first miss.
    void Expect(const std::function<COLORREF(int, int)> &expected, const char *what) {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                ASSERT_EQ(expected(x, y), GetPixel(dc, x, y)) << what << " pixel " << x << "," << y;
    }
};

// The picture's colour at a target pixel when drawn at (left, top), or the
// background outside it and at its key pixels.
COLORREF Drawn(HDC source, int w, int h, int x, int y) {
    if (x < 0 || x >= w || y < 0 || y >= h)
        return Background;
    COLORREF colour = GetPixel(source, x, y);
    return colour == COLOUR_KEY ? Background : colour;
}

TEST(DissolveOrder, EveryPassOnceAndTheKnownCells) {
    int seen[64] = {};
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            ASSERT_LT(DissolveOrder[y][x], 64);
            seen[DissolveOrder[y][x]]++;
        }
    for (int pass = 0; pass < 64; pass++)
        EXPECT_EQ(1, seen[pass]) << "pass " << pass;
    const int known[][3] = {// y, x, pass
                            {1, 1, 0}, {5, 5, 1}, {1, 5, 2},  {5, 1, 3},
                            {3, 3, 4}, {7, 7, 5}, {7, 1, 63}, {0, 0, 44}};
    for (const auto &cell : known)
        EXPECT_EQ(cell[2], DissolveOrder[cell[0]][cell[1]]) << cell[0] << "," << cell[1];
}

TEST(PaintPixels, EachPassAddsItsCellPixelsTheLastEndsAsPlainAndClipHolds) {
    // Colours with key pixels on a diagonal pattern, at a size and place that
    // are no multiple of the 8-pixel cell.
    const int w = 37, h = 21, left = 4, top = 2;
    Surface source(w, h, RGB(0, 0, 0));
    int keyPixels = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool key = (x + 2 * y) % 5 == 0;
            keyPixels += key;
            SetPixel(source.dc, x, y,
                     key ? COLOUR_KEY : RGB(x * 7 % 256, y * 11 % 256, (x + y) % 256));
        }
    EXPECT_GT(keyPixels, 100);
    auto after = [&](int passes) {
        return [&, passes](int x, int y) {
            int bx = x - left, by = y - top;
            bool due = bx >= 0 && by >= 0 && DissolveOrder[by % 8][bx % 8] < passes;
            return due ? Drawn(source.dc, w, h, bx, by) : Background;
        };
    };
    for (int passes : {1, 2, 7, 63, 64}) {
        Surface target(45, 25, Background);
        PaintPixelsDissolve(target.dc, source.dc, w, h, left, top, passes);
        target.Expect(after(passes), std::to_string(passes).append(" passes").c_str());
    }
    Surface plain(45, 25, Background);
    PaintPixelsPlain(plain.dc, source.dc, w, h, left, top);
    plain.Expect(after(64), "plain");

    // A clipped target keeps its pixels outside the clip.
    Surface clipped(45, 25, Background);
    IntersectClipRect(clipped.dc, 8, 8, 16, 16);
    PaintPixelsDissolve(clipped.dc, source.dc, w, h, left, top, 64);
    clipped.Expect(
        [&](int x, int y) {
            return x >= 8 && x < 16 && y >= 8 && y < 16 ? after(64)(x, y) : Background;
        },
        "clipped");
}

TEST(PaintPixels, KeyOnlyPictureAndUnknownBitmapsDrawNothing) {
    auto background = [](int, int) { return Background; };
    Surface source(16, 16, COLOUR_KEY);
    Surface target(64, 64, Background);
    PaintPixelsPlain(target.dc, source.dc, 16, 16, 1, 1);
    PaintPixelsDissolve(target.dc, source.dc, 16, 16, 2, 2, 64);
    target.Expect(background, "key only");
    RECT at = {0, 0, 64, 64};
    PaintBitmap(target.dc, 9999, &at, 0);
    PaintBitmap(target.dc, 9999, &at, 1);
    PaintBitmap(target.dc, -1, &at, 1);
    target.Expect(background, "unknown id");
}

TEST(PaintPixels, KeyIsLeftOutAsTheSourceHoldsIt) {
    // Colours without the exact key, as on a display of 8 or 16 bits: the
    // key reads back as the nearest colour there, (240, 16, 240).
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info = {{sizeof info.header, 4, -1, 1, 8, BI_RGB, 0, 0, 0, 2, 0},
              {{240, 16, 240, 0}, {0, 200, 0, 0}}};
    void *bits = NULL;
    HDC source = CreateCompatibleDC(NULL);
    HBITMAP dib = CreateDIBSection(source, (BITMAPINFO *)&info, DIB_RGB_COLORS, &bits, NULL, 0);
    ASSERT_TRUE(dib != NULL);
    HGDIOBJ kept = SelectObject(source, dib);
    memcpy(bits, "\1\0\1\0", 4); // green, key, green, key
    EXPECT_EQ(RGB(240, 16, 240), HeldKeyColour(source));
    auto drawn = [](int x, int) { return x % 2 == 0 ? RGB(0, 200, 0) : Background; };
    Surface plain(4, 1, Background), dissolved(4, 1, Background);
    PaintPixelsPlain(plain.dc, source, 4, 1, 0, 0);
    PaintPixelsDissolve(dissolved.dc, source, 4, 1, 0, 0, 64);
    plain.Expect(drawn, "plain");
    dissolved.Expect(drawn, "dissolved");
    SelectObject(source, kept);
    DeleteObject(dib);
    DeleteDC(source);
}

TEST(PaintBitmap, BackdropPicturesFromTheResources) {
    AppInstance = GetModuleHandleA(NULL);
    const struct {
        short id;
        int width, height, dissolve;
    } pictures[] = {{IDB_BACKDROP_BANNER, 400, 50, 0},
                    {IDB_BACKDROP_MOUSE, 144, 43, 1},
                    {IDB_BACKDROP_SLOGAN, 490, 43, 1}};
    for (const auto &p : pictures) {
        // Compared with the resource as the platform loads it.
        Surface reference(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(p.id)));
        ASSERT_TRUE(reference.bitmap != NULL) << "bitmap " << p.id;
        EXPECT_EQ(p.width, reference.width) << p.id;
        EXPECT_EQ(p.height, reference.height) << p.id;
        int drawn = 0, keyed = 0;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++)
                (GetPixel(reference.dc, x, y) == COLOUR_KEY ? keyed : drawn)++;
        EXPECT_GT(drawn, 0) << "bitmap " << p.id;
        EXPECT_GT(keyed, 0) << "bitmap " << p.id << " has no key-coloured background";

        const int left = 20, top = 10;
        Surface target(left + p.width + 5, top + p.height + 5, Background);
        // Only the corner counts; right and bottom are the backdrop's test rectangle.
        RECT at = {left, top, left + 300, top + 40};
        PaintBitmap(target.dc, p.id, &at, p.dissolve);
        target.Expect(
            [&](int x, int y) { return Drawn(reference.dc, p.width, p.height, x - left, y - top); },
            std::to_string(p.id).c_str());
    }
}

TEST(BackdropGradient, StepAndColours) {
    // Compared as doubles: the float itself, not a value near it.
    EXPECT_EQ(3.0117650032043457, (double)BandStep(768));
    EXPECT_EQ(1.8823530673980713, (double)BandStep(480));
    // From blue to almost black.
    EXPECT_EQ((COLORREF)0x00FF0000, BandColour(0)); // RGB(0, 0, 255), as a number
    EXPECT_EQ(RGB(0, 0, 254), BandColour(1));
    EXPECT_EQ(RGB(0, 0, 1), BandColour(254));
}

TEST(BackdropGradient, BandsTileEveryHeightUpTo4096WithTheKnownEdges) {
    const struct {
        short height, tops[5], lastTop, fewestRows, emptyBands;
    } known[] = {
        {768, {0, 3, 6, 9, 12}, 764, 3, 0},
        {480, {0, 1, 3, 5, 7}, 478, 1, 0},
        {200, {0, 0, 1, 2, 3}, 199, 0, 55},
    };
    for (short height = 1; height <= 4096; height++) {
        float step = BandStep(height);
        short tops[BACKDROP_BANDS], previousBottom = 0;
        int fewest = height, most = 0, empty = 0;
        for (short i = 0; i < BACKDROP_BANDS; i++) {
            short bottom;
            BandEdges(step, i, &tops[i], &bottom);
            ASSERT_EQ(previousBottom, tops[i]) << "height " << height << " band " << i;
            ASSERT_LE(tops[i], bottom) << "height " << height << " band " << i;
            fewest = (std::min)(fewest, bottom - tops[i]);
            most = (std::max)(most, bottom - tops[i]);
            empty += bottom == tops[i];
            previousBottom = bottom;
        }
        ASSERT_EQ(height, previousBottom) << "height " << height;
        for (const auto &k : known) {
            if (k.height != height)
                continue;
            EXPECT_EQ(std::vector<short>(k.tops, k.tops + 5), std::vector<short>(tops, tops + 5));
            EXPECT_EQ(k.lastTop, tops[BACKDROP_BANDS - 1]) << height;
            EXPECT_EQ(k.fewestRows, fewest) << height;
            EXPECT_LE(most, k.fewestRows + 1) << height;
            EXPECT_EQ(k.emptyBands, empty) << height;
        }
    }
}

std::string Text(const RECT &r) {
    char text[64];
    wsprintfA(text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    return text;
}

// The bitmap and test rectangle of a picture, "none" when it is left out.
std::string Placed(short index, short width, short height, int oem) {
    short id = 0;
    RECT r = {0, 0, 0, 0};
    if (!BackdropPicture(index, width, height, oem, &id, &r))
        return "none";
    return std::to_string(id) + " at " + Text(r);
}

TEST(BackdropPictures, TestRectanglesAndTheOemScreen) {
    EXPECT_EQ(306, IDB_BACKDROP_BANNER);
    EXPECT_EQ("306 at 20,10,320,60", Placed(0, 1024, 768, 0));
    EXPECT_EQ("305 at 854,10,1024,50", Placed(1, 1024, 768, 0));
    EXPECT_EQ("307 at 20,708,600,758", Placed(2, 1024, 768, 0));
    EXPECT_EQ("306 at 20,10,320,60", Placed(0, 640, 480, 1));
    EXPECT_EQ("305 at 470,10,640,50", Placed(1, 640, 480, 1));
    // An OEM setup leaves out the bottom picture, whatever its nonzero value.
    EXPECT_EQ("none", Placed(2, 640, 480, 1));
    EXPECT_EQ("none", Placed(2, 640, 480, -7));
    EXPECT_EQ("307 at 20,420,600,470", Placed(2, 640, 480, 0));
}

// A client pixel of the backdrop as it stands on the screen.
COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(BackdropWindow);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(BackdropWindow, dc);
    return colour;
}

COLORREF BandAt(int y) {
    float step = BandStep(ScreenHeight);
    for (short i = 0; i < BACKDROP_BANDS; i++) {
        short top, bottom;
        BandEdges(step, i, &top, &bottom);
        if (y >= top && y < bottom)
            return BandColour(i);
    }
    return CLR_INVALID;
}

void Repaint(const RECT *area) {
    InvalidateRect(BackdropWindow, area, FALSE);
    UpdateWindow(BackdropWindow);
}

// One window through its life: class and placement, the first paint, the
// messages it leaves alone, then a partial repaint beside the banner.
TEST(BackdropWindow, ClassPlacementPaintsAndMessages) {
    AppInstance = GetModuleHandleA(NULL);
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    InstallConfig.OEM = 0;
    ASSERT_EQ(1, CreateBackdrop());
    ASSERT_TRUE(IsWindow(BackdropWindow));
    char name[32];
    GetClassNameA(BackdropWindow, name, sizeof name);
    EXPECT_STREQ("SetupMain", name);
    GetWindowTextA(BackdropWindow, name, sizeof name);
    EXPECT_STREQ("Setup", name);
    // The platform adds WS_CLIPSIBLINGS to every top-level window.
    DWORD style = (DWORD)GetWindowLongA(BackdropWindow, GWL_STYLE) & ~(DWORD)WS_CLIPSIBLINGS;
    EXPECT_EQ(0x90800000u, style);
    EXPECT_TRUE(GetWindowLongA(BackdropWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetParent(BackdropWindow) == NULL);
    RECT window, client;
    GetWindowRect(BackdropWindow, &window);
    GetClientRect(BackdropWindow, &client);
    EXPECT_EQ(Text({0, 0, ScreenWidth, ScreenHeight}), Text(window));
    // The one-pixel frame.
    EXPECT_EQ(Text({0, 0, ScreenWidth - 2, ScreenHeight - 2}), Text(client));

    WNDCLASSA backdropClass;
    ASSERT_TRUE(GetClassInfoA(AppInstance, "SetupMain", &backdropClass));
    EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), backdropClass.style);
    EXPECT_TRUE(backdropClass.hbrBackground == NULL);
    EXPECT_TRUE(backdropClass.hCursor == LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ((WNDPROC)BackdropProc, backdropClass.lpfnWndProc);

    // The first paint is over when the creation returns: nothing is left.
    EXPECT_EQ(0, DissolvePending);
    EXPECT_FALSE(GetUpdateRect(BackdropWindow, NULL, FALSE));
    EXPECT_EQ(BandColour(0), Pixel(600, 0));
    EXPECT_EQ(BandAt(ScreenHeight - 3), Pixel(600, ScreenHeight - 3));
    EXPECT_EQ(BandAt(300), Pixel(5, 300));

    EXPECT_EQ(0, SendMessageA(BackdropWindow, WM_PAGE_INIT, 0, 0));
    // Told apart by the low 16 bits of the number.
    EXPECT_EQ(0, BackdropProc(BackdropWindow, 0x10000 | WM_PAGE_INIT, 0, 0));
    EXPECT_EQ(0, BackdropProc(BackdropWindow, WM_DESTROY, 0, 0));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_TRUE(IsWindow(BackdropWindow));

    // Find a drawn (non-key) pixel of the banner beyond its test rectangle.
    int x = -1, y = -1;
    for (int row = 10; row < 60 && x < 0; row++)
        for (int column = 330; column < 420 && x < 0; column++)
            if (Pixel(column, row) != BandAt(row)) {
                x = column;
                y = row;
            }
    ASSERT_GE(x, 0) << "the banner draws nothing in columns 330-419";

    RECT beside = {325, 10, 420, 60};
    Repaint(&beside);
    EXPECT_EQ(BandAt(y), Pixel(x, y));
    for (int column = 325; column < 420; column += 7)
        EXPECT_EQ(BandAt(y), Pixel(column, y)) << column;

    // A paint that touches the test rectangle brings the whole picture back,
    // plainly, its far columns too.
    RECT corner = {300, 20, 330, 30};
    Repaint(&corner);
    EXPECT_EQ(BandAt(y), Pixel(x, y)) << "outside the update region nothing changes";
    Repaint(NULL);
    EXPECT_NE(BandAt(y), Pixel(x, y));
    EXPECT_EQ(0, DissolvePending);
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    DestroyWindow(BackdropWindow);
}

} // namespace
