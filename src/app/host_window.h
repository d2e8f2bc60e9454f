// The host window: a plain captioned window with a teal background, the product bitmap in its
// top-left corner and the company bitmap in its bottom-right corner. The wizard runs from inside
// its message loop.
#pragma once
#include <windows.h>

enum {
    CMD_START_WIZARD = 100  // WM_COMMAND posted once by WinMain
};

extern const char HOST_WINDOW_CLASS[];  // "VXInstal"

struct HostWindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// Four fifths of the desktop in each direction (at least 600 x 400), centred. Integer arithmetic
// as the window has always been placed, so a desktop smaller than 600 x 400 gives negative x, y.
HostWindowPlacement PlaceHostWindow(const RECT& desktop);

BOOL RegisterHostWindowClass();
HWND CreateHostWindow();  // placed from the desktop window's rectangle
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PaintHostWindow(HWND window);

// Removes the packed payload names from the temporary folder; failures are ignored. Returns 0.
int DeleteTempFiles();
