// Windows found by class, title and control, read and clicked through their
// owner's message queue, so that the same code works from a second thread
// of the test and from another process.
#include "driver/driver.h"

DWORD WaitBound = 30000;

namespace {

struct Search {
    const char *className, *title;
    int control;
    bool own;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    Search *search = reinterpret_cast<Search *>(parameter);
    DWORD process = 0;
    char text[256];
    GetWindowThreadProcessId(window, &process);
    if (!IsWindowVisible(window) || (search->own && process != GetCurrentProcessId()))
        return TRUE;
    if (search->className &&
        (!GetClassNameA(window, text, sizeof text) || lstrcmpiA(text, search->className) != 0))
        return TRUE;
    text[0] = '\0';
    if (search->title && (GetWindowTextA(window, text, sizeof text), lstrcmpA(text, search->title)))
        return TRUE;
    if (search->control && GetDlgItem(window, search->control) == NULL)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

bool WaitFor(const std::function<bool()> &condition) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= WaitBound)
            return condition();
        Sleep(20);
    }
    return true;
}

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
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, WaitBound, &length);
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickControl(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int ButtonState(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, WaitBound,
                        &state);
    return (int)state;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32];
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && !WindowText(child).empty())
            text = WindowText(child);
    }
    return text;
}

std::string AnswerMessageBox(const char *caption, int button, bool own) {
    HWND box = WaitForWindow("#32770", caption, 0, own);
    if (box == NULL)
        return std::string();
    std::string text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}
