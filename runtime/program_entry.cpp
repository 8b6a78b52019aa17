// The entry of the product programs, in place of the C runtime's: WinMain
// gets what it always got, and its result ends the process.
#include "runtime/runtime.h"

typedef void (*Constructor)(void);
// Laid out by the linker: -1, the constructors in reverse order, 0.
extern "C" Constructor __CTOR_LIST__[];

static void RunConstructors(void) {
    int count = 0;
    while (__CTOR_LIST__[count + 1] != 0)
        count++;
    for (int i = count; i >= 1; i--)
        __CTOR_LIST__[i]();
}

// Windows enters with the stack only 4-byte aligned.
extern "C" __attribute__((force_align_arg_pointer)) void ProgramStart(void) {
    RunConstructors();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char *arguments = (char *)CommandArguments(GetCommandLineA());
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, arguments, show));
}
