// crash_hook.dll: what the crash sweep puts into SETUP.EXE or UNINSTAL.EXE
// (`e2edriver inject`, as the program makes its first window). Inert unless
// CRASH_LOG names a log file and the process is CRASH_PROGRAM (a file name).
// Then it takes over the program's imports of every call that changes the
// machine and logs each call, a line apiece:
//
//   N<TAB>function<TAB>arguments      a change, numbered from 1
//   -<TAB>function<TAB>arguments      the same call changing nothing (a key
//                                     that exists opened, a file read)
//
// With CRASH_STOP_AT=N the program logs "stop" and ends itself with
// TerminateProcess just before change N, as a power cut would: no clean-up
// of its own runs; with CRASH_STOP_ON=TEXT before the first change whose line
// holds TEXT. A program it starts (the uninstaller's copy that does the work)
// gets the DLL at once and goes on with the count. Each process's first line
// names where it lies in memory, so that a relay trace can tell a call it
// makes around the hook.
#include <windows.h>
#include <lzexpand.h>

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

HMODULE Self;
HANDLE Log = INVALID_HANDLE_VALUE;
long Changes, StopAt;
std::string StopOn;

// Not WriteFile: a relay trace of the program's writes is to show those alone.
void Write(const std::string &line) {
    _lwrite((HFILE)(INT_PTR)Log, line.data(), (UINT)line.size());
}

// One logged call; a change is counted, and the stop point ends the process.
void Call(bool change, const char *function, const std::string &arguments) {
    std::string line = function + ("\t" + arguments);
    Write((change ? std::to_string(++Changes) : "-") + "\t" + line + "\n");
    if (change &&
        (Changes == StopAt || (!StopOn.empty() && line.find(StopOn) != std::string::npos))) {
        Write("stop\n");
        TerminateProcess(GetCurrentProcess(), 99);
    }
}

std::string Text(const char *text) {
    return text ? text : "(null)";
}

std::string Env(const char *name) {
    char text[1024] = "";
    return GetEnvironmentVariableA(name, text, sizeof text) < sizeof text ? text : "";
}

const char *FileName(const char *path) {
    return strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
}

// Where an open key lies, as the kernel names it.
std::string Key(HKEY key, const char *sub) {
    std::string path = key == HKEY_LOCAL_MACHINE ? "HKLM" : key == HKEY_CLASSES_ROOT ? "HKCR" : "?";
    typedef LONG(WINAPI * QueryKey)(HANDLE, int, void *, ULONG, ULONG *);
    static QueryKey query =
        (QueryKey)(void (*)(void))GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey");
    ULONG buffer[260], size; // KEY_NAME_INFORMATION: the length in bytes, the name
    char name[MAX_PATH];
    if (path == "?" && query && query(key, 3, buffer, sizeof buffer - 2, &size) == 0) {
        name[WideCharToMultiByte(CP_ACP, 0, (const wchar_t *)(buffer + 1), buffer[0] / 2, name,
                                 sizeof name - 1, NULL, NULL)] = '\0';
        path = _strnicmp(name, "\\REGISTRY\\MACHINE", 17) ? name : "HKLM" + std::string(name + 17);
    }
    return path + (sub && *sub ? "\\" + std::string(sub) : "");
}

// Each hooked function, and a pointer to it for its hook to call.
// clang-format off
#define HOOKED(X)                                                                                  \
    X(RegCreateKeyExA) X(RegSetValueExA) X(RegDeleteValueA) X(RegDeleteKeyA) X(CreateFileA)        \
    X(WriteFile) X(CopyFileA) X(MoveFileA) X(DeleteFileA) X(CreateDirectoryA) X(RemoveDirectoryA)  \
    X(SetFileAttributesA) X(WritePrivateProfileStringA) X(WritePrivateProfileSectionA)             \
    X(CreateProcessA) X(LZOpenFileA) X(LZCopy)
// clang-format on
#define REAL(name) decltype(&name) Real##name;
HOOKED(REAL)

