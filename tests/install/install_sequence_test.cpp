// The install sequence in this process, with the recording Program Manager.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "progman/progman.h"

namespace {

const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char ALLOW_ALL[] = "D:(A;;KA;;;WD)";

std::string Sample(const std::string& name) { return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name)); }

class InstallSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSSEQ.tmp");
        g_bSilent = TRUE;  // reports go to the (unused) log instead of message boxes
        Fresh();
    }
    void Fresh() { TearDown(), CreateDirectoryA(dest_.c_str(), NULL); }
    void TearDown() override
    {
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, ALLOW_ALL);
        vxtest::ClearProductRecords(dest_);
    }
    int Run(DWORD selection)
    {
        vxtest::ResetCatalogueStatus(), progman_.Clear();
        return RunInstallSequence(source_.c_str(), dest_.c_str(), selection, &outcome_, NULL, NULL, failure_);
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    vxtest::ScratchFolder scratch_;
    std::string source_ = scratch_.Path() + "\\", dest_ = scratch_ / "VANTIX Pro";
    DWORD outcome_ = 0xDEAD;
    char failure_[512];
    vxtest::RecordingProgman progman_;
};

TEST_F(InstallSequence, PassesFollowTheSelectionAndTheGroupGetsAnItemPerPlacedIconFile)
{
    const struct {
        DWORD selection;
        bool coreThere;  // the required core files from an earlier install
        std::vector<std::string> files;
        DWORD outcome;
        size_t items;  // of the groups selected, common always: each a DeleteItem and an AddItem
    } cases[] = {
        { SEL_EXPLORER | SEL_SILENT, true, { "avsites.ini", "gmsites.ini", "gvsites.ini", "hwsites.ini", "mirsites.ini", "olsites.ini", "swsites.ini",
            "VANTIX.ini", "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav", "vxfail.wav", "VxNotes.txt",
            "vxplace.exe", "vxremove.exe", "vxshell.cnt", "vxshell.dll", "vxshell.hlp", "vxshim.dll", "vxshlch.dll", "vxsites.ini" },
            OUT_DONE | OUT_ICONS | OUT_EXPLORER_REGISTERED, 6 },
        { SEL_BONUS | SEL_SILENT, false, { "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav", "vxfail.wav",
            "vxfind.cnt", "vxfind.exe", "vxfind.hlp", "VxNotes.txt", "vxplace.exe", "vxremove.exe", "vxscript.cnt", "vxscript.exe", "vxscript.hlp",
            "vxshim.dll", "vxsync.cnt", "vxsync.exe", "vxsync.hlp", "vxsyncl.dll" }, OUT_DONE | OUT_ICONS | OUT_BASE_REGISTERED, 10 },
    };
    g_bNoPass = TRUE;
    for (const auto& c : cases) {
        Fresh();
        for (const char* name : { "vantix32.exe", "vxcore32.dll", "vxcore32.hlp" })
            if (c.coreThere)
                vxtest::WriteFileBytes(Dest(name), "from the earlier install");
        EXPECT_EQ(Run(c.selection), 1);
        EXPECT_EQ(outcome_, c.outcome);
        std::vector<std::string> files = vxtest::ListFolder(dest_);
        std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.exe")) == "from the earlier install", c.coreThere);
        EXPECT_EQ(vxtest::RegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "") + "|" + vxtest::RegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel"),
            c.coreThere ? "<absent>|<absent>" : Dest("vantix32.exe") + "|Apartment");
        EXPECT_EQ(progman_.Commands().size(), 1 + 2 * c.items);
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "DIR") + "|" + vxtest::WinIniText("VANTIX", "SPFLAGS"), dest_ + "|1");
    }
    Fresh();
    EXPECT_EQ(Run(SEL_SILENT), 0) << "nothing selected";
    EXPECT_EQ(std::string(failure_) + std::to_string(outcome_), "Nothing to do!0");
    vxtest::RemoveTree(dest_);
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "touches nothing";
}

