// Whole silent installs by the built installer, stamped with its settings by vxstamp as a
// distributor makes a silent installer, run under Wine with its own Program Manager (Wine's
// shell) or the recording one, and under each Windows version Wine can report.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "harness/product_records.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;
using vxtest::WindowsVersion;

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const char DESKTOP_NAMESPACE[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\";

std::string WinIni(const char* key)
{
    return vxtest::WinIniText("VANTIX", key);
}

std::string Sample(const std::string& name)
{
    return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name));
}

// The items the full install puts into its group, in order: the file each runs (or, for the
// Explorer item, the command) and its title.
const std::pair<const char*, const char*> FULL_INSTALL_ITEMS[] = {
    { "vantix32.exe", "VANTIX Pro" }, { "vxcore32.hlp", "VANTIX Pro Help" },
    { "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "VANTIX Pro Explorer" },
    { "vxshell.hlp", "VANTIX Pro Explorer Help" }, { "vxscript.exe", "VANTIX Scripting Utility" },
    { "vxscript.hlp", "VANTIX Scripting Help" }, { "vxfind.exe", "VANTIX Find Utility" },
    { "vxfind.hlp", "VANTIX Find Help" }, { "vxsync.exe", "VANTIX Synchronize Utility" },
    { "vxsync.hlp", "VANTIX Synchronize Help" }, { "vxplace.exe", "VANTIX Pro Icon Placement" },
    { "vxremove.exe", "Uninstall VANTIX Pro" }, { "VxNotes.txt", "VANTIX Pro Release Notes" },
    { "vxcore32.pdf", "VANTIX Pro Manual" },
};

// A silent installer made the way a distributor makes one: a copy of the built installer with
// its carried settings replaced by vxstamp. It runs with a temporary folder of its own (where
// it writes setup.log) and under the emulated Windows version of its file name.
class SilentInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(temp_.c_str(), NULL);
        ForgetEarlierInstalls();
    }
    void TearDown() override
    {
        vxtest::CloseShellFolderWindows();
        ForgetEarlierInstalls();
    }
    static void ForgetEarlierInstalls() { vxtest::ClearProductRecords(); }
    std::string Stamp(const std::string& settings, const std::string& name = "vxsetup.exe")
    {
        std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), name);
        vxtest::WriteFileBytes(scratch_ / "settings.ini", settings);
        EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"),
                      "\"" + installer + "\" \"" + (scratch_ / "settings.ini") + "\""),
            0u);
        return installer;
    }
    DWORD Install(const std::string& installer, WindowsVersion version = WindowsVersion::Default, bool withOs = true)
    {
        vxtest::RunOptions options;
        options.version = version;
        options.withOsVariable = withOs;
        options.environment = { { "TMP", temp_ }, { "TEMP", temp_ } };
        options.workingFolder = scratch_.Path();
        options.timeoutMs = 180000;
        return vxtest::RunProgram(installer, "", options);
    }
    std::string Log() const { return vxtest::ReadFileBytes(vxtest::JoinPath(temp_, "setup.log")); }

    ScratchFolder scratch_{ "silent" };
    std::string temp_ = scratch_ / "temp";
    std::string dest_ = scratch_ / "VANTIX Pro";
};

const char* const EVERY_FILE_IN_ORDER[] = {
    "vantix32.exe", "vxcore32.dll", "VxCore32.cnt", "vxcore32.hlp",
    "vxshell.dll", "vxshlch.dll", "vxini.dll", "vxshell.cnt", "vxshell.hlp", "vxshell.txt",
    "vxscript.exe", "vxscript.cnt", "vxscript.hlp", "vxscript.txt", "vxfind.exe", "vxfind.cnt", "vxfind.hlp",
    "vxfind.txt", "vxsync.exe", "vxsyncl.dll", "vxsync.cnt", "vxsync.hlp", "vxsync.txt",
    "vxplace.exe", "vxshim.dll", "vxremove.exe", "VxNotes.txt", "vxplace.hlp", "vxcore32.pdf", "vxorder.wri",
    "vxterms.wri", "vxconn.wav", "vxfail.wav", "vxdone.wav",
    "avsites.ini", "mirsites.ini", "gmsites.ini", "hwsites.ini", "vxsites.ini", "olsites.ini", "swsites.ini",
    "gvsites.ini",
};

