// Getting a carried file out of the installer: the raw resource bytes, then their expansion.
#pragma once
#include <windows.h>

// Writes the bytes of resource number resourceRow (type "EXE") unchanged to folder\fileName.
// Returns 1 when the whole resource was written, 0 otherwise (a resource that is not carried
// creates no file).
int ExtractResource(HINSTANCE hInstance, int resourceRow, const char* folder, const char* fileName);
