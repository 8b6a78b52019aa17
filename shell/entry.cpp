// The program's entry: mode choice, version gate, the page walk of a full
// setup, the re-registration run and the restart.
#include "shell/setup.h"
#include "shell/page_sequence.h"
#include "script/script.h"
#include "backdrop/backdrop.h"
#include "pages/page_host.h"
#include "install/copy_engine.h"
#include "system/system.h"
#include "runtime/runtime.h"
#include "resources/resource_ids.h"

struct PageDescriptor {
    const char *ClassName;
    WNDPROC Procedure;
    short TemplateId;
};

static const PageDescriptor Pages[PAGE_COUNT] = {
    {"SETUP_BEGIN", WelcomePageProc, IDD_WELCOME},
    {"SETUP_SELMOUSE", MouseTypePageProc, IDD_MOUSE_TYPE},
    {"SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION},
    {"SETUP_INSTALL", InstallPageProc, IDD_INSTALL},
    {"SETUP_END", FinishPageProc, IDD_FINISH},
};

static short ShowPage(int page) {
    const PageDescriptor *descriptor = &Pages[page];
    return RunPage(descriptor->ClassName, descriptor->Procedure, descriptor->TemplateId);
}

static void ShowScriptError(void) {
    MessageBoxA(NULL, ResourceText(IDS_READING_ERROR), InstallConfig.Caption,
                MB_OK | MB_ICONWARNING);
}

// Every path under the Windows folder is built on WindowsDir; a folder name
// that does not fit would leave it empty and aim the system.ini patch at the
// wrong place, so such a run stops like one with an unreadable script.
static int LoadSettings(void) {
    UINT length = GetWindowsDirectoryA(InstallConfig.WindowsDir, PATH_TEXT);
    int windowsDirFits = length > 0 && length < PATH_TEXT;
    if (!windowsDirFits)
        InstallConfig.WindowsDir[0] = '\0';
    // The loader builds the caption first, so the message below carries it.
    if (!LoadSetupScript() || !windowsDirFits) {
        ShowScriptError();
        return 0;
    }
    return 1;
}

static void RunReregistration(void) {
    if (!LoadSettings())
        return;
    MouseBackEnabled = 0;
    // No backdrop here: the page comes up as a top-level window.
    if (ShowPage(PAGE_MOUSE_TYPE) == 0)
        return;
    // The product already lies beside the program; the record goes there too.
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, InstallConfig.SourceRoot);
    UpdateRegistry(0);
    MessageBoxA(NULL, ResourceText(IDS_DRIVER_INSTALLED), InstallConfig.Caption,
                MB_OK | MB_ICONINFORMATION);
    ExitWindowsEx(EWX_REBOOT, 0);
}

static void RunFullSetup(void) {
    if ((GetVersion() & 0x80000000) == 0) {
        MessageBoxA(NULL, ResourceText(IDS_WINDOWS_9X_ONLY), "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    if (!LoadSettings())
        return;
    if (!CreateBackdrop())
        return;

    if (WalkPages(ShowPage, CloseMouseApplication) == SEQUENCE_END) {
        FreeInstallTables();
        return;
    }

    PatchSystemIni();
    ShowPage(PAGE_FINISH);
    FreeInstallTables();
    DestroyWindow(BackdropWindow);
    if (RestartChoice == 1)
        ExitWindowsEx(EWX_REBOOT, 0);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandText, int) {
    AppInstance = instance;
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    if (ChooseSetupMode(commandText) == SETUP_MODE_REREGISTER)
        RunReregistration();
    else
        RunFullSetup();
    return 0;
}
