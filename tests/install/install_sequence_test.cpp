// The install sequence in this process against the prefix's registry, WIN.INI and file system,
// with the DDE client's platform replaced by a recorder: the pass rules, the INI decision, the
// failures and their effects. The whole silent install, with the real servers, is checked by the
// end-to-end tests of the wizard.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/installer_state.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"
#include "progman/progman.h"

using vxtest::ScratchFolder;

namespace {

const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";
const char SWITCH_KEY[] = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";
const char DESKTOP_NAMESPACE[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\";
const char MYCOMPUTER_NAMESPACE[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\";
const char EXPLORER_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char CLASSIC_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";

std::vector<std::string> s_commands;
bool s_startFails = false;

UINT RecordStart(DWORD* instance)
{
    *instance = 7;
    return s_startFails ? DMLERR_SYS_ERROR : DMLERR_NO_ERROR;
}

int RecordSend(DWORD, const char* command)
{
    s_commands.push_back(command);
    return 1;
}

void RecordEnd(DWORD)
{
    s_commands.push_back("(end)");
}

std::string Sample(const std::string& name)
{
    return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name));
}

std::string ReadWinIni(const char* key)
{
    return vxtest::WinIniText("VANTIX", key);
}

void ForgetSystemRecords()
{
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}");
    vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}");
    vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}");
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
    for (const char* root : { DESKTOP_NAMESPACE, MYCOMPUTER_NAMESPACE }) {
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string(root) + EXPLORER_CLASS);
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string(root) + CLASSIC_CLASS);
    }
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

class InstallSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSSEQ.tmp");
        g_bSilent = TRUE;  // reports go to the (unused) log instead of message boxes
        vxtest::ResetCatalogueStatus();
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
        ForgetSystemRecords();
        s_commands.clear();
        s_startFails = false;
        realPlatform_ = g_ddePlatform;
        g_ddePlatform = { RecordStart, RecordSend, RecordEnd };
        source_ = scratch_.Path() + "\\";
        dest_ = scratch_ / "VANTIX Pro";
        CreateDirectoryA(dest_.c_str(), NULL);
    }
    void TearDown() override
    {
        g_ddePlatform = realPlatform_;
        g_bCancelCopy = FALSE;
        g_bLogging = FALSE;
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
        ForgetSystemRecords();
    }
    int Run(DWORD selection)
    {
        vxtest::ResetCatalogueStatus();
        s_commands.clear();
        return RunInstallSequence(source_.c_str(), dest_.c_str(), selection, &outcome_, NULL, NULL, failure_);
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    std::vector<std::string> DestFiles() const { return vxtest::ListFolder(dest_); }
    std::string ExpectedIni() const
    {
        std::string text = Sample("VANTIX.ini");
        for (size_t at = text.find("$$"); at != std::string::npos; at = text.find("$$", at + dest_.size()))
            text.replace(at, 2, dest_);
        return text;
    }
    ScratchFolder scratch_;
    std::string source_;
    std::string dest_;
    DWORD outcome_ = 0xDEAD;
    char failure_[512];
    DDE_PLATFORM realPlatform_;
};

TEST_F(InstallSequence, PassRulesFollowTheSelection)
{
    const struct {
        const char* label;
        DWORD selection;
        bool coreAlreadyThere;
        std::vector<std::string> placed;  // the names in the folder afterwards
        DWORD outcome;
    } cases[] = {
        { "explorer over an install", SEL_EXPLORER | SEL_SILENT, true,
            { "VANTIX.ini", "avsites.ini", "gmsites.ini", "gvsites.ini", "hwsites.ini", "mirsites.ini", "olsites.ini",
                "swsites.ini", "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav",
                "vxfail.wav", "VxNotes.txt", "vxplace.exe", "vxremove.exe", "vxshell.cnt", "vxshell.dll", "vxshell.hlp",
                "vxshim.dll", "vxshlch.dll", "vxsites.ini" },
            OUT_DONE | OUT_ICONS | OUT_EXPLORER_REGISTERED },
        { "bonus alone", SEL_BONUS | SEL_SILENT, false,
            { "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav", "vxfail.wav",
                "vxfind.cnt", "vxfind.exe", "vxfind.hlp", "VxNotes.txt", "vxplace.exe", "vxremove.exe", "vxscript.cnt",
                "vxscript.exe", "vxscript.hlp", "vxshim.dll", "vxsync.cnt", "vxsync.exe", "vxsync.hlp", "vxsyncl.dll" },
            OUT_DONE | OUT_ICONS | OUT_BASE_REGISTERED },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ForgetSystemRecords();
        vxtest::RemoveTree(dest_);
        CreateDirectoryA(dest_.c_str(), NULL);
        if (c.coreAlreadyThere) {
            for (const char* name : { "vantix32.exe", "vxcore32.dll", "vxcore32.hlp" })
                vxtest::WriteFileBytes(Dest(name), "from the earlier install");
        }
        EXPECT_EQ(Run(c.selection), 1);
        EXPECT_EQ(outcome_, c.outcome);
        std::vector<std::string> files = DestFiles();
        std::vector<std::string> expected = c.placed;
        std::sort(files.begin(), files.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(files, expected);
        if (c.coreAlreadyThere) {
            EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.exe")), "from the earlier install");
            EXPECT_EQ(vxtest::RegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, ""), "<absent>") << "base product not registered";
        }
    }
}

