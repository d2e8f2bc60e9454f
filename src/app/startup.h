// The start of a run, step by step, as WinMain takes it.
#pragma once
#include <windows.h>

// Removes one trailing backslash or slash (Windows 95 returns the TMP variable as it was set).
void TrimTrailingSeparator(char* path);

// Puts the temporary folder, without its trailing separator, into folder (CCH_TEMP_FOLDER
// characters). FALSE, with folder empty, when the system gives none that fits.
BOOL GetTempFolder(char* folder);

// GetTempFolder, then makes the folder current. When there is none, the current folder stays.
BOOL EnterTempFolder(char* folder);

// Reserves this run's scratch file in folder and keeps its bare name in g_szTempName.
void ReserveTempName(const char* folder);

// Writes the carried settings template into folder as "Install.ini"; a failure is ignored.
void WriteCarriedSettings(const char* folder);

// g_nWinMajor and g_nWinMinor from GetVersion.
void ReadWindowsVersion();

struct InterfaceDefaults {
    BOOL winNT;  // chooses RunOnce, cmd.exe and the rename-aside replacement
    int nV;      // default interface selection
    int nM;      // selectable interfaces
};
// The first rule that matches: OS names NT (case-sensitive), a 32-bit Windows (major 4 or more, or
// minor 50 or more: 3.95 counts, 3.10 does not), anything else.
InterfaceDefaults ChooseInterfaceDefaults(const char* osValue, int winMajor, int winMinor, BOOL explore);

// g_bWinNT, g_nV and g_nM from the environment, the version and g_bExplore.
void DeriveInterfaceDefaults();

// Runs until WM_QUIT; the progress dialog sees each message first. Returns WM_QUIT's wParam.
int RunMessageLoop();
