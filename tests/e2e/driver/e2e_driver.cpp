// e2edriver: looks at and works the windows of a program under test, and
// reads and writes the registry where Wine's own tools cannot reach.
//
//   e2edriver [-t seconds] COMMAND ARGS...
//
// A window is named by its exact title, or "class:NAME" for its class, or
// "hwnd:0x1234". Only visible top-level windows are looked at. Commands that
// need a window or control wait for it up to the timeout (default 10 s).
// Exit status: 0 done / true, 1 not found / false / timed out, 2 bad usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static DWORD TimeoutMs = 10000;

static void Fail(const char *format, const char *a = "", const char *b = "") {
    fprintf(stderr, "e2edriver: ");
    fprintf(stderr, format, a, b);
    fprintf(stderr, "\n");
}

// --- finding windows ---------------------------------------------------

struct WindowQuery {
    const char *spec;
    int controlId; // -1: any window; otherwise it must have this control
    HWND found;
    int count;
};

static int MatchesSpec(HWND window, const char *spec) {
    char text[512];
    if (strncmp(spec, "hwnd:", 5) == 0)
        return window == (HWND)(ULONG_PTR)strtoul(spec + 5, NULL, 0);
    if (strncmp(spec, "class:", 6) == 0) {
        if (!GetClassNameA(window, text, sizeof text))
            return 0;
        return lstrcmpiA(text, spec + 6) == 0;
    }
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    return strcmp(text, spec) == 0;
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    WindowQuery *query = (WindowQuery *)param;
    if (!IsWindowVisible(window) || !MatchesSpec(window, query->spec))
        return TRUE;
    if (query->controlId >= 0 && GetDlgItem(window, query->controlId) == NULL)
        return TRUE;
    if (query->found == NULL)
        query->found = window;
    query->count++;
    return TRUE;
}

static HWND FindNow(const char *spec, int controlId, int *count) {
    WindowQuery query = {spec, controlId, NULL, 0};
    EnumWindows(CollectWindow, (LPARAM)&query);
    if (count)
        *count = query.count;
    return query.found;
}

static HWND WaitFor(const char *spec, int controlId, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindNow(spec, controlId, NULL);
        if (window)
            return window;
        if (GetTickCount() - start >= timeout)
            return NULL;
        Sleep(100);
    }
}

static HWND FindControl(const char *spec, const char *idText, HWND *owner) {
    int id = (int)strtol(idText, NULL, 0);
    HWND window = WaitFor(spec, id, TimeoutMs);
    if (!window) {
        Fail("no window \"%s\" with control %s", spec, idText);
        return NULL;
    }
    if (owner)
        *owner = window;
    return GetDlgItem(window, id);
}

// Window text through the owner's own procedure (works across processes).
static int ReadText(HWND window, char *out, int size) {
    DWORD_PTR length = 0;
    out[0] = '\0';
    if (!SendMessageTimeoutA(window, WM_GETTEXT, size, (LPARAM)out, SMTO_ABORTIFHUNG, TimeoutMs,
                             &length))
        return 0;
    out[size - 1] = '\0';
    return 1;
}

static void PrintWindowLine(HWND window) {
    char title[256], cls[128];
    RECT r;
    DWORD pid = 0;
    title[0] = cls[0] = '\0';
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, cls, sizeof cls);
    GetWindowRect(window, &r);
    GetWindowThreadProcessId(window, &pid);
    // A page made with the backdrop as parent is a popup owned by it.
    printf("%p\t%s\t%s\t%ld,%ld,%ld,%ld\towner=%p\tparent=%p\tpid=%lu\n", (void *)window, title,
           cls, r.left, r.top, r.right, r.bottom, (void *)GetWindow(window, GW_OWNER),
           (void *)GetParent(window), pid);
}

static int ListAll;

static BOOL CALLBACK ListWindow(HWND window, LPARAM) {
    if (ListAll || IsWindowVisible(window))
        PrintWindowLine(window);
    return TRUE;
}

