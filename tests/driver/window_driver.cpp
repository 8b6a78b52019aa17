// Windows found by class, title and control, read and clicked through their
// owner's message queue, so that the same code works from a second thread
// of the test and from another process.
#include "driver/driver.h"

#include <string.h>
#include <tlhelp32.h>

DWORD WaitBound = 30000;
const char *WaitProgram;

bool Running(const char *names) {
    HANDLE list = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 process;
    process.dwSize = sizeof process;
    bool found = false;
    for (BOOL more = Process32First(list, &process); more && !found;
         more = Process32Next(list, &process))
        for (const char *name = names; name && !found; name = strchr(name + 1, ';')) {
            name += *name == ';';
            size_t length = strlen(process.szExeFile);
            found = _strnicmp(name, process.szExeFile, length) == 0 &&
                    (name[length] == ';' || name[length] == '\0');
        }
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

// A round trip through the owner's queue: WM_NULL, answered once the owner
// serves messages again. The owner puts what it painted on the screen when it
// next finds its queue empty: after the answer to a first round trip, before
// that to a second.
bool RoundTrip(HWND window) {
    DWORD_PTR answer;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, WaitBound, &answer) != 0;
}

// A round trip, a synchronous paint of all that is invalid, two round trips;
// on a thread of its own, as the paint itself waits without a bound.
DWORD WINAPI PaintAndWait(LPVOID parameter) {
    HWND window = static_cast<HWND>(parameter);
    if (!RoundTrip(window))
        return 1;
    RedrawWindow(window, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return RoundTrip(window) && RoundTrip(window) ? 0 : 1;
}

BOOL CALLBACK AddControl(HWND control, LPARAM parameter) {
    if (IsWindowVisible(control))
        reinterpret_cast<std::vector<HWND> *>(parameter)->push_back(control);
    return TRUE;
}

} // namespace

bool WaitPainted(HWND window) {
    DWORD id, result = 1;
    HANDLE thread = CreateThread(NULL, 0, PaintAndWait, window, 0, &id);
    if (!thread)
        return false;
    if (WaitForSingleObject(thread, WaitBound) == WAIT_OBJECT_0)
        GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result == 0;
}

HANDLE HoldPainted(HWND window) {
    HANDLE owner = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE,
                              GetWindowThreadProcessId(window, NULL));
    bool held = false;
    // The layout before two round trips, which put it on the screen when the
    // owner finds its queue empty in between, and the same once held.
    WaitFor([&] {
        if (!owner || !IsWindow(window) || !WaitPainted(window))
            return true;
        const std::string shown = ControlLayout(window);
        if (!RoundTrip(window) || !RoundTrip(window))
            return true;
        // The suspension takes hold a moment later: the context comes once it has.
        CONTEXT context;
        context.ContextFlags = CONTEXT_CONTROL;
        if (SuspendThread(owner) == (DWORD)-1)
            return true;
        GetThreadContext(owner, &context);
        held = ControlLayout(window) == shown;
        if (!held)
            ResumeThread(owner);
        return held;
    });
    if (!held && owner)
        CloseHandle(owner);
    return held ? owner : NULL;
}

std::string ControlLayout(HWND window) {
    std::vector<HWND> windows = {window};
    EnumChildWindows(window, AddControl, reinterpret_cast<LPARAM>(&windows));
    std::string layout;
    for (HWND each : windows) {
        char className[64] = "", line[256];
        RECT r;
        POINT origin = {0, 0};
        GetClassNameA(each, className, sizeof className);
        GetClientRect(each, &r);
        ClientToScreen(each, &origin);
        wsprintfA(line, "%d\t%s\t%08lx\t%ld %ld %ld %ld\t", each == window ? 0 : GetDlgCtrlID(each),
                  className, (unsigned long)GetWindowLongA(each, GWL_STYLE), origin.x + r.left,
                  origin.y + r.top, origin.x + r.right, origin.y + r.bottom);
        // A picture's text is the number of its resource: left out.
        DWORD type = GetWindowLongA(each, GWL_STYLE) & SS_TYPEMASK;
        bool picture = !lstrcmpiA(className, "Static") &&
                       (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE);
        // The text as the window keeps it, not asked of its owner, who may be held still.
        WCHAR wide[512] = L"";
        char text_[1024] = "";
        if (!picture && InternalGetWindowText(each, wide, 512) > 0)
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text_, sizeof text_, NULL, NULL);
        std::string text = text_;
        for (char &c : text) // one line a control: its line breaks as spaces
            if (c == '\r' || c == '\n' || c == '\t')
                c = ' ';
        layout += line + text + "\n";
    }
    return layout;
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
