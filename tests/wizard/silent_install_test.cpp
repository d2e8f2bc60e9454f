// Whole silent installs by the built installer, stamped by vxstamp as a distributor does, under
// the recording Program Manager and each Windows version Wine reports. Nothing may be shown.
#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/product_records.h"

using vxtest::WindowsVersion;
using Strings = std::vector<std::string>;

namespace {

const std::string UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const std::string NAMESPACE = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\";
const std::string BASE_SERVER_KEY = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";

const std::string EXPLORER_CLASS = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", CLASSIC_CLASS = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";

class SilentInstall : public ::testing::Test {
protected:
    void SetUp() override { CreateDirectoryA(temp_.c_str(), NULL), vxtest::ClearProductRecords(); }
    void TearDown() override { vxtest::CloseShellFolderWindows(), vxtest::ClearProductRecords(); }
    // Stamps a copy of the built installer and runs it with a temporary folder of its own (for
    // setup.log), under the Windows version of its file name; with closeHost, WM_CLOSE goes to
    // its hidden host window as soon as that exists.
    DWORD Install(const std::string& settings, const std::string& name = "vxsetup.exe", WindowsVersion version = WindowsVersion::Default,
        bool withOs = true, bool closeHost = false)
    {
        std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), name);
        vxtest::WriteFileBytes(scratch_ / "settings.ini", settings);
        DeleteFileA((temp_ + "\\setup.log").c_str());
        EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch_ / "settings.ini") + "\""), 0u);
        vxtest::RunOptions options;
        options.version = version, options.workingFolder = scratch_.Path();
        options.environment = { { "TMP", temp_ }, { "TEMP", temp_ }, { "OS", withOs ? "Windows_NT" : "" } };  // Windows 95/98 have none
        vxtest::Program program = vxtest::StartProgram(installer, "", options);
        for (DWORD start = GetTickCount(); closeHost && GetTickCount() - start < 30000; Sleep(5))
            if (HWND host = FindWindowA("VXInstal", NULL); host != NULL && PostMessageA(host, WM_CLOSE, 0, 0))  // none is made here
                break;
        return vxtest::DialogScript(program.Id()).NoWindow().Run(program);
    }
    Strings Log() const { return vxtest::SplitLines(vxtest::ReadFileBytes(temp_ + "\\setup.log")); }
    vxtest::ScratchFolder scratch_{ "silent" };
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
};

// Everything, the host window closed at once (it stays until the install is over): each item
// replaces its namesake, a file is named by its full path, the Explorer item by its command, and
// every item runs in the folder. The placeholder mail address gives way to the default one.
TEST_F(SilentInstall, EverythingIsCopiedRecordedAndGrouped)
{
    vxtest::RecordingProgman progman;
    vxtest::WriteFileBytes(temp_ + "\\vxkeep.ex_", "not the installer's");
    ASSERT_EQ(Install("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nNOPASSWORD=TRUE\r\nLINE1=silent test\r\n[VANTIX]\r\nDIR32=" + dest_ +
                  "\r\nGROUP32=FTP Tools\r\n", "vxsetup.exe", WindowsVersion::Default, true, true), 0u);
    // The settings, the interfaces, then one copying line per catalogue file (42), the first first.
    Strings log = Log();
    ASSERT_EQ(log.size(), 50u);
    EXPECT_EQ(Strings(log.begin(), log.begin() + 9), (Strings{ "g_bSilent=1", "g_bNoPass=1", "gbInstallBonusPack=1", "g_iconLocation=0",
        "g_bExplore=1", "g_szLine1=\"silent test\"", "g_szLine2=\"\"", "nV=12 nM=15", "Copying " + temp_ + "\\vantix32.exe to " + dest_ + "\\vantix32.exe" }));
    EXPECT_EQ(vxtest::ListFolder(temp_).size(), 2u) << "the packed names and Install.ini are gone, setup.log stays";
    EXPECT_TRUE(vxtest::FileExists(temp_ + "\\vxkeep.ex_")) << "and nothing else goes";
    EXPECT_EQ(vxtest::ProductRecords(), (Strings{ "HKCR\\" + BASE_SERVER_KEY, "HKCR\\CLSID\\" + EXPLORER_CLASS,
        "HKCR\\CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", "HKLM\\Software\\Harrowby\\VANTIX Pro\\Components", "HKLM\\" + UNINSTALL_KEY,
        "HKLM\\" + NAMESPACE + EXPLORER_CLASS, "HKLM\\" + NAMESPACE + CLASSIC_CLASS, "WIN.INI [VANTIX] DIR=" + dest_, "WIN.INI [VANTIX] SPFLAGS=1",
        "WIN.INI [VANTIX] GROUP=FTP Tools", "WIN.INI [VANTIX] DEFDIR=" + dest_, "WIN.INI [VANTIX] INSTOPTS=12", "WIN.INI [VANTIX] PRO=990218" }));
    EXPECT_NE(vxtest::ReadFileBytes(dest_ + "\\VANTIX.ini").find("\r\nMAILADDR=vxguest@\r\n"), std::string::npos);
    const std::pair<std::string, const char*> items[] = {
        { dest_ + "\\vantix32.exe", "VANTIX Pro" }, { dest_ + "\\vxcore32.hlp", "VANTIX Pro Help" },
        { "VANTIX Pro Explorer." + EXPLORER_CLASS, "VANTIX Pro Explorer" }, { dest_ + "\\vxshell.hlp", "VANTIX Pro Explorer Help" },
        { dest_ + "\\vxscript.exe", "VANTIX Scripting Utility" }, { dest_ + "\\vxscript.hlp", "VANTIX Scripting Help" },
        { dest_ + "\\vxfind.exe", "VANTIX Find Utility" }, { dest_ + "\\vxfind.hlp", "VANTIX Find Help" },
        { dest_ + "\\vxsync.exe", "VANTIX Synchronize Utility" }, { dest_ + "\\vxsync.hlp", "VANTIX Synchronize Help" },
        { dest_ + "\\vxplace.exe", "VANTIX Pro Icon Placement" }, { dest_ + "\\vxremove.exe", "Uninstall VANTIX Pro" },
        { dest_ + "\\VxNotes.txt", "VANTIX Pro Release Notes" }, { dest_ + "\\vxcore32.pdf", "VANTIX Pro Manual" },
    };
    Strings commands = { "[CreateGroup(FTP Tools)]" };
    for (const auto& item : items) {
        commands.push_back("[DeleteItem(\"" + std::string(item.second) + "\")]");
        commands.push_back("[AddItem(\"" + item.first + "\",\"" + item.second + "\",,,,," + dest_ + ")]");
    }
    EXPECT_EQ(progman.Commands(), commands);
}

