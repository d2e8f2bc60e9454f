// The host window: class, placement, painting and the end of the run.
// Owns: s_productBitmap and s_companyBitmap, loaded in WM_CREATE and deleted in WM_DESTROY;
//       s_bWizardRunning, set while the wizard runs inside the start command.
#include "app/host_window.h"
#include "app/restart.h"
#include "app/startup.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "payload/catalogue.h"
#include "resources/resource.h"
#include "wizard/wizard.h"

const char HOST_WINDOW_CLASS[] = "VXInstal";

namespace {

const char HOST_WINDOW_TITLE[] = "VANTIX Pro Install (32)";
const COLORREF HOST_BACKGROUND = RGB(0, 128, 128);

HBITMAP s_productBitmap = NULL;
HBITMAP s_companyBitmap = NULL;
BOOL s_bWizardRunning = FALSE;  // the wizard runs; the window must not close under it

void DrawBitmapAt(HDC target, HDC memory, HBITMAP bitmap, int x, int y)
{
    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(target, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
}

void DrawBitmapAtBottomRight(HDC target, HDC memory, HBITMAP bitmap, const RECT& client)
{
    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);
    DrawBitmapAt(target, memory, bitmap, client.right - info.bmWidth, client.bottom - info.bmHeight);
}

// TRUE when the start command is still waiting in the queue: the window was closed before the
// wizard began, and the wizard's own close at its end is the one that counts.
BOOL StartIsPending(HWND window)
{
    MSG pending;
    return PeekMessageA(&pending, window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) && LOWORD(pending.wParam) == CMD_START_WIZARD;
}

LRESULT OnStartWizard(HWND window)
{
    s_bWizardRunning = TRUE;
    RunSetupWizard(window, g_nV, g_nM);
    s_bWizardRunning = FALSE;
    DeleteTempFiles();
    PostMessageA(window, WM_CLOSE, 0, 0);
    if ((!g_bSilent || g_bAllowReboot) && g_bRebootNeeded)
        RestartWindows(TRUE);
    return 0;
}

}  // namespace

HostWindowPlacement PlaceHostWindow(const RECT& desktop)
{
    HostWindowPlacement placement;
    placement.width = ((desktop.right - desktop.left) / 5) * 4;
    if (placement.width < 600)
        placement.width = 600;
    placement.height = ((desktop.bottom - desktop.top) / 5) * 4;
    if (placement.height < 400)
        placement.height = 400;
    placement.x = (desktop.right - placement.width) / 2;
    placement.y = (desktop.bottom - placement.height) / 2;
    return placement;
}

BOOL RegisterHostWindowClass()
{
    WNDCLASSA windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNWINDOW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = g_hInstance;
    windowClass.hIcon = LoadIconA(g_hInstance, "APP_MAIN");
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    // Left to the end of the process, like every class brush of a program's main window.
    windowClass.hbrBackground = CreateSolidBrush(HOST_BACKGROUND);
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = HOST_WINDOW_CLASS;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateHostWindow()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    HostWindowPlacement placement = PlaceHostWindow(desktop);
    return CreateWindowExA(0, HOST_WINDOW_CLASS, HOST_WINDOW_TITLE, WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU,
        placement.x, placement.y, placement.width, placement.height, NULL, NULL, g_hInstance, NULL);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        s_productBitmap = LoadBitmapA(g_hInstance, "VX_BMP");
        s_companyBitmap = LoadBitmapA(g_hInstance, "HARROWBY");
        return 0;
    case WM_PAINT:
        return PaintHostWindow(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == CMD_START_WIZARD)
            return OnStartWizard(window);
        return 0;
    case WM_CLOSE:
        // The wizard pumps messages between its steps and files. Closed under it, the window
        // would leave its message boxes without an owner, the quit message would be taken by the
        // pump and lost, and the close posted at the end would find no window: the run would
        // never end. The window closes once the wizard has returned.
        if (s_bWizardRunning || StartIsPending(window))
            return 0;
        PostQuitMessage(0);
        break;
    case WM_DESTROY:
        if (s_productBitmap != NULL)
            DeleteObject(s_productBitmap);
        if (s_companyBitmap != NULL)
            DeleteObject(s_companyBitmap);
        s_productBitmap = NULL;
        s_companyBitmap = NULL;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT PaintHostWindow(HWND window)
{
    if (g_bSilent)
        return 0;
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    if (target == NULL)
        return 0;
    RECT client;
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(target);
    if (memory != NULL) {
        if (s_productBitmap != NULL)
            DrawBitmapAt(target, memory, s_productBitmap, 10, 10);
        if (s_companyBitmap != NULL)
            DrawBitmapAtBottomRight(target, memory, s_companyBitmap, client);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
    return 0;
}

int DeleteTempFiles()
{
    char folder[CCH_TEMP_FOLDER];
    if (!GetTempFolder(folder))
        return 0;  // no temporary folder we could have written into
    char path[CCH_LONG_PATH];
    for (int row = 0; row < RESOURCE_COUNT; ++row) {
        rt::FormatText(path, sizeof(path), "%s\\%s", folder, g_resourceMap[row].szPackedName);
        rt::remove(path);
    }
    return 0;
}
