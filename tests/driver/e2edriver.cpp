// e2edriver: the test driver for scripts, run under Wine beside the program.
//
//   e2edriver [-t SECONDS] [-p PROGRAM] COMMAND ARGS... [+ COMMAND ARGS...]...
//     wait WIN [ID]          until a window WIN (with control ID) is there
//     painted WIN            until WIN is there and has painted itself and
//                            every control, then its layout (ControlLayout)
//     hold WIN               as painted, for a window that changes on its
//                            own: then a line "." while WIN's owner is held
//                            still (HoldPainted), until a line or the end of
//                            its input
//     click WIN ID           a click on control ID
//     text WIN ID [TEXT]     the text of control ID; with TEXT, puts TEXT there
//     state WIN ID           "CHECKED ENABLED" of control ID, each 1 or 0
//     rect WIN               "LEFT TOP RIGHT BOTTOM" of WIN on the screen
//     answer CAPTION BUTTON  prints the message box's text, then presses BUTTON
//     reg-dump ROOT KEY...   each KEY and every key below, in path order, a line
//                            per value: "path<TAB>name=data" ("path" when none)
//     seed-machine both|ps2  the Windows 98 mouse machine with both mice or PS/2
//     seed-boot both|ps2     its active-device list alone, as a start makes it
//     wait-gone EXE          until no process of that program file name runs
//     click-hook             sets click_hook.dll on every program (see there),
//                            prints "ready" and keeps it for SECONDS
//     inject COMMAND         runs the command line with crash_hook.dll in its
//                            program from its first window on; its status
// WIN is an exact title or "class:NAME"; ROOT is HKCR, HKLM, HKCU or HKDD.
// Commands joined by + run in turn until one fails. Waits give up after
// SECONDS (default 30), or once the process of the file name PROGRAM
// (SETUP.EXE, say) has run and ended. CAPTION "" is any message box. Exit
// status 0 done, 1 not found or failed, 2 bad usage.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "driver/driver.h"

// Runs the command line with crash_hook.dll in its program from its first
// window on: a hook of window making, set for every program, has Wine load
// the DLL into the program by name, in the program's own thread (memory of
// another process cannot be written under emulation). The sweep checks that
// the program changes nothing before. Its exit status, 1 when not started.
static int RunHooked(std::string line) {
    // The DLL acts in the process of this file name alone.
    std::string program = line.substr(0, line.find(' '));
    SetEnvironmentVariableA("CRASH_PROGRAM", program.substr(program.rfind('\\') + 1).c_str());
    HMODULE dll = LoadLibraryA("crash_hook.dll");
    FARPROC proc = dll ? GetProcAddress(dll, "Loaded@12") : NULL;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    DWORD status = 1;
    if (!proc || !SetWindowsHookExA(WH_CBT, (HOOKPROC)(void (*)(void))proc, dll, 0) ||
        !CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started))
        return fprintf(stderr, "e2edriver: cannot start %s hooked\n", line.c_str()), 1;
    WaitForSingleObject(started.hProcess, INFINITE);
    GetExitCodeProcess(started.hProcess, &status);
    return (int)status;
}

// One command: argv[1] and what follows.
static int Command(int argc, char **argv) {
    const std::string cmd = argc > 1 ? argv[1] : "", a = argc > 2 ? argv[2] : "";
    const int id = argc > 3 ? atoi(argv[3]) : 0;
    if (cmd == "wait" || cmd == "painted" || cmd == "hold" || cmd == "click" || cmd == "text" ||
        cmd == "state" || cmd == "rect") {
        HWND window = a.compare(0, 6, "class:") == 0 ? WaitForWindow(a.c_str() + 6, NULL, id, false)
                                                     : WaitForWindow(NULL, a.c_str(), id, false);
        if (!window)
            return fprintf(stderr, "e2edriver: no window %s with control %d\n", a.c_str(), id), 1;
        if (cmd == "hold") {
            HANDLE owner = HoldPainted(window);
            if (!owner)
                return fprintf(stderr, "e2edriver: %s did not hold still\n", a.c_str()), 1;
            char line[16];
            printf("%s.\n", ControlLayout(window).c_str());
            fflush(stdout);
            fgets(line, sizeof line, stdin);
            ResumeThread(owner);
            CloseHandle(owner);
            return 0;
        }
        if (cmd == "painted" && !WaitPainted(window))
            return fprintf(stderr, "e2edriver: %s did not paint in time\n", a.c_str()), 1;
        if (cmd == "painted")
            printf("%s", ControlLayout(window).c_str());
        if (cmd == "click")
            ClickControl(window, id);
        if (cmd == "text" && argc > 4)
            SendMessageA(GetDlgItem(window, id), WM_SETTEXT, 0, (LPARAM)argv[4]);
        else if (cmd == "text")
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
    if (cmd == "wait-gone")
        return WaitFor([&] { return !Running(a.c_str()); }) ? 0 : 1;
    if ((cmd == "seed-machine" || cmd == "seed-boot") && (a == "both" || a == "ps2"))
        return SeedMouseMachine(a == "both" ? BothMice : Ps2Mouse, cmd == "seed-boot") ? 0 : 1;
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
    if (cmd == "inject" && argc == 3)
        return RunHooked(a);
    fprintf(stderr, "e2edriver: bad usage; see tests/driver/e2edriver.cpp\n");
    return 2;
}

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc > 2 && strcmp(argv[1], "-t") == 0)
        WaitBound = (DWORD)(atof(argv[2]) * 1000), argv += 2, argc -= 2;
    if (argc > 2 && strcmp(argv[1], "-p") == 0)
        WaitProgram = argv[2], argv += 2, argc -= 2;
    for (int at = 1, end;; at = end + 1) {
        for (end = at; end < argc && strcmp(argv[end], "+") != 0;)
            end++;
        int status = Command(end - at + 1, argv + at - 1);
        fflush(stdout);
        if (status != 0 || end >= argc)
            return status;
    }
}
