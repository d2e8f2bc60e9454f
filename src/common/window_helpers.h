// Window helpers shared by the host window and every dialog.
#pragma once
#include <windows.h>

// Centres window on the desktop, keeping its size; a coordinate that would not be positive is 0.
void CenterWindow(HWND window);

// Dispatches every pending message (the progress dialog sees its own first) and returns 1.
int PumpMessages();
