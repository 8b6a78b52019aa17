#include "support/page_driver.h"

#include <vector>

namespace {

struct DriverJob {
    const std::function<void()> *driver;
    volatile LONG workDone;
};

BOOL CALLBACK CloseOwnWindow(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

DWORD WINAPI DriverThread(LPVOID parameter) {
    DriverJob *job = static_cast<DriverJob *>(parameter);
    (*job->driver)();
    // A driver that lost its way leaves a window open and the work blocked
    // in its loop: close what is left so the test fails instead of hanging.
    if (!WaitFor([&] { return job->workDone != 0; })) {
        while (job->workDone == 0) {
            EnumWindows(CloseOwnWindow, 0);
            Sleep(100);
        }
    }
    return 0;
}

struct WindowSearch {
    const char *className;
    const char *title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    WindowSearch *search = reinterpret_cast<WindowSearch *>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char text[256];
    if (search->className != NULL) {
        GetClassNameA(window, text, sizeof text);
        if (lstrcmpiA(text, search->className) != 0)
            return TRUE;
    }
    if (search->title != NULL) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, search->title) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

void RunDriven(const std::function<void()> &work, const std::function<void()> &driver) {
    DriverJob job = {&driver, 0};
    HANDLE thread = CreateThread(NULL, 0, DriverThread, &job, 0, NULL);
    work();
    InterlockedExchange(&job.workDone, 1);
    // The driver may still be answering a box the work left behind; the
    // work's thread must keep serving messages until it is done.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseHandle(thread);
}

bool WaitFor(const std::function<bool()> &condition) {
    // About 30 seconds: far beyond any normal answer, short of the suite's limit.
    for (int round = 0; round < 1500; ++round) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

HWND WaitForWindow(const char *className, const char *title) {
    WindowSearch search = {className, title, NULL};
    WaitFor([&] {
        search.found = NULL;
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != NULL;
    });
    return search.found;
}

std::string WindowText(HWND window) {
    char text[1024];
    text[0] = '\0';
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string AnswerMessageBox(const char *caption, int button) {
    HWND box = WaitForWindow("#32770", caption);
    if (box == NULL)
        return std::string();
    // The box's text is its one static control without a picture.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32];
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && !WindowText(child).empty())
            text = WindowText(child);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}

void DropQuitMessage(void) {
    MSG message;
    while (PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
