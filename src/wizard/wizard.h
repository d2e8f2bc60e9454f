// The setup wizard: the decisions and dialogs that lead to an install or a removal.
#pragma once
#include <windows.h>

// Runs the whole wizard from inside the host window's message loop and returns when the install
// or removal is over (0 when nothing was installed).
int RunSetupWizard(HWND owner, int nV, int nM);
