// The folder question "DLG_GETDIR" (a prompt, the folder, OK, Cancel and Browse) and the folder
// picker behind Browse: the platform's classic open-file dialog with the template "DLG_BROWSE",
// which shows only the folder and drive lists. The folder where OK is pressed is the answer.
#pragma once
#include <windows.h>

// Ends with 1 after OK, g_szDirEdit then holding the field's text unchanged, and 0 after Cancel.
INT_PTR CALLBACK GetDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the picker at initialFolder with g_szDirPrompt as its prompt. Non-zero when a folder was
// chosen: result (CCH_LONG_PATH characters) then holds it, and when nameToPlace is exactly "a"
// (a destination is picked) "\VANTIX" is appended unless the folder already names the product
// ("vantix" in any letter case). 0 when the picker was cancelled or failed.
int BrowseForFolder(HWND owner, const char* nameToPlace, const char* initialFolder, char* result);

// The picker's hook: shows the prompt, and posts the picker the command 1280 when it opens, after
// its buttons and after a change of folder or drive; closing the drive list counts as a change.
// Returns 0 for every message: the picker's own processing always goes on.
UINT_PTR CALLBACK BrowseHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
