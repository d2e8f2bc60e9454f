// Start-up and the host window: the interface defaults, the temporary folder, the window's class,
// placement and painting, the files removed at the end, and WinMain itself in this process: what
// it shows, and the exit codes of a start that fails. (Each Windows version is run by the silent
// installs.)
#include "app/host_window.h"
#include "app/startup.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/dialog_script.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

TEST(InterfaceDefaults, FirstMatchingRuleDecides)
{
    const struct {
        const char* os;
        int major, minor;
        BOOL explore, winNT;
        int nV, nM;
    } cases[] = {
        { "Windows_NT", 3, 10, FALSE, TRUE, 4, 15 },  // NT wins over the version
        { "windows_nt", 3, 10, TRUE, FALSE, 1, 3 },   // "NT" only in capitals
        { "NTFS", 4, 0, TRUE, TRUE, 12, 15 }, { nullptr, 4, 10, FALSE, FALSE, 4, 15 },
        { nullptr, 3, 50, TRUE, FALSE, 12, 15 },      // minor 50 and more counts as 32-bit
        { "", 3, 49, TRUE, FALSE, 1, 3 },
    };
    for (const auto& c : cases) {
        InterfaceDefaults got = ChooseInterfaceDefaults(c.os, c.major, c.minor, c.explore);
        EXPECT_EQ(std::vector<int>({ got.winNT, got.nV, got.nM }), std::vector<int>({ c.winNT, c.nV, c.nM }))
            << (c.os ? c.os : "(no OS)") << " " << c.major << "." << c.minor;
    }
}

TEST(TempFolder, OneTrailingSeparatorGoesAndATooLongPathIsRefused)
{
    for (const auto& c : { std::make_pair("C:\\TEMP\\", "C:\\TEMP"), std::make_pair("C:\\TEMP/", "C:\\TEMP"),
             std::make_pair("C:\\TEMP", "C:\\TEMP"), std::make_pair("C:\\TEMP\\\\", "C:\\TEMP\\"), std::make_pair("", "") }) {
        char path[64];
        strcpy(path, c.first);
        TrimTrailingSeparator(path);
        EXPECT_STREQ(path, c.second) << c.first;
    }
    vxtest::EnvironmentScope tmp("TMP", "C:\\" + std::string(300, 'a')), temp("TEMP", "C:\\" + std::string(300, 'b'));
    char folder[CCH_TEMP_FOLDER];
    std::string before = vxtest::CurrentFolder();
    EXPECT_FALSE(EnterTempFolder(folder));
    EXPECT_STREQ(folder, "");
    EXPECT_EQ(vxtest::CurrentFolder(), before);
}

TEST(HostWindow, FourFifthsOfTheDesktopCentredAndNeverBelow600x400)
{
    const struct {
        RECT desktop;
        std::vector<int> placed;  // x, y, width, height
    } cases[] = {
        { { 0, 0, 1024, 768 }, { 104, 78, 816, 612 } }, { { 0, 0, 640, 480 }, { 20, 40, 600, 400 } },
        { { 0, 0, 749, 499 }, { 74, 49, 600, 400 } }, { { 0, 0, 512, 342 }, { -44, -29, 600, 400 } },  // toward zero
    };
    for (const auto& c : cases) {
        HostWindowPlacement got = PlaceHostWindow(c.desktop);
        EXPECT_EQ(std::vector<int>({ got.x, got.y, got.width, got.height }), c.placed) << c.desktop.right << "x" << c.desktop.bottom;
    }
}

COLORREF BitmapPixel(const char* name, POINT p, SIZE* size)
{
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), name);
    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);
    *size = { info.bmWidth, info.bmHeight };
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    COLORREF colour = GetPixel(memory, p.x, p.y);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return colour;
}

