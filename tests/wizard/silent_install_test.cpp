// Whole silent installs by the built installer, stamped with its settings by vxstamp as a
// distributor makes a silent installer, run under Wine with its own Program Manager (Wine's shell)
// or the recording one, and under each Windows version Wine can report. Nothing may be shown.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness/dialog_script.h"
#include "harness/product_records.h"

using vxtest::WindowsVersion;

namespace {

const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const char NAMESPACE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\";
const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";

std::string Sample(const std::string& name)
{
    return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name));
}

// The items of the full install, in order: what each runs (a file, or the Explorer item's
// command) and its title.
const std::pair<const char*, const char*> FULL_INSTALL_ITEMS[] = {
    { "vantix32.exe", "VANTIX Pro" }, { "vxcore32.hlp", "VANTIX Pro Help" },
    { "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "VANTIX Pro Explorer" },
    { "vxshell.hlp", "VANTIX Pro Explorer Help" }, { "vxscript.exe", "VANTIX Scripting Utility" },
    { "vxscript.hlp", "VANTIX Scripting Help" }, { "vxfind.exe", "VANTIX Find Utility" }, { "vxfind.hlp", "VANTIX Find Help" },
    { "vxsync.exe", "VANTIX Synchronize Utility" }, { "vxsync.hlp", "VANTIX Synchronize Help" },
    { "vxplace.exe", "VANTIX Pro Icon Placement" }, { "vxremove.exe", "Uninstall VANTIX Pro" },
    { "VxNotes.txt", "VANTIX Pro Release Notes" }, { "vxcore32.pdf", "VANTIX Pro Manual" },
};

const char* const EVERY_FILE_IN_ORDER[] = {
    "vantix32.exe", "vxcore32.dll", "VxCore32.cnt", "vxcore32.hlp", "vxshell.dll", "vxshlch.dll", "vxini.dll", "vxshell.cnt",
    "vxshell.hlp", "vxshell.txt", "vxscript.exe", "vxscript.cnt", "vxscript.hlp", "vxscript.txt", "vxfind.exe", "vxfind.cnt",
    "vxfind.hlp", "vxfind.txt", "vxsync.exe", "vxsyncl.dll", "vxsync.cnt", "vxsync.hlp", "vxsync.txt", "vxplace.exe", "vxshim.dll",
    "vxremove.exe", "VxNotes.txt", "vxplace.hlp", "vxcore32.pdf", "vxorder.wri", "vxterms.wri", "vxconn.wav", "vxfail.wav",
    "vxdone.wav", "avsites.ini", "mirsites.ini", "gmsites.ini", "hwsites.ini", "vxsites.ini", "olsites.ini", "swsites.ini", "gvsites.ini",
};

class SilentInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::ClearProductRecords();
    }
    void TearDown() override
    {
        vxtest::CloseShellFolderWindows();
        vxtest::ClearProductRecords();
    }
    // A copy of the built installer with its carried settings replaced by vxstamp.
    std::string Stamp(const std::string& settings, const std::string& name = "vxsetup.exe")
    {
        std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), name);
        vxtest::WriteFileBytes(scratch_ / "settings.ini", settings);
        EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch_ / "settings.ini") + "\""), 0u);
        return installer;
    }
    // Runs it with a temporary folder of its own (where setup.log goes), under the emulated
    // Windows version of its file name; with closeHost, WM_CLOSE goes to its hidden host window as
    // soon as that exists.
    DWORD Install(const std::string& installer, WindowsVersion version = WindowsVersion::Default, bool withOs = true, bool closeHost = false)
    {
        DeleteFileA((temp_ + "\\setup.log").c_str());
        vxtest::RunOptions options;
        options.version = version;
        options.withOsVariable = withOs;
        options.environment = { { "TMP", temp_ }, { "TEMP", temp_ } };
        options.workingFolder = scratch_.Path();
        vxtest::Program program = vxtest::StartProgram(installer, "", options);
        for (DWORD start = GetTickCount(); closeHost && GetTickCount() - start < 30000; Sleep(5)) {
            HWND host = FindWindowA("VXInstal", NULL);
            DWORD owner = 0;
            GetWindowThreadProcessId(host, &owner);
            if (host != NULL && owner == program.Id() && PostMessageA(host, WM_CLOSE, 0, 0))
                break;
        }
        vxtest::DialogScript script(program.Id());
        DWORD code = script.NoWindow().Run(program, closeHost ? 30000 : 120000);
        vxtest::SetEmulatedVersion(installer.substr(installer.rfind('\\') + 1), WindowsVersion::Default);
        return code;
    }
    std::vector<std::string> Log() const { return vxtest::SplitLines(vxtest::ReadFileBytes(temp_ + "\\setup.log")); }
    vxtest::ScratchFolder scratch_{ "silent" };
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
};

