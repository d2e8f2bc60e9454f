// Interactive installs: the wizard's folder loop, the copy's Cancel and the host window's restart
// in this process, and a whole install of the built installer driven from here through every
// dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/host_window.h"
#include "app/restart.h"
#include "common/globals.h"
#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"
#include "wizard/wizard.h"

using vxtest::DialogView;

namespace {

const char CAPTION[] = "VANTIX Pro Installation";
const char SUCCESS[] = "Installation successful!\nHappy FTP'ing!";
const char RESTART_PROMPT[] = "Installation successful!\n\nInstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.";
const std::vector<int> MODE = { 1851, 1852, 2420 }, FOLDER = { 3010, 954, 2416 }, INTERFACES = { 1880, 2417, 2418 };

void Press(vxtest::DialogScript& script, const std::vector<int>& dialog, int button)
{
    script.Dialog(dialog, [button](DialogView& d) { d.Click(button); });
}

void ForgetEarlierInstalls()
{
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro");
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
    for (const char* place : { "Desktop", "MyComputer" })
        for (const char* last : { "1}", "a}" })
            vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00" + last);
}

std::vector<std::string> s_calls;  // the restart calls made, in order
BOOL RecordOpenToken(HANDLE, DWORD access, HANDLE*) { s_calls.push_back("token " + std::to_string(access)); return TRUE; }
BOOL RecordLookUp(const char*, const char* name, LUID*) { s_calls.push_back(std::string("privilege ") + name); return TRUE; }
BOOL RecordAdjust(HANDLE, BOOL, TOKEN_PRIVILEGES* p) { s_calls.push_back("enable " + std::to_string(p->Privileges[0].Attributes)); return TRUE; }
BOOL RecordExit(UINT flags, DWORD) { s_calls.push_back("exit " + std::to_string(flags)); return TRUE; }

// The wizard in this process, with the source (temporary) folder temp_ current and dest_
// proposed through the settings' DIR32.
class InteractiveWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSINT.tmp");
        ForgetEarlierInstalls();
        CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::WriteFileBytes(scratch_ / "install.ini", "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
        strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
        real_ = g_restartPlatform;
        g_restartPlatform = { RecordOpenToken, RecordLookUp, RecordAdjust, RecordExit };
    }
    void TearDown() override
    {
        g_restartPlatform = real_;
        ForgetEarlierInstalls();
        vxtest::RemoveTree(vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro"));
    }
    vxtest::ScratchFolder scratch_{ "interactive" };
    std::string temp_ = scratch_ / "temp";
    std::string dest_ = scratch_ / "VANTIX Pro";
    RESTART_PLATFORM real_;
};

TEST_F(InteractiveWizard, TheSourceFolderIsRefusedAndAFolderThatCannotBeMadeIsAskedAgain)
{
    std::string bad = scratch_ / "bad|name";
    vxtest::DialogScript script;
    Press(script, MODE, IDOK);
    for (const std::string& folder : { temp_, temp_ + "\\below", temp_ + "files", bad }) {
        script.Dialog(FOLDER, [folder](DialogView& d) { d.Type(954, folder); d.Click(IDOK); });
        if (folder != bad)
            script.MessageBox("You cannot install to the folder that contains the installation files.", IDOK, CAPTION);
    }
    script.MessageBox("Creation of " + bad + " failed. (123)", IDOK, "Install");  // the folder maker's report
    script.MessageBox("Creation of " + bad + " failed. (0)", IDOK, CAPTION);
    Press(script, FOLDER, IDCANCEL);
    script.MessageBox("Can't continue without a destination folder!", IDOK, CAPTION);
    vxtest::CurrentFolderScope inTemp(temp_);
    EXPECT_EQ(RunSetupWizard(NULL, 12, 15), 0);
    script.Finish();
    EXPECT_FALSE(vxtest::FolderExists(temp_ + "files"));
}

TEST_F(InteractiveWizard, CancelDuringTheCopyStopsAfterTheFileBeingCopied)
{
    vxtest::DialogScript script;
    Press(script, MODE, IDOK);
    Press(script, FOLDER, IDOK);
    Press(script, INTERFACES, IDOK);
    script.Dialog({ 2, 954 }, [](DialogView& progress) {
        progress.Click(IDCANCEL);
        progress.Click(IDCANCEL);  // a second press changes nothing
    });
    script.MessageBox("Some portion of installation process failed.", IDOK);  // and no failure text
    vxtest::CurrentFolderScope inTemp(temp_);
    EXPECT_EQ(RunSetupWizard(NULL, 4, 15), 0);
    script.Finish();
    // Each file placed was shown while it was copied, and the copy stopped within the first group.
    std::vector<std::string> placed = vxtest::ListFolder(dest_);
    EXPECT_GE(placed.size(), 1u);
    EXPECT_LT(placed.size(), 4u);
    for (const std::string& name : placed) {
        std::string shown = "Copying " + temp_ + "\\" + name + " to " + dest_ + "\\" + name;
        std::vector<std::string> texts = script.ProgressTexts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), shown), texts.end()) << shown;
    }
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), "<absent>");
}

