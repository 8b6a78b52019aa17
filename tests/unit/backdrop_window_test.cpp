// The backdrop window itself: class, style, placement, the first paint's
// drain, messages, and a partial repaint beside the banner.
#include <gtest/gtest.h>

#include "backdrop/backdrop.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

namespace {

class Backdrop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        AppInstance = GetModuleHandleA(NULL);
        ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        InstallConfig.OEM = 0;
        created = CreateBackdrop();
    }
    static void TearDownTestSuite() {
        if (BackdropWindow)
            DestroyWindow(BackdropWindow);
    }
    static int created;

    // Serves what the backdrop has queued, as a page's loop would.
    static void Serve() {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // A client pixel of the backdrop as it stands on the screen.
    static COLORREF Pixel(int x, int y) {
        HDC dc = GetDC(BackdropWindow);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(BackdropWindow, dc);
        return colour;
    }

    static COLORREF BandAt(int y) {
        float step = BandStep(ScreenHeight);
        for (short i = 0; i < BACKDROP_BANDS; i++) {
            short top, bottom;
            BandEdges(step, i, &top, &bottom);
            if (y >= top && y < bottom)
                return BandColour(i);
        }
        return CLR_INVALID;
    }
};

int Backdrop::created;

TEST_F(Backdrop, WindowAndClass) {
    ASSERT_EQ(1, created);
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
    EXPECT_EQ(0, window.left);
    EXPECT_EQ(0, window.top);
    EXPECT_EQ(ScreenWidth, window.right);
    EXPECT_EQ(ScreenHeight, window.bottom);
    // The one-pixel frame.
    EXPECT_EQ(ScreenWidth - 2, client.right);
    EXPECT_EQ(ScreenHeight - 2, client.bottom);

    WNDCLASSA backdropClass;
    ASSERT_TRUE(GetClassInfoA(AppInstance, "SetupMain", &backdropClass));
    EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), backdropClass.style);
    EXPECT_TRUE(backdropClass.hbrBackground == NULL);
    EXPECT_TRUE(backdropClass.hCursor == LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ((WNDPROC)BackdropProc, backdropClass.lpfnWndProc);
}

TEST_F(Backdrop, FirstPaintIsOverWhenCreateReturns) {
    EXPECT_EQ(0, DissolvePending);
    // Nothing of the backdrop is left to paint.
    EXPECT_FALSE(GetUpdateRect(BackdropWindow, NULL, FALSE));
    EXPECT_EQ(BandColour(0), Pixel(600, 0));
    EXPECT_EQ(BandAt(ScreenHeight - 3), Pixel(600, ScreenHeight - 3));
    EXPECT_EQ(BandAt(300), Pixel(5, 300));
}

TEST_F(Backdrop, MessagesItLeavesAlone) {
    EXPECT_EQ(0, SendMessageA(BackdropWindow, WM_PAGE_INIT, 0, 0));
    // Told apart by the low 16 bits of the number.
    EXPECT_EQ(0, BackdropProc(BackdropWindow, 0x10000 | WM_PAGE_INIT, 0, 0));
    EXPECT_EQ(0, BackdropProc(BackdropWindow, WM_DESTROY, 0, 0));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_TRUE(IsWindow(BackdropWindow));
}

TEST_F(Backdrop, RepaintBesideTheBannerTestRectangleShowsTheGradient) {
    // Find a drawn (non-key) pixel of the banner beyond its test rectangle.
    int x = -1, y = -1;
    for (int row = 10; row < 60 && x < 0; row++)
        for (int column = 330; column < 420; column++)
            if (Pixel(column, row) != BandAt(row)) {
                x = column;
                y = row;
                break;
            }
    ASSERT_GE(x, 0) << "the banner draws nothing in columns 330-419";

    RECT beside = {325, 10, 420, 60};
    InvalidateRect(BackdropWindow, &beside, FALSE);
    UpdateWindow(BackdropWindow);
    EXPECT_EQ(BandAt(y), Pixel(x, y));
    for (int column = 325; column < 420; column += 7)
        EXPECT_EQ(BandAt(y), Pixel(column, y)) << column;

    // A paint that touches the test rectangle brings the whole picture back,
    // plainly, its far columns too.
    RECT corner = {300, 20, 330, 30};
    InvalidateRect(BackdropWindow, &corner, FALSE);
    UpdateWindow(BackdropWindow);
    EXPECT_EQ(BandAt(y), Pixel(x, y)) << "outside the update region nothing changes";
    InvalidateRect(BackdropWindow, NULL, FALSE);
    UpdateWindow(BackdropWindow);
    EXPECT_NE(BandAt(y), Pixel(x, y));
    EXPECT_EQ(0, DissolvePending);
    Serve();
}

} // namespace
