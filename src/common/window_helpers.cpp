// Window helpers: centring, the message pump used between long steps, and status texts.
// Owns: nothing process-wide; reads g_hwndProgress.
#include "common/window_helpers.h"
#include "common/globals.h"

void CenterWindow(HWND window)
{
    RECT windowRect;
    RECT desktopRect;
    GetWindowRect(window, &windowRect);
    GetWindowRect(GetDesktopWindow(), &desktopRect);
    int width = windowRect.right - windowRect.left;
    int height = windowRect.bottom - windowRect.top;
    int desktopWidth = desktopRect.right - desktopRect.left;
    int desktopHeight = desktopRect.bottom - desktopRect.top;
    int x = desktopWidth / 2 - width / 2;
    int y = desktopHeight / 2 - height / 2;
    if (x <= 0)
        x = 0;
    if (y <= 0)
        y = 0;
    MoveWindow(window, x, y, width, height, FALSE);
}

int PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (g_hwndProgress != NULL && IsDialogMessageA(g_hwndProgress, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

void ShowStatusText(HWND status, const char* text)
{
    // IsWindow refuses NULL too.
    if (!IsWindow(status))
        return;
    SetWindowTextA(status, text);
    UpdateWindow(status);
}
