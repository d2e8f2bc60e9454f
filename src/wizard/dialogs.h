// The wizard's questions: install or remove, the destination folder, the interfaces. Each one
// returns what its dialog returns when the user accepts what it proposes.
#pragma once
#include <windows.h>

// 0 exit, 1 install, 2 remove.
int AskInstallOrRemove(HWND owner, HINSTANCE instance);
// 1 with the chosen folder copied into result (which may be initialFolder itself), 0 on Cancel.
int AskFolder(HWND owner, HINSTANCE instance, const char* prompt, const char* initialFolder, char* result);
// The interface bits chosen (IFACE_CLASSIC, IFACE_EXPLORER; 0 with only the bonus pack), 0 on
// Cancel; gbInstallBonusPack follows the bonus pack box.
int AskInterfaces(HWND owner, HINSTANCE instance, int nV, int nM);
