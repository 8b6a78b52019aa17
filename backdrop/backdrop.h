// The full-screen backdrop behind the pages, its content painters and its
// bitmap painter, with the pure arithmetic of the gradient and the picture
// placement for the tests.
#ifndef SETUP_BACKDROP_BACKDROP_H
#define SETUP_BACKDROP_BACKDROP_H

#include <windows.h>

// Registers the class SetupMain and makes the backdrop (BackdropWindow) over
// the whole screen; its first paint, with the dissolve, is served before this
// returns. 0 when there is no window.
int CreateBackdrop(void);
// What a paint draws: the 255 bands over the whole width and height, then the
// pictures that meet the area, dissolved or plain.
void PaintGradient(HDC dc, short width, short height);
void PaintPictures(HDC dc, const RECT *area, short width, short height, int oem, int dissolve);

// Pixels of this colour, as the picture holds it, are left out by the painter.
#define COLOUR_KEY RGB(255, 0, 255)

#define BACKDROP_BANDS 255
#define BACKDROP_PICTURES 3

// Pass in which the pixel at (x mod 8, y mod 8) is drawn: [y mod 8][x mod 8].
extern const unsigned char DissolveOrder[8][8];

// 1 until the end of the first paint: only that paint dissolves.
extern int DissolvePending;

void PaintBitmap(HDC dc, short bitmapId, const RECT *at, int dissolve);
// The key colour as a source reads it back: a display of 8, 15 or 16 bits
// per pixel cannot hold RGB(255, 0, 255) exactly, and the picture's key
// pixels then read back as the colour it made of it. Found by writing the
// key into the source's pixel (0, 0), which is put back afterwards.
COLORREF HeldKeyColour(HDC source);
// The pixel loops of PaintBitmap over a source already selected into a
// device context: plain, row by row; dissolve, passes 0 to passCount - 1
// (64 for the whole picture).
void PaintPixelsPlain(HDC target, HDC source, int width, int height, int left, int top);
void PaintPixelsDissolve(HDC target, HDC source, int width, int height, int left, int top,
                         int passCount);
LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The gradient step: height times the single-precision constant 0x3B808081,
// rounded to single precision.
float BandStep(short screenHeight);
// Top and bottom rows of band i (0..254); bottom is exclusive.
void BandEdges(float step, short band, short *top, short *bottom);
// RGB(0, 0, 255 - band).
COLORREF BandColour(short band);

// Picture `index` (0..2, in painting order) for a screen of the given size:
// 1 with its bitmap id and test rectangle when it is painted, 0 when the
// OEM switch leaves it out.
int BackdropPicture(short index, short screenWidth, short screenHeight, int oem, short *bitmapId,
                    RECT *test);

#endif
