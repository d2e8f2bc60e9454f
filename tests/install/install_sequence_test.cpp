// The install sequence in this process against the prefix's registry, WIN.INI and files, with the
// recording Program Manager: the pass rules, the main INI decision and template, the failures and
// their effects. The whole install of everything is checked by the silent installs.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "progman/progman.h"

namespace {

const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char MYCOMPUTER[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e";
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
    void Fresh()
    {
        TearDown();
        CreateDirectoryA(dest_.c_str(), NULL);
    }
    void TearDown() override
    {
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, ALLOW_ALL);
        vxtest::ClearProductRecords(dest_);
    }
    int Run(DWORD selection)
    {
        vxtest::ResetCatalogueStatus();
        progman_.Clear();
        return RunInstallSequence(source_.c_str(), dest_.c_str(), selection, &outcome_, NULL, NULL, failure_);
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    std::vector<std::string> DestFiles() const
    {
        std::vector<std::string> files = vxtest::ListFolder(dest_);
        std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
        return files;
    }
    vxtest::ScratchFolder scratch_;
    std::string source_ = scratch_.Path() + "\\", dest_ = scratch_ / "VANTIX Pro";
    DWORD outcome_ = 0xDEAD;
    char failure_[512];
    vxtest::RecordingProgman progman_;
};

TEST_F(InstallSequence, PassRulesFollowTheSelection)
{
    const struct {
        DWORD selection;
        bool coreThere;  // the required core files from an earlier install
        std::vector<std::string> files;
        DWORD outcome;
    } cases[] = {
        { SEL_EXPLORER | SEL_SILENT, true, { "avsites.ini", "gmsites.ini", "gvsites.ini", "hwsites.ini", "mirsites.ini", "olsites.ini", "swsites.ini",
            "VANTIX.ini", "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav", "vxfail.wav", "VxNotes.txt",
            "vxplace.exe", "vxremove.exe", "vxshell.cnt", "vxshell.dll", "vxshell.hlp", "vxshim.dll", "vxshlch.dll", "vxsites.ini" },
            OUT_DONE | OUT_ICONS | OUT_EXPLORER_REGISTERED },
        { SEL_BONUS | SEL_SILENT, false, { "vantix32.exe", "vxconn.wav", "vxcore32.dll", "vxcore32.hlp", "vxcore32.pdf", "vxdone.wav", "vxfail.wav",
            "vxfind.cnt", "vxfind.exe", "vxfind.hlp", "VxNotes.txt", "vxplace.exe", "vxremove.exe", "vxscript.cnt", "vxscript.exe", "vxscript.hlp",
            "vxshim.dll", "vxsync.cnt", "vxsync.exe", "vxsync.hlp", "vxsyncl.dll" }, OUT_DONE | OUT_ICONS | OUT_BASE_REGISTERED },
    };
    for (const auto& c : cases) {
        Fresh();
        for (const char* name : { "vantix32.exe", "vxcore32.dll", "vxcore32.hlp" }) {
            if (c.coreThere)
                vxtest::WriteFileBytes(Dest(name), "from the earlier install");
        }
        EXPECT_EQ(Run(c.selection), 1);
        EXPECT_EQ(outcome_, c.outcome);
        EXPECT_EQ(DestFiles(), c.files);
        // Core files not placed again get no FE_DONE, so the base product is not registered.
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.exe")) == "from the earlier install", c.coreThere);
        EXPECT_EQ(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, BASE_SERVER_KEY), !c.coreThere);
    }
    Fresh();
    EXPECT_EQ(Run(SEL_SILENT), 0) << "nothing selected";
    EXPECT_EQ(std::string(failure_) + std::to_string(outcome_), "Nothing to do!0");
    EXPECT_EQ(progman_.Commands(), std::vector<std::string>{});
    vxtest::RemoveTree(dest_);
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "touches nothing";
}

// Whether the main INI file is written over an existing one, and what becomes of the old one.
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
        vxtest::RemoveTree(dest_);
        CreateDirectoryA(dest_.c_str(), NULL);
        for (const auto& file : { std::make_pair(c.mainIni, "VANTIX.ini"), std::make_pair(c.originalIni, "original.ini"), std::make_pair(c.siteList, "avsites.ini") }) {
            if (file.first)
                vxtest::WriteFileBytes(Dest(file.second), std::string("mine: ") + file.second);
        }
        g_bSilent = c.silent;
        vxtest::DialogScript script;
        if (c.answer != 0)
            script.MessageBox("Do you wish to install additional FTP sites?\nYour old ones will be preserved under \"MySites\"\nin the file \"original.ini\".", c.answer, "VANTIX Sites");
        EXPECT_EQ(Run(SEL_CLASSIC | (c.silent ? (DWORD)SEL_SILENT : 0u)), 1);
        script.Finish();
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("VANTIX.ini")), c.written ? ini : "mine: VANTIX.ini");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("mirsites.ini")), c.written ? Sample("mirsites.ini") : "") << "site lists come with a new INI file only";
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("avsites.ini")), c.siteList ? "mine: avsites.ini" : c.written ? Sample("avsites.ini") : "");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("original.ini")), c.originalIni ? "mine: original.ini" : c.written && c.mainIni ? "mine: VANTIX.ini" : "");
    }
}

