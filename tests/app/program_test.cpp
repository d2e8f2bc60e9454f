// The built installer started as a process of its own: an interactive run as a user starts it,
// and the settings file beside the installer.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "harness/dialog_script.h"
#include "harness/product_records.h"

namespace {

std::set<std::string> TempNames()
{
    std::vector<std::string> names = vxtest::ListFolder(vxtest::TempFolder());
    return std::set<std::string>(names.begin(), names.end());
}

// Every question takes its proposed answer (the earlier install's folder recorded in WIN.INI is one
// of this test's, outside the temporary folder, which is refused as a destination); the host
// window stays behind the closing question, and the run ends with 0 and a clean temporary folder.
TEST(Program, AnInteractiveRunShowsTheHostWindowUntilTheClosingQuestionAndExitsZero)
{
    std::string dest = "C:\\VANTIX Test " + std::to_string(GetCurrentProcessId());
    vxtest::ClearProductRecords(dest);
    WriteProfileStringA("VANTIX", "DIR", dest.c_str());
    // The Explorer icon has no place yet, so the install asks where it goes.
    for (const char* place : { "Desktop", "MyComputer" })
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}");
    std::set<std::string> before = TempNames();
    vxtest::Program program = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "");
    // Install, the folder, the interfaces and the icon's place as proposed. The Explorer interface
    // was registered, so the closing question is the restart prompt.
    vxtest::DialogScript script(program.Id());
    auto ok = [](vxtest::DialogView& d) { d.Click(IDOK); };
    script.Timeout(60000).Dialog({ 1851, 1852, 2420 }, ok).Dialog({ 3010, 954 }, ok).Dialog({ 1880, 2417 }, ok);
    script.Dialog({ 1851, 1852 }, ok, "Icon Placement").Dialog({ 0xFFFF }, [](vxtest::DialogView& question) {
        EXPECT_EQ(question.MessageText().substr(0, 24), "Installation successful!");
        HWND host = FindWindowA("VXInstal", "VANTIX Pro Install (32)");
        RECT rect = {};
        GetWindowRect(host, &rect);
        EXPECT_TRUE(IsWindowVisible(host)) << "the host window stays behind the question";
        EXPECT_EQ(std::vector<LONG>({ rect.right - rect.left, rect.bottom - rect.top }), std::vector<LONG>({ 816, 612 }))
            << "four fifths of the 1024 x 768 test display";
        question.Click(IDCANCEL);  // no restart
    }, "Congratulations!");
    EXPECT_EQ(script.Run(program), 0u);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, "vantix32.exe")));
    vxtest::CloseShellFolderWindows();
    vxtest::ClearProductRecords(dest);
    // "Install.ini", the packed names and the scratch file (deleted after each placement) are gone.
    std::set<std::string> after = TempNames();
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    EXPECT_EQ(added, std::vector<std::string>{});
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
    vxtest::DialogScript script(program.Id());
    EXPECT_EQ(script.NoWindow().Run(program), 0u);
    std::vector<std::string> log = vxtest::SplitLines(vxtest::ReadFileBytes(workFolder / "setup.log"));
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[0], "g_bSilent=1");
    EXPECT_EQ(log[5], "g_szLine1=\"beside\"");
}

}  // namespace