LONG WINAPI HookRegCreateKeyExA(HKEY key, LPCSTR sub, DWORD reserved, LPSTR cls, DWORD options,
                                REGSAM sam, LPSECURITY_ATTRIBUTES security, PHKEY made,
                                LPDWORD disposition) {
    HKEY probe;
    bool exists = RegOpenKeyExA(key, sub, 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (exists)
        RegCloseKey(probe);
    Call(!exists, "RegCreateKeyExA", Key(key, sub));
    return RealRegCreateKeyExA(key, sub, reserved, cls, options, sam, security, made, disposition);
}

LONG WINAPI HookRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data,
                               DWORD size) {
    std::string shown = type == REG_SZ && data ? std::string((const char *)data, size).c_str()
                                               : "<type " + std::to_string(type) + ">";
    Call(true, "RegSetValueExA", Key(key, NULL) + "\t" + Text(name) + "\t" + shown);
    return RealRegSetValueExA(key, name, reserved, type, data, size);
}

HANDLE WINAPI HookCreateFileA(LPCSTR path, DWORD access, DWORD share,
                              LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                              HANDLE model) {
    bool change = disposition != OPEN_EXISTING ||
                  (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA));
    Call(change, "CreateFileA", Text(path) + "\t" + std::to_string(disposition));
    return RealCreateFileA(path, access, share, security, disposition, flags, model);
}

INT WINAPI HookLZOpenFileA(LPSTR path, LPOFSTRUCT buffer, WORD style) {
    Call(style & (OF_CREATE | OF_DELETE | OF_WRITE | OF_READWRITE), "LZOpenFileA", Text(path));
    return RealLZOpenFileA(path, buffer, style);
}

// A hook that logs a change, the arguments shown, then makes it.
#define CHANGE(type, name, parameters, arguments, shown)                                           \
    type WINAPI Hook##name parameters {                                                            \
        Call(true, #name, shown);                                                                  \
        return Real##name arguments;                                                               \
    }
CHANGE(LONG, RegDeleteValueA, (HKEY key, LPCSTR name), (key, name),
       Key(key, NULL) + "\t" + Text(name))
CHANGE(LONG, RegDeleteKeyA, (HKEY key, LPCSTR sub), (key, sub), Key(key, sub))
// What WriteFile and LZCopy write into: the file the log shows opened to write last.
CHANGE(BOOL, WriteFile, (HANDLE file, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlap),
       (file, data, size, done, overlap), std::to_string(size))
CHANGE(BOOL, CopyFileA, (LPCSTR from, LPCSTR to, BOOL fail), (from, to, fail),
       Text(from) + "\t" + Text(to))
CHANGE(BOOL, MoveFileA, (LPCSTR from, LPCSTR to), (from, to), Text(from) + "\t" + Text(to))
CHANGE(BOOL, DeleteFileA, (LPCSTR path), (path), Text(path))
CHANGE(BOOL, CreateDirectoryA, (LPCSTR path, LPSECURITY_ATTRIBUTES security), (path, security),
       Text(path))
CHANGE(BOOL, RemoveDirectoryA, (LPCSTR path), (path), Text(path))
CHANGE(BOOL, SetFileAttributesA, (LPCSTR path, DWORD attributes), (path, attributes),
       Text(path) + "\t" + std::to_string(attributes))
CHANGE(BOOL, WritePrivateProfileStringA, (LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file),
       (section, key, value, file),
       Text(file) + "\t" + Text(section) + "\t" + Text(key) + "\t" + Text(value))
CHANGE(BOOL, WritePrivateProfileSectionA, (LPCSTR section, LPCSTR lines, LPCSTR file),
       (section, lines, file), Text(file) + "\t" + Text(section))
CHANGE(LONG, LZCopy, (INT from, INT to), (from, to), "")

