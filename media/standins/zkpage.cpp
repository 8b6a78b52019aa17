// The Mouse control panel's property-page server. This build serves no
// class yet: it loads, answers the shell's two entry points and refuses
// every class honestly, so the control panel shows its own pages.
#include <windows.h>
#include <objbase.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Nothing here is per thread.
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow(void) {
    return S_OK;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, LPVOID *out) {
    if (out != NULL)
        *out = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}
