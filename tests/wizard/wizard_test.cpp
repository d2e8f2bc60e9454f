// The wizard driver in this process: the closing message and the restart decision after an
// install, the failure report, the records written after a success, and the e-mail default.
#include "wizard/wizard.h"

#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"

namespace {

class Wizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSWIZ.tmp");
        vxtest::ClearProductRecords();
        CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::WriteFileBytes(scratch_ / "install.ini", "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
        strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
    }
    void TearDown() override
    {
        vxtest::ResetInstallerState("VXSWIZ.tmp");
        vxtest::ClearProductRecords();
    }
    // One run of the wizard from the temporary folder, as the host window starts it.
    int Run(int nV)
    {
        vxtest::ResetCatalogueStatus();
        WriteProfileStringA("VANTIX", NULL, NULL);
        vxtest::CurrentFolderScope inTemp(temp_);
        return RunSetupWizard(NULL, nV, 15);
    }
    vxtest::ScratchFolder scratch_;
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
    vxtest::RecordingProgman progman_;
};

// Who decides about the restart after a silent install; the interactive prompt is played with the
// wizard's dialogs (dialogs_test.cpp).
TEST_F(Wizard, RestartDecisionAfterASilentInstall)
{
    for (BOOL allowReboot : { FALSE, TRUE }) {
        g_bSilent = TRUE;
        g_bAllowReboot = allowReboot;
        vxtest::DialogScript script;
        script.NoWindow();
        EXPECT_EQ(Run(12), 1);
        script.Finish();
        EXPECT_EQ(g_bRebootNeeded, allowReboot) << "the Explorer interface registered itself";
        for (const auto& record : { std::make_pair("DEFDIR", dest_), std::make_pair("INSTOPTS", std::string("12")), std::make_pair("PRO", std::string("990218")) })
            EXPECT_EQ(vxtest::WinIniText("VANTIX", record.first), record.second) << record.first;
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest_, "vantix32.exe")));
    }
}

TEST_F(Wizard, ARequiredFileThatFailsStopsTheInstallWhichIsReportedAndWritesNoRecords)
{
    // A required library held so that it can be neither replaced nor renamed aside.
    CreateDirectoryA(dest_.c_str(), NULL);
    std::string locked = vxtest::JoinPath(dest_, "vxcore32.dll");
    vxtest::WriteFileBytes(locked, "locked");
    HANDLE handle = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    vxtest::DialogScript script;
    auto ok = [](vxtest::DialogView& d) { d.Click(IDOK); };
    script.Dialog({ 1851, 1852, 2420 }, ok).Dialog({ 3010, 954 }, ok).Dialog({ 1880, 2417 }, ok)
        .Dialog({ IDRETRY, IDCANCEL }, [](vxtest::DialogView& d) { d.Click(IDCANCEL); }, "Install")
        .MessageBox("Some portion of installation process failed.\r\nFailed to install required file vxcore32.dll.", IDOK);
    EXPECT_EQ(Run(12), 0);
    script.Finish();
    CloseHandle(handle);
    EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(dest_, "VxCore32.cnt"))) << "nothing after the failed file";
    EXPECT_FALSE(g_bRebootNeeded);
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "no WIN.INI records";
}

TEST_F(Wizard, MailDefaultReplacesOnlyTheOldPlaceholder)
{
    const std::pair<const char*, const char*> cases[] = {  // VANTIX.ini before (nullptr: none) and after
        { nullptr, "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nLOGGING=0\r\n", "[_config_]\r\nLOGGING=0\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=user@host.com\r\n", "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=USER@HOST.COM.old\r\n", "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=me@example.org\r\n", "[_config_]\r\nMAILADDR=me@example.org\r\n" },
        { "[_config_]\r\nMAILADDR=VXGUEST@\r\n", "[_config_]\r\nMAILADDR=VXGUEST@\r\n" },
    };
    for (const auto& c : cases) {
        vxtest::ScratchFolder folder;
        if (c.first != nullptr)
            vxtest::WriteFileBytes(folder / "VANTIX.ini", c.first);
        WriteMailDefault(folder.Path().c_str());
        std::string after = vxtest::ReadFileBytes(folder / "VANTIX.ini");
        // The profile writer may or may not keep the case of a value it rewrites unchanged.
        EXPECT_EQ(_stricmp(after.c_str(), c.second), 0) << (c.first ? c.first : "(no file)") << " -> " << after;
    }
}

}  // namespace
