// The setup wizard: the decisions that lead to an install or a removal.
#pragma once
#include <windows.h>

// The product's default anonymous-login address (8 characters, no host part), and the
// placeholder that older releases wrote into VANTIX.ini (13 characters) and that is replaced.
extern const char DEFAULT_MAIL_ADDRESS[];
extern const char OLD_MAIL_PLACEHOLDER[];

// Runs the whole wizard from inside the host window's message loop and returns when the install
// or removal is over: 0 when nothing was installed, else the result of the install.
int RunSetupWizard(HWND owner, int nV, int nM);

// The destination proposed before any setting, on the system drive: "\Program Files\VANTIX Pro"
// on Windows 95, 98 and NT 4.0 and later, "\WIN32APP\VANTIX" on Windows NT 3.x, "\VANTIX"
// under Win32s. folder holds CCH_LONG_PATH characters.
void ChooseDefaultDestination(char* folder);

// Gives VANTIX.ini in destFolder the default mail address when it has none or still holds the
// old placeholder; any other address stays.
void WriteMailDefault(const char* destFolder);