TEST_F(InstallSequence, MainIniIsReplacedOnlyWhenNothingWasKeptAsideAndTheUserAgrees)
{
    const struct {
        bool mainIni, originalIni, siteList, silent;
        int answer;  // to the question; 0: none expected
        bool written;
    } cases[] = { { 0, 0, 0, 1, 0, 1 }, { 0, 0, 1, 1, 0, 1 }, { 1, 1, 0, 0, 0, 0 }, { 1, 0, 1, 0, 0, 0 }, { 1, 0, 0, 1, 0, 0 },
        { 1, 0, 0, 0, IDYES, 1 }, { 1, 0, 0, 0, IDNO, 0 } };
    std::string ini = Sample("VANTIX.ini");
    for (size_t at = ini.find("$$"); at != std::string::npos; at = ini.find("$$", at + dest_.size()))
        ini.replace(at, 2, dest_);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.mainIni << c.originalIni << c.siteList << c.silent << " " << c.answer);
        Fresh();
        for (const auto& file : { std::make_pair(c.mainIni, "VANTIX.ini"), std::make_pair(c.originalIni, "original.ini"), std::make_pair(c.siteList, "avsites.ini") })
            if (file.first)
                vxtest::WriteFileBytes(Dest(file.second), std::string("mine: ") + file.second);
        g_bSilent = c.silent;
        vxtest::DialogScript script;
        if (c.answer != 0)
            script.MessageBox("Do you wish to install additional FTP sites?\nYour old ones will be preserved under \"MySites\"\nin the file \"original.ini\".", c.answer, "VANTIX Sites");
        EXPECT_EQ(Run(SEL_CLASSIC | (c.silent ? (DWORD)SEL_SILENT : 0u)), 1);
        script.Finish();
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("VANTIX.ini")), c.written ? ini : "mine: VANTIX.ini");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("mirsites.ini")), Sample("mirsites.ini")) << "a missing site list is placed on every run";
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("avsites.ini")), c.siteList ? "mine: avsites.ini" : Sample("avsites.ini"));
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("original.ini")), c.originalIni ? "mine: original.ini" : c.written && c.mainIni ? "mine: VANTIX.ini" : "");
    }
    // A folder longer than any line buffer takes every marker's place whole.
    const std::string folder = "C:\\" + std::string(3000, 'f');
    ini = Sample("VANTIX.ini");
    for (size_t at = ini.find("$$"); at != std::string::npos; at = ini.find("$$", at + folder.size()))
        ini.replace(at, 2, folder);
    EXPECT_EQ(CopyIniTemplate(scratch_.Path().c_str(), Dest("VANTIX.ini").c_str(), "$$", folder.c_str(), 34), 0);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("VANTIX.ini")), ini);
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSSEQ.tmp")) << "the working copy is deleted";
}

TEST_F(InstallSequence, RegistrationFailuresLeaveTheirTextAndStopWhereTheyMust)
{
    const struct {
        DWORD stubStatus, shellStatus;  // what DllRegisterServer returns; 0: it registers
        bool denyBaseClass;
        int result;
        const char* failure;
    } cases[] = { { 0, 0, true, 0, "Failed to registered base product." }, { 0x80004005, 0, false, 1, "Failed to registered stub." },
        { 0, 0x80004005, false, 0, "Failed to registered explorer." }, { 1, 1, false, 1, "" } };  // S_FALSE counts as registered
    for (const auto& c : cases) {
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, c.denyBaseClass ? "D:(D;;0x2;;;WD)(A;;KA;;;WD)" : ALLOW_ALL);
        for (const auto& library : { std::make_pair("vxshim.dll", c.stubStatus), std::make_pair("vxshell.dll", c.shellStatus) })
            if (library.second != 0)
                RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\SelfRegistration", library.first, REG_DWORD, &library.second, 4);
        EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), c.result) << c.failure;
        EXPECT_STREQ(failure_, c.failure);
        EXPECT_EQ(outcome_ & (OUT_DONE | OUT_FAILED), c.result ? OUT_DONE : OUT_FAILED) << c.failure;
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "DIR") == dest_ && !progman_.Commands().empty(), c.result == 1) << "records and group come after";
        Fresh();
    }
}

TEST_F(InstallSequence, TheGroupComesFromTheSettingsAndAnUnusableNameIsReplacedAndLogged)
{
    vxtest::CurrentFolderScope inside(scratch_.Path());
    strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
    g_bLogging = TRUE;
    const std::pair<const char*, const char*> cases[] = {  // GROUP32 (nullptr: no key), the group used
        { nullptr, "VANTIX Pro" }, { "", "VANTIX Pro" }, { "FTP Tools", "FTP Tools" }, { "Tools [new]", "VANTIX Pro" } };
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(g_szIniFile, c.first ? std::string("[VANTIX]\r\nGROUP32=") + c.first + "\r\n" : "[VANTIX]\r\n");
        DeleteFileA("setup.log");
        EXPECT_EQ(Run(SEL_BONUS | SEL_SILENT), 1);
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "GROUP"), c.second);
        EXPECT_EQ(progman_.Commands().at(0), std::string("[CreateGroup(") + c.second + ")]");
        bool replaced = c.first && c.first[0] && std::string(c.first) != c.second;
        EXPECT_EQ(vxtest::ReadFileBytes("setup.log").find(std::string("GROUP32=\"") + (c.first ? c.first : "") + "\" cannot be sent to Program Manager; using \"VANTIX Pro\"\r\n")
            != std::string::npos, replaced);
    }
    // A client that cannot start: the install fails after the WIN.INI records.
    g_szIniFile[0] = '\0';
    Fresh();
    DDE_PLATFORM real = g_ddePlatform;
    g_ddePlatform.pfnStartInstance = [](DWORD*) -> UINT { return DMLERR_SYS_ERROR; };
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), 0);
    g_ddePlatform = real;
    EXPECT_STREQ(failure_, "Failed to create icon group.");
    EXPECT_EQ(vxtest::ProductRecords(), (std::vector<std::string>{ "HKCR\\" + std::string(BASE_SERVER_KEY), "HKCR\\CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
        "HKCR\\CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", "HKLM\\Software\\Harrowby\\VANTIX Pro\\Components",
        "WIN.INI [VANTIX] DIR=" + dest_, "WIN.INI [VANTIX] GROUP=VANTIX Pro", "WIN.INI [VANTIX] INSTOPTS=12" })) << "no namespace or uninstall entry; the folder for Remove";
}

}  // namespace
