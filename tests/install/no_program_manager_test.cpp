// An install in a session where nothing answers "PROGMAN" (Wine without a display, in a prefix
// of its own: this program's ctest entry arranges both). The client instance still starts there;
// every group command fails on its own, within its second, and the install goes on and succeeds.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/installer_state.h"
#include "harness/wine_env.h"
#include "progman/progman.h"

namespace {

TEST(NoProgramManager, TheSessionReallyHasNoDisplay)
{
    HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    EXPECT_EQ(window, (HWND)NULL) << "this test must run without a display";
    if (window != NULL)
        DestroyWindow(window);
}

TEST(NoProgramManager, ACommandFailsWithinItsSecond)
{
    ASSERT_EQ(ProgmanOpen(), 1);
    DWORD start = GetTickCount();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(VANTIX Pro)]"), 0);
    EXPECT_LT(GetTickCount() - start, 1500u);
    ProgmanClose();
}

TEST(NoProgramManager, TheInstallGoesOnWithoutItsGroup)
{
    vxtest::ScratchFolder scratch;
    std::string source = scratch.Path() + "\\";
    std::string dest = scratch / "VANTIX Pro";
    CreateDirectoryA(dest.c_str(), NULL);
    vxtest::ResetInstallerState("VXSNOPM.tmp");
    g_bSilent = TRUE;
    WriteProfileStringA("VANTIX", NULL, NULL);

    DWORD outcome = 0;
    char failure[256];
    DWORD start = GetTickCount();
    EXPECT_EQ(RunInstallSequence(source.c_str(), dest.c_str(), SEL_CLASSIC | SEL_SILENT, &outcome, NULL, NULL, failure), 1);
    EXPECT_LT(GetTickCount() - start, 60000u) << "no command may wait longer than its second";
    EXPECT_STREQ(failure, "");
    EXPECT_TRUE(outcome & OUT_DONE);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, "vantix32.exe")));

    EXPECT_EQ(vxtest::WinIniText("VANTIX", "GROUP"), "VANTIX Pro");
    std::string uninstall;
    EXPECT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro",
        "UninstallString", &uninstall)) << "the steps after the group still run";
    EXPECT_FALSE(vxtest::FolderExists(vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro")));
}

}  // namespace
