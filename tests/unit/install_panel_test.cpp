// The progress panel on real windows: a control's rectangle in its page, the
// sunken box pixel by pixel in a memory bitmap, the bar's columns.
#include <gtest/gtest.h>

#include "install/progress_panel.h"

namespace {

const int PageWidth = 320;
const int PageHeight = 200;
const COLORREF Backing = RGB(10, 20, 30);
const COLORREF Gray = RGB(128, 128, 128);
const COLORREF White = RGB(255, 255, 255);

class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        page = CreateWindowExA(0, "STATIC", "", WS_POPUP, 50, 40, PageWidth + 20, PageHeight + 40,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, page);
        // Hidden and borderless, 141 by 12 at (144, 112): the copy page's placeholder.
        place = CreateWindowExA(0, "STATIC", "", WS_CHILD, 144, 112, 141, 12, page, (HMENU)1011,
                                GetModuleHandleA(NULL), NULL);
        framed = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 30, 50, 20,
                                 page, (HMENU)1012, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, place);
        ASSERT_NE(nullptr, framed);

        BITMAPINFO info;
        ZeroMemory(&info, sizeof info);
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = PageWidth;
        info.bmiHeader.biHeight = -PageHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = NULL;
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        ASSERT_NE(nullptr, bitmap);
        oldBitmap = SelectObject(dc, bitmap);
        RECT all = {0, 0, PageWidth, PageHeight};
        HBRUSH backing = CreateSolidBrush(Backing);
        FillRect(dc, &all, backing);
        DeleteObject(backing);
    }
    void TearDown() override {
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        DestroyWindow(page);
    }
    COLORREF At(int x, int y) { return GetPixel(dc, x, y); }

    HWND page = NULL, place = NULL, framed = NULL;
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ oldBitmap = NULL;
};

TEST_F(Panel, ControlRectangleInPageClientCoordinates) {
    RECT r;
    ControlRectInParent(page, 1011, &r);
    EXPECT_EQ(144, r.left);
    EXPECT_EQ(112, r.top);
    EXPECT_EQ(285, r.right);
    EXPECT_EQ(124, r.bottom);

    // A border is not part of the control's client area.
    RECT framedRect;
    ControlRectInParent(page, 1012, &framedRect);
    EXPECT_EQ(21, framedRect.left);
    EXPECT_EQ(31, framedRect.top);
    EXPECT_EQ(69, framedRect.right);
    EXPECT_EQ(49, framedRect.bottom);
}

TEST_F(Panel, WhiteBoxWithSunkenOutlines) {
    DrawSunkenBox(page, dc, 1011, WHITE_BRUSH);
    // White outline on columns 144 and 284, rows 112 and 123, except where
    // the gray one, drawn after it, crosses it: (144, 122) and (283, 112).
    for (int y = 112; y <= 123; y++) {
        EXPECT_EQ(y == 122 ? Gray : White, At(144, y)) << y;
        EXPECT_EQ(White, At(284, y)) << y;
    }
    for (int x = 144; x <= 284; x++) {
        EXPECT_EQ(White, At(x, 123)) << x;
        EXPECT_EQ(x == 283 ? Gray : White, At(x, 112)) << x;
    }
    // Gray outline one pixel up and left: columns 143 and 283, rows 111 and 122.
    for (int x = 143; x <= 283; x++) {
        EXPECT_EQ(Gray, At(x, 111)) << x;
        EXPECT_EQ(Gray, At(x, 122)) << x;
    }
    for (int y = 111; y <= 122; y++) {
        EXPECT_EQ(Gray, At(143, y)) << y;
        EXPECT_EQ(Gray, At(283, y)) << y;
    }
    // White inside; nothing outside the two outlines is touched.
    EXPECT_EQ(White, At(200, 116));
    EXPECT_EQ(White, At(145, 113));
    EXPECT_EQ(Backing, At(142, 116));
    EXPECT_EQ(Backing, At(285, 116));
    EXPECT_EQ(Backing, At(200, 110));
    EXPECT_EQ(Backing, At(200, 124));
    EXPECT_EQ(Backing, At(143, 123)); // below the gray's corner, left of the white
    EXPECT_EQ(Backing, At(284, 111)); // right of the gray's corner, above the white
}

TEST_F(Panel, FillCodesFromTheTableAndStockBrushes) {
    struct Case {
        unsigned short code;
        COLORREF inside;
    } cases[] = {
        {100, RGB(0, 255, 0)},    {101, RGB(255, 255, 0)},  {102, RGB(255, 0, 0)},
        {103, RGB(0, 128, 0)},    {104, RGB(128, 128, 0)},  {105, RGB(128, 0, 0)},
        {106, RGB(0, 128, 128)},  {LTGRAY_BRUSH, 0xC0C0C0}, {GRAY_BRUSH, 0x808080},
        {DKGRAY_BRUSH, 0x404040}, {BLACK_BRUSH, 0x000000},  {NULL_BRUSH, Backing},
    };
    for (const Case &c : cases) {
        DrawSunkenBox(page, dc, 1011, c.code);
        EXPECT_EQ(c.inside, At(200, 116)) << "code " << c.code;
        EXPECT_EQ(White, At(284, 116)) << "code " << c.code;
        EXPECT_EQ(Gray, At(143, 116)) << "code " << c.code;
        RECT inner = {145, 113, 283, 122};
        HBRUSH backing = CreateSolidBrush(Backing);
        FillRect(dc, &inner, backing);
        DeleteObject(backing);
    }
    COLORREF colour = 0x123456;
    EXPECT_EQ(1, FillCodeColour(106, &colour));
    EXPECT_EQ((COLORREF)0x808000, colour);
    colour = 0x123456;
    EXPECT_EQ(0, FillCodeColour(99, &colour));
    EXPECT_EQ(0, FillCodeColour(107, &colour));
    EXPECT_EQ(0, FillCodeColour(WHITE_BRUSH, &colour));
    EXPECT_EQ((COLORREF)0x123456, colour);
}

TEST_F(Panel, DeviceContextKeepsItsPenAndBrush) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    // 99 and 107 are not in the table and name no stock object either.
    for (unsigned short code : {0, 5, 99, 100, 107}) {
        DrawSunkenBox(page, dc, 1011, code);
        EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH)) << code;
        EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN)) << code;
        EXPECT_EQ(Gray, At(200, 111)) << code;
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(brush);
    DeleteObject(pen);
}

TEST(ProgressBar, ColumnsForThePlaceholder) {
    RECT place = {144, 112, 285, 124};
    RECT bar;
    ProgressBarRect(&place, 25, &bar);
    EXPECT_EQ(145, bar.left); // columns 145 to 178
    EXPECT_EQ(179, bar.right);
    EXPECT_EQ(113, bar.top); // rows 113 to 120
    EXPECT_EQ(121, bar.bottom);
    ProgressBarRect(&place, 100, &bar);
    EXPECT_EQ(145, bar.left);
    EXPECT_EQ(283, bar.right);
    EXPECT_EQ(113, bar.top);
    EXPECT_EQ(121, bar.bottom);
    ProgressBarRect(&place, 0, &bar);
    EXPECT_EQ(bar.left, bar.right);
}

} // namespace
