// Undoing the install's registrations: the uninstall entry, the shell namespace entries, the base
// product class and the component libraries' own registrations. Absent keys and values count as
// removed, so a second removal changes nothing and says nothing.
#pragma once
#include <windows.h>

// Deletes root\subKey with every key below it. Returns 1 when every subkey tree went, 0 when the
// key does not open or some child could be neither deleted nor opened for its own tree delete
// (such a child is passed over, so the walk always ends).
int DeleteRegistryTree(const char* subKey, HKEY root);

// Deletes the uninstall entry, with its subkeys where the system keeps them.
void RemoveUninstallEntry();

// Deletes the Desktop and the MyComputer namespace keys of the Explorer and the classic classes.
// Returns 1.
int RemoveNamespaceEntries();

// Deletes the InProcServer32 key of the base product class with its two values; the class key
// above it stays. Returns 1.
int UnregisterInProcServer();

// Calls DllUnregisterServer of folder\libraryName with folder as the current folder, then makes
// the previous current folder current again. A library that is missing, does not load or has no
// such export is passed over.
void UnregisterDll(const char* folder, const char* libraryName);
