// A whole interactive install of the built installer, driven from here through every dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/dialog_script.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"

using vxtest::DialogView;

namespace {

const std::vector<int> MODE = { 1851, 1852, 2420 }, FOLDER = { 3010, 954, 2416 }, INTERFACES = { 1880, 2417, 2418 };

std::string NamespaceEntry(const std::string& place, const std::string& classId)
{
    return vxtest::RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + place + "\\Namespace\\" + classId, "");
}

TEST(InstallerProgram, AWholeInteractiveInstallThroughEveryDialog)
{
    vxtest::ScratchFolder scratch("whole");
    std::string temp = scratch / "temp", dest = scratch / "Typed Folder";
    CreateDirectoryA(temp.c_str(), NULL);
    vxtest::ClearProductRecords();
    vxtest::RunOptions options;
    options.environment = { { "TMP", temp }, { "TEMP", temp } };
    {  // Exit at the first question installs nothing.
        vxtest::Program installer = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", options);
        vxtest::DialogScript script(installer.Id());
        script.Timeout(30000).Dialog(MODE, [](DialogView& d) { d.Click(IDCANCEL); });
        EXPECT_EQ(script.Run(installer), 0u);
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "DIR"), "<absent>");
    }
    // Classic and the bonus pack into a typed folder; then again, with the Explorer interface,
    // whose icon goes into My Computer. Removal is offered only after the first install.
    for (bool explorer : { false, true }) {
        SCOPED_TRACE(explorer ? "with Explorer" : "classic and bonus");
        vxtest::Program installer = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", options);
        vxtest::DialogScript script(installer.Id());
        script.Timeout(30000).Dialog(MODE, [explorer](DialogView& d) {
            EXPECT_EQ(d.Text(1851) + "|" + d.Text(1852), "&Install or update VANTIX Pro|&Uninstall VANTIX Pro");
            EXPECT_EQ(d.Enabled(1852), explorer);
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
            script.MessageBox("Installation successful!\n\nInstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.", IDCANCEL, "Congratulations!");
        } else {
            script.MessageBox("Installation successful!\nHappy FTP'ing!", IDOK, "Congratulations!");
        }
        EXPECT_EQ(script.Run(installer, 180000), 0u);
    }
    for (const char* name : { "vantix32.exe", "vxscript.exe", "vxshell.dll", "VANTIX.ini" })
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, name))) << name;
    // The Explorer icon where the user put it; the classic one stays where the first run put it.
    EXPECT_EQ(NamespaceEntry("MyComputer", "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), "VANTIX Pro Explorer");
    EXPECT_EQ(NamespaceEntry("Desktop", "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}"), "VANTIX Pro");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro", "UninstallString"),
        "\"" + dest + "\\vxremove.exe\" -f " + dest + " -d " + dest + " -g VANTIX Pro");
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), dest);
    std::string group = vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro");
    for (const char* link : { "VANTIX Pro.lnk", "VANTIX Scripting Utility.lnk", "VANTIX Pro Explorer Help.lnk" })
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(group, link))) << link;
    vxtest::CloseShellFolderWindows();
    vxtest::ClearProductRecords();
}

}  // namespace
