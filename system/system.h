// Registry work, the previous-settings record and the system.ini patch.
// Private to system/ and its tests; UpdateRegistry and PatchSystemIni are
// declared in shell/setup.h.
#ifndef SETUP_SYSTEM_SYSTEM_H
#define SETUP_SYSTEM_SYSTEM_H

#include "shell/setup.h"

// A registry text value as read back: any value up to 255 characters fits,
// which covers a 79-character destination folder joined with any suffix.
#define REG_TEXT 256
// A key path under HKEY_LOCAL_MACHINE: a fixed prefix and one REG_TEXT.
#define KEY_PATH_TEXT 320
// Hardware keys and class instance names are registry texts too.
#define HARDWARE_KEY_TEXT REG_TEXT
#define INSTANCE_TEXT REG_TEXT
#define PREVIOUS_SETTING_TEXT 128
#define MOUSE_TYPE_TEXT 8

// Paths of the device tree and the class list.
#define ENUM_ROOT "Config Manager\\Enum"
#define DEVICE_PREFIX "Enum\\"
#define OWN_SERIAL_DEVICE "Enum\\Root\\VelorMouse\\0000"
#define CLASS_PREFIX "System\\CurrentControlSet\\Services\\Class\\"
#define MOUSE_CLASS_LIST "System\\CurrentControlSet\\Services\\Class\\Mouse"

#define PS2_DEVICE_ID "BIOS\\*PNP0F13\\"
#define PS2_ROOT_DEVICE_ID "ROOT\\*PNP0F0E\\"
#define SERIAL_DEVICE_ID "ROOT\\*PNP0F0C\\"

// Type word of the route that last took hold of a device key; the section
// of every record. Empty until then, never reset.
extern char MouseTypeName[MOUSE_TYPE_TEXT];
// Receives the text of every ReadPreviousSetting; valid until the next one.
extern char PreviousSettingBuffer[PREVIOUS_SETTING_TEXT];

// --- registry helpers shared by the registry steps ---
// Creates or opens a key, non-volatile (a volatile key would be gone after
// the restart this program asks for). 0 when it is not open.
HKEY CreateSetupKey(HKEY root, const char *path);
// Opens an existing key with full access; 0 when it is not open.
HKEY OpenSetupKey(HKEY root, const char *path);
// Every value write goes through here (RegSetValueExA unless a test watches).
typedef LONG(WINAPI *SetValueProc)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
extern SetValueProc RegistrySetValue;
// REG_SZ with the length of the text alone, no terminator.
void WriteTextValue(HKEY key, const char *name, const char *text);
// Reads a text value into a cleared buffer; a missing value, one of another
// size than fits or one that can't be read leaves the empty text.
void ReadTextValue(HKEY key, const char *name, char *buffer, DWORD capacity);

// --- shell, startup and uninstall registration ---
void RegisterProduct(void);

// --- previous-settings record (destination folder + "\SETUP.INF") ---
// Builds the record file path; 0 when the folder is too long for it.
int BuildRecordPath(const char *folder, char *path, int capacity);
const char *ReadPreviousSetting(const char *section, const char *key, const char *defaultText);
void RecordPreviousSetting(const char *section, const char *key, const char *value);

// --- mouse device registration ---
enum MouseRoute {
    ROUTE_NONE,          // leave the registry alone
    ROUTE_UPDATE_PS2,    // rewrite the PS/2 device found
    ROUTE_UPDATE_SERIAL, // rewrite the serial device found
    ROUTE_CREATE_SERIAL  // make the own serial device key
};
// The route for the chosen kind and what the searches found. serialFound
// only counts when the PS/2 route does not already take hold.
MouseRoute ChooseMouseRoute(int mouseKind, int ps2Found, int serialFound);
// One step of the class list walk: 0 when the name leaves a gap after last
// (the walk stops, last unchanged), else 1 with last set to the name's number.
int StepClassInstance(short *last, const char *name);
// "Mouse\%04d" of number; out holds INSTANCE_TEXT bytes.
void FormatClassInstance(short number, char *out);
// prefix + tail into out; 0 when it did not fit (out then unusable).
int JoinKeyPath(char *out, int capacity, const char *prefix, const char *tail);

void RegisterMouseDevice(void);
// hardwareKey holds HARDWARE_KEY_TEXT bytes.
int FindEnumeratedDevice(const char *pattern, char *hardwareKey);
// instance holds INSTANCE_TEXT bytes.
int NextMouseClassInstance(char *instance);
void UpdateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection);
void CreateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection);

// --- system.ini patch ---
// Tests one piece of a line (at most 119 characters) and, when it is the
// mouse line of [386Enh], overwrites it with the replacement line (the piece
// buffer holds at least 15 bytes). Returns 1 when it was replaced.
int PatchIniPiece(char *piece, int *inSection);
// The whole patch against the given Windows and system folders.
int PatchSystemIniIn(const char *windowsDir, const char *systemDir);

#endif
