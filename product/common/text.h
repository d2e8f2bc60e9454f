// Buffer sizes and bounded text copies shared by the VANTIX Pro programs and libraries.
//
// The product uses no part of the C++ standard library: linking it pulls in the threads library,
// which imports functions Windows 95 does not have. Texts live in fixed buffers of these sizes.
#pragma once
#include <windows.h>

const int CCH_PATH = MAX_PATH;    // a full file path
const int CCH_NAME = 128;         // a section, key or site name
const int CCH_VALUE = 1024;       // one INI value or registry key path
const int CCH_SCREEN = 8192;      // everything a program's window shows

// Copies pszSource into pszDest, cut to fit cchDest characters with the terminating zero.
void CopyText(char *pszDest, int cchDest, const char *pszSource);

// Appends pszSource to the text in pszDest, cut to fit cchDest characters with the terminator.
void AppendText(char *pszDest, int cchDest, const char *pszSource);
