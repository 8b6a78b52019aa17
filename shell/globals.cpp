// The setup program's process-wide values, as the pages and steps set them.
#include "shell/setup.h"

short ScreenWidth;
short ScreenHeight;
int MouseKind = 1;
int RestartChoice = 1;
int MouseBackEnabled = 1;
HWND BackdropWindow;