TEST_F(SilentInstall, FullInstallWithWinesProgramManager)
{
    std::string installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nNOPASSWORD=TRUE\r\nLINE1=silent test\r\n"
                                  "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
    ASSERT_EQ(Install(installer), 0u);

    // setup.log: the settings, the interfaces, then one copying line per catalogue file.
    std::vector<std::string> expected = { "g_bSilent=1", "g_bNoPass=1", "gbInstallBonusPack=1", "g_iconLocation=0",
        "g_bExplore=1", "g_szLine1=\"silent test\"", "g_szLine2=\"\"", "nV=12 nM=15" };
    for (const char* name : EVERY_FILE_IN_ORDER)
        expected.push_back("Copying " + temp_ + "\\" + name + " to " + dest_ + "\\" + name);
    EXPECT_EQ(vxtest::SplitLines(Log()), expected);

    // Every carried file of the selection, byte for byte; VANTIX.ini is its template with every
    // marker replaced and the wizard's mail default in place of the placeholder address (the
    // profile writer that puts it there drops the blank lines).
    std::vector<std::string> placed = vxtest::ListFolder(dest_);
    EXPECT_EQ(placed.size(), 35u);
    for (const std::string& name : placed) {
        if (name != "VANTIX.ini") {
            EXPECT_TRUE(vxtest::ReadFileBytes(vxtest::JoinPath(dest_, name)) == Sample(name)) << name;
        }
    }
    std::string ini = Sample("VANTIX.ini");
    for (size_t at = ini.find("$$"); at != std::string::npos; at = ini.find("$$", at + dest_.size()))
        ini.replace(at, 2, dest_);
    ini.replace(ini.find("MAILADDR=user@host.com"), 22, "MAILADDR=vxguest@");
    for (size_t at; (at = ini.find("\r\n\r\n")) != std::string::npos;)
        ini.erase(at, 2);
    EXPECT_EQ(vxtest::ReadFileBytes(vxtest::JoinPath(dest_, "VANTIX.ini")), ini);

    const std::string baseServer = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
    EXPECT_EQ(vxtest::RegistryText(HKEY_CLASSES_ROOT, baseServer, ""), vxtest::JoinPath(dest_, "vantix32.exe"));
    EXPECT_EQ(vxtest::RegistryText(HKEY_CLASSES_ROOT, baseServer, "ThreadingModel"), "Apartment");
    // The two libraries' own registration, seen through their own entries.
    for (const char* library : { "vxshell.dll", "vxshim.dll" })
        EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", library), vxtest::JoinPath(dest_, library));
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(DESKTOP_NAMESPACE) + "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", ""), "VANTIX Pro Explorer");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, std::string(DESKTOP_NAMESPACE) + "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}", ""), "VANTIX Pro");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "Harrowby VANTIX Pro Uninstall");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
        "\"" + dest_ + "\\vxremove.exe\" -f " + dest_ + " -d " + dest_ + " -g VANTIX Pro");

    for (const auto& record : { std::make_pair("DIR", dest_), std::make_pair("GROUP", std::string("VANTIX Pro")),
             std::make_pair("DEFDIR", dest_), std::make_pair("INSTOPTS", std::string("12")),
             std::make_pair("PRO", std::string("990218")), std::make_pair("SPFLAGS", std::string("1")) })
        EXPECT_EQ(WinIni(record.first), record.second) << record.first;

    // Wine's shell made the group a Start Menu folder and each item a link; the Explorer item
    // names no file, and Wine's shell makes links to files only.
    std::string group = vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro");
    for (const auto& item : FULL_INSTALL_ITEMS) {
        bool isFile = strchr(item.first, '{') == nullptr;
        EXPECT_EQ(vxtest::FileExists(vxtest::JoinPath(group, std::string(item.second) + ".lnk")), isFile) << item.second;
    }
    EXPECT_EQ(vxtest::ListFolder(group).size(), 13u);
    for (const char* packed : { "Install.ini", "vantix32.ex_", "vxcore32.dl_" })
        EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(temp_, packed))) << packed;
}

TEST_F(SilentInstall, TheRecordingProgramManagerSeesTheCommandsInOrder)
{
    vxtest::RecordingProgman progman;
    std::string installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\n[VANTIX]\r\nDIR32=" + dest_ + "\r\nGROUP32=FTP Tools\r\n");
    EXPECT_EQ(Install(installer), 0u);

    // Each item replaces its namesake; a file is named by its full path, the Explorer item by its
    // command, and every item runs in the destination folder.
    std::vector<std::string> expected = { "[CreateGroup(FTP Tools)]" };
    for (const auto& item : FULL_INSTALL_ITEMS) {
        std::string runs = strchr(item.first, '{') ? item.first : dest_ + "\\" + item.first;
        expected.push_back("[DeleteItem(\"" + std::string(item.second) + "\")]");
        expected.push_back("[AddItem(\"" + runs + "\",\"" + item.second + "\",,,,," + dest_ + ")]");
    }
    EXPECT_EQ(progman.Commands(), expected);
    EXPECT_EQ(WinIni("GROUP"), "FTP Tools");
}

