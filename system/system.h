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

enum DriverChoice {
    DRIVER_USE,  // the class key the device's "Driver" names
    DRIVER_NEW,  // none or an empty one: a new instance, noted before it is written
    DRIVER_LEAVE // one that can't be read whole: device and class key keep it
};
// The device's "Driver" as RegQueryValueExA read it into a cleared buffer.
DriverChoice ChooseDriver(LONG result, DWORD type, const char *value, DWORD capacity);

void RegisterMouseDevice(void);
// hardwareKey holds HARDWARE_KEY_TEXT bytes.
int FindEnumeratedDevice(const char *pattern, char *hardwareKey);
// instance holds INSTANCE_TEXT bytes.
int NextMouseClassInstance(char *instance);
void UpdateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection);
void CreateMouseClassKey(const char *instance, const char *driverDesc, const char *infSection);

// --- undo journal (in the record file; layout in journal.cpp) ---
#define JOURNAL_VALUES "Undo Values"
#define JOURNAL_WRITTEN "Undo Written"
#define JOURNAL_KEYS "Undo Keys"
#define JOURNAL_FILES "Undo Files"
#define JOURNAL_SYSTEM "Undo System"
// A noted state: a text of REG_TEXT, or up to REG_TEXT bytes in hexadecimal.
#define NOTE_TEXT (2 * REG_TEXT + 32)
// "HKLM\" key path "\\" value name.
#define JOURNAL_PLACE_TEXT (KEY_PATH_TEXT + REG_TEXT)

enum UndoStep {
    UNDO_KEEP,    // leave the value as it is
    UNDO_RESTORE, // write the state from before back
    UNDO_DELETE   // the value did not exist before
};

// A key the setup writes into, with the name its notes go under.
struct JournalKey {
    HKEY Handle;
    char Where[JOURNAL_PLACE_TEXT]; // "HKLM\path"; empty: nothing is noted
};

// Exact comparison, and one of paths: case and doubled backslashes ignored.
int SameText(const char *a, const char *b);
int SamePath(const char *a, const char *b);
// Lower-case hexadecimal, two digits a byte; 0 when it does not fit.
int EncodeHex(char *out, int capacity, const BYTE *data, DWORD length);
int DecodeHex(const char *text, BYTE *data, DWORD capacity, DWORD *length);
// The state of a value as RegQueryValueExA delivered it (result, type, data).
// 0 when it could only be noted as "?".
int EncodeValueState(char *out, int capacity, LONG queryResult, DWORD type, const BYTE *data,
                     DWORD length);
// A text or bytes state back into a value; 0 for "-", "?" or anything damaged.
int DecodeValueState(const char *state, DWORD *type, BYTE *data, DWORD capacity, DWORD *length);
// What undo does with a value noted as before, last written as written and
// found as now.
UndoStep UndoValueStep(const char *before, const char *written, const char *now);
// Writes key=value into section of file unless the key holds a note already.
int NoteOnce(const char *file, const char *section, const char *key, const char *value);
// "HKLM\" or "HKCR\" and path; 0 for another root or when it did not fit.
int RootPlace(char *out, int capacity, HKEY root, const char *path);
// The current state of a value of an open key.
void ReadValueState(HKEY key, const char *name, char *state, int capacity);

// Into the journal of the destination (DefaultPath); nothing without one.
void NoteSystemChange(const char *section, const char *key, const char *value);
// The system.ini piece about to be replaced, numbered from 0 as read.
void NoteIniPiece(const char *piece, int place);
// Opens (create 0) or creates root\path; a created key and every missing
// parent are noted first. 1 when open.
int OpenJournalKey(JournalKey *key, HKEY root, const char *path, int create);
// Notes the value's state before (once) and what is written, then writes.
void SetJournalValue(JournalKey *key, const char *name, DWORD type, const BYTE *data, DWORD length);
void SetJournalText(JournalKey *key, const char *name, const char *text);
// Copies the record and journal sections of one file into another; 0 when
// one could not be copied whole.
int CarryRecordSections(const char *from, const char *to);

// --- system.ini patch ---
// Tests one piece of a line (at most 119 characters) and, when it is the
// mouse line of [386Enh], overwrites it with the replacement line (the piece
// buffer holds at least 15 bytes). Returns 1 when it was replaced.
int PatchIniPiece(char *piece, int *inSection);
// The whole patch against the given Windows and system folders.
int PatchSystemIniIn(const char *windowsDir, const char *systemDir);

#endif
