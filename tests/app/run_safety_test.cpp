// Runs that nobody can hang and that nobody has to answer: the host window closed while the
// wizard works, and the system's own error boxes, which a silent run turns off.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/host_window.h"
#include "harness/installer_state.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

HWND WaitForHostWindow(DWORD processId)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(5)) {
        for (HWND window : vxtest::TopLevelWindowsOf(processId, false)) {
            if (vxtest::WindowClass(window) == HOST_WINDOW_CLASS)
                return window;
        }
    }
    return NULL;
}

// A silent installer made as a distributor makes one; its host window is hidden but can still be
// closed. Closed as soon as it exists, it stays until the wizard has installed everything.
TEST(RunSafety, HostWindowClosedWhileTheWizardRunsStaysUntilTheInstallEndsAndTheRunExitsZero)
{
    ScratchFolder scratch("close");
    std::string temp = scratch / "temp";
    std::string dest = scratch / "VANTIX Pro";
    CreateDirectoryA(temp.c_str(), NULL);
    std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(scratch / "settings.ini", "[INSTALL]\r\nQUIET=TRUE\r\nEXPLORER=FALSE\r\n[VANTIX]\r\nDIR32=" + dest + "\r\n");
    ASSERT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"),
                  "\"" + installer + "\" \"" + (scratch / "settings.ini") + "\""),
        0u);
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::RunOptions options;
    options.environment = { { "TMP", temp }, { "TEMP", temp } };
    options.workingFolder = scratch.Path();

    vxtest::Program program = vxtest::StartProgram(installer, "", options);
    ASSERT_TRUE(program.Started());
    HWND host = WaitForHostWindow(program.Id());
    ASSERT_NE(host, (HWND)NULL);
    PostMessageA(host, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(program.Wait(30000), 0u);
    printf("closed at once, the run ended %lu ms later\n", (unsigned long)(GetTickCount() - start));
    // The records the wizard writes after a successful install, and its last file.
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), dest);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, "gvsites.ini")));

    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro");
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
    vxtest::RemoveTree(vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro"));
    vxtest::CloseShellFolderWindows();
}

HHOOK s_hook = NULL;
UINT s_modeAtHostWindow = 0;  // the process error mode when the host window was created

LRESULT CALLBACK NoteErrorMode(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const char* windowClass = ((CBT_CREATEWNDA*)lParam)->lpcs->lpszClass;
        if (HIWORD((ULONG_PTR)windowClass) != 0 && strcmp(windowClass, HOST_WINDOW_CLASS) == 0)
            s_modeAtHostWindow = GetErrorMode();
    }
    return CallNextHookEx(s_hook, code, wParam, lParam);
}

// WinMain in this process, with the settings beside it (the temporary folder does not exist) and
// a destination under a plain file, so that the wizard stops after the folder question. The host
// window is created before the wizard touches any file, library or drive of the install.
TEST(RunSafety, OnlyASilentRunTurnsTheSystemErrorBoxesOffBeforeTheWizard)
{
    const struct {
        const char* settings;
        UINT modeAtHostWindow;
    } cases[] = {
        { "[INSTALL]\r\nQUIET=TRUE\r\n", SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX },
        { "[INSTALL]\r\n", 0 },  // the mode the process had
    };
    for (const auto& c : cases) {
        ScratchFolder scratch;
        vxtest::WriteFileBytes(scratch / "blocker", "a file");
        vxtest::WriteFileBytes(scratch / "install.ini", std::string(c.settings) + "[VANTIX]\r\nDIR32=" + (scratch / "blocker\\VANTIX") + "\r\n");
        WriteProfileStringA("VANTIX", NULL, NULL);
        UnregisterClassA(HOST_WINDOW_CLASS, GetModuleHandleA(NULL));
        UINT before = SetErrorMode(0);
        s_modeAtHostWindow = 0xFFFFFFFF;
        {
            vxtest::CurrentFolderScope inside(scratch.Path());
            vxtest::EnvironmentScope tmp("TMP", scratch / "missing");
            vxtest::EnvironmentScope temp("TEMP", scratch / "missing");
            vxtest::DialogAnswerer answerer;
            s_hook = SetWindowsHookExA(WH_CBT, NoteErrorMode, NULL, GetCurrentThreadId());
            EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL), 0);
            UnhookWindowsHookEx(s_hook);
        }
        EXPECT_EQ(s_modeAtHostWindow, c.modeAtHostWindow) << c.settings;
        SetErrorMode(before);
        UnregisterClassA(HOST_WINDOW_CLASS, GetModuleHandleA(NULL));
        vxtest::ResetInstallerState("");
    }
}

}  // namespace
