// The built installer started as a process of its own: an interactive run as a user starts it,
// and the settings file beside the installer.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness/dialog_script.h"
#include "harness/product_records.h"

namespace {

// Every question takes its proposed answer (the earlier install's folder, recorded in WIN.INI); the
// host window stays behind the closing question, and the run leaves the temporary folder as it was.
TEST(Program, AnInteractiveRunShowsTheHostWindowUntilTheClosingQuestionAndExitsZero)
{
    std::string dest = "C:\\VANTIX Test " + std::to_string(GetCurrentProcessId());
    vxtest::ClearProductRecords(dest);
    WriteProfileStringA("VANTIX", "DIR", dest.c_str());
    for (const char* place : { "Desktop", "MyComputer" })  // no place yet: the install asks for one
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}");
    std::vector<std::string> before = vxtest::ListFolder(vxtest::TempFolder());
    vxtest::Program program = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "");
    vxtest::DialogScript script(program.Id());
    auto ok = [](vxtest::DialogView& d) { d.Click(IDOK); };
    script.Timeout(60000).Dialog({ 1851, 1852, 2420 }, ok).Dialog({ 3010, 954 }, ok).Dialog({ 1880, 2417 }, ok);
    script.Dialog({ 1851, 1852 }, ok, "Icon Placement").Dialog({ 0xFFFF }, [](vxtest::DialogView& question) {
        EXPECT_EQ(question.MessageText().substr(0, 24), "Installation successful!");
        HWND host = FindWindowA("VXInstal", "VANTIX Pro Install (32)");
        RECT rect = {};
        GetWindowRect(host, &rect);
        EXPECT_TRUE(IsWindowVisible(host));
        EXPECT_EQ(std::vector<LONG>({ rect.right - rect.left, rect.bottom - rect.top }), std::vector<LONG>({ 816, 612 })) << "of 1024 x 768";
        question.Click(IDCANCEL);  // the restart prompt: no restart
    }, "Congratulations!");
    EXPECT_EQ(script.Run(program), 0u);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, "vantix32.exe")));
    vxtest::CloseShellFolderWindows();
    vxtest::ClearProductRecords(dest);
    for (const std::string& name : vxtest::ListFolder(vxtest::TempFolder()))
        EXPECT_NE(std::find(before.begin(), before.end(), name), before.end()) << name << " left behind";
}

// The carried settings cannot be written where the temporary folder does not exist, so the file
// beside the installer is used. Its destination lies under a plain file: the run stops there.
TEST(Program, SettingsBesideTheInstallerAreUsedWhenTheCarriedCopyCannotBeWritten)
{
    vxtest::ScratchFolder installerFolder, workFolder;
    std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), installerFolder.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(workFolder / "blocker", "a file");
    vxtest::WriteFileBytes(installerFolder / "install.ini",
        "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nLINE1=beside\r\n[VANTIX]\r\nDIR32=" + (workFolder / "blocker\\VANTIX") + "\r\n");
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::RunOptions options;
    options.workingFolder = workFolder.Path();
    options.environment = { { "TMP", workFolder / "missing" }, { "TEMP", workFolder / "missing" } };
    vxtest::Program program = vxtest::StartProgram(installer, "", options);
    EXPECT_EQ(vxtest::DialogScript(program.Id()).NoWindow().Run(program), 0u);
    std::vector<std::string> log = vxtest::SplitLines(vxtest::ReadFileBytes(workFolder / "setup.log"));
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[0] + "|" + log[5], "g_bSilent=1|g_szLine1=\"beside\"");
}

}  // namespace
