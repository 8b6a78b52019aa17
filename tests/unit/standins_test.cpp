// The product stand-ins the media ships, as built: Windows 95/98 programs
// that import only system libraries; the mouse application with its
// "Dorvantix" window and the property-page library.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <set>
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

struct PeFacts {
    bool readable = false;
    WORD subsystemMajor = 0, subsystemMinor = 0, subsystem = 0;
    std::set<std::string> imports;
};

PeFacts ReadPe(const std::string &path) {
    PeFacts facts;
    std::ifstream file(path.c_str(), std::ios::binary);
    std::vector<unsigned char> image((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return facts;
    const IMAGE_DOS_HEADER *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(&image[0]);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
        (size_t)dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32) > image.size())
        return facts;
    const IMAGE_NT_HEADERS32 *nt =
        reinterpret_cast<const IMAGE_NT_HEADERS32 *>(&image[dos->e_lfanew]);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return facts;
    facts.subsystemMajor = nt->OptionalHeader.MajorSubsystemVersion;
    facts.subsystemMinor = nt->OptionalHeader.MinorSubsystemVersion;
    facts.subsystem = nt->OptionalHeader.Subsystem;
    const IMAGE_SECTION_HEADER *sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER &s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return image.size();
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = offsetOf(importRva); at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= image.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const IMAGE_IMPORT_DESCRIPTOR *entry =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(&image[at]);
        if (entry->Name == 0)
            break;
        size_t name = offsetOf(entry->Name);
        std::string dll;
        while (name < image.size() && image[name] != 0)
            dll += (char)toupper(image[name++]);
        facts.imports.insert(dll);
    }
    facts.readable = true;
    return facts;
}

TEST(StandIns, AreWindows95ProgramsOnSystemLibraries) {
    const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",
                                           "ADVAPI32.DLL", "MSVCRT.DLL"};
    for (const char *name : {"ZKMAIN.EXE", "ZKPAGE.DLL"}) {
        PeFacts facts = ReadPe(StandIn(name));
        ASSERT_TRUE(facts.readable) << StandIn(name);
        EXPECT_EQ(4, facts.subsystemMajor) << name;
        EXPECT_EQ(0, facts.subsystemMinor) << name;
        EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, facts.subsystem) << name;
        EXPECT_TRUE(facts.imports.count("KERNEL32.DLL")) << name;
        for (const std::string &dll : facts.imports)
            EXPECT_TRUE(allowed.count(dll)) << name << " imports " << dll;
    }
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