TEST(HostWindow, APlainCaptionedTealWindowWithTheProductLogoTopLeftAndTheCompanyLogoBottomRight)
{
    g_hInstance = GetModuleHandleA(NULL);
    g_bSilent = FALSE;
    UnregisterClassA("VXInstal", g_hInstance);  // an earlier test's
    ASSERT_TRUE(RegisterHostWindowClass());
    HWND window = CreateHostWindow();
    ASSERT_NE(window, (HWND)NULL);
    char name[64];
    GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ(name, "VXInstal");
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), (ULONG_PTR)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNWINDOW));
    EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u) << "icon APP_MAIN";
    GetWindowTextA(window, name, sizeof(name));
    EXPECT_STREQ(name, "VANTIX Pro Install (32)");
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
        (LONG_PTR)(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & ~(LONG_PTR)WS_EX_WINDOWEDGE, 0);

    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    SIZE product, company;
    for (POINT p : { POINT{ 0, 0 }, POINT{ 5, 7 }, POINT{ 100, 50 }, POINT{ 150, 100 } }) {
        EXPECT_EQ(GetPixel(dc, 10 + p.x, 10 + p.y), BitmapPixel("VX_BMP", p, &product)) << "product logo at " << p.x << "," << p.y;
        COLORREF want = BitmapPixel("HARROWBY", p, &company);
        EXPECT_EQ(GetPixel(dc, client.right - company.cx + p.x, client.bottom - company.cy + p.y), want) << "company logo at " << p.x << "," << p.y;
    }
    EXPECT_EQ(std::vector<LONG>({ product.cx, product.cy, company.cx, company.cy }), std::vector<LONG>({ 212, 112, 151, 118 }));
    for (POINT p : { POINT{ 5, 5 }, POINT{ client.right / 2, client.bottom / 2 }, POINT{ client.right - 5, 5 }, POINT{ 5, client.bottom - 5 } })
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(0, 128, 128)) << "background at " << p.x << "," << p.y;
    ReleaseDC(window, dc);
    DestroyWindow(window);
    UnregisterClassA("VXInstal", g_hInstance);
}

TEST(HostWindow, TheEndOfARunRemovesEveryPackedNameAndNothingElse)
{
    const char* const packed[] = { "vantix32.ex_", "vxcore32.dl_", "vxcore32.cn_", "vxcore32.hl_", "vxshell.dl_", "vxshlch.dl_",
        "vxini.dl_", "Vxshell.cn_", "Vxshell.hl_", "vxshell.tx_", "vxscript.ex_", "vxscript.cn_", "vxscript.hl_", "vxscript.tx_",
        "vxfind.ex_", "vxfind.cn_", "vxfind.hl_", "vxfind.tx_", "vxsync.ex_", "vxsyncl.dl_", "vxsync.cn_", "vxsync.hl_", "vxsync.tx_",
        "vxplace.ex_", "vxshim.dl_", "vxremove.ex_", "vxnotes.tx_", "vxplace.hl_", "vxcore32.pd_", "vxorder.wr_", "vxterms.wr_",
        "vxconn.wa_", "vxfail.wa_", "vxdone.wa_", "vantix.in_", "avsites.in_", "mirsites.in_", "gmsites.in_", "hwsites.in_",
        "vxsites.in_", "olsites.in_", "swsites.in_", "gvsites.in_", "Install.ini", "vxkeep.ex_" };
    vxtest::ScratchFolder temp;
    vxtest::EnvironmentScope tmp("TMP", temp.Path());
    for (const char* name : packed)
        vxtest::WriteFileBytes(temp / name, "packed");
    EXPECT_EQ(DeleteTempFiles(), 0);
    EXPECT_EQ(vxtest::ListFolder(temp.Path()), std::vector<std::string>{ "vxkeep.ex_" });
}

HHOOK s_hook = NULL;
BOOL s_refuseHostWindow = FALSE;
UINT s_errorModeAtHostWindow = 0;
LRESULT CALLBACK WatchHostWindow(int code, WPARAM wParam, LPARAM lParam)
{
    const char* name = code == HCBT_CREATEWND ? ((CBT_CREATEWNDA*)lParam)->lpcs->lpszClass : nullptr;
    if (name != nullptr && HIWORD((ULONG_PTR)name) != 0 && strcmp(name, "VXInstal") == 0) {
        s_errorModeAtHostWindow = GetErrorMode();
        if (s_refuseHostWindow)
            return 1;  // refuse the creation
    }
    return CallNextHookEx(s_hook, code, wParam, lParam);
}