// The proposed folder under each Windows version, and how a library in use there is replaced:
// renamed aside on NT (the OS variable says so), beside it for the next start on Windows 95/98.
// Win32s offers no interface, and without the bonus pack nothing is selected.
TEST_F(SilentInstall, DefaultDestinationAndInUseReplacementFollowTheWindowsVersion)
{
    const struct { WindowsVersion version; bool withOs; const char *folder, *interfaces, *aside; } cases[] = {
        { WindowsVersion::Win95, false, "C:\\Program Files\\VANTIX Pro", "nV=4 nM=15", "vxshim.new" },
        { WindowsVersion::NT40, true, "C:\\Program Files\\VANTIX Pro", "nV=4 nM=15", "vxshim.bak" },
        { WindowsVersion::NT351, true, "C:\\WIN32APP\\VANTIX", "nV=4 nM=15", "vxshim.bak" },
        { WindowsVersion::NT351, false, "C:\\WIN32APP\\VANTIX", "nV=4 nM=15", "vxshim.new" },
        { WindowsVersion::Win32s, false, "C:\\VANTIX", "nV=1 nM=3", nullptr },  // the folder is made all the same
    };
    for (const auto& c : cases) {
        std::string name = "vxsetup-" + std::to_string((int)c.version) + (c.withOs ? "-os" : "") + ".exe";
        SCOPED_TRACE(name);
        vxtest::RemoveTree(c.folder);
        HANDLE inUse = INVALID_HANDLE_VALUE;
        if (c.aside != nullptr) {
            std::filesystem::create_directories(c.folder);
            vxtest::WriteFileBytes(vxtest::JoinPath(c.folder, "vxshim.dll"), "the library in use");
            inUse = CreateFileA(vxtest::JoinPath(c.folder, "vxshim.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
        }
        EXPECT_EQ(Install("[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nEXPLORER=FALSE\r\nBONUS=FALSE\r\n", name, c.version, c.withOs), 0u);
        CloseHandle(inUse);
        EXPECT_EQ(Log().size() > 7 ? Log()[7] : "", c.interfaces);
        EXPECT_TRUE(vxtest::FolderExists(c.folder));
        EXPECT_EQ(vxtest::FileExists(vxtest::JoinPath(c.folder, "vantix32.exe")), c.aside != nullptr);
        EXPECT_TRUE(c.aside == nullptr || vxtest::FileExists(vxtest::JoinPath(c.folder, c.aside)));
        vxtest::ClearProductRecords(c.folder);
    }
}

}  // namespace
