#include "shell/setup.h"

HINSTANCE AppInstance;
short ScreenWidth;
short ScreenHeight;
int MouseKind = 1;
int RestartChoice = 1;
int MouseBackEnabled = 1;