// The child makes its changes before any window, where the window hook would
// come in: a thread of the child's loads this DLL at once, by its path mapped
// into the child (emulation lets no process write another's memory), while
// the child still waits for this process to end. It changes nothing before.
BOOL WINAPI HookCreateProcessA(LPCSTR app, LPSTR line, LPSECURITY_ATTRIBUTES processSecurity,
                               LPSECURITY_ATTRIBUTES threadSecurity, BOOL inherit, DWORD flags,
                               LPVOID environment, LPCSTR folder, LPSTARTUPINFOA start,
                               LPPROCESS_INFORMATION made) {
    Call(false, "CreateProcessA", Text(app) + "\t" + Text(line));
    SetEnvironmentVariableA("CRASH_PROGRAM", FileName(app ? app : line));
    SetEnvironmentVariableA("CRASH_CHANGES", std::to_string(Changes).c_str());
    if (!RealCreateProcessA(app, line, processSecurity, threadSecurity, inherit, flags, environment,
                            folder, start, made))
        return FALSE;
    typedef LONG(WINAPI * MapView)(HANDLE, HANDLE, void **, ULONG_PTR, SIZE_T, void *, SIZE_T *,
                                   DWORD, ULONG, ULONG);
    MapView map = (MapView)(void (*)(void))GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                          "NtMapViewOfSection");
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, NULL);
    char *path = section ? (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0) : NULL;
    void *there = NULL;
    SIZE_T size = 0;
    // Should it fail, the relay trace shows the child's changes made around the hook.
    if (path && GetModuleFileNameA(Self, path, MAX_PATH) &&
        map(section, made->hProcess, &there, 0, 0, NULL, &size, 2, 0, PAGE_READONLY) == 0)
        WaitForSingleObject(
            CreateRemoteThread(made->hProcess, NULL, 0,
                               (LPTHREAD_START_ROUTINE)(void (*)(void))GetProcAddress(
                                   GetModuleHandleA("kernel32.dll"), "LoadLibraryA"),
                               there, 0, NULL),
            60000);
    return TRUE;
}

#define HOOK(name) {#name, (void *)Hook##name, (void **)&Real##name},
const struct {
    const char *name;
    void *hook, **real;
} Hooks[] = {HOOKED(HOOK)};

const IMAGE_NT_HEADERS *Headers(BYTE *image) {
    return (const IMAGE_NT_HEADERS *)(image + ((IMAGE_DOS_HEADER *)image)->e_lfanew);
}

// Points the program's import slots of the functions above at their hooks;
// the slot's old content, the function itself, is what the hook calls.
void TakeImports(BYTE *image) {
    const IMAGE_DATA_DIRECTORY &table =
        Headers(image)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto *dll = (const IMAGE_IMPORT_DESCRIPTOR *)(image + table.VirtualAddress);
    for (; table.Size && dll->Name; dll++) {
        auto *name = (const IMAGE_THUNK_DATA *)(image + dll->OriginalFirstThunk);
        auto *slot = (IMAGE_THUNK_DATA *)(image + dll->FirstThunk);
        for (; name->u1.AddressOfData; name++, slot++)
            for (const auto &hook : Hooks) {
                DWORD was;
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                    strcmp(
                        hook.name,
                        (char *)((IMAGE_IMPORT_BY_NAME *)(image + name->u1.AddressOfData))->Name) ||
                    !VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                                    &was))
                    continue;
                *hook.real = (void *)slot->u1.Function;
                slot->u1.Function = (DWORD_PTR)hook.hook;
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
            }
    }
}

} // namespace

// The window hook that brings this DLL into the program; it changes nothing.
extern "C" __declspec(dllexport) LRESULT CALLBACK Loaded(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    char running[MAX_PATH] = "", range[64];
    GetModuleFileNameA(NULL, running, sizeof running);
    if (reason != DLL_PROCESS_ATTACH || Env("CRASH_LOG").empty() ||
        lstrcmpiA(FileName(running), Env("CRASH_PROGRAM").c_str()) != 0)
        return TRUE;
    Self = self, StopOn = Env("CRASH_STOP_ON");
    StopAt = atol(Env("CRASH_STOP_AT").c_str()), Changes = atol(Env("CRASH_CHANGES").c_str());
    Log =
        CreateFileA(Env("CRASH_LOG").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (Log == INVALID_HANDLE_VALUE)
        return FALSE;
    BYTE *image = (BYTE *)GetModuleHandleA(NULL);
    wsprintfA(range, "program %08lx-%08lx\n", (unsigned long)(DWORD_PTR)image,
              (unsigned long)((DWORD_PTR)image + Headers(image)->OptionalHeader.SizeOfImage));
    Write(range);
    TakeImports(image);
    return TRUE;
}
