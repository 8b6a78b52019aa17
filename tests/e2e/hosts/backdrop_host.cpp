// The backdrop and the page host in a real window for the end-to-end tests:
// the welcome page of the product and a second page of the test's own
// (template 108 with a small page procedure), walked as the entry walks
// them, so Back gives each page a second showing.
//
//   backdrop_host OEM LOGFILE
// Each showing appends "CLASS showing N result R" to LOGFILE.
//   backdrop_host dump ID FILE
// Writes bitmap resource ID, as the program loads it, to FILE as a 24-bit
// bitmap file, for the tests to compare the screen with.
//   backdrop_host key ID
// Prints what the loaded bitmap's top-left (key) pixel reads back as on this
// display and the key as the painter takes it, COLORREFs in hex (0xBBGGRR).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "backdrop/backdrop.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "shell/setup.h"

static const char SecondClass[] = "SETUP_SELMOUSE";

LRESULT CALLBACK SecondPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
        return 0;
    case WM_COMMAND:
        if (wParam == IDC_NEXT || wParam == IDC_BACK) {
            PageResult = wParam == IDC_NEXT ? 1 : 2;
            ClosePageWindow(page);
            return 0;
        }
        if (wParam == IDC_CANCEL) {
            PageResult = 0;
            ShowCancelNotice(page);
            ClosePageWindow(page);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

static int DumpBitmap(short id, const char *path) {
    HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
    if (!bitmap)
        return 1;
    BITMAP header;
    GetObjectA(bitmap, sizeof header, &header);
    int stride = (header.bmWidth * 3 + 3) & ~3;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = stride * header.bmHeight;
    BYTE *bits = (BYTE *)GlobalAlloc(GPTR, info.bmiHeader.biSizeImage);
    HDC dc = GetDC(NULL);
    int rows = bits ? GetDIBits(dc, bitmap, 0, header.bmHeight, bits, &info, DIB_RGB_COLORS) : 0;
    ReleaseDC(NULL, dc);
    DeleteObject(bitmap);
    FILE *out = rows == header.bmHeight ? fopen(path, "wb") : NULL;
    if (!out) {
        if (bits)
            GlobalFree(bits);
        return 1;
    }
    BITMAPFILEHEADER file;
    ZeroMemory(&file, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    fwrite(bits, info.bmiHeader.biSizeImage, 1, out);
    int failed = ferror(out);
    fclose(out);
    GlobalFree(bits);
    return failed ? 1 : 0;
}

static int PrintKey(short id) {
    HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    COLORREF read = GetPixel(memory, 0, 0), held = HeldKeyColour(memory);
    printf("read %06lX held %06lX\n", read, held);
    SelectObject(memory, kept);
    DeleteDC(memory);
    return bitmap && DeleteObject(bitmap) ? 0 : 1;
}

static void Log(const char *path, const char *className, int showing, short result) {
    FILE *log = fopen(path, "a");
    if (!log)
        return;
    fprintf(log, "%s showing %d result %d\n", className, showing, result);
    fclose(log);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    if (__argc == 4 && strcmp(__argv[1], "dump") == 0)
        return DumpBitmap((short)atoi(__argv[2]), __argv[3]);
    if (__argc == 3 && strcmp(__argv[1], "key") == 0)
        return PrintKey((short)atoi(__argv[2]));
    if (__argc != 3)
        return 2;
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    CopyText(InstallConfig.ProductName, sizeof InstallConfig.ProductName, "Velor Scroll Mouse");
    CopyText(InstallConfig.Caption, sizeof InstallConfig.Caption,
             "Velor Scroll Mouse Setup Program");
    InstallConfig.OEM = atoi(__argv[1]);
    const char *logPath = __argv[2];
    if (!CreateBackdrop())
        return 3;

    int welcomeShowings = 0, secondShowings = 0;
    int onWelcome = 1;
    for (;;) {
        short result;
        if (onWelcome) {
            result = RunPage("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME);
            Log(logPath, "SETUP_BEGIN", ++welcomeShowings, result);
            if (result == 0)
                break;
            onWelcome = 0;
        } else {
            result = RunPage(SecondClass, SecondPageProc, IDD_MOUSE_TYPE);
            Log(logPath, SecondClass, ++secondShowings, result);
            if (result != 2)
                break;
            onWelcome = 1;
        }
    }
    DestroyWindow(BackdropWindow);
    return 0;
}
