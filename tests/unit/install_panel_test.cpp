// The progress panel on real windows: a control's rectangle in its page, the
// sunken box pixel by pixel in a memory bitmap, the bar's columns.
#include <gtest/gtest.h>

#include <string>

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
        Fill({0, 0, PageWidth, PageHeight});
    }
    void Fill(RECT r) {
        HBRUSH backing = CreateSolidBrush(Backing);
        FillRect(dc, &r, backing);
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

std::string Show(const RECT &r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST_F(Panel, ControlRectangleInPageClientCoordinates) {
    RECT r;
    ControlRectInParent(page, 1011, &r);
    EXPECT_EQ("144,112,285,124", Show(r));
    ControlRectInParent(page, 1012, &r); // a border is not part of the client area
    EXPECT_EQ("21,31,69,49", Show(r));
}

// Every pixel around the box: gray outline at columns 143 and 283, rows 111
// and 122 (drawn last, so it crosses the white at (144, 122) and (283, 112));
// white outline and inside over columns 144 to 284, rows 112 to 123; the
// backing untouched elsewhere.
TEST_F(Panel, WhiteBoxWithSunkenOutlines) {
    DrawSunkenBox(page, dc, 1011, WHITE_BRUSH);
    std::string wrong;
    for (int y = 105; y <= 130; y++)
        for (int x = 136; x <= 292; x++) {
            bool gray = (x >= 143 && x <= 283 && (y == 111 || y == 122)) ||
                        (y >= 111 && y <= 122 && (x == 143 || x == 283));
            bool white = x >= 144 && x <= 284 && y >= 112 && y <= 123;
            COLORREF want = gray ? Gray : white ? White : Backing;
            if (At(x, y) != want)
                wrong += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
        }
    EXPECT_EQ("", wrong);
}

TEST_F(Panel, FillCodesFromTheTableAndStockBrushes) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    const COLORREF Any = 0xFFFFFFFF; // 99 and 107 name no stock object either
    struct Case {
        unsigned short code;
        COLORREF inside;
    };
    // clang-format off
    const Case cases[] = {
        {100, RGB(0, 255, 0)},    {101, RGB(255, 255, 0)},  {102, RGB(255, 0, 0)},
        {103, RGB(0, 128, 0)},    {104, RGB(128, 128, 0)},  {105, RGB(128, 0, 0)},
        {106, RGB(0, 128, 128)},  {LTGRAY_BRUSH, 0xC0C0C0}, {GRAY_BRUSH, 0x808080},
        {DKGRAY_BRUSH, 0x404040}, {BLACK_BRUSH, 0x000000},  {NULL_BRUSH, Backing},
        {WHITE_BRUSH, White},     {99, Any},                {107, Any}};
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        DrawSunkenBox(page, dc, 1011, c.code);
        if (c.inside != Any)
            EXPECT_EQ(c.inside, At(200, 116));
        EXPECT_EQ(White, At(284, 116));
        EXPECT_EQ(Gray, At(143, 116));
        EXPECT_EQ(Gray, At(200, 111));
        // The device context keeps its own pen and brush.
        EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
        EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
        Fill({145, 113, 283, 122});
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(brush);
    DeleteObject(pen);
    COLORREF colour = 0x123456;
    EXPECT_EQ(1, FillCodeColour(106, &colour));
    EXPECT_EQ((COLORREF)0x808000, colour);
    colour = 0x123456;
    EXPECT_EQ(0, FillCodeColour(99, &colour));
    EXPECT_EQ(0, FillCodeColour(107, &colour));
    EXPECT_EQ(0, FillCodeColour(WHITE_BRUSH, &colour));
    EXPECT_EQ((COLORREF)0x123456, colour);
}

TEST(ProgressBar, ColumnsForThePlaceholder) {
    RECT place = {144, 112, 285, 124};
    RECT bar;
    ProgressBarRect(&place, 25, &bar); // columns 145 to 178, rows 113 to 120
    EXPECT_EQ("145,113,179,121", Show(bar));
    ProgressBarRect(&place, 100, &bar);
    EXPECT_EQ("145,113,283,121", Show(bar));
    ProgressBarRect(&place, 0, &bar);
    EXPECT_EQ(bar.left, bar.right);
}

} // namespace