TEST_F(InteractiveWizard, TheHostWindowRestartsWindowsAfterTheWizardOnlyWhenTheRulesAllow)
{
    const std::vector<std::string> NT_RESTART = { "token 40", "privilege SeShutdownPrivilege", "enable 2", "exit 2" };
    const struct {
        BOOL silent, allowReboot, winNT;
        int answer;  // to the restart prompt
        std::vector<std::string> calls;
    } cases[] = {
        { FALSE, FALSE, TRUE, IDOK, NT_RESTART },
        { FALSE, TRUE, TRUE, IDCANCEL, {} },
        { TRUE, TRUE, FALSE, 0, { "exit 2" } },
        { TRUE, FALSE, TRUE, 0, {} },
    };
    RegisterHostWindowClass();
    g_nV = 12;  // the Explorer interface registers itself: a restart is needed
    g_nM = 15;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.silent) + std::to_string(c.allowReboot) + std::to_string(c.answer));
        ForgetEarlierInstalls();  // the Icon Placement question comes each time
        g_bSilent = c.silent;
        g_bAllowReboot = c.allowReboot;
        g_bWinNT = c.winNT;
        g_bRebootNeeded = FALSE;
        s_calls.clear();
        vxtest::DialogScript script;
        if (!c.silent) {
            for (const auto& dialog : { MODE, FOLDER, INTERFACES, std::vector<int>{ 1851, 1852 } })
                Press(script, dialog, IDOK);
            script.MessageBox(RESTART_PROMPT, c.answer, "Congratulations!");
        }
        HWND host = CreateHostWindow();
        vxtest::CurrentFolderScope inTemp(temp_);
        SendMessageA(host, WM_COMMAND, CMD_START_WIZARD, 0);
        script.Finish();
        EXPECT_EQ(s_calls, c.calls);
        DestroyWindow(host);  // its own WM_CLOSE, still posted, would end the test's message loop
    }
}

TEST(InstallerProgram, AWholeInteractiveInstallThroughEveryDialog)
{
    vxtest::ScratchFolder scratch("whole");
    std::string temp = scratch / "temp", dest = scratch / "Typed Folder";
    CreateDirectoryA(temp.c_str(), NULL);
    ForgetEarlierInstalls();
    vxtest::RunOptions options;
    options.environment = { { "TMP", temp }, { "TEMP", temp } };
    // First classic and the bonus pack into a typed folder; then again, with the Explorer
    // interface, whose icon goes into My Computer.
    for (bool explorer : { false, true }) {
        SCOPED_TRACE(explorer ? "with Explorer" : "classic and bonus");
        vxtest::Program installer = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", options);
        vxtest::DialogScript script(installer.Id());
        script.Timeout(30000).Dialog(MODE, [explorer](DialogView& d) {
            EXPECT_EQ(d.Enabled(1852), explorer) << "removal offered after an install";
            d.Click(IDOK);
        });
        script.Dialog(FOLDER, [&](DialogView& d) { d.Type(954, dest); d.Click(IDOK); });
        script.Dialog(INTERFACES, [explorer](DialogView& d) {
            d.Check(2417, explorer);
            d.Check(2418, true);
            d.Click(IDOK);
        });
        if (explorer) {
            script.Dialog({ 1851, 1852 }, [](DialogView& d) { d.Choose(1852); d.Click(IDOK); }, "Icon Placement");
            script.MessageBox(RESTART_PROMPT, IDCANCEL, "Congratulations!");
        } else {
            script.MessageBox(SUCCESS, IDOK, "Congratulations!");
        }
        EXPECT_EQ(script.Run(installer, 180000), 0u);
    }
    for (const char* name : { "vantix32.exe", "vxscript.exe", "vxshell.dll", "VANTIX.ini" })
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, name))) << name;
    // The Explorer icon where the user put it; the classic one stays where the first run put it.
    auto entry = [](const std::string& place, const char* classId) {
        return vxtest::RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + place + "\\Namespace\\" + classId, "");
    };
    EXPECT_EQ(entry("MyComputer", "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), "VANTIX Pro Explorer");
    EXPECT_EQ(entry("Desktop", "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}"), "VANTIX Pro");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro", "UninstallString"),
        "\"" + dest + "\\vxremove.exe\" -f " + dest + " -d " + dest + " -g VANTIX Pro");
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), dest);
    std::string group = vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro");
    for (const char* link : { "VANTIX Pro.lnk", "VANTIX Scripting Utility.lnk", "VANTIX Pro Explorer Help.lnk" })
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(group, link))) << link;
    vxtest::CloseShellFolderWindows();
    vxtest::RemoveTree(group);
    ForgetEarlierInstalls();
}

}  // namespace