TEST_F(InstallSequence, NothingSelectedWritesNothingAnywhere)
{
    EXPECT_EQ(Run(SEL_SILENT), 0);
    EXPECT_STREQ(failure_, "Nothing to do!");
    EXPECT_EQ(outcome_, 0u);
    EXPECT_TRUE(DestFiles().empty());
    EXPECT_TRUE(s_commands.empty());
    EXPECT_EQ(ReadWinIni("DIR"), "<absent>");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "<absent>");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSSEQ.tmp"));
}

// Whether the main INI file is written over an existing one, and what becomes of the old one.
TEST_F(InstallSequence, MainIniIsReplacedOnlyWhenNothingWasKeptAsideAndTheUserAgrees)
{
    const struct {
        const char* label;
        bool mainIni, originalIni, siteList, silent;
        int answer;  // 0: no question expected
        bool written;
    } cases[] = {
        { "first install", false, false, false, true, 0, true },
        { "first install, site list kept", false, false, true, true, 0, true },
        { "original.ini exists", true, true, false, false, 0, false },
        { "a site list exists", true, false, true, false, 0, false },
        { "silent never asks", true, false, false, true, 0, false },
        { "asked, yes", true, false, false, false, IDYES, true },
        { "asked, no", true, false, false, false, IDNO, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        vxtest::RemoveTree(dest_);
        CreateDirectoryA(dest_.c_str(), NULL);
        if (c.mainIni)
            vxtest::WriteFileBytes(Dest("VANTIX.ini"), "[MySites]\r\nmine\r\n");
        if (c.originalIni)
            vxtest::WriteFileBytes(Dest("original.ini"), "older still");
        if (c.siteList)
            vxtest::WriteFileBytes(Dest("avsites.ini"), "my own anti-virus sites");
        g_bSilent = c.silent;
        vxtest::DialogAnswerer answerer;
        if (c.answer != 0)
            answerer.Queue(c.answer);
        EXPECT_EQ(Run(SEL_CLASSIC | (c.silent ? (DWORD)SEL_SILENT : 0u)), 1);
        g_bSilent = TRUE;

        ASSERT_EQ(answerer.Dialogs().size(), c.answer != 0 ? 1u : 0u);
        if (c.answer != 0) {
            EXPECT_EQ(answerer.Dialogs()[0].caption, "VANTIX Sites");
            EXPECT_EQ(answerer.Dialogs()[0].text,
                "Do you wish to install additional FTP sites?\nYour old ones will be preserved under \"MySites\"\nin the file \"original.ini\".");
        }
        if (c.written) {
            EXPECT_EQ(vxtest::ReadFileBytes(Dest("VANTIX.ini")), ExpectedIni());
            EXPECT_TRUE(vxtest::ReadFileBytes(Dest("mirsites.ini")) == Sample("mirsites.ini"));
        } else {
            EXPECT_FALSE(vxtest::FileExists(Dest("mirsites.ini"))) << "site lists come only with a new INI file";
        }
        if (c.mainIni && c.written) {
            EXPECT_EQ(vxtest::ReadFileBytes(Dest("original.ini")), "[MySites]\r\nmine\r\n");
        } else if (c.mainIni) {
            EXPECT_EQ(vxtest::ReadFileBytes(Dest("VANTIX.ini")), "[MySites]\r\nmine\r\n");
        }
        if (c.siteList) {
            EXPECT_EQ(vxtest::ReadFileBytes(Dest("avsites.ini")), "my own anti-virus sites") << "never overwritten";
        }
    }
}

TEST_F(InstallSequence, RegistrationFailuresLeaveTheirTextAndStopWhereTheyMust)
{
    const struct {
        const char* label;
        DWORD stubStatus, shellStatus;  // 0: the library registers itself
        bool denyBaseClass;
        int result;
        const char* failure;
        bool winIniWritten;
    } cases[] = {
        { "base product", 0, 0, true, 0, "Failed to registered base product.", false },
        { "stub", 0x80004005, 0, false, 1, "Failed to registered stub.", true },
        { "explorer", 0, 0x80004005, false, 0, "Failed to registered explorer.", false },
        { "S_FALSE counts as registered", 1, 1, false, 1, "", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
        ForgetSystemRecords();
        if (c.stubStatus != 0)
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, "vxshim.dll", c.stubStatus);
        if (c.shellStatus != 0)
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, "vxshell.dll", c.shellStatus);
        if (c.denyBaseClass)
            vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(D;;0x2;;;WD)(A;;KA;;;WD)");
        EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), c.result);
        EXPECT_STREQ(failure_, c.failure);
        EXPECT_EQ(ReadWinIni("DIR") == dest_, c.winIniWritten);
        EXPECT_EQ(!s_commands.empty(), c.winIniWritten) << "the group comes after the WIN.INI records";
        EXPECT_EQ((outcome_ & OUT_DONE) != 0, c.result == 1);
        EXPECT_EQ((outcome_ & OUT_FAILED) != 0, c.result == 0);
    }
    vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
}

