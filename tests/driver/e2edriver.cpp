// e2edriver: the test driver for scripts, run under Wine beside the program.
//
//   e2edriver [-t SECONDS] [-p PROGRAM] COMMAND ARGS...
//     wait WIN [ID]          until a window WIN (with control ID) is there
//     click WIN ID           a click on control ID
//     text WIN ID            the text of control ID
//     state WIN ID           "CHECKED ENABLED" of control ID, each 1 or 0
//     rect WIN               "LEFT TOP RIGHT BOTTOM" of WIN on the screen
//     answer CAPTION BUTTON  prints the message box's text, then presses BUTTON
//     reg-dump ROOT KEY...   each KEY and every key below, in path order, a line
//                            per value: "path<TAB>name=data" ("path" when none)
//     seed-machine both|ps2  the Windows 98 mouse machine with both mice or PS/2
//     seed-boot both|ps2     its active-device list alone, as a start makes it
//     click-hook             sets click_hook.dll on every program (see there),
//                            prints "ready" and keeps it for SECONDS
//     inject PROGRAM ARGS... runs PROGRAM with crash_hook.dll in it from its
//                            first instruction (see there); its exit status
// WIN is an exact title or "class:NAME"; ROOT is HKCR, HKLM, HKCU or HKDD.
// Waits give up after SECONDS (default 30), or once no process of the file
// name PROGRAM (SETUP.EXE, say) runs. CAPTION "" is any message box. Exit
// status 0 done, 1 not found or failed, 2 bad usage.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "driver/driver.h"

// Starts the program suspended, has a thread of its own load crash_hook.dll
// (from beside this driver) before the program's first instruction, then
// lets it run and returns its exit status, 1 when it could not be started.
static int RunInjected(char **args, int count) {
    std::string line, dll(MAX_PATH, '\0');
    for (int i = 0; i < count; i++)
        line +=
            (i ? " " : "") + (strchr(args[i], ' ') ? '"' + std::string(args[i]) + '"' : args[i]);
    dll.resize(GetModuleFileNameA(NULL, &dll[0], MAX_PATH));
    dll = dll.substr(0, dll.rfind('\\') + 1) + "crash_hook.dll";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup,
                        &program))
        return fprintf(stderr, "e2edriver: cannot start %s\n", line.c_str()), 1;
    void *name = VirtualAllocEx(program.hProcess, NULL, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    FARPROC load = GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
    HANDLE loader =
        name && WriteProcessMemory(program.hProcess, name, dll.c_str(), dll.size() + 1, NULL)
            ? CreateRemoteThread(program.hProcess, NULL, 0,
                                 (LPTHREAD_START_ROUTINE)(void (*)(void))load, name, 0, NULL)
            : NULL;
    DWORD loaded = 0, status = 1;
    if (loader && WaitForSingleObject(loader, WaitBound) == WAIT_OBJECT_0)
        GetExitCodeThread(loader, &loaded);
    if (!loaded) {
        TerminateProcess(program.hProcess, 1);
        return fprintf(stderr, "e2edriver: %s did not load into %s\n", dll.c_str(), line.c_str()),
               1;
    }
    ResumeThread(program.hThread);
    WaitForSingleObject(program.hProcess, INFINITE);
    GetExitCodeProcess(program.hProcess, &status);
    return (int)status;
}

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc > 2 && strcmp(argv[1], "-t") == 0)
        WaitBound = (DWORD)(atof(argv[2]) * 1000), argv += 2, argc -= 2;
    if (argc > 2 && strcmp(argv[1], "-p") == 0)
        WaitProgram = argv[2], argv += 2, argc -= 2;
    const std::string cmd = argc > 1 ? argv[1] : "", a = argc > 2 ? argv[2] : "";
    const int id = argc > 3 ? atoi(argv[3]) : 0;
    if (cmd == "wait" || cmd == "click" || cmd == "text" || cmd == "state" || cmd == "rect") {
        HWND window = a.compare(0, 6, "class:") == 0 ? WaitForWindow(a.c_str() + 6, NULL, id, false)
                                                     : WaitForWindow(NULL, a.c_str(), id, false);
        if (!window)
            return fprintf(stderr, "e2edriver: no window %s with control %d\n", a.c_str(), id), 1;
        if (cmd == "click")
            ClickControl(window, id);
        if (cmd == "text")
            printf("%s\n", ItemText(window, id).c_str());
        RECT r;
        if (cmd == "rect" && GetWindowRect(window, &r))
            printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        if (cmd == "state")
            printf("%d %d\n", ButtonState(window, id) == BST_CHECKED,
                   IsWindowEnabled(GetDlgItem(window, id)) ? 1 : 0);
        return 0;
    }
    if (cmd == "answer") {
        std::string text = AnswerMessageBox(a.empty() ? NULL : a.c_str(), id, false);
        return printf("%s\n", text.c_str()) < 0 || text.empty();
    }
    const char *names[] = {"HKCR", "HKLM", "HKCU", "HKDD"};
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_DYN_DATA};
    if (cmd == "reg-dump") {
        RegTree tree;
        for (int k = 2; k + 1 < argc; k += 2)
            for (int r = 0; r < 4; r++)
                if (strcmp(argv[k], names[r]) == 0)
                    ReadRegTree(tree, roots[r], argv[k + 1]);
        for (const auto &key : tree) {
            if (key.second.empty())
                printf("%s\n", key.first.c_str());
            for (const auto &value : key.second)
                printf("%s\t%s=%s\n", key.first.c_str(), value.first.c_str(), value.second.c_str());
        }
        return 0;
    }
    if (cmd == "seed-machine" && (a == "both" || a == "ps2"))
        return SeedMouseMachine(a == "both" ? BothMice : Ps2Mouse) ? 0 : 1;
    if (cmd == "seed-boot" && (a == "both" || a == "ps2"))
        return SeedActiveDevices(a == "both" ? BothMice : Ps2Mouse) ? 0 : 1;
    if (cmd == "click-hook") {
        // The hook lasts as long as this process: the bound, or until ended.
        HMODULE hook = LoadLibraryA("click_hook.dll");
        FARPROC proc = hook ? GetProcAddress(hook, "ClickOnCreate@12") : NULL;
        if (!proc || !SetWindowsHookExA(WH_CBT, (HOOKPROC)(void (*)(void))proc, hook, 0))
            return 1;
        printf("ready\n");
        fflush(stdout);
        Sleep(WaitBound);
        return 0;
    }
    if (cmd == "inject" && argc > 2)
        return RunInjected(argv + 2, argc - 2);
    fprintf(stderr, "e2edriver: bad usage; see tests/driver/e2edriver.cpp\n");
    return 2;
}
