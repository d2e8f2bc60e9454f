// The installer's settings file "install.ini".
#pragma once
#include <windows.h>

// Finds install.ini (the current folder first, then the installer's own folder), reads its
// [INSTALL] keys into the settings globals and records the file in g_szIniFile. With no file,
// every setting takes its built-in default.
void ReadInstallSettings();

// How a key reads as a switch. Keys that must be switched on are on only for "TRUE" (any case)
// or exactly "1"; keys that must be switched off are off only for "FALSE" (any case) or "0".
enum IniBoolKind {
    INI_ON_WHEN_TRUE,
    INI_OFF_WHEN_FALSE
};
BOOL ParseIniBool(const char* value, IniBoolKind kind);