// WinMain in this process (its resources are linked in): the settings come from a scratch folder
// because the temporary folder named by TMP does not exist, so the current folder stays the scratch
// folder. Their destination lies there, under a plain file, so nothing is installed: interactive,
// after Install is chosen, it is refused (it lies inside the folder the installer runs from) and
// the folder question then ends without a folder. The class fails when one of its name is
// registered already; the window, by a hook. Only a silent run has the system's error boxes off
// by the time the host window is made, before the wizard touches a file, library or drive.
TEST(StartInProcess, WhatARunShowsAndTheExitCodesOfAStartThatFails)
{
    const char* const refused[] = { "You cannot install to the folder that contains the installation files.", "Can't continue without a destination folder!" };
    const struct {
        const char* settings;
        int fail;  // 0: nothing, 1: the class, 2: the window
        int code;
        std::vector<const char*> texts;  // the message boxes shown; none: nothing may be shown
    } cases[] = {
        { "[INSTALL]\r\n", 0, 0, { refused[0], refused[1] } }, { "[INSTALL]\r\nQUIET=TRUE\r\n", 0, 0, {} },
        { "[INSTALL]\r\nQUIET=1\r\n", 1, -1, {} }, { "[INSTALL]\r\n", 1, -1, { "Window registration failed.\nExit and restart Windows." } },
        { "[INSTALL]\r\nQUIET=1\r\n", 2, 2, {} }, { "[INSTALL]\r\n", 2, 2, { "Window creation failed.\nExit and restart Windows." } },
    };
    vxtest::ScratchFolder scratch;
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(scratch / "blocker", "a file");
        vxtest::WriteFileBytes(scratch / "install.ini", c.settings + ("[VANTIX]\r\nDIR32=" + (scratch / "blocker\\VANTIX")) + "\r\n");
        WriteProfileStringA("VANTIX", NULL, NULL);
        UnregisterClassA("VXInstal", GetModuleHandleA(NULL));
        WNDCLASSA taken = {};
        taken.lpfnWndProc = DefWindowProcA;
        taken.hInstance = GetModuleHandleA(NULL);
        taken.lpszClassName = "VXInstal";
        if (c.fail == 1)
            RegisterClassA(&taken);
        vxtest::DialogScript script;
        auto click = [](int id) { return [id](vxtest::DialogView& d) { d.Click(id); }; };
        if (c.fail == 0 && !c.texts.empty())  // Install; the folder proposed, refused, then no folder
            script.Dialog({ 1851, 1852, 2420 }, click(IDOK)).Dialog({ 3010, 954 }, click(IDOK)).MessageBox(c.texts[0], IDOK)
                .Dialog({ 3010, 954 }, click(IDCANCEL)).MessageBox(c.texts[1], IDOK);
        for (size_t i = 0; c.fail != 0 && i < c.texts.size(); ++i)
            script.MessageBox(c.texts[i], IDOK);
        if (c.texts.empty())
            script.NoWindow();
        s_refuseHostWindow = c.fail == 2;
        s_errorModeAtHostWindow = 0xFFFF;
        s_hook = SetWindowsHookExA(WH_CBT, WatchHostWindow, NULL, GetCurrentThreadId());
        UINT before = SetErrorMode(0);
        {
            vxtest::CurrentFolderScope inside(scratch.Path());
            vxtest::EnvironmentScope tmp("TMP", scratch / "no-such-temp"), temp("TEMP", scratch / "no-such-temp");
            EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL), c.code) << c.settings << c.fail;
        }
        UnhookWindowsHookEx(s_hook);
        SetErrorMode(before);
        script.Finish();
        UINT silentMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
        EXPECT_TRUE(c.fail != 0 || s_errorModeAtHostWindow == (c.texts.empty() ? silentMode : 0u)) << c.settings << s_errorModeAtHostWindow;
        // The host window is made, and shown first unless silent.
        EXPECT_TRUE(c.fail != 0 || (c.texts.empty() ? script.Created() : std::vector<std::string>(1, script.Activated().at(0))) == std::vector<std::string>{ "VXInstal" });
        UnregisterClassA("VXInstal", GetModuleHandleA(NULL));
        g_bSilent = g_bLogging = FALSE;
    }
}

}  // namespace
