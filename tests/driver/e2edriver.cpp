// e2edriver: the test driver for scripts, run under Wine beside the program.
//
//   e2edriver [-t SECONDS] COMMAND ARGS...
//     wait WIN [ID]          until a window WIN (with control ID) is there
//     gone WIN               until no window WIN is there
//     click WIN ID           a click on control ID
//     text WIN ID            the text of control ID (0: of WIN itself)
//     state WIN ID           "CHECKED ENABLED" of control ID, each 1 or 0
//     answer CAPTION BUTTON  prints the message box's text, then presses BUTTON
//     reg-dump ROOT KEY      KEY and every key below, a line per value:
//                            "path<TAB>name=data" (a key without values: "path")
//     seed-machine both|ps2  the Windows 98 mouse machine with both mice or PS/2
// WIN is an exact title or "class:NAME"; ROOT is HKCR, HKLM, HKCU or HKDD.
// Waits give up after SECONDS (default 30). Exit status 0 done, 1 not found
// or failed, 2 bad usage.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "driver/driver.h"

static HWND Window(const char *spec, int control) {
    HWND window = strncmp(spec, "class:", 6) == 0 ? WaitForWindow(spec + 6, NULL, control, false)
                                                  : WaitForWindow(NULL, spec, control, false);
    if (window == NULL)
        fprintf(stderr, "e2edriver: no window \"%s\" with control %d\n", spec, control);
    return window;
}

static HKEY Root(const char *name) {
    const char *names[] = {"HKCR", "HKLM", "HKCU", "HKDD"};
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_DYN_DATA};
    for (int i = 0; i < 4; i++)
        if (strcmp(name, names[i]) == 0)
            return roots[i];
    return NULL;
}

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int a = 1;
    if (argc > 2 && strcmp(argv[1], "-t") == 0) {
        WaitBound = (DWORD)(atof(argv[2]) * 1000);
        a = 3;
    }
    const char *cmd = a < argc ? argv[a] : "";
    char **arg = argv + a + 1;
    int n = argc - a - 1;
    int id = n >= 2 ? atoi(arg[1]) : 0;
    if (strcmp(cmd, "wait") == 0 && (n == 1 || n == 2))
        return Window(arg[0], id) ? 0 : 1;
    if (strcmp(cmd, "gone") == 0 && n == 1) {
        const char *spec = arg[0];
        return WaitFor([&] {
            return strncmp(spec, "class:", 6) == 0 ? !FindTopWindow(spec + 6, NULL, 0, false)
                                                   : !FindTopWindow(NULL, spec, 0, false);
        })
                   ? 0
                   : 1;
    }
    if ((strcmp(cmd, "click") == 0 || strcmp(cmd, "text") == 0 || strcmp(cmd, "state") == 0) &&
        n == 2) {
        HWND window = Window(arg[0], id);
        if (!window)
            return 1;
        if (cmd[0] == 'c')
            ClickControl(window, id);
        else if (cmd[1] == 'e')
            printf("%s\n", (id ? ItemText(window, id) : WindowText(window)).c_str());
        else
            printf("%d %d\n", ButtonState(window, id) == BST_CHECKED,
                   IsWindowEnabled(GetDlgItem(window, id)) ? 1 : 0);
        return 0;
    }
    if (strcmp(cmd, "answer") == 0 && n == 2) {
        std::string text = AnswerMessageBox(arg[0], id, false);
        printf("%s\n", text.c_str());
        return text.empty() ? 1 : 0;
    }
    if (strcmp(cmd, "reg-dump") == 0 && n == 2 && Root(arg[0])) {
        RegTree tree;
        ReadRegTree(tree, Root(arg[0]), arg[1]);
        for (const auto &key : tree) {
            if (key.second.empty())
                printf("%s\n", key.first.c_str());
            for (const auto &value : key.second)
                printf("%s\t%s=%s\n", key.first.c_str(), value.first.c_str(), value.second.c_str());
        }
        return 0;
    }
    if (strcmp(cmd, "seed-machine") == 0 && n == 1 &&
        (strcmp(arg[0], "both") == 0 || strcmp(arg[0], "ps2") == 0))
        return SeedMouseMachine(arg[0][0] == 'b' ? BothMice : Ps2Mouse) ? 0 : 1;
    fprintf(stderr, "e2edriver: bad usage; see tests/driver/e2edriver.cpp\n");
    return 2;
}
