// Windows found by class, title and control, read and clicked through their
// owner's message queue, so that the same code works from a second thread
// of the test and from another process.
#include "driver/driver.h"

#include <tlhelp32.h>

DWORD WaitBound = 30000;
const char *WaitProgram;

// Whether a process of the file name runs.
static bool Running(const char *name) {
    HANDLE list = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 process;
    process.dwSize = sizeof process;
    bool found = false;
    for (BOOL more = Process32First(list, &process); more && !found;
         more = Process32Next(list, &process))
        found = lstrcmpiA(process.szExeFile, name) == 0;
    CloseHandle(list);
    return found;
}

// Whether the program under test has run and ended.
static bool ProgramEnded() {
    static bool seen;
    bool running = WaitProgram && Running(WaitProgram);
    seen = seen || running;
    return seen && !running;
}

bool WaitFor(const std::function<bool()> &condition) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(20))
        if (GetTickCount() - start >= WaitBound || ProgramEnded())
            return condition();
    return true;
}

namespace {

struct Search {
    const char *className, *title;
    int control;
    bool own;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    Search &s = *reinterpret_cast<Search *>(parameter);
    DWORD process = 0;
    char text[256] = "";
    GetWindowThreadProcessId(window, &process);
    // A title of this process is asked of its owner: the answer waits for it.
    if (IsWindowVisible(window) && (!s.own || process == GetCurrentProcessId()) &&
        (!s.className || (GetClassNameA(window, text, 256), !lstrcmpiA(text, s.className))) &&
        (!s.title || (GetWindowTextA(window, text, 256), !lstrcmpA(text, s.title))) &&
        (!s.control || GetDlgItem(window, s.control)))
        s.found = window;
    return !s.found;
}

} // namespace

HWND FindTopWindow(const char *className, const char *title, int control, bool own) {
    Search search = {className, title, control, own, NULL};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const char *className, const char *title, int control, bool own) {
    HWND found = NULL;
    WaitFor([&] { return (found = FindTopWindow(className, title, control, own)) != NULL; });
    return found;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR length;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, WaitBound,
                        &length);
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void ClickControl(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int ButtonState(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, WaitBound, &state);
    return (int)state;
}

// Message boxes keep their text in control 0xFFFF.
std::string MessageBoxText(HWND box) {
    return ItemText(box, 0xFFFF);
}

std::string AnswerMessageBox(const char *caption, int button, bool own) {
    HWND box = WaitForWindow("#32770", caption, 0, own);
    std::string text = box ? MessageBoxText(box) : "";
    if (box)
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}
