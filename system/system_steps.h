// The steps behind system/system.h: registry helpers, the product's entries,
// the mouse device's routes, the record of previous settings, the journal's
// writer and the system.ini patch. For system/ and its tests only.
#ifndef SETUP_SYSTEM_SYSTEM_STEPS_H
#define SETUP_SYSTEM_SYSTEM_STEPS_H

#include "system/system.h"
#include "system/journal.h"

// Hardware keys and class instance names are registry texts too.
#define HARDWARE_KEY_TEXT REG_TEXT
#define INSTANCE_TEXT REG_TEXT
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

// --- registry helpers (regutil.cpp) ---
// Creates or opens a key, non-volatile (a volatile key would be gone after
// the restart this program asks for). 0 when it is not open.
HKEY CreateSetupKey(HKEY root, const char *path);
// Every value write goes through here (RegSetValueExA unless a test watches).
typedef LONG(WINAPI *SetValueProc)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
extern SetValueProc RegistrySetValue;
// Reads a text value into a cleared buffer; a missing value, one of another
// size than fits or one that can't be read leaves the empty text.
void ReadTextValue(HKEY key, const char *name, char *buffer, DWORD capacity);

// --- shell, startup and uninstall registration (product.cpp) ---
void RegisterProduct(void);

// --- previous-settings record (record.cpp), in the destination's SETUP.INF ---
// The record file, which holds the undo journal too: DefaultPath\SETUP.INF.
// 0 without a destination or when it does not fit.
int RecordFile(char *path, int capacity);
// 1 when section of file has the key, whatever its value.
int IsNoted(const char *file, const char *section, const char *key);
// The write-once of the record and the journal: key=value into section of
// file unless the key is there already, or (refillEmpty, the record's rule)
// holds a non-empty value. 1 when it is written or was there.
int WriteOnce(const char *file, const char *section, const char *key, const char *value,
              int refillEmpty);
// The journal's: WriteOnce of a key that may hold an empty note.
int NoteOnce(const char *file, const char *section, const char *key, const char *value);
void RecordPreviousSetting(const char *section, const char *key, const char *value);

// --- mouse device registration (mouse.cpp) ---
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

// --- the journal's writer (journal.cpp, journal_carry.cpp) ---
// A key the setup writes into, with the name its notes go under.
struct JournalKey {
    HKEY Handle;
    char Where[JOURNAL_PLACE_TEXT]; // "HKLM\path"; empty: nothing can be noted
};
// The file this run notes into: the record file, or the installed product's
// journal (UseInstalledJournal). 0 when there is none.
int JournalFile(char *path, int capacity);
// Write-once into the journal; 1 when noted (now or before).
int NoteSystemChange(const char *section, const char *key, const char *value);
// What this run put at a place or a path, over what an earlier run put there.
int NoteWritten(const char *key, const char *state);
// A copy of the file at path into the destination's UNDO folder, under a
// name nothing there holds; saved receives its path. 1 when copied.
int SaveCopy(const char *path, char *saved, int capacity);
// A saved copy that is not needed after all, and its folder when empty.
void DropCopy(const char *saved);
// The k-th system.ini piece (from 1) about to be replaced, numbered from 0
// as read. 1 when noted.
int NoteIniPiece(const char *piece, int place, int k);
// Opens (create 0) or creates root\path; a created key and every missing
// parent are noted first. 1 when open; a key whose notes failed is not made.
int OpenJournalKey(JournalKey *key, HKEY root, const char *path, int create);
// Notes the value's state before (once) and what is written, then writes;
// 1 when written. Nothing is written when either note failed.
int SetJournalValue(JournalKey *key, const char *name, DWORD type, const BYTE *data, DWORD length);
int SetJournalText(JournalKey *key, const char *name, const char *text);
// Copies the record and journal sections of one file into another, whose
// own ones are dropped; 0 when one could not be copied whole.
int CarryRecordSections(const char *from, const char *to);

// --- system.ini patch (sysini.cpp) ---
// Tests one piece of a line (at most 119 characters) and, when it is the
// mouse line of [386Enh], overwrites it with the replacement line (the piece
// buffer holds at least 15 bytes). Returns 1 when it was replaced.
int PatchIniPiece(char *piece, int *inSection);
// The whole patch against the given Windows and system folders.
int PatchSystemIniIn(const char *windowsDir, const char *systemDir);

#endif
