// The wizard's dialogs in this process: the interfaces' defaults, the folder loop, and the host
// window's run of the wizard with the restart after it or the copy's Cancel.
#include "wizard/dialogs.h"

#include <gtest/gtest.h>

#include "app/host_window.h"
#include "app/restart.h"
#include "app/startup.h"
#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "wizard/wizard.h"

using vxtest::DialogView;

namespace {

const char CAPTION[] = "VANTIX Pro Installation";
const std::vector<int> MODE = { 1851, 1852, 2420 }, FOLDER = { 3010, 954, 2416 }, INTERFACES = { 1880, 2417, 2418, 9041 };

void Press(vxtest::DialogScript& script, const std::vector<int>& dialog, int button) { script.Dialog(dialog, [button](DialogView& d) { d.Click(button); }); }

std::vector<std::string> s_calls;  // the restart's system calls, in order
BOOL RecordOpenToken(HANDLE, DWORD access, HANDLE*) { s_calls.push_back("token " + std::to_string(access)); return TRUE; }
BOOL RecordLookUp(const char*, const char* name, LUID*) { s_calls.push_back(std::string("privilege ") + name); return TRUE; }
BOOL RecordAdjust(HANDLE, BOOL, TOKEN_PRIVILEGES* p) { s_calls.push_back("enable " + std::to_string(p->Privileges[0].Attributes)); return TRUE; }
BOOL RecordExit(UINT flags, DWORD) { s_calls.push_back("exit " + std::to_string(flags)); return TRUE; }

// No earlier install; the wizard runs from temp_ with dest_ as DIR32; a restart is only recorded.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSDLG.tmp"), vxtest::ClearProductRecords(), CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::WriteFileBytes(scratch_ / "install.ini", "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
        strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
        g_restartPlatform = { RecordOpenToken, RecordLookUp, RecordAdjust, RecordExit };
    }
    void TearDown() override { g_restartPlatform = real_, vxtest::ClearProductRecords(); }
    vxtest::ScratchFolder scratch_{ "dialogs" };
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
    RESTART_PLATFORM real_ = g_restartPlatform;
};

// The defaults by the first rule that matches the OS variable ("NT" only in capitals) and the
// Windows version (minor 50 and more counts as 32-bit), as the boxes show them: checked (as it
// opens), enabled, cleared by the user, and the choice, as IFACE_ bits with 1 the bonus pack's.
TEST_F(Dialogs, InterfaceBoxesFollowTheDefaultsOfTheWindowsVersionAndTheChoiceIsReturned)
{
    const struct { const char* os; int major, minor; BOOL explore, bonus, winNT; int checked, enabled, cleared;
                   int button, choice; } cases[] = {
        { "Windows_NT", 3, 10, FALSE, TRUE, TRUE, 5, 12, 0, IDOK, 5 },
        { "windows_nt", 3, 10, TRUE, FALSE, FALSE, 4, 0, 0, IDOK, 4 },
        { "NTFS", 4, 0, TRUE, TRUE, TRUE, 13, 12, 12, IDOK, 1 },  // the bonus pack alone
        { nullptr, 4, 10, FALSE, TRUE, FALSE, 5, 12, 0, IDCANCEL, 0 },
        { nullptr, 3, 50, TRUE, TRUE, FALSE, 13, 12, 0, IDOK, 13 }, { "", 3, 49, TRUE, FALSE, FALSE, 4, 0, 0, IDOK, 4 },
    };
    const std::pair<int, int> boxes[] = { { 1880, 4 }, { 2417, 8 }, { 2418, 1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.os ? c.os : "(no OS)") + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
        InterfaceDefaults defaults = ChooseInterfaceDefaults(c.os, c.major, c.minor, c.explore);
        EXPECT_EQ(defaults.winNT, c.winNT);
        gbInstallBonusPack = c.bonus;
        vxtest::DialogScript script;
        script.Dialog(INTERFACES, [&](DialogView& d) {
            for (auto [id, bit] : boxes) {
                EXPECT_EQ(d.Checked(id), (c.checked & bit) != 0) << id;
                EXPECT_EQ(d.Enabled(id), bit == 1 || (c.enabled & bit) != 0) << id;
                if (c.cleared & bit)
                    d.Check(id, false);
            }
            d.Click(c.button);
        });
        EXPECT_EQ(AskInterfaces(NULL, g_hInstance, defaults.nV, defaults.nM) | (gbInstallBonusPack ? 1 : 0), c.choice);
    }
}

