// The one window every VANTIX Pro program shows: a frame window titled with the program's name
// whose client area is a read-only, scrolling text box (a child of class "Edit", so its text can
// be selected and copied).
#pragma once
#include <windows.h>

// Registers szClassName, opens the window showing pszText and runs the message loop until it is
// closed. Returns the exit code carried by WM_QUIT, or 1 when the window could not be created.
int RunTextWindow(HINSTANCE hInstance, int nCmdShow, const char *szClassName, const char *szTitle,
                  const char *pszText);
