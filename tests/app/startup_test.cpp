// The host window, and WinMain in this process: the exit codes of a start that fails and what it
// shows. (A run that goes on is seen in whole installs, the interface defaults in the dialog.)
#include "app/host_window.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/dialog_script.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

// Four fifths of the desktop, centred (halves toward zero), never below 600 x 400; on this
// 1024 x 768 screen, a plain captioned window, teal where nothing is drawn.
TEST(HostWindow, APlainCaptionedTealWindowOnFourFifthsOfTheDesktopCentred)
{
    const std::pair<RECT, std::vector<int>> cases[] = {  // x, y, width, height
        { { 0, 0, 640, 480 }, { 20, 40, 600, 400 } }, { { 0, 0, 512, 342 }, { -44, -29, 600, 400 } },
    };
    for (const auto& c : cases) {
        HostWindowPlacement got = PlaceHostWindow(c.first);
        EXPECT_EQ(std::vector<int>({ got.x, got.y, got.width, got.height }), c.second) << c.first.right;
    }
    g_hInstance = GetModuleHandleA(NULL);
    g_bSilent = FALSE;
    UnregisterClassA("VXInstal", g_hInstance);
    ASSERT_TRUE(RegisterHostWindowClass());
    HWND window = CreateHostWindow();
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), (ULONG_PTR)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNWINDOW));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
        (LONG_PTR)(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RECT client, placed;
    GetClientRect(window, &client), GetWindowRect(window, &placed);
    EXPECT_EQ(std::vector<LONG>({ placed.left, placed.top, placed.right, placed.bottom }), std::vector<LONG>({ 104, 78, 920, 690 }));
    HDC dc = GetDC(window);
    for (POINT p : { POINT{ 5, 5 }, POINT{ client.right / 2, client.bottom / 2 }, POINT{ 5, client.bottom - 5 } })
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(0, 128, 128)) << "background at " << p.x << "," << p.y;
    ReleaseDC(window, dc);
    DestroyWindow(window);
    UnregisterClassA("VXInstal", g_hInstance);
}

UINT s_errorModeAtHostWindow;  // as the host window was about to be made; it is then refused
LRESULT CALLBACK RefuseHostWindow(int code, WPARAM wParam, LPARAM lParam)
{
    const char* name = code == HCBT_CREATEWND ? ((CBT_CREATEWNDA*)lParam)->lpcs->lpszClass : nullptr;
    if (name == nullptr || HIWORD((ULONG_PTR)name) == 0 || strcmp(name, "VXInstal") != 0)
        return CallNextHookEx(NULL, code, wParam, lParam);
    s_errorModeAtHostWindow = GetErrorMode();
    return 1;
}

// The settings come from the current folder, as TMP names none. The class fails when its name is
// taken; the window, by a hook. The system's error boxes are off until the settings say the run
// is interactive (0xFFFF: no window was made).
TEST(StartInProcess, TheExitCodesOfAStartThatFailsAndWhatItShows)
{
    const struct { const char* settings; bool classTaken; int code; UINT errorMode; const char* text; } cases[] = {
        { "QUIET=1\r\n", true, -1, 0xFFFF, nullptr }, { "", true, -1, 0xFFFF, "Window registration failed.\nExit and restart Windows." },
        { "QUIET=TRUE\r\n", false, 2, SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr },
        { "", false, 2, 0, "Window creation failed.\nExit and restart Windows." },  // text: the box shown
    };
    vxtest::ScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.settings) + std::to_string(c.code));
        vxtest::WriteFileBytes(scratch / "install.ini", "[INSTALL]\r\n" + std::string(c.settings));
        WNDCLASSA taken = { 0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL, "VXInstal" };
        if (c.classTaken)
            RegisterClassA(&taken);
        vxtest::DialogScript script;
        c.text != nullptr ? script.MessageBox(c.text, IDOK) : script.NoWindow();
        s_errorModeAtHostWindow = 0xFFFF;
        HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseHostWindow, NULL, GetCurrentThreadId());
        UINT before = SetErrorMode(0);
        {
            vxtest::CurrentFolderScope inside(scratch.Path());
            vxtest::EnvironmentScope tmp("TMP", scratch / "no-such-temp"), temp("TEMP", scratch / "no-such-temp");
            EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL), c.code);
        }
        UnhookWindowsHookEx(hook);
        SetErrorMode(before);
        script.Finish();
        EXPECT_EQ(s_errorModeAtHostWindow, c.errorMode);
        UnregisterClassA("VXInstal", GetModuleHandleA(NULL));
        g_bSilent = g_bLogging = FALSE;
    }
}

}  // namespace