TEST_F(Dialogs, TheSourceFolderIsRefusedAndAFolderThatCannotBeMadeIsAskedAgain)
{
    std::string bad = scratch_ / "bad|name";
    vxtest::DialogScript script;
    Press(script, MODE, IDOK);
    for (const std::string& folder : { temp_, temp_ + "\\below", temp_ + "files", bad }) {
        script.Dialog(FOLDER, [folder](DialogView& d) { d.Type(954, folder); d.Click(IDOK); });
        if (folder != bad)
            script.MessageBox("You cannot install to the folder that contains the installation files.", IDOK, CAPTION);
    }
    script.MessageBox("Creation of " + bad + " failed. (123)", IDOK, "Install");  // the folder maker's own report
    script.MessageBox("Creation of " + bad + " failed. (0)", IDOK, CAPTION);
    Press(script, FOLDER, IDCANCEL);
    script.MessageBox("Can't continue without a destination folder!", IDOK, CAPTION);
    vxtest::CurrentFolderScope inTemp(temp_);
    EXPECT_EQ(RunSetupWizard(NULL, 12, 15), 0);
    script.Finish();
    EXPECT_FALSE(vxtest::FolderExists(temp_ + "files"));
}

// The Explorer interface registers itself, so a restart is needed: asked when interactive (OK
// restarts, Cancel does not), decided by the settings when silent. Cancel in the copy (IDABORT
// here) stops it after the file being copied, each file placed shown as it was, and restarts nothing.
TEST_F(Dialogs, TheHostWindowRestartsWindowsAfterTheWizardOnlyWhenTheRulesAllow)
{
    const std::vector<std::string> NT_RESTART = { "token 40", "privilege SeShutdownPrivilege", "enable 2", "exit 2" };
    const struct { BOOL silent, allowReboot, winNT; int answer; std::vector<std::string> calls; } cases[] = {
        { FALSE, FALSE, TRUE, IDOK, NT_RESTART }, { FALSE, TRUE, TRUE, IDCANCEL, {} },
        { TRUE, TRUE, FALSE, 0, { "exit 2" } }, { TRUE, FALSE, TRUE, 0, {} }, { FALSE, TRUE, TRUE, IDABORT, {} },
    };
    RegisterHostWindowClass();
    g_nV = 12, g_nM = 15;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.silent) + std::to_string(c.allowReboot) + std::to_string(c.answer));
        vxtest::ClearProductRecords(dest_);  // the Icon Placement question comes each time
        g_bSilent = c.silent, g_bAllowReboot = c.allowReboot, g_bWinNT = c.winNT;
        s_calls.clear();
        vxtest::DialogScript script;
        if (!c.silent)
            for (const auto& dialog : { MODE, FOLDER, INTERFACES })
                Press(script, dialog, IDOK);
        if (c.answer == IDABORT) {
            script.Dialog({ 2, 954 }, [](DialogView& progress) { progress.Click(IDCANCEL); });
            script.MessageBox("Some portion of installation process failed.", IDOK);  // no failure text
        } else if (!c.silent) {
            Press(script, { 1851, 1852 }, IDOK);
            script.MessageBox("Installation successful!\n\nInstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.", c.answer, "Congratulations!");
        }
        HWND host = CreateHostWindow();
        vxtest::CurrentFolderScope inTemp(temp_);
        SendMessageA(host, WM_COMMAND, CMD_START_WIZARD, 0);
        script.Finish();
        EXPECT_EQ(s_calls, c.calls);
        DestroyWindow(host);  // before its own WM_CLOSE, still posted, ends the test's message loop
        std::vector<std::string> placed = vxtest::ListFolder(dest_), texts = script.ProgressTexts();
        if (c.answer == IDABORT) {  // within the first group
            EXPECT_TRUE(!placed.empty() && placed.size() < 4) << placed.size();
            for (const std::string& name : placed)
                EXPECT_EQ(std::count(texts.begin(), texts.end(), "Copying " + temp_ + "\\" + name + " to " + dest_ + "\\" + name), 1) << name;
        }
    }
}

}  // namespace
