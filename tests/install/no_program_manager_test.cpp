// An install in a session where nothing answers "PROGMAN" (Wine without a display, in a prefix
// of its own: this program's ctest entry arranges both). Every group command fails on its own;
// the install goes on and succeeds.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/globals.h"
#include "harness/installer_state.h"
#include "harness/wine_env.h"

namespace {

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

    char group[64];
    GetProfileStringA("VANTIX", "GROUP", "", group, sizeof(group));
    EXPECT_STREQ(group, "VANTIX Pro");
    std::string uninstall;
    EXPECT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro",
        "UninstallString", &uninstall)) << "the steps after the group still run";
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, programs);
    EXPECT_FALSE(vxtest::FolderExists(vxtest::JoinPath(programs, "VANTIX Pro")));
}

}  // namespace
