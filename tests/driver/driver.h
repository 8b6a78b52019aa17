// The test driver: finds, reads and works windows as a user would, reads and
// writes the registry, and seeds a Windows 98 mouse machine. The unit tests
// call it in-process from a second thread; the end-to-end scripts and the
// main job call it through e2edriver.exe, across processes.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// --- windows ---

// How long every wait polls before it gives up, in milliseconds; and, when
// set, the file names of the program under test (NAME;NAME...): waits give
// up once it has run and ended.
extern DWORD WaitBound;
extern const char *WaitProgram;

// Whether a process of one of the file names (NAME;NAME...) runs.
bool Running(const char *names);

// Polls until the condition holds; false when the bound ran out.
bool WaitFor(const std::function<bool()> &condition);

// A visible top-level window with the class and the exact title (NULL: any)
// that has the control (0: any), of this process only when own is set; NULL
// when there is none now. A window shows before its owner has set it up.
HWND FindTopWindow(const char *className, const char *title, int control = 0, bool own = true);

// The same, waited for; NULL when none came within the bound.
HWND WaitForWindow(const char *className, const char *title, int control = 0, bool own = true);

// Has the window's owner paint what it has left to paint, the window and
// every control on it, and waits until the owner is back in its message
// loop, by then done with making the window too; false when the owner did
// not answer within the bound.
bool WaitPainted(HWND window);

// The window's client area and its visible controls' on the screen, a line
// each: "ID<TAB>CLASS<TAB>STYLE<TAB>LEFT TOP RIGHT BOTTOM<TAB>TEXT", the
// window first with ID 0, the style in hex, line breaks in a text as spaces.
// Nothing of it is asked of the owner.
std::string ControlLayout(HWND window);

// For a window that changes on its own: once it has painted, suspends its
// owner, so that the screen holds still, when its texts did not change over
// two round trips before (else tries again, within the bound). An owner that
// never finds its queue empty may not have put its last paint on the screen
// yet: the texts shown can be a step behind. The owner's thread to resume;
// NULL when the window went or never held still.
HANDLE HoldPainted(HWND window);

// The text of a window or of a dialog control, asked of its owner's thread.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// A button click as the dialog manager reports it: WM_COMMAND posted.
void PressButton(HWND dialog, int id);

// A click on the control itself (BM_CLICK posted): radio buttons get checked.
void ClickControl(HWND dialog, int id);

// BST_CHECKED when the button is checked.
int ButtonState(HWND dialog, int id);

// The text of a message box.
std::string MessageBoxText(HWND box);

// Waits for a message box with the caption, returns its text and closes it
// with the button; empty when none came.
std::string AnswerMessageBox(const char *caption, int button, bool own = true);

// --- registry ---

// The values of one key by name ("" the default): texts as they are, other
// types as "<type N: byte byte ...>" so that type and size both show.
typedef std::map<std::string, std::string> RegValues;
// Keys by path, each with its values.
typedef std::map<std::string, RegValues> RegTree;

// Creates the key when needed and writes a REG_SZ value (NULL: the default).
bool SetRegText(HKEY root, const std::string &path, const char *name, const std::string &text);
// Empty when the key is missing.
RegValues ReadRegValues(HKEY root, const std::string &path);
std::vector<std::string> RegSubkeys(HKEY root, const std::string &path);
// Adds the key, if it exists, and every key below it to the tree.
void ReadRegTree(RegTree &tree, HKEY root, const std::string &path);
void DeleteRegTree(HKEY root, const std::string &path);

// --- the Windows 98 mouse machine ---

// A device key Enum\..., with its description and Driver (NULL: none).
struct SeedDevice {
    std::string path;
    const char *desc, *driver;
};
// A mouse class instance: its name below the class list, description and
// INF section.
struct SeedInstance {
    const char *name, *desc, *section;
};
// The hardware keys the active-device list reports, in its order; the device
// keys; the class instances.
struct MouseMachine {
    std::vector<std::string> active;
    std::vector<SeedDevice> devices;
    std::vector<SeedInstance> classes;
};

// A PS/2 mouse (Mouse\0000) and a serial one (Mouse\0001), both active; and
// the PS/2 mouse alone.
extern const MouseMachine BothMice, Ps2Mouse;

// The values a seeded device key and a seeded class instance hold.
RegValues SeededDeviceValues(const char *desc, const char *driver);
RegValues SeededClassValues(const char *desc, const char *section);

// Replaces the active-device list, the device tree and the class list with
// the machine's, beside a keyboard and a list entry without a hardware key,
// which no mouse search may take; with listOnly the active-device list
// alone, as each start of Windows makes it anew (it lives under HKEY_DYN_DATA,
// which does not outlive Wine's server either). false when a write failed.
bool SeedMouseMachine(const MouseMachine &machine, bool listOnly = false);
