// click_hook.dll: a CBT hook that e2edriver sets on the program under test.
// When the program's environment has CLICK_ON_CREATE="ID CLASS", a click is
// posted to each control ID made in a window of class CLASS the moment the
// control is made: it waits in the queue before that window does any work.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ClickOnCreate(int code, WPARAM wParam, LPARAM lParam) {
    char wanted[64], parent[64];
    const CREATESTRUCTA *made = code == HCBT_CREATEWND ? ((CBT_CREATEWNDA *)lParam)->lpcs : NULL;
    DWORD length = GetEnvironmentVariableA("CLICK_ON_CREATE", wanted, sizeof wanted);
    if (made && made->hwndParent && length > 0 && length < sizeof wanted && strchr(wanted, ' ') &&
        GetClassNameA(made->hwndParent, parent, sizeof parent) &&
        lstrcmpiA(parent, strchr(wanted, ' ') + 1) == 0 && (LONG_PTR)made->hMenu == atoi(wanted))
        PostMessageA((HWND)wParam, BM_CLICK, 0, 0);
    return CallNextHookEx(NULL, code, wParam, lParam);
}
