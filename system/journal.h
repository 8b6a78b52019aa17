// The undo journal's format, included by its writer (system/journal.cpp) and
// its reader (uninstall/). The journal lies in the record file, the
// destination's SETUP.INF (in a -u run the one beside the program), one
// section per kind:
//
//   [Undo Values]   HKLM\<key path>\\<value name>=<state before the first change>
//   [Undo Written]  HKLM\<key path>\\<value name>=<state this product last wrote>
//   [Undo Keys]     HKLM\<key path>=created          parents before children
//   [Undo Files]    <full path>=created              a file outside the destination made
//                   <full path>=<saved copy>         one replaced, its bytes kept first
//   [Undo Written]  <full path>=<size>:<hash>        what the setup last put there
//   [Undo System]   IniPiece=<hex bytes>             a system.ini piece replaced; the
//                   IniPlace=<n>                     its number, from 0, as pieces are read
//                   IniPiece2=, IniPlace2=, ...      second and later ones of one patch
//                   IniSaved=<saved copy>            system.ini as it was before the first patch
//                   IniBackup=created                system.bak did not exist before
//                   IniBackup=<saved copy>           the user's system.bak, kept
//                   VxdSetAside=yes                  VMOUSE.VXD became VMOUSE.BAK
//
// Saved copies lie in the destination's UNDO folder, which the setup owns.
// Roots are HKLM or HKCR; the value name follows the first double backslash
// (key names hold no empty part), the unnamed value has none. A state is -
// (no such value), "text" (a REG_SZ text, its terminator left out), #<type>:
// <hex bytes> (any other value) or ? (one that could not be read whole).
// Every note is written once, so the state from before the first install
// survives later runs; only [Undo Written] follows each run, so that the
// uninstaller can tell a value the user changed since from one of ours.
#ifndef SETUP_SYSTEM_JOURNAL_H
#define SETUP_SYSTEM_JOURNAL_H

#include <windows.h>

// --- sections and keys ---
#define JOURNAL_VALUES "Undo Values"
#define JOURNAL_WRITTEN "Undo Written"
#define JOURNAL_KEYS "Undo Keys"
#define JOURNAL_FILES "Undo Files"
#define JOURNAL_SYSTEM "Undo System"
#define NOTE_CREATED "created"
#define NOTE_INI_PIECE "IniPiece"
#define NOTE_INI_PLACE "IniPlace"
#define NOTE_INI_BACKUP "IniBackup"
#define NOTE_INI_SAVED "IniSaved"
#define NOTE_VXD_SET_ASIDE "VxdSetAside"
#define NOTE_YES "yes"
// Where saved copies go, below the destination, and their names, FILE1 up.
#define UNDO_FOLDER "\\UNDO"
#define SAVED_COPY_NAME "\\FILE%d"
#define SAVED_COPIES 1000
// The uninstall entry: it names the installed product's folder, and goes last.
#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dorvantix"
#define UNINSTALL_VALUE "UninstallString"
// The sections of the previous-settings record, by the route's type word.
#define RECORD_PS2 "PS2"
#define RECORD_SERIAL "Serial"

// --- the files of the system.ini patch, below the Windows or system folder ---
#define SYSTEM_INI "\\system.ini"
#define SYSTEM_NEW "\\system.new"
#define SYSTEM_BAK "\\system.bak"
#define MOUSE_VXD "\\VMM32\\VMOUSE.VXD"
#define MOUSE_VXD_BAK "\\VMM32\\VMOUSE.BAK"
// The line the patch writes over the mouse line of [386Enh].
#define INI_MOUSE_LINE "mouse=*vmouse\n"
// system.ini is read in pieces of at most this many characters less one.
#define INI_PIECE_READ 120

// --- widths ---
// A registry text value as read back: any value up to 255 characters fits,
// which covers a 79-character destination folder joined with any suffix.
#define REG_TEXT 256
// A key path under a root: a fixed prefix and one REG_TEXT.
#define KEY_PATH_TEXT 320
// The largest value the journal notes; a larger one is never overwritten.
#define NOTE_VALUE_BYTES 1024
// A noted state: a text, or up to NOTE_VALUE_BYTES bytes in hexadecimal.
#define NOTE_TEXT (2 * NOTE_VALUE_BYTES + 32)
// "HKLM\" key path "\\" value name.
#define JOURNAL_PLACE_TEXT (KEY_PATH_TEXT + REG_TEXT)
// A line of WININIT.INI or a piece of system.ini, terminator included.
#define UNDO_LINE_TEXT 256

// --- places ---
// "HKLM\" or "HKCR\" and path; 0 for another root or when it did not fit.
int RootPlace(char *out, int capacity, HKEY root, const char *path);
// The inverse: "HKLM\path" into root and path; with name, a value's place
// ("HKLM\path\\name"), its name pointing into place. 0 when it is not one.
int SplitPlace(const char *place, HKEY *root, char *path, int capacity, const char **name);

// --- states of values ---
// Lower-case hexadecimal, two digits a byte; 0 when it does not fit.
int EncodeHex(char *out, int capacity, const BYTE *data, DWORD length);
int DecodeHex(const char *text, BYTE *data, DWORD capacity, DWORD *length);
// The state of a value as RegQueryValueExA delivered it (result, type, data).
// 0 when it could only be noted as "?".
int EncodeValueState(char *out, int capacity, LONG queryResult, DWORD type, const BYTE *data,
                     DWORD length);
// A text or bytes state back into a value; 0 for "-", "?" or anything damaged.
int DecodeValueState(const char *state, DWORD *type, BYTE *data, DWORD capacity, DWORD *length);
// The current state of a value of an open key (0: none, "-"); 0 when it
// can only be "?" (unreadable, or larger than a note holds).
int ReadValueState(HKEY key, const char *name, char *state, int capacity);

// --- the journal as a whole ---
// The keys of the k-th system.ini piece of a patch, from 1: IniPiece and
// IniPlace, then IniPiece2 and IniPlace2, and so on; each buffer 32 bytes.
void IniPieceKeys(int k, char *piece, char *place);
// 1 when a SETUP.INF holds any note of the journal.
int HasJournal(const char *file);
// The folder the uninstall entry names (its UNINSTAL.EXE's), when there is
// one: the installed product's. 0 otherwise.
int InstalledFolder(char *folder, int capacity);

// --- the rule of undo ---
enum UndoStep {
    UNDO_KEEP,    // leave the value as it is
    UNDO_RESTORE, // write the state from before back
    UNDO_DELETE   // the value did not exist before
};
// What undo does with a value noted as before, last written as written and
// found as now.
UndoStep UndoValueStep(const char *before, const char *written, const char *now);

#endif
