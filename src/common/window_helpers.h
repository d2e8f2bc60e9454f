// Window helpers shared by the host window and every dialog.
#pragma once
#include <windows.h>

// Centres window on the desktop, keeping its size; a coordinate that would not be positive is 0.
void CenterWindow(HWND window);

// Dispatches every pending message (the progress dialog sees its own first) and returns 1.
int PumpMessages();

// Shows text in a status control and paints it at once, as no messages are pumped meanwhile;
// nothing when status is NULL or no longer a window.
void ShowStatusText(HWND status, const char* text);
