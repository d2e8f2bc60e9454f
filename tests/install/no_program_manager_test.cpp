// An install where nothing answers "PROGMAN" (Wine without a display, in a prefix of its own).
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include "harness/installer_state.h"
#include "harness/product_records.h"

namespace {

TEST(NoProgramManager, EveryCommandFailsAtOnceAndTheInstallGoesOnWithoutItsGroup)
{
    ASSERT_EQ(CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL), (HWND)NULL) << "this test must run without a display";
    vxtest::ScratchFolder scratch;
    std::string source = scratch.Path() + "\\", dest = scratch / "VANTIX Pro";
    CreateDirectoryA(dest.c_str(), NULL);
    vxtest::ResetInstallerState("VXSNOPM.tmp");
    g_bSilent = TRUE;
    vxtest::ClearProductRecords();
    DWORD outcome = 0;
    char failure[256];
    DWORD start = GetTickCount();
    EXPECT_EQ(RunInstallSequence(source.c_str(), dest.c_str(), SEL_CLASSIC | SEL_SILENT, &outcome, NULL, NULL, failure), 1);
    EXPECT_LT(GetTickCount() - start, 8000u) << "thirteen commands that each waited their second take longer";
    EXPECT_STREQ(failure, "");
    EXPECT_EQ(outcome & OUT_DONE, (DWORD)OUT_DONE);
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "GROUP"), "VANTIX Pro");
    EXPECT_NE(vxtest::RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro", "UninstallString"),
        "<absent>") << "the steps after the group still run";
    vxtest::ClearProductRecords();
}

}  // namespace
