// Getting a carried file out of the installer: the raw resource bytes, then their expansion.
#pragma once
#include <windows.h>

// Writes the bytes of resource number resourceRow (type "EXE") unchanged to folder\fileName.
// Returns 1 when the whole resource was written, 0 otherwise (a resource that is not carried
// creates no file).
int ExtractResource(HINSTANCE hInstance, int resourceRow, const char* folder, const char* fileName);

// Expands the SZDD file packedPath (or copies a plain file) into targetPath. The expansion goes to
// a scratch file beside the target, which replaces the target only once it is complete: a failure
// leaves the target as it was. Returns 1 when the target was written, or when both name the same
// file; 0 otherwise, in particular when the target cannot be opened for writing because it is in
// use (the error that says why is left for GetLastError). If packedPath with its last character
// replaced by '_' exists, that file is read instead and packedPath is left naming it.
int ExpandFile(char* packedPath, const char* targetPath);

// TRUE when targetPath is absent or this process may write it; FALSE, with the error that says
// why left for GetLastError, for a program or library in use or a file open elsewhere without
// write sharing.
BOOL TargetCanBeReplaced(const char* targetPath);
