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
// With CRASH_STOP_AT=N the program ends itself with TerminateProcess just
// before change N, as a power cut would: no clean-up of its own runs; with
// CRASH_STOP_ON=TEXT before the first change whose line holds TEXT.
// The first line names where the program and this DLL lie in memory, so that
// a relay trace can tell a call through the hook from one around it.
#include <windows.h>
#include <lzexpand.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>

namespace {

HANDLE Log = INVALID_HANDLE_VALUE;
long Changes, StopAt;
char StopOn[256];

// Not WriteFile: a relay trace of the program's writes is to show those alone.
void Write(const std::string &line) {
    _lwrite((HFILE)(INT_PTR)Log, line.data(), (UINT)line.size());
}

// One logged call; a change is counted, and the stop point ends the process.
void Call(bool change, const char *function, const std::string &arguments) {
    char number[16] = "-";
    if (change)
        snprintf(number, sizeof number, "%ld", ++Changes);
    std::string line = function + ("\t" + arguments);
    Write(number + ("\t" + line) + "\n");
    if (change && (Changes == StopAt || (*StopOn && line.find(StopOn) != std::string::npos)))
        TerminateProcess(GetCurrentProcess(), 99);
}

std::string Text(const char *text) {
    return text ? text : "(null)";
}

// Where an open key lies, as the kernel names it.
std::string KeyName(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (key == HKEY_CLASSES_ROOT)
        return "HKCR";
    typedef LONG(WINAPI * QueryKey)(HANDLE, int, void *, ULONG, ULONG *);
    static QueryKey query =
        (QueryKey)(void (*)(void))GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey");
    ULONG buffer[260], size; // KEY_NAME_INFORMATION: the length in bytes, the name
    if (!query || query(key, 3, buffer, sizeof buffer - 2, &size) != 0)
        return "?";
    char name[MAX_PATH];
    int length = WideCharToMultiByte(CP_ACP, 0, (const wchar_t *)(buffer + 1), buffer[0] / 2, name,
                                     sizeof name - 1, NULL, NULL);
    name[length] = '\0';
    const char *machine = "\\REGISTRY\\MACHINE";
    std::string path = name;
    return _strnicmp(name, machine, strlen(machine)) == 0 ? "HKLM" + path.substr(strlen(machine))
                                                          : path;
}

std::string Key(HKEY key, const char *sub) {
    return KeyName(key) + (sub && *sub ? "\\" + std::string(sub) : "");
}

// The files the program opened for writing, for naming what WriteFile writes.
std::map<HANDLE, std::string> Files;

std::string FileOf(HANDLE handle) {
    return Files.count(handle) ? Files[handle] : "?";
}

// Each hooked function: its DLL, and a pointer to it for its hook to call.
#define HOOKED(X)                                                                                  \
    X(ADVAPI32, RegCreateKeyExA)                                                                   \
    X(ADVAPI32, RegSetValueExA)                                                                    \
    X(ADVAPI32, RegDeleteValueA)                                                                   \
    X(ADVAPI32, RegDeleteKeyA)                                                                     \
    X(KERNEL32, CreateFileA)                                                                       \
    X(KERNEL32, WriteFile)                                                                         \
    X(KERNEL32, CopyFileA)                                                                         \
    X(KERNEL32, MoveFileA)                                                                         \
    X(KERNEL32, DeleteFileA)                                                                       \
    X(KERNEL32, CreateDirectoryA)                                                                  \
    X(KERNEL32, RemoveDirectoryA)                                                                  \
    X(KERNEL32, SetFileAttributesA)                                                                \
    X(KERNEL32, GetTempFileNameA)                                                                  \
    X(KERNEL32, WritePrivateProfileStringA)                                                        \
    X(KERNEL32, WritePrivateProfileSectionA)                                                       \
    X(LZ32, LZOpenFileA)                                                                           \
    X(LZ32, LZCopy)
#define REAL(dll, name) decltype(&name) Real##name;
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

LONG WINAPI HookRegDeleteValueA(HKEY key, LPCSTR name) {
    Call(true, "RegDeleteValueA", Key(key, NULL) + "\t" + Text(name));
    return RealRegDeleteValueA(key, name);
}

LONG WINAPI HookRegDeleteKeyA(HKEY key, LPCSTR sub) {
    Call(true, "RegDeleteKeyA", Key(key, sub));
    return RealRegDeleteKeyA(key, sub);
}

HANDLE WINAPI HookCreateFileA(LPCSTR path, DWORD access, DWORD share,
                              LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                              HANDLE model) {
    bool change = disposition != OPEN_EXISTING ||
                  (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA));
    Call(change, "CreateFileA", Text(path) + "\t" + std::to_string(disposition));
    HANDLE file = RealCreateFileA(path, access, share, security, disposition, flags, model);
    if (change && file != INVALID_HANDLE_VALUE)
        Files[file] = Text(path);
    return file;
}

BOOL WINAPI HookWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                          LPOVERLAPPED overlapped) {
    Call(true, "WriteFile", FileOf(file) + "\t" + std::to_string(size));
    return RealWriteFile(file, data, size, written, overlapped);
}

BOOL WINAPI HookCopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    Call(true, "CopyFileA", Text(from) + "\t" + Text(to));
    return RealCopyFileA(from, to, failIfExists);
}

BOOL WINAPI HookMoveFileA(LPCSTR from, LPCSTR to) {
    Call(true, "MoveFileA", Text(from) + "\t" + Text(to));
    return RealMoveFileA(from, to);
}

