// The built installer started as a process of its own, with the settings file beside it.
#include <gtest/gtest.h>

#include "harness/dialog_script.h"

namespace {

// The carried settings cannot be written where the temporary folder does not exist, so the file
// beside the installer is used. Its destination lies under a plain file: the run stops there.
TEST(Program, SettingsBesideTheInstallerAreUsedWhenTheCarriedCopyCannotBeWritten)
{
    vxtest::ScratchFolder installerFolder, work;
    std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), installerFolder.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(work / "blocker", "a file");
    vxtest::WriteFileBytes(installerFolder / "install.ini",
        "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nLINE1=beside\r\n[VANTIX]\r\nDIR32=" + (work / "blocker\\VANTIX") + "\r\n");
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::RunOptions options;
    options.workingFolder = work.Path(), options.environment = { { "TMP", work / "missing" }, { "TEMP", work / "missing" } };
    vxtest::Program program = vxtest::StartProgram(installer, "", options);
    EXPECT_EQ(vxtest::DialogScript(program.Id()).NoWindow().Run(program), 0u);
    std::vector<std::string> log = vxtest::SplitLines(vxtest::ReadFileBytes(work / "setup.log"));
    EXPECT_EQ(log.size() > 5 ? log[0] + "|" + log[5] : "", "g_bSilent=1|g_szLine1=\"beside\"");
}

}  // namespace