TEST_F(SilentInstall, EverythingWithWinesProgramManager)
{
    ASSERT_EQ(Install(Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nNOPASSWORD=TRUE\r\nLINE1=silent test\r\n[VANTIX]\r\nDIR32=" + dest_ + "\r\n")), 0u);
    // The settings, the interfaces, then one copying line per catalogue file.
    std::vector<std::string> log = { "g_bSilent=1", "g_bNoPass=1", "gbInstallBonusPack=1", "g_iconLocation=0", "g_bExplore=1",
        "g_szLine1=\"silent test\"", "g_szLine2=\"\"", "nV=12 nM=15" };
    for (const char* name : EVERY_FILE_IN_ORDER)
        log.push_back("Copying " + temp_ + "\\" + name + " to " + dest_ + "\\" + name);
    EXPECT_EQ(Log(), log);

    // Every carried file byte for byte; VANTIX.ini is its template with every marker replaced and
    // the wizard's mail default in place of the placeholder (the profile writer drops blank lines).
    std::vector<std::string> placed = vxtest::ListFolder(dest_);
    EXPECT_EQ(placed.size(), 35u);
    for (const std::string& name : placed)
        EXPECT_TRUE(name == "VANTIX.ini" || vxtest::ReadFileBytes(vxtest::JoinPath(dest_, name)) == Sample(name)) << name;
    std::string ini = Sample("VANTIX.ini");
    for (size_t at = ini.find("$$"); at != std::string::npos; at = ini.find("$$", at + dest_.size()))
        ini.replace(at, 2, dest_);
    ini.replace(ini.find("MAILADDR=user@host.com"), 22, "MAILADDR=vxguest@");
    for (size_t at; (at = ini.find("\r\n\r\n")) != std::string::npos;)
        ini.erase(at, 2);
    EXPECT_EQ(vxtest::ReadFileBytes(vxtest::JoinPath(dest_, "VANTIX.ini")), ini);

    // Wine's shell made the group a Start Menu folder and a link of each item that names a file.
    std::string group = vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro");
    for (const auto& item : FULL_INSTALL_ITEMS)
        EXPECT_EQ(vxtest::FileExists(vxtest::JoinPath(group, item.second + std::string(".lnk"))), !strchr(item.first, '{')) << item.second;
    EXPECT_EQ(vxtest::ListFolder(group).size(), 13u);
    std::vector<std::string> records = vxtest::ProductRecords();
    EXPECT_EQ(records, (std::vector<std::string>{ "HKCR\\" + std::string(BASE_SERVER_KEY), "HKCR\\CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
        "HKCR\\CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", "HKLM\\Software\\Harrowby\\VANTIX Pro\\Components", "HKLM\\" + std::string(UNINSTALL_KEY),
        "HKLM\\" + std::string(NAMESPACE) + "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "HKLM\\" + std::string(NAMESPACE) + "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}",
        "WIN.INI [VANTIX] DIR=" + dest_, "WIN.INI [VANTIX] SPFLAGS=1", "WIN.INI [VANTIX] GROUP=VANTIX Pro", "WIN.INI [VANTIX] DEFDIR=" + dest_,
        "WIN.INI [VANTIX] INSTOPTS=12", "WIN.INI [VANTIX] PRO=990218", "group " + group }));
    const struct {
        HKEY root;
        std::string key, value, data;
    } values[] = {
        { HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "", dest_ + "\\vantix32.exe" }, { HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel", "Apartment" },
        { HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", "vxshell.dll", dest_ + "\\vxshell.dll" },
        { HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", "vxshim.dll", dest_ + "\\vxshim.dll" },
        { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), "", "VANTIX Pro Explorer" },
        { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}"), "", "VANTIX Pro" },
        { HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName", "Harrowby VANTIX Pro Uninstall" },
        { HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", "\"" + dest_ + "\\vxremove.exe\" -f " + dest_ + " -d " + dest_ + " -g VANTIX Pro" },
    };
    for (const auto& v : values)
        EXPECT_EQ(vxtest::RegistryText(v.root, v.key, v.value), v.data) << v.key << " " << v.value;
    EXPECT_EQ(vxtest::ListFolder(temp_), std::vector<std::string>{ "setup.log" }) << "the packed names and Install.ini are gone";
}

TEST_F(SilentInstall, TheRecordingProgramManagerSeesTheCommandsInOrder)
{
    vxtest::RecordingProgman progman;
    EXPECT_EQ(Install(Stamp("[INSTALL]\r\nQUIET=TRUE\r\n[VANTIX]\r\nDIR32=" + dest_ + "\r\nGROUP32=FTP Tools\r\n")), 0u);
    // Each item replaces its namesake; a file is named by its full path, the Explorer item by its
    // command, and every item runs in the destination folder.
    std::vector<std::string> expected = { "[CreateGroup(FTP Tools)]" };
    for (const auto& item : FULL_INSTALL_ITEMS) {
        std::string runs = strchr(item.first, '{') ? item.first : dest_ + "\\" + item.first;
        expected.push_back("[DeleteItem(\"" + std::string(item.second) + "\")]");
        expected.push_back("[AddItem(\"" + runs + "\",\"" + item.second + "\",,,,," + dest_ + ")]");
    }
    EXPECT_EQ(progman.Commands(), expected);
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "GROUP"), "FTP Tools");
}

// The proposed folder under each Windows version, where the installer really installs, and how it
// replaces a library in use there: renamed aside on NT (the OS variable says so), beside it with a
// copy command for the next start on Windows 95/98.
TEST_F(SilentInstall, DefaultDestinationAndInUseReplacementFollowTheWindowsVersion)
{
    const struct {
        WindowsVersion version;
        bool withOs;
        const char* folder;
        const char* interfaces;  // as logged
        const char* aside;       // the replacement file, or nullptr when nothing is selected
    } cases[] = {
        { WindowsVersion::Win95, false, "C:\\Program Files\\VANTIX Pro", "nV=4 nM=15", "vxshim.new" },
        { WindowsVersion::Win98, false, "C:\\Program Files\\VANTIX Pro", "nV=4 nM=15", "vxshim.new" },
        { WindowsVersion::NT40, true, "C:\\Program Files\\VANTIX Pro", "nV=4 nM=15", "vxshim.bak" },
        { WindowsVersion::NT351, true, "C:\\WIN32APP\\VANTIX", "nV=4 nM=15", "vxshim.bak" },
        { WindowsVersion::NT351, false, "C:\\WIN32APP\\VANTIX", "nV=4 nM=15", "vxshim.new" },  // 3.51 counts as 32-bit
        // Win32s: no interface is offered, and without the bonus pack nothing is selected; the
        // folder is made all the same.
        { WindowsVersion::Win32s, false, "C:\\VANTIX", "nV=1 nM=3", nullptr },
    };
    for (const auto& c : cases) {
        std::string name = std::string("vxsetup-") + vxtest::WineVersionName(c.version) + (c.withOs ? "-os" : "") + ".exe";
        SCOPED_TRACE(name);
        vxtest::RemoveTree(c.folder);
        HANDLE inUse = INVALID_HANDLE_VALUE;
        if (c.aside != nullptr) {
            std::filesystem::create_directories(c.folder);
            vxtest::WriteFileBytes(vxtest::JoinPath(c.folder, "vxshim.dll"), "the library in use");
            inUse = CreateFileA(vxtest::JoinPath(c.folder, "vxshim.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
        }
        EXPECT_EQ(Install(Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nEXPLORER=FALSE\r\nBONUS=FALSE\r\n", name), c.version, c.withOs), 0u);
        CloseHandle(inUse);
        EXPECT_EQ(Log().size() > 7 ? Log()[7] : "", c.interfaces);
        EXPECT_TRUE(vxtest::FolderExists(c.folder));
        EXPECT_EQ(vxtest::FileExists(vxtest::JoinPath(c.folder, "vantix32.exe")), c.aside != nullptr);
        EXPECT_TRUE(c.aside == nullptr || vxtest::FileExists(vxtest::JoinPath(c.folder, c.aside)));
        std::vector<std::string> records = vxtest::ProductRecords();
        EXPECT_EQ(std::count_if(records.begin(), records.end(), [](const std::string& r) { return r.find(": Harrowby0=command.com /c copy ") != std::string::npos; }),
            c.aside != nullptr && std::string(c.aside) == "vxshim.new") << "a copy command for the next start";
        vxtest::ClearProductRecords(c.folder);
    }
}

// Where DIR32 and an earlier install's folder stand against the default, and the silent refusals:
// these folders lie under a plain file, so they can never be made; the log says which was tried.
TEST_F(SilentInstall, DestinationPrecedenceAndSilentRefusals)
{
    std::string blocker = scratch_ / "blocker", fromSettings = blocker + "\\FromSettings", fromEarlier = blocker + "\\FromEarlierInstall";
    vxtest::WriteFileBytes(blocker, "a file, not a folder");
    std::string installer = Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\n[VANTIX]\r\nDIR32=" + fromSettings + "\r\n");
    ASSERT_EQ(Install(installer), 0u);
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[7].find("Creation of " + fromSettings + " failed. ("), 0u) << log[7];
    EXPECT_EQ(log[8], "Failed to create DestDir \"" + fromSettings + "\"");

    WriteProfileStringA("VANTIX", "DIR", fromEarlier.c_str());
    ASSERT_EQ(Install(installer), 0u);
    EXPECT_EQ(Log().back(), "Failed to create DestDir \"" + fromEarlier + "\"") << "an earlier install's folder wins";
    WriteProfileStringA("VANTIX", NULL, NULL);

    // The temporary folder itself, with its backslash, is the source folder.
    ASSERT_EQ(Install(Stamp("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\n[VANTIX]\r\nDIR32=" + temp_ + "\\\r\n")), 0u);
    EXPECT_EQ(Log().back(), "SourceDir=DestDir \"" + temp_ + "\\\"");
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
}

// Closed while the wizard works, the host window stays until the install is over; then the run
// ends (within the 30 s Install allows) with 0 and every record written.
TEST_F(SilentInstall, TheHostWindowClosedAtOnceStaysUntilTheInstallIsOver)
{
    ASSERT_EQ(Install(Stamp("[INSTALL]\r\nQUIET=TRUE\r\nEXPLORER=FALSE\r\n[VANTIX]\r\nDIR32=" + dest_ + "\r\n"), WindowsVersion::Default, true, true), 0u);
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), dest_);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest_, "gvsites.ini")));
}

}  // namespace
