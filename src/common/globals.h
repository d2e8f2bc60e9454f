// Process-wide state of the installer, grouped by the file that owns (writes) it. Everything
// runs on one GUI thread; nothing here needs a lock. Every variable lives for the whole run.
#pragma once
#include <windows.h>
#include "common/limits.h"

// --- app/settings.cpp: the settings file "install.ini", section [INSTALL] ---------------------
extern BOOL g_bLogging;            // LOGGING: log lines are appended to setup.log
extern BOOL g_bAllowReboot;        // ALLOWRBT: a needed restart may happen in silent mode
extern BOOL g_bSilent;             // QUIET: no window, no dialog, no message box
extern BOOL g_bNoPass;             // NOPASSWORD: the install records SPFLAGS=1 in WIN.INI
extern BOOL gbInstallBonusPack;    // BONUS: the Bonus Utility Pack is selected
extern int g_iconLocation;         // DESKTOP: 0 Explorer icon on the desktop, 1 in "My Computer"
extern BOOL g_bExplore;            // EXPLORER: the Explorer interface is pre-selected
extern char g_szLine1[CCH_LINE];   // LINE1: free text, written to the log only
extern char g_szLine2[CCH_LINE];   // LINE2: free text, written to the log only
extern char g_szIniFile[CCH_PATH]; // full path of the settings file in use; empty when none

// --- app/startup.cpp: start-up state ------------------------------------------------------------
extern HINSTANCE g_hInstance;        // this module: resources, dialogs, strings
extern HWND g_hwndMain;              // the host window, or NULL before it exists
extern HWND g_hwndProgress;          // the open modeless copy-progress dialog, or NULL
extern BOOL g_bWinNT;                // the environment variable OS contains "NT"
extern int g_nWinMajor;              // low byte of GetVersion
extern int g_nWinMinor;              // second byte of GetVersion
extern int g_nV;                     // default interface selection (IFACE_ bits, or 1 on old Windows)
extern int g_nM;                     // mask of selectable interfaces: 15, or 3 on old Windows
extern char g_szTempName[CCH_PATH];  // bare name of this run's scratch file in the temporary folder
extern BOOL g_bRebootNeeded;         // a restart of Windows is needed (and, at the end, wanted)

// --- progman/progman.cpp: the Program Manager DDE client -------------------------------------
struct DDE_PLATFORM;
extern DWORD g_ddeInstance;          // the DDE client instance; 0 before every start
extern BOOL g_bDdeReady;             // the instance started and is not yet ended: commands go out
extern DDE_PLATFORM g_ddePlatform;   // the DDE operations the client uses: DDEML's, or a test's

// --- install/registration.cpp: system registration -------------------------------------------
// The Icon Placement dialog's procedure, handed over by the wizard (the install layer does not
// know the wizard); NULL while there is none, and then nobody is asked.
extern DLGPROC g_pfnIconPlacementDlgProc;

// --- app/restart.cpp: the restart at the end of a run -----------------------------------------
struct RESTART_PLATFORM;
extern RESTART_PLATFORM g_restartPlatform;  // the calls that restart Windows: the system's, or a test's

// --- wizard/dialogs.cpp: the wizard's dialogs ------------------------------------------------
extern BOOL g_bCancelCopy;           // Cancel was pressed in the copy-progress dialog; never reset

// --- wizard/folder_dialog.cpp: the folder question and its picker ----------------------------
extern char g_szDirPrompt[CCH_LONG_PATH];  // prompt of the folder question and of the picker
extern char g_szDirEdit[CCH_LONG_PATH];    // the folder: initial text, then the answer after OK
extern char g_szBrowseName[CCH_LINE];      // the picker's hidden file name; "a": a destination

// Interface bits of g_nV and g_nM.
enum {
    IFACE_CLASSIC = 4,
    IFACE_EXPLORER = 8
};