TEST_F(InstallSequence, ALibraryThatDoesNotLoadOrHasNoEntryPointIsPassedOver)
{
    // On Windows 95/98 a library in use stays as it is until the next start, so what is loaded
    // for registration is the old file: here one that is no library, and one without the export.
    g_bWinNT = FALSE;
    const struct {
        const char* label;
        std::string oldShim;
    } cases[] = {
        { "not a library", "MZ but nothing more" },
        { "no DllRegisterServer", Sample("vxcore32.dll") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        vxtest::WriteFileBytes(Dest("vxshim.dll"), c.oldShim);
        HANDLE inUse = CreateFileA(Dest("vxshim.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
            OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(Run(SEL_CLASSIC | SEL_SILENT), 1);
        CloseHandle(inUse);
        EXPECT_STREQ(failure_, "") << "neither registered nor failed";
        EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, "vxshim.dll"), "<absent>");
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce");
    }
}

TEST_F(InstallSequence, GroupNamesAndTheProgramManagerClient)
{
    ScratchFolder settingsFolder;
    std::string settings = settingsFolder / "install.ini";
    strcpy(g_szIniFile, settings.c_str());
    const struct {
        const char* group32;  // nullptr: no key
        const char* group;
    } cases[] = {
        // Which names are unsafe is the client's own rule, checked with the client.
        { nullptr, "VANTIX Pro" }, { "", "VANTIX Pro" }, { "FTP Tools", "FTP Tools" }, { "Tools [new]", "VANTIX Pro" },
    };
    vxtest::CurrentFolderScope inside(settingsFolder.Path());
    g_bLogging = TRUE;
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(settings, c.group32 == nullptr ? "[VANTIX]\r\n" : std::string("[VANTIX]\r\nGROUP32=") + c.group32 + "\r\n");
        DeleteFileA((settingsFolder / "setup.log").c_str());
        EXPECT_EQ(Run(SEL_BONUS | SEL_SILENT), 1);
        EXPECT_EQ(ReadWinIni("GROUP"), c.group) << (c.group32 ? c.group32 : "(none)");
        ASSERT_FALSE(s_commands.empty());
        EXPECT_EQ(s_commands[0], std::string("[CreateGroup(") + c.group + ")]");
        // A name that is not used is said so in the log.
        std::string log = vxtest::ReadFileBytes(settingsFolder / "setup.log");
        bool replaced = c.group32 != nullptr && c.group32[0] != '\0' && std::string(c.group32) != c.group;
        EXPECT_EQ(log.find(std::string("GROUP32=\"") + (c.group32 ? c.group32 : "") + "\" cannot be sent to Program Manager; using \"VANTIX Pro\"\r\n") != std::string::npos,
            replaced) << log;
    }
    g_bLogging = FALSE;
    g_szIniFile[0] = '\0';

    // A client that cannot start: the install fails after the WIN.INI records.
    ForgetSystemRecords();
    s_startFails = true;
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), 0);
    EXPECT_STREQ(failure_, "Failed to create icon group.");
    EXPECT_EQ(ReadWinIni("DIR"), dest_);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(DESKTOP_NAMESPACE) + EXPLORER_CLASS, ""), "<absent>");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "<absent>");
}

TEST_F(InstallSequence, NamespaceEntriesFollowAnEntryFoundUnderMyComputer)
{
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, std::string(MYCOMPUTER_NAMESPACE) + EXPLORER_CLASS, "", "from before");
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), 1);
    EXPECT_EQ(g_iconLocation, 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(MYCOMPUTER_NAMESPACE) + EXPLORER_CLASS, ""), "from before");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(DESKTOP_NAMESPACE) + EXPLORER_CLASS, ""), "<absent>");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(MYCOMPUTER_NAMESPACE) + CLASSIC_CLASS, ""), "VANTIX Pro");
}

// (A required file that fails stops the install too: see the wizard tests, which show its report.)
TEST_F(InstallSequence, ACancelStopsTheInstallWithoutAText)
{
    g_bCancelCopy = TRUE;
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_SILENT), 0);
    EXPECT_STREQ(failure_, "") << "a cancel leaves no text";
    EXPECT_EQ(outcome_, (DWORD)OUT_FAILED);
    EXPECT_EQ(DestFiles(), std::vector<std::string>{ "vantix32.exe" }) << "stops after the file being copied";
    g_bCancelCopy = FALSE;
}

}  // namespace
