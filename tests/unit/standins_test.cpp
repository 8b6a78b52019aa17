// The product stand-ins the media ships, as built (their imports are the
// import check's): the mouse application with its "Dorvantix" window and the
// property-page library.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The stand-ins are built beside bin/, in standins/.
std::string StandIn(const char *name) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string exe = path;
    return exe.substr(0, exe.find_last_of('\\', exe.find_last_of('\\') - 1)) + "\\standins\\" +
           name;
}

TEST(StandIns, PropertyPageLibraryLoadsAndServesNoClassYet) {
    HMODULE library = LoadLibraryA(StandIn("ZKPAGE.DLL").c_str());
    ASSERT_NE(nullptr, library);
    typedef HRESULT(WINAPI * CanUnload)(void);
    typedef HRESULT(WINAPI * GetClass)(REFCLSID, REFIID, LPVOID *);
    CanUnload canUnload = reinterpret_cast<CanUnload>(GetProcAddress(library, "DllCanUnloadNow"));
    GetClass getClass = reinterpret_cast<GetClass>(GetProcAddress(library, "DllGetClassObject"));
    ASSERT_NE(nullptr, canUnload);
    ASSERT_NE(nullptr, getClass);
    EXPECT_EQ(S_OK, canUnload());
    const CLSID page = {
        0x4550E781, 0x90B7, 0x11d1, {0xA2, 0xFD, 0xFD, 0xB9, 0x7F, 0xAA, 0x9D, 0x6C}};
    const IID classFactory = {0x00000001, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    void *factory = reinterpret_cast<void *>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClass(page, classFactory, &factory));
    EXPECT_EQ(nullptr, factory);
    FreeLibrary(library);
}

// The process started; hProcess is NULL when it could not be.
PROCESS_INFORMATION Start(const std::string &program, const char *arguments) {
    std::string line = "\"" + program + "\"" + (arguments ? std::string(" ") + arguments : "");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    return process;
}

// Exit code once it has ended; STILL_ACTIVE when it did not within the bound.
DWORD Finish(PROCESS_INFORMATION &process) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

HWND WaitForTopWindow(const char *className, const char *title) {
    for (int round = 0; round < 1500; ++round) {
        HWND window = FindWindowA(className, title);
        if (window != NULL && IsWindowVisible(window))
            return window;
        Sleep(20);
    }
    return NULL;
}

TEST(StandIns, MouseApplicationHasOneDorvantixWindowThatClosesOnRequest) {
    PROCESS_INFORMATION first = Start(StandIn("ZKMAIN.EXE"), "-startup");
    ASSERT_NE(nullptr, first.hProcess);
    HWND window = WaitForTopWindow(NULL, "Dorvantix");
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsIconic(window)) << "started from the Run list it comes up minimised";

    // A second start finds the first and leaves it alone.
    PROCESS_INFORMATION second = Start(StandIn("ZKMAIN.EXE"), NULL);
    ASSERT_NE(nullptr, second.hProcess);
    EXPECT_EQ(0u, Finish(second));
    EXPECT_EQ(window, FindWindowA(NULL, "Dorvantix"));

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, Finish(first));
    EXPECT_EQ(nullptr, FindWindowA(NULL, "Dorvantix"));
}

} // namespace
