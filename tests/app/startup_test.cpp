// Start-up and the host window, and WinMain in this process: what a run shows and the exit codes
// of a start that fails. (What the end of a run leaves in the temporary folder is seen in whole
// installs.)
#include "app/host_window.h"
#include "app/startup.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/dialog_script.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

TEST(Startup, InterfaceDefaultsByTheFirstMatchingRule)
{
    const struct {
        const char* os;
        int major, minor;
        BOOL explore;
        std::vector<int> got;  // winNT, nV, nM
    } cases[] = {
        { "Windows_NT", 3, 10, FALSE, { 1, 4, 15 } }, { "windows_nt", 3, 10, TRUE, { 0, 1, 3 } },  // "NT" only in capitals
        { "NTFS", 4, 0, TRUE, { 1, 12, 15 } }, { nullptr, 4, 10, FALSE, { 0, 4, 15 } },
        { nullptr, 3, 50, TRUE, { 0, 12, 15 } }, { "", 3, 49, TRUE, { 0, 1, 3 } },  // minor 50 and more counts as 32-bit
    };
    for (const auto& c : cases) {
        InterfaceDefaults got = ChooseInterfaceDefaults(c.os, c.major, c.minor, c.explore);
        EXPECT_EQ(std::vector<int>({ got.winNT, got.nV, got.nM }), c.got) << (c.os ? c.os : "(no OS)") << " " << c.major << "." << c.minor;
    }
}

TEST(HostWindow, FourFifthsOfTheDesktopCentredAndNeverBelow600x400)
{
    const std::pair<RECT, std::vector<int>> cases[] = {  // x, y, width, height
        { { 0, 0, 1024, 768 }, { 104, 78, 816, 612 } }, { { 0, 0, 640, 480 }, { 20, 40, 600, 400 } },
        { { 0, 0, 512, 342 }, { -44, -29, 600, 400 } },  // halves toward zero
    };
    for (const auto& c : cases) {
        HostWindowPlacement got = PlaceHostWindow(c.first);
        EXPECT_EQ(std::vector<int>({ got.x, got.y, got.width, got.height }), c.second) << c.first.right;
    }
}

// Placed by the rule above on the 1024 x 768 screen.
TEST(HostWindow, APlainCaptionedTealWindow)
{
    g_hInstance = GetModuleHandleA(NULL);
    g_bSilent = FALSE;
    UnregisterClassA("VXInstal", g_hInstance);
    ASSERT_TRUE(RegisterHostWindowClass());
    HWND window = CreateHostWindow();
    EXPECT_EQ(FindWindowA("VXInstal", "VANTIX Pro Install (32)"), window);
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), (ULONG_PTR)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNWINDOW));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
        (LONG_PTR)(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RECT client, placed;
    GetClientRect(window, &client);
    GetWindowRect(window, &placed);
    EXPECT_EQ(std::vector<LONG>({ placed.left, placed.top, placed.right, placed.bottom }), std::vector<LONG>({ 104, 78, 920, 690 }));
    HDC dc = GetDC(window);
    for (POINT p : { POINT{ 5, 5 }, POINT{ client.right / 2, client.bottom / 2 }, POINT{ 5, client.bottom - 5 } })
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(0, 128, 128)) << "background at " << p.x << "," << p.y;
    ReleaseDC(window, dc);
    DestroyWindow(window);
    UnregisterClassA("VXInstal", g_hInstance);
}

BOOL s_refuseHostWindow = FALSE;
UINT s_errorModeAtHostWindow = 0;
LRESULT CALLBACK WatchHostWindow(int code, WPARAM wParam, LPARAM lParam)
{
    const char* name = code == HCBT_CREATEWND ? ((CBT_CREATEWNDA*)lParam)->lpcs->lpszClass : nullptr;
    if (name != nullptr && HIWORD((ULONG_PTR)name) != 0 && strcmp(name, "VXInstal") == 0) {
        s_errorModeAtHostWindow = GetErrorMode();
        if (s_refuseHostWindow)
            return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// The settings come from the current folder, as TMP names none; their destination lies under a
// plain file. The class fails when its name is taken; the window, by a hook.
TEST(StartInProcess, WhatARunShowsAndTheExitCodesOfAStartThatFails)
{
    const struct {
        const char* settings;
        int fail;  // 0: nothing, 1: the class, 2: the window
        int code;
        const char* text;  // the message box shown; none: no window may be shown
    } cases[] = {
        { "QUIET=TRUE\r\n", 0, 0, nullptr }, { "QUIET=1\r\n", 1, -1, nullptr }, { "", 1, -1, "Window registration failed.\nExit and restart Windows." },
        { "QUIET=1\r\n", 2, 2, nullptr }, { "", 2, 2, "Window creation failed.\nExit and restart Windows." },
    };
    vxtest::ScratchFolder scratch;
    vxtest::WriteFileBytes(scratch / "blocker", "a file");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.settings) + std::to_string(c.fail));
        vxtest::WriteFileBytes(scratch / "install.ini", "[INSTALL]\r\n" + std::string(c.settings) + "[VANTIX]\r\nDIR32=" + (scratch / "blocker\\VANTIX") + "\r\n");
        WriteProfileStringA("VANTIX", NULL, NULL);
        WNDCLASSA taken = { 0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL, "VXInstal" };
        if (c.fail == 1)
            RegisterClassA(&taken);
        vxtest::DialogScript script;
        if (c.text != nullptr)
            script.MessageBox(c.text, IDOK);
        else
            script.NoWindow();
        s_refuseHostWindow = c.fail == 2;
        s_errorModeAtHostWindow = 0xFFFF;
        HHOOK hook = SetWindowsHookExA(WH_CBT, WatchHostWindow, NULL, GetCurrentThreadId());
        UINT before = SetErrorMode(0);
        {
            vxtest::CurrentFolderScope inside(scratch.Path());
            vxtest::EnvironmentScope tmp("TMP", scratch / "no-such-temp"), temp("TEMP", scratch / "no-such-temp");
            EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL), c.code);
        }
        UnhookWindowsHookEx(hook);
        SetErrorMode(before);
        script.Finish();
        if (c.fail == 0) {  // the host window is made, hidden, with the system's error boxes off
            EXPECT_EQ(s_errorModeAtHostWindow, (UINT)(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
        }
        UnregisterClassA("VXInstal", GetModuleHandleA(NULL));
        g_bSilent = g_bLogging = FALSE;
    }
}

}  // namespace