// The proposed folder under each Windows version: the installer really installs there.
TEST_F(SilentInstall, DefaultDestinationFollowsTheWindowsVersion)
{
    const struct {
        WindowsVersion version;
        bool withOs;
        const char* folder;
        const char* installed;  // a file the install places there, or nullptr when nothing is selected
    } cases[] = {
        { WindowsVersion::Win95, false, "C:\\Program Files\\VANTIX Pro", "vantix32.exe" },
        { WindowsVersion::Win98, false, "C:\\Program Files\\VANTIX Pro", "vantix32.exe" },
        { WindowsVersion::NT40, true, "C:\\Program Files\\VANTIX Pro", "vantix32.exe" },
        { WindowsVersion::NT351, true, "C:\\WIN32APP\\VANTIX", "vantix32.exe" },
        // Win32s: no interface is offered, and with no bonus pack nothing is selected; the
        // folder is made all the same.
        { WindowsVersion::Win32s, false, "C:\\VANTIX", nullptr },
    };
    for (const auto& c : cases) {
        std::string name = std::string("vxsetup-") + vxtest::WineVersionName(c.version) + ".exe";
        SCOPED_TRACE(name);
        std::string installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nEXPLORER=FALSE\r\nBONUS=FALSE\r\n", name);
        DeleteFileA(vxtest::JoinPath(temp_, "setup.log").c_str());
        EXPECT_EQ(Install(installer, c.version, c.withOs), 0u);
        EXPECT_TRUE(vxtest::FolderExists(c.folder));
        if (c.installed != nullptr)
            EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(c.folder, c.installed)));
        else
            EXPECT_TRUE(vxtest::ListFolder(c.folder).empty());
        EXPECT_NE(Log().find(c.installed ? "nV=4 nM=15" : "nV=1 nM=3"), std::string::npos) << Log();
        vxtest::SetEmulatedVersion(name, WindowsVersion::Default);
        vxtest::RemoveTree(c.folder);
        vxtest::CloseShellFolderWindows();
        ForgetEarlierInstalls();
    }
}

// Where DIR32 and an earlier install's folder stand against the default, and the silent
// refusals: the folders here lie under a plain file, so they can never be made and nothing is
// installed; the log says which folder was tried.
TEST_F(SilentInstall, DestinationPrecedenceAndSilentRefusals)
{
    std::string blocker = scratch_ / "blocker";
    vxtest::WriteFileBytes(blocker, "a file, not a folder");
    std::string fromSettings = blocker + "\\FromSettings";
    std::string fromEarlier = blocker + "\\FromEarlierInstall";
    std::string installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\n[VANTIX]\r\nDIR32=" + fromSettings + "\r\n");

    ASSERT_EQ(Install(installer), 0u);
    std::vector<std::string> log = vxtest::SplitLines(Log());
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[7].find("Creation of " + fromSettings + " failed. ("), 0u) << log[7];
    EXPECT_EQ(log[8], "Failed to create DestDir \"" + fromSettings + "\"");

    WriteProfileStringA("VANTIX", "DIR", fromEarlier.c_str());
    DeleteFileA(vxtest::JoinPath(temp_, "setup.log").c_str());
    ASSERT_EQ(Install(installer), 0u);
    EXPECT_EQ(vxtest::SplitLines(Log()).back(), "Failed to create DestDir \"" + fromEarlier + "\"") << "an earlier install's folder wins";
    WriteProfileStringA("VANTIX", NULL, NULL);

    // The temporary folder itself, with its backslash, is the source folder.
    installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\n[VANTIX]\r\nDIR32=" + temp_ + "\\\r\n");
    DeleteFileA(vxtest::JoinPath(temp_, "setup.log").c_str());
    ASSERT_EQ(Install(installer), 0u);
    EXPECT_EQ(vxtest::SplitLines(Log()).back(), "SourceDir=DestDir \"" + temp_ + "\\\"");
    EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(temp_, "vantix32.exe")));
    EXPECT_EQ(WinIni("DEFDIR"), "<absent>");
}

}  // namespace
