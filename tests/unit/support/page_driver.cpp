#include "support/page_driver.h"

namespace {

struct DriverJob {
    const std::function<void()> *driver;
    volatile LONG workDone;
};

DWORD WINAPI DriverThread(LPVOID parameter) {
    DriverJob *job = static_cast<DriverJob *>(parameter);
    (*job->driver)();
    // A driver that lost its way leaves the work blocked in its loop.
    if (!WaitFor([&] { return job->workDone != 0; }))
        for (HWND left; job->workDone == 0; Sleep(100))
            if ((left = FindTopWindow(NULL, NULL)) != NULL)
                PostMessageA(left, WM_CLOSE, 0, 0);
    return 0;
}

} // namespace

void RunDriven(const std::function<void()> &work, const std::function<void()> &driver) {
    DriverJob job = {&driver, 0};
    HANDLE thread = CreateThread(NULL, 0, DriverThread, &job, 0, NULL);
    work();
    InterlockedExchange(&job.workDone, 1);
    // The driver may still be answering a box the work left behind.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            if (message.message != WM_QUIT)
                TranslateMessage(&message), DispatchMessageA(&message);
    CloseHandle(thread);
}

void DropQuitMessage(void) {
    MSG message;
    while (PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info);
    return info.hwndFocus ? info.hwndFocus : window;
}

void PressKey(HWND window, UINT key, bool alt) {
    HWND to = Focus(window);
    UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    LPARAM flags = 1 | (LPARAM)MapVirtualKeyA(key, 0) << 16 | (alt ? KF_ALTDOWN << 16 : 0);
    PostMessageA(to, down, key, flags);
    PostMessageA(to, down + 1, key, flags | (LPARAM)0xC0000000); // its key up
}

void TypeText(HWND window, const std::string &text) {
    for (char c : text)
        PostMessageA(Focus(window), WM_CHAR, (BYTE)c, 1);
}
