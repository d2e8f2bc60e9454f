// The wizard driver in this process: the closing message and the restart decision after an
// install, the failure report, the records written after a success, and the e-mail default.
#include "wizard/wizard.h"

#include <gtest/gtest.h>

#include <string>

#include "common/globals.h"
#include "harness/installer_state.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"
#include "install/install_sequence.h"
#include "payload/catalogue.h"
#include "progman/progman.h"

using vxtest::ScratchFolder;

namespace {

UINT StartRecorded(DWORD* instance)
{
    *instance = 1;
    return DMLERR_NO_ERROR;
}
int SendRecorded(DWORD, const char*)
{
    return 1;
}
void EndRecorded(DWORD)
{
}

std::string WinIni(const char* key)
{
    return vxtest::WinIniText("VANTIX", key);
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSWIZ.tmp");
        WriteProfileStringA("VANTIX", NULL, NULL);
        realPlatform_ = g_ddePlatform;
        g_ddePlatform = { StartRecorded, SendRecorded, EndRecorded };
        CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::WriteFileBytes(scratch_ / "install.ini", "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
        strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
    }
    void TearDown() override
    {
        g_ddePlatform = realPlatform_;
        g_bSilent = FALSE;
        g_bAllowReboot = FALSE;
        g_bRebootNeeded = FALSE;
        g_szIniFile[0] = '\0';
        WriteProfileStringA("VANTIX", NULL, NULL);
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro");
    }
    // One run of the wizard from the temporary folder, as the host window starts it.
    int Run(int nV)
    {
        vxtest::ResetCatalogueStatus();
        WriteProfileStringA("VANTIX", NULL, NULL);
        vxtest::CurrentFolderScope inTemp(temp_);
        return RunSetupWizard(NULL, nV, 15);
    }

    ScratchFolder scratch_;
    std::string temp_ = scratch_ / "temp";
    std::string dest_ = scratch_ / "VANTIX Pro";
    DDE_PLATFORM realPlatform_;
};

// Who decides about the restart after a silent install; the interactive prompt is played in
// dialogs_test.cpp.
TEST_F(Wizard, RestartDecisionAfterASilentInstall)
{
    const struct {
        BOOL allowReboot;
        BOOL rebootNeeded;  // afterwards
    } cases[] = { { FALSE, FALSE }, { TRUE, TRUE } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.allowReboot);
        g_bSilent = TRUE;
        g_bAllowReboot = c.allowReboot;
        vxtest::DialogAnswerer answerer;
        EXPECT_EQ(Run(12), 1);
        EXPECT_EQ(g_bRebootNeeded, c.rebootNeeded);
        EXPECT_TRUE(answerer.Dialogs().empty());
        EXPECT_EQ(WinIni("DEFDIR"), dest_);
        EXPECT_EQ(WinIni("INSTOPTS"), "12");
        EXPECT_EQ(WinIni("PRO"), "990218");
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
    g_bSilent = FALSE;
    vxtest::DialogAnswerer answerer;
    for (int answer : { IDOK, IDOK, IDOK, 0 })  // install, the folder, the interfaces; the progress dialog
        answerer.Queue(answer);
    answerer.Queue(IDCANCEL);  // the Retry/Cancel report of the file
    answerer.Queue(IDOK);      // the summary
    EXPECT_EQ(Run(12), 0);
    CloseHandle(handle);
    ASSERT_EQ(answerer.Dialogs().size(), 6u);
    EXPECT_EQ(answerer.Dialogs()[5].text, "Some portion of installation process failed.\r\nFailed to install required file vxcore32.dll.");
    EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(dest_, "VxCore32.cnt"))) << "nothing after the failed file";
    EXPECT_FALSE(g_bRebootNeeded);
    EXPECT_EQ(WinIni("DIR"), "<absent>");
    EXPECT_EQ(WinIni("DEFDIR"), "<absent>");
    EXPECT_EQ(WinIni("INSTOPTS"), "<absent>");
}

TEST_F(Wizard, MailDefaultReplacesOnlyTheOldPlaceholder)
{
    const struct {
        const char* ini;  // nullptr: no VANTIX.ini at all
        const char* after;
    } cases[] = {
        { nullptr, "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nLOGGING=0\r\n", "[_config_]\r\nLOGGING=0\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=user@host.com\r\n", "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=USER@HOST.COM.old\r\n", "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=me@example.org\r\n", "[_config_]\r\nMAILADDR=me@example.org\r\n" },
        { "[_config_]\r\nMAILADDR=VXGUEST@\r\n", "[_config_]\r\nMAILADDR=VXGUEST@\r\n" },
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        std::string ini = folder / "VANTIX.ini";
        if (c.ini != nullptr)
            vxtest::WriteFileBytes(ini, c.ini);
        WriteMailDefault(folder.Path().c_str());
        std::string after = vxtest::ReadFileBytes(ini);
        // The profile writer may or may not keep the case of a value it rewrites unchanged.
        EXPECT_EQ(_stricmp(after.c_str(), c.after), 0) << (c.ini ? c.ini : "(no file)") << " -> " << after;
    }
}

}  // namespace