static BOOL CALLBACK ListControl(HWND control, LPARAM) {
    char text[256], cls[128];
    RECT r;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    cls[0] = '\0';
    GetClassNameA(control, cls, sizeof cls);
    // A picture static's text is its resource reference, not something to show.
    if (lstrcmpiA(cls, "Static") == 0 &&
        ((style & SS_TYPEMASK) == SS_BITMAP || (style & SS_TYPEMASK) == SS_ICON))
        lstrcpynA(text, "[picture]", sizeof text);
    else
        ReadText(control, text, sizeof text);
    for (char *p = text; *p; p++)
        if (*p == '\n' || *p == '\r' || *p == '\t')
            *p = ' ';
    GetWindowRect(control, &r);
    printf("%d\t%s\t%s\t%ld,%ld,%ld,%ld\tvisible=%d\tenabled=%d\n", GetDlgCtrlID(control), cls,
           text, r.left, r.top, r.right, r.bottom, IsWindowVisible(control) ? 1 : 0,
           IsWindowEnabled(control) ? 1 : 0);
    return TRUE;
}

// --- registry -----------------------------------------------------------

static HKEY RootByName(const char *name) {
    static const struct {
        const char *name;
        HKEY key;
    } roots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKCU", HKEY_CURRENT_USER},
        {"HKEY_USERS", HKEY_USERS},
        {"HKU", HKEY_USERS},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKDD", HKEY_DYN_DATA},
    };
    for (size_t i = 0; i < sizeof roots / sizeof roots[0]; i++)
        if (lstrcmpiA(name, roots[i].name) == 0)
            return roots[i].key;
    return NULL;
}

static void PrintValue(DWORD type, const BYTE *data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        printf("%.*s\n", (int)(size && data[size - 1] == 0 ? size - 1 : size), (const char *)data);
    } else if (type == REG_DWORD && size == 4) {
        printf("%lu\n", *(const DWORD *)data);
    } else {
        for (DWORD i = 0; i < size; i++)
            printf("%s%02x", i ? " " : "", data[i]);
        printf("\n");
    }
}

static const char *TypeName(DWORD type) {
    switch (type) {
    case REG_SZ:
        return "sz";
    case REG_EXPAND_SZ:
        return "expand_sz";
    case REG_DWORD:
        return "dword";
    case REG_BINARY:
        return "binary";
    default:
        return "other";
    }
}

static int OpenKey(const char *rootName, const char *path, REGSAM access, int create, HKEY *key) {
    HKEY root = RootByName(rootName);
    if (!root) {
        Fail("unknown root %s", rootName);
        return 0;
    }
    LONG status;
    if (create)
        status = RegCreateKeyExA(root, path, 0, NULL, 0, access, NULL, key, NULL);
    else
        status = RegOpenKeyExA(root, path, 0, access, key);
    if (status != ERROR_SUCCESS) {
        Fail("cannot open %s\\%s", rootName, path);
        return 0;
    }
    return 1;
}

static int RegQuery(const char *root, const char *path, const char *name) {
    HKEY key;
    if (!OpenKey(root, path, KEY_READ, 0, &key))
        return 1;
    BYTE data[4096];
    DWORD type = 0, size = sizeof data;
    LONG status = RegQueryValueExA(key, name[0] ? name : NULL, NULL, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        Fail("no value \"%s\" in %s", name, path);
        return 1;
    }
    PrintValue(type, data, size);
    return 0;
}

static int HexNibble(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static int RegSet(const char *root, const char *path, const char *name, const char *type,
                  const char *text) {
    BYTE data[4096];
    DWORD size = 0, kind;
    if (strcmp(type, "sz") == 0) {
        kind = REG_SZ;
        size = (DWORD)strlen(text) + 1;
        if (size > sizeof data) {
            Fail("value too long");
            return 2;
        }
        memcpy(data, text, size);
    } else if (strcmp(type, "dword") == 0) {
        kind = REG_DWORD;
        DWORD number = strtoul(text, NULL, 0);
        memcpy(data, &number, 4);
        size = 4;
    } else if (strcmp(type, "binary") == 0) {
        kind = REG_BINARY;
        for (const char *p = text; *p;) {
            if (*p == ' ' || *p == ',') {
                p++;
                continue;
            }
            int hi = HexNibble(p[0]), lo = p[1] ? HexNibble(p[1]) : -1;
            if (hi < 0 || lo < 0 || size >= sizeof data) {
                Fail("bad binary data \"%s\"", text);
                return 2;
            }
            data[size++] = (BYTE)(hi * 16 + lo);
            p += 2;
        }
    } else {
        Fail("unknown type %s (sz, dword, binary)", type);
        return 2;
    }
    HKEY key;
    if (!OpenKey(root, path, KEY_WRITE, 1, &key))
        return 1;
    LONG status = RegSetValueExA(key, name[0] ? name : NULL, 0, kind, data, size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        Fail("cannot set \"%s\"", name);
        return 1;
    }
    return 0;
}

static int RegEnum(const char *root, const char *path) {
    HKEY key;
    if (!OpenKey(root, path, KEY_READ, 0, &key))
        return 1;
    char name[512];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        printf("key\t%s\n", name);
    }
    BYTE data[4096];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &size, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        printf("value\t%s\t%s\t", name, TypeName(type));
        PrintValue(type, data, dataSize);
    }
    RegCloseKey(key);
    return 0;
}