BOOL WINAPI HookDeleteFileA(LPCSTR path) {
    Call(true, "DeleteFileA", Text(path));
    return RealDeleteFileA(path);
}

BOOL WINAPI HookCreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
    Call(true, "CreateDirectoryA", Text(path));
    return RealCreateDirectoryA(path, security);
}

BOOL WINAPI HookRemoveDirectoryA(LPCSTR path) {
    Call(true, "RemoveDirectoryA", Text(path));
    return RealRemoveDirectoryA(path);
}

BOOL WINAPI HookSetFileAttributesA(LPCSTR path, DWORD attributes) {
    Call(true, "SetFileAttributesA", Text(path) + "\t" + std::to_string(attributes));
    return RealSetFileAttributesA(path, attributes);
}

// With a number of 0 the call makes the file it names.
UINT WINAPI HookGetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR path) {
    Call(unique == 0, "GetTempFileNameA", Text(folder) + "\t" + Text(prefix));
    return RealGetTempFileNameA(folder, prefix, unique, path);
}

BOOL WINAPI HookWritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    Call(true, "WritePrivateProfileStringA",
         Text(file) + "\t" + Text(section) + "\t" + Text(key) + "\t" + Text(value));
    return RealWritePrivateProfileStringA(section, key, value, file);
}

BOOL WINAPI HookWritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file) {
    Call(true, "WritePrivateProfileSectionA", Text(file) + "\t" + Text(section));
    return RealWritePrivateProfileSectionA(section, lines, file);
}

INT WINAPI HookLZOpenFileA(LPSTR path, LPOFSTRUCT buffer, WORD style) {
    Call(style & (OF_CREATE | OF_DELETE | OF_WRITE | OF_READWRITE), "LZOpenFileA", Text(path));
    return RealLZOpenFileA(path, buffer, style);
}

LONG WINAPI HookLZCopy(INT from, INT to) {
    Call(true, "LZCopy", FileOf((HANDLE)(INT_PTR)to));
    return RealLZCopy(from, to);
}

#define HOOK(dll, name) {#dll ".DLL", #name, (void *)Hook##name, (void **)&Real##name},
const struct {
    const char *dll, *name;
    void *hook, **real;
} Hooks[] = {HOOKED(HOOK)};

// Points the program's import slots of the functions above at their hooks;
// the slot's old content, the function itself, is what the hook calls.
void TakeImports(BYTE *image) {
    const IMAGE_NT_HEADERS *headers =
        (const IMAGE_NT_HEADERS *)(image + ((IMAGE_DOS_HEADER *)image)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &table =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto *dll = (const IMAGE_IMPORT_DESCRIPTOR *)(image + table.VirtualAddress);
    for (; table.Size && dll->Name; dll++) {
        auto *name = (const IMAGE_THUNK_DATA *)(image + dll->OriginalFirstThunk);
        auto *slot = (IMAGE_THUNK_DATA *)(image + dll->FirstThunk);
        for (; name->u1.AddressOfData; name++, slot++) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const char *function =
                (const char *)((IMAGE_IMPORT_BY_NAME *)(image + name->u1.AddressOfData))->Name;
            for (const auto &hook : Hooks) {
                DWORD was;
                if (lstrcmpiA(hook.dll, (const char *)image + dll->Name) ||
                    strcmp(hook.name, function) ||
                    !VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                                    &was))
                    continue;
                *hook.real = (void *)slot->u1.Function;
                slot->u1.Function = (DWORD_PTR)hook.hook;
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
            }
        }
    }
}

std::string Range(HMODULE module) {
    BYTE *image = (BYTE *)module;
    auto *headers = (const IMAGE_NT_HEADERS *)(image + ((IMAGE_DOS_HEADER *)image)->e_lfanew);
    char text[32];
    snprintf(text, sizeof text, "%08lx-%08lx", (unsigned long)(DWORD_PTR)image,
             (unsigned long)((DWORD_PTR)image + headers->OptionalHeader.SizeOfImage));
    return text;
}

} // namespace

// The window hook that brings this DLL into the program; it changes nothing.
extern "C" __declspec(dllexport) LRESULT CALLBACK Loaded(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    char log[MAX_PATH], stop[16] = "", wanted[MAX_PATH] = "", running[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("CRASH_LOG", log, sizeof log);
    GetEnvironmentVariableA("CRASH_PROGRAM", wanted, sizeof wanted);
    GetModuleFileNameA(NULL, running, sizeof running);
    const char *name = strrchr(running, '\\') ? strrchr(running, '\\') + 1 : running;
    if (reason != DLL_PROCESS_ATTACH || length == 0 || length >= sizeof log ||
        lstrcmpiA(name, wanted) != 0)
        return TRUE;
    GetEnvironmentVariableA("CRASH_STOP_AT", stop, sizeof stop);
    StopAt = atol(stop);
    if (GetEnvironmentVariableA("CRASH_STOP_ON", StopOn, sizeof StopOn) >= sizeof StopOn)
        return FALSE;
    Log = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, NULL);
    if (Log == INVALID_HANDLE_VALUE)
        return FALSE;
    Write("program " + Range(GetModuleHandleA(NULL)) + " hook " + Range(self) + "\n");
    TakeImports((BYTE *)GetModuleHandleA(NULL));
    return TRUE;
}