// A copy of the installer with a main INI template of our own, loaded as a data file: the code under
// test reads its resources through g_hInstance.
TEST_F(InstallSequence, TheTemplateGetsEveryMarkerReplacedAndKeepsItsLineEnds)
{
    const std::string folder = "C:\\" + std::string(3000, 'f');  // longer than any line buffer
    const struct {
        std::string text, written;
        int result;
    } cases[] = {
        { "[MySites]\r\nFILENAME=$$\\original.ini\r\nPATH=$$;$$\\Scripts\r\nno marker\r\nsingle $ signs $ stay\r\nlast=$$",
            "[MySites]\r\nFILENAME=" + folder + "\\original.ini\r\nPATH=" + folder + ";" + folder + "\\Scripts\r\nno marker\r\nsingle $ signs $ stay\r\nlast=" + folder, 0 },
        { "\x1A" "FILENAME=$$\\after.ini\r\n", "", -1 },  // Ctrl-Z ends the text at once: the target is made, empty
    };
    for (const auto& c : cases) {
        std::string path = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), "template.exe");
        HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
        UpdateResourceA(update, "EXE", "INIFILE1", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), (void*)c.text.data(), (DWORD)c.text.size());
        ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
        g_hInstance = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_EQ(CopyIniTemplate(scratch_.Path().c_str(), Dest("VANTIX.ini").c_str(), "$$", folder.c_str(), 34), c.result);
        EXPECT_TRUE(vxtest::FileExists(Dest("VANTIX.ini")) && vxtest::ReadFileBytes(Dest("VANTIX.ini")) == c.written);
        FreeLibrary(g_hInstance);
        g_hInstance = GetModuleHandleA(NULL);
    }
    EXPECT_EQ(CopyIniTemplate(source_.c_str(), Dest("absent.ini").c_str(), "$$", "C:\\VX", 6), -1) << "a resource not carried";
    EXPECT_EQ(CopyIniTemplate(source_.c_str(), Dest("missing\\VANTIX.ini").c_str(), "$$", "C:\\VX", 34), -1);
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
        for (const auto& library : { std::make_pair("vxshim.dll", c.stubStatus), std::make_pair("vxshell.dll", c.shellStatus) }) {
            if (library.second != 0)
                vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\SelfRegistration", library.first, library.second);
        }
        EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), c.result) << c.failure;
        EXPECT_STREQ(failure_, c.failure);
        EXPECT_EQ(outcome_ & (OUT_DONE | OUT_FAILED), c.result ? OUT_DONE : OUT_FAILED) << c.failure;
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "DIR") == dest_ && !progman_.Commands().empty(), c.result == 1) << "records and group come after";
        Fresh();
    }
    // On Windows 95/98 a library in use stays until the next start, so the old file is what
    // registers: one that does not load and one without the entry point are passed over.
    g_bWinNT = FALSE;
    for (const std::string& old : { std::string("MZ but nothing more"), Sample("vxcore32.dll") }) {
        vxtest::WriteFileBytes(Dest("vxshim.dll"), old);
        HANDLE inUse = CreateFileA(Dest("vxshim.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(Run(SEL_CLASSIC | SEL_SILENT), 1);
        CloseHandle(inUse);
        EXPECT_STREQ(failure_, "") << "neither registered nor failed";
        EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", "vxshim.dll"), "<absent>");
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
        "WIN.INI [VANTIX] DIR=" + dest_, "WIN.INI [VANTIX] GROUP=VANTIX Pro" })) << "no namespace or uninstall entry";
}

// The first namespace entry found decides where the second goes; a cancel stops after the file.
TEST_F(InstallSequence, NamespaceEntriesFollowAnEntryFoundAndACancelStopsAfterTheFileBeingCopied)
{
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, MYCOMPUTER + std::string("001}"), "", "from before");
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_EXPLORER | SEL_SILENT), 1);
    EXPECT_EQ(g_iconLocation, 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, MYCOMPUTER + std::string("001}"), "") + "|" + vxtest::RegistryText(HKEY_LOCAL_MACHINE, MYCOMPUTER + std::string("00a}"), ""),
        "from before|VANTIX Pro");
    Fresh();
    g_bCancelCopy = TRUE;
    EXPECT_EQ(Run(SEL_CLASSIC | SEL_SILENT), 0);
    g_bCancelCopy = FALSE;
    EXPECT_EQ(std::string(failure_) + std::to_string(outcome_), "8") << "no text, OUT_FAILED";
    EXPECT_EQ(DestFiles(), std::vector<std::string>{ "vantix32.exe" });
}

}  // namespace
