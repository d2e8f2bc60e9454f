// System registration: every registry write of the install and the self-registration of the
// product's component libraries. The removal steps delete what is written here by the same keys.
#pragma once
#include <windows.h>

// Class identifiers in braces, in the letter case the product's libraries and the shell entries
// use: the base product class is all upper case, the two namespace classes mix the cases.
extern const char SZ_EXPLORER_CLASS_ID[];  // the Explorer interface
extern const char SZ_CLASSIC_CLASS_ID[];   // the classic interface

// Keys. The namespace formats take a class identifier; the others are complete.
extern const char SZ_BASE_CLASS_KEY[];              // under HKEY_CLASSES_ROOT
extern const char SZ_IN_PROC_SERVER[];              // the subkey of SZ_BASE_CLASS_KEY
extern const char SZ_DESKTOP_NAMESPACE_FORMAT[];    // under HKEY_LOCAL_MACHINE
extern const char SZ_MYCOMPUTER_NAMESPACE_FORMAT[]; // under HKEY_LOCAL_MACHINE
extern const char SZ_UNINSTALL_KEY[];               // under HKEY_LOCAL_MACHINE

// Results of SelfRegisterLibrary.
enum {
    SR_NOT_LOADED,  // the library did not load
    SR_NO_ENTRY,    // it has no DllRegisterServer
    SR_REGISTERED,  // DllRegisterServer returned 0 or more
    SR_FAILED       // DllRegisterServer returned a negative status
};

// Writes data as the REG_SZ value valueName (NULL: the default value) of root\keyPath, or of
// root\keyPath\subKey when subKey is given, creating the key as needed. Without data only the key
// is created. Returns 1 when the value was written; 0 otherwise, also when the key path does not
// fit 1024 characters (then nothing is created).
int SetRegistryString(HKEY root, const char* keyPath, const char* subKey, const char* valueName, const char* data);

// Reads the value valueName (NULL: the default value) of root\keyPath into buffer, whatever its
// type. Returns 1 when it was read whole with its terminator. When the key does not open the
// buffer is left untouched; when it opens but the value cannot be read, defaultText (if given) is
// copied into the buffer, cut to fit.
int ReadRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* defaultText,
    char* buffer, int bufferSize);

// Registers the base product class: its InProcServer32 default value is programPath (no quotes)
// and its ThreadingModel "Apartment". Returns 1 when the default value was written.
int RegisterBaseClass(const char* programPath);

// Calls DllRegisterServer of folder\fileName with folder as the current folder, and makes the
// previous current folder current again before returning one of the SR_ results.
int SelfRegisterLibrary(const char* folder, const char* fileName);
// The same for any registration entry of the library ("DllUnregisterServer" at removal), with the
// same results: SR_REGISTERED says the entry returned 0 or more.
int CallLibraryRegistration(const char* folder, const char* fileName, const char* entryName);

// Writes the shell namespace entry of classId with displayName as its text, unless the class
// already has one under Desktop or MyComputer; then g_iconLocation follows the existing entry.
// When it has none and mayAsk is set, the Icon Placement dialog (g_pfnIconPlacementDlgProc, no
// owner) asks where it goes first.
void RegisterNamespaceEntry(const char* classId, const char* displayName, BOOL mayAsk);

// Writes the uninstall entry: its display name and the command line that runs vxremove.exe from
// destFolder with the folder and the program group. A folder of CCH_LONG_PATH characters or more,
// or a group of CCH_LINE or more, would not fit the command line whole: then nothing is written.
void WriteUninstallEntry(const char* destFolder, const char* group);