static LONG DeleteTree(HKEY parent, const char *path) {
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    char name[512];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        if (DeleteTree(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, path);
}

static int RegDelete(const char *rootName, const char *path, const char *name) {
    HKEY root = RootByName(rootName);
    if (!root) {
        Fail("unknown root %s", rootName);
        return 2;
    }
    if (name == NULL)
        return DeleteTree(root, path) == ERROR_SUCCESS ? 0 : 1;
    HKEY key;
    if (!OpenKey(rootName, path, KEY_WRITE, 0, &key))
        return 1;
    LONG status = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

// --- commands -------------------------------------------------------------

static int Usage(void) {
    fprintf(stderr, "usage: e2edriver [-t seconds] COMMAND ...\n"
                    "  windows [-a]                  visible (or all) top-level windows\n"
                    "  controls WIN                  the child controls of a window\n"
                    "  wait-window WIN SECONDS       until WIN exists\n"
                    "  wait-control WIN ID SECONDS   until a WIN with control ID exists\n"
                    "  wait-gone WIN SECONDS         until no WIN exists\n"
                    "  exists WIN / count WIN        at once\n"
                    "  click WIN ID                  BM_CLICK posted to control ID\n"
                    "  command WIN ID                WM_COMMAND ID posted to WIN\n"
                    "  click-pos X Y                 left click at screen X,Y\n"
                    "  double-click-pos X Y          left double click at screen X,Y\n"
                    "  item-pos WIN ID TEXT          screen X Y of a list box item, scrolled into\n"
                    "                                sight (ID 0: WIN itself)\n"
                    "  key WIN VK                    key down and up posted to WIN's focus\n"
                    "  text WIN ID                   text of control ID (0: the window)\n"
                    "  wait-text WIN ID TEXT SECONDS until control ID reads TEXT\n"
                    "  set-text WIN ID TEXT\n"
                    "  msgbox-text CAPTION           text of a message box\n"
                    "  close WIN                     WM_CLOSE posted\n"
                    "  check-radio WIN ID            click a radio button, wait until checked\n"
                    "  is-checked WIN ID / is-enabled WIN ID / is-visible WIN ID  prints 1 or 0\n"
                    "  rect WIN [ID]                 screen rectangle left,top,right,bottom\n"
                    "  reg-query ROOT KEY VALUE      ('' for the default value)\n"
                    "  reg-set ROOT KEY VALUE sz|dword|binary DATA\n"
                    "  reg-enum ROOT KEY             sub-keys and values\n"
                    "  reg-delete ROOT KEY [VALUE]   a value, or the key with its sub-keys\n"
                    "ROOT: HKCR HKLM HKCU HKU HKEY_DYN_DATA (long names too)\n");
    return 2;
}

static int PrintFlag(int value) {
    printf("%d\n", value ? 1 : 0);
    return 0;
}

int main(int argc, char **argv) {
    int a = 1;
    // The last -t wins, so a wrapper's default can be overridden.
    while (a + 1 < argc && strcmp(argv[a], "-t") == 0) {
        TimeoutMs = (DWORD)(atof(argv[a + 1]) * 1000);
        a += 2;
    }
    if (a >= argc)
        return Usage();
    const char *cmd = argv[a];
    char **arg = argv + a + 1;
    int n = argc - a - 1;
    char text[4096];

    if (strcmp(cmd, "windows") == 0) {
        ListAll = n >= 1 && strcmp(arg[0], "-a") == 0;
        EnumWindows(ListWindow, 0);
        return 0;
    }
    if (strcmp(cmd, "controls") == 0 && n == 1) {
        HWND window = WaitFor(arg[0], -1, TimeoutMs);
        if (!window) {
            Fail("no window \"%s\"", arg[0]);
            return 1;
        }
        EnumChildWindows(window, ListControl, 0);
        return 0;
    }
    if (strcmp(cmd, "wait-window") == 0 && n == 2)
        return WaitFor(arg[0], -1, (DWORD)(atof(arg[1]) * 1000)) ? 0 : 1;
    if (strcmp(cmd, "wait-control") == 0 && n == 3)
        return WaitFor(arg[0], (int)strtol(arg[1], NULL, 0), (DWORD)(atof(arg[2]) * 1000)) ? 0 : 1;
    if (strcmp(cmd, "wait-gone") == 0 && n == 2) {
        DWORD start = GetTickCount(), limit = (DWORD)(atof(arg[1]) * 1000);
        while (FindNow(arg[0], -1, NULL)) {
            if (GetTickCount() - start >= limit)
                return 1;
            Sleep(100);
        }
        return 0;
    }
    if (strcmp(cmd, "exists") == 0 && n == 1)
        return FindNow(arg[0], -1, NULL) ? 0 : 1;
    if (strcmp(cmd, "count") == 0 && n == 1) {
        int count = 0;
        FindNow(arg[0], -1, &count);
        printf("%d\n", count);
        return 0;
    }
    if ((strcmp(cmd, "click") == 0 || strcmp(cmd, "check-radio") == 0) && n == 2) {
        HWND control = FindControl(arg[0], arg[1], NULL);
        if (!control)
            return 1;
        // Posted, so that a message box opened by the click cannot block us.
        PostMessageA(control, BM_CLICK, 0, 0);
        if (cmd[0] == 'c' && cmd[1] == 'l')
            return 0;
        DWORD start = GetTickCount();
        for (;;) {
            DWORD_PTR state = 0;
            if (SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, TimeoutMs,
                                    &state) &&
                state == BST_CHECKED)
                return 0;
            if (GetTickCount() - start >= TimeoutMs) {
                Fail("control %s of \"%s\" did not become checked", arg[1], arg[0]);
                return 1;
            }
            Sleep(50);
        }
    }
    if (strcmp(cmd, "command") == 0 && n == 2) {
        HWND owner;
        HWND control = FindControl(arg[0], arg[1], &owner);
        if (!control)
            return 1;
        int id = (int)strtol(arg[1], NULL, 0);
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control);
        return 0;
    }
    if ((strcmp(cmd, "click-pos") == 0 || strcmp(cmd, "double-click-pos") == 0) && n == 2) {
        int x = atoi(arg[0]), y = atoi(arg[1]);
        SetCursorPos(x, y);
        // A double click is two clicks in one input batch, well within the
        // double-click time.
        UINT count = cmd[0] == 'd' ? 4 : 2;
        INPUT input[4];
        memset(input, 0, sizeof input);
        for (UINT i = 0; i < count; i++) {
            input[i].type = INPUT_MOUSE;
            input[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
        }
        return SendInput(count, input, sizeof(INPUT)) == count ? 0 : 1;
    }
    if (strcmp(cmd, "item-pos") == 0 && n == 3) {
        // A list box (or the dropped list of a combo box, "class:ComboLBox"
        // with id 0): the screen centre of the item reading TEXT exactly.
        HWND list;
        if (strtol(arg[1], NULL, 0) == 0) {
            list = WaitFor(arg[0], -1, TimeoutMs);
            if (!list)
                Fail("no window \"%s\"", arg[0]);
        } else {
            list = FindControl(arg[0], arg[1], NULL);
        }
        if (!list)
            return 1;
        DWORD start = GetTickCount();
        for (;;) {
            DWORD_PTR index = (DWORD_PTR)LB_ERR;
            SendMessageTimeoutA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)arg[2],
                                SMTO_ABORTIFHUNG, TimeoutMs, &index);
            RECT item;
            DWORD_PTR got = 0;
            if ((LRESULT)index != LB_ERR &&
                SendMessageTimeoutA(list, LB_GETITEMRECT, index, (LPARAM)&item, SMTO_ABORTIFHUNG,
                                    TimeoutMs, &got) &&
                (LRESULT)got != LB_ERR) {
                RECT client;
                GetClientRect(list, &client);
                if (item.top < client.top || item.bottom > client.bottom) {
                    // Out of sight: scrolled to the top first, as a user would.
                    SendMessageTimeoutA(list, LB_SETTOPINDEX, index, 0, SMTO_ABORTIFHUNG, TimeoutMs,
                                        &got);
                    continue;
                }
                POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
                ClientToScreen(list, &centre);
                printf("%ld %ld\n", centre.x, centre.y);
                return 0;
            }
            if (GetTickCount() - start >= TimeoutMs) {
                Fail("no item \"%s\" in \"%s\"", arg[2], arg[0]);
                return 1;
            }
            Sleep(100);
        }
    }
    if (strcmp(cmd, "key") == 0 && n == 2) {
        HWND window = WaitFor(arg[0], -1, TimeoutMs);
        if (!window) {
            Fail("no window \"%s\"", arg[0]);
            return 1;
        }
        UINT vk = (UINT)strtoul(arg[1], NULL, 0);
        GUITHREADINFO info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        HWND target = window;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) && info.hwndFocus)
            target = info.hwndFocus;
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    if ((strcmp(cmd, "text") == 0 && n == 2) || (strcmp(cmd, "wait-text") == 0 && n == 4)) {
        HWND owner;
        HWND control;
        if (strtol(arg[1], NULL, 0) == 0) {
            control = owner = WaitFor(arg[0], -1, TimeoutMs);
            if (!control) {
                Fail("no window \"%s\"", arg[0]);
                return 1;
            }
        } else if (!(control = FindControl(arg[0], arg[1], &owner))) {
            return 1;
        }
        if (cmd[0] == 't') {
            if (!ReadText(control, text, sizeof text))
                return 1;
            printf("%s\n", text);
            return 0;
        }
        DWORD start = GetTickCount(), limit = (DWORD)(atof(arg[3]) * 1000);
        for (;;) {
            if (ReadText(control, text, sizeof text) && strcmp(text, arg[2]) == 0)
                return 0;
            if (GetTickCount() - start >= limit) {
                Fail("control reads \"%s\", not \"%s\"", text, arg[2]);
                return 1;
            }
            Sleep(50);
        }
    }
    if (strcmp(cmd, "set-text") == 0 && n == 3) {
        HWND control = FindControl(arg[0], arg[1], NULL);
        DWORD_PTR done = 0;
        if (!control || !SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)arg[2],
                                             SMTO_ABORTIFHUNG, TimeoutMs, &done))
            return 1;
        return 0;
    }
    if (strcmp(cmd, "msgbox-text") == 0 && n == 1) {
        DWORD start = GetTickCount();
        for (;;) {
            // A message box is a dialog (#32770) with its text in control 0xFFFF.
            HWND box = FindNow(arg[0], 0xFFFF, NULL);
            if (box) {
                GetClassNameA(box, text, sizeof text);
                if (strcmp(text, "#32770") == 0 &&
                    ReadText(GetDlgItem(box, 0xFFFF), text, sizeof text)) {
                    printf("%s\n", text);
                    return 0;
                }
            }
            if (GetTickCount() - start >= TimeoutMs) {
                Fail("no message box captioned \"%s\"", arg[0]);
                return 1;
            }
            Sleep(100);
        }
    }
    if (strcmp(cmd, "close") == 0 && n == 1) {
        HWND window = WaitFor(arg[0], -1, TimeoutMs);
        if (!window) {
            Fail("no window \"%s\"", arg[0]);
            return 1;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if ((strcmp(cmd, "is-checked") == 0 || strcmp(cmd, "is-enabled") == 0 ||
         strcmp(cmd, "is-visible") == 0) &&
        n == 2) {
        HWND control = FindControl(arg[0], arg[1], NULL);
        if (!control)
            return 1;
        if (strcmp(cmd, "is-enabled") == 0)
            return PrintFlag(IsWindowEnabled(control));
        if (strcmp(cmd, "is-visible") == 0)
            return PrintFlag(IsWindowVisible(control));
        DWORD_PTR state = 0;
        if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, TimeoutMs, &state))
            return 1;
        return PrintFlag(state == BST_CHECKED);
    }
    if (strcmp(cmd, "rect") == 0 && (n == 1 || n == 2)) {
        HWND window;
        if (n == 2) {
            window = FindControl(arg[0], arg[1], NULL);
        } else {
            window = WaitFor(arg[0], -1, TimeoutMs);
            if (!window)
                Fail("no window \"%s\"", arg[0]);
        }
        if (!window)
            return 1;
        RECT r;
        GetWindowRect(window, &r);
        printf("%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (strcmp(cmd, "reg-query") == 0 && n == 3)
        return RegQuery(arg[0], arg[1], arg[2]);
    if (strcmp(cmd, "reg-set") == 0 && n == 5)
        return RegSet(arg[0], arg[1], arg[2], arg[3], arg[4]);
    if (strcmp(cmd, "reg-enum") == 0 && n == 2)
        return RegEnum(arg[0], arg[1]);
    if (strcmp(cmd, "reg-delete") == 0 && (n == 2 || n == 3))
        return RegDelete(arg[0], arg[1], n == 3 ? arg[2] : NULL);
    return Usage();
}
