// The mouse application. Started from the Run list with "-startup" it comes
// up minimised; started by hand it shows its window. Only one runs at a time.
#include <windows.h>

static const char WindowTitle[] = "Dorvantix";
static const char ClassName[] = "DorvantixMain";

static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, "Wheel and button settings are in the Mouse control panel.", -1, &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int StartedFromRunList(const char *commandLine) {
    const char *word = "-startup";
    while (*commandLine == ' ')
        ++commandLine;
    int i = 0;
    for (; word[i] != '\0'; ++i)
        if (commandLine[i] != word[i])
            return 0;
    return commandLine[i] == '\0' || commandLine[i] == ' ';
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    HWND running = FindWindowA(ClassName, WindowTitle);
    if (running != NULL) {
        SetForegroundWindow(running);
        return 0;
    }
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowA(ClassName, WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 420, 120, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    ShowWindow(window, StartedFromRunList(commandLine) ? SW_SHOWMINNOACTIVE : show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
