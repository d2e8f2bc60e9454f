// The wizard's dialogs: install or remove, the interfaces with their help page, the Icon Placement
// question, the copy progress with its Cancel button, and the runner of the folder question. A
// runner shows its modal dialog owned by the window given and returns what the dialog ended with.
#pragma once
#include <windows.h>

// Results of AskInstallOrRemove.
enum {
    MODE_EXIT = 0,
    MODE_INSTALL = 1,
    MODE_REMOVE = 2
};

// "DLG_INSTALL". Remove can be chosen only when WIN.INI records an install (DEFDIR and INSTOPTS).
int AskInstallOrRemove(HWND owner, HINSTANCE instance);
INT_PTR CALLBACK InstallModeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "DLG_VERS_32". The classic box starts checked whatever nV holds, Explorer follows nV; nM enables
// the two interface boxes. Returns the interface bits chosen (0 with only the bonus pack) or 0 on
// Cancel; gbInstallBonusPack follows the bonus pack box, and Cancel clears it.
int AskInterfaces(HWND owner, HINSTANCE instance, int nV, int nM);
INT_PTR CALLBACK InterfacesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "DLG_32_HELP", at its own position relative to owner. Returns 1.
int ShowInterfacesHelp(HWND owner);
INT_PTR CALLBACK HelpDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 307, shown by the namespace registration: OK stores the choice in g_iconLocation and ends
// with 1; Escape ends with 0 and keeps it. Returns FALSE for every message.
INT_PTR CALLBACK IconPlacementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "DLG_COPY", modeless: Cancel (the button, the close box, Escape) sets g_bCancelCopy and leaves the
// dialog open for its creator to destroy.
INT_PTR CALLBACK CopyProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "DLG_GETDIR" with prompt and initialFolder. 1 with the folder copied into result (CCH_LONG_PATH
// characters; it may be initialFolder itself), 0 on Cancel.
int AskFolder(HWND owner, HINSTANCE instance, const char* prompt, const char* initialFolder, char* result);
