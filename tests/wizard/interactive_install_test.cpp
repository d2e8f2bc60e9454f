// A whole interactive install of the built installer, driven from here through every dialog.
#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/product_records.h"

using vxtest::DialogView;

namespace {

const std::vector<int> MODE = { 1851, 1852, 2420 }, FOLDER = { 3010, 954, 2416 }, INTERFACES = { 1880, 2417, 2418, 9041 };
const std::string EXPLORER_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

TEST(InstallerProgram, AWholeInteractiveInstallThroughEveryDialog)
{
    vxtest::ScratchFolder scratch("whole");
    std::string temp = scratch / "temp", dest = scratch / "Typed Folder";
    CreateDirectoryA(temp.c_str(), NULL);
    vxtest::ClearProductRecords();
    vxtest::RunOptions options;
    options.environment = { { "TMP", temp }, { "TEMP", temp } };
    // Classic and the bonus pack into a folder found with the picker and then typed; then again,
    // with the Explorer interface, its icon put into My Computer. Removal is offered only then.
    for (bool explorer : { false, true }) {
        SCOPED_TRACE(explorer ? "with Explorer" : "classic and bonus");
        vxtest::Program installer = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", options);
        vxtest::DialogScript script(installer.Id());
        script.Timeout(30000).Dialog(MODE, [explorer](DialogView& d) {
            EXPECT_EQ(d.Text(1851) + "|" + d.Text(1852), "&Install or update VANTIX Pro|&Uninstall VANTIX Pro");
            EXPECT_EQ(d.Enabled(1852), explorer);
            d.Click(IDOK);
        });
        if (!explorer) {  // the picker opens at the field's folder and answers its product folder
            script.Dialog(FOLDER, [&](DialogView& d) { d.Type(954, scratch.Path()); d.Click(2416); });
            script.Dialog({ 1511, 1088, 1121, 1137 }, [&](DialogView& picker) {
                EXPECT_EQ(picker.Caption() + "|" + picker.Text(1511), "Locate|Please enter the destination &folder:");
                EXPECT_EQ(_stricmp(picker.Text(1088).c_str(), scratch.Path().c_str()), 0) << picker.Text(1088);
                picker.Click(IDOK);
            });
        }
        script.Dialog(FOLDER, [&](DialogView& d) {  // then the earlier install's folder is proposed
            EXPECT_EQ(d.Text(954), explorer ? dest : scratch / "VANTIX");
            d.Type(954, dest), d.Click(IDOK);
        });
        if (explorer) {  // nothing selected is refused; the help page is one click away
            script.Dialog(INTERFACES, [](DialogView& d) {
                for (int id : { 1880, 2417, 2418 })
                    d.Check(id, false);
                d.Click(IDOK);
            });
            script.MessageBox("Nothing Selected!", IDOK);
            script.Dialog(INTERFACES, [](DialogView& d) { d.Click(9041); });
            script.Dialog({ 1 }, [](DialogView& help) {
                EXPECT_EQ(help.Text(0xFFFF).substr(0, 26), "VANTIX Pro provides two us");
                help.Click(IDOK);
            });
        }
        script.Dialog(INTERFACES, [explorer](DialogView& d) { d.Check(1880, true), d.Check(2417, explorer), d.Check(2418, true), d.Click(IDOK); });
        if (explorer) {
            script.Dialog({ 1851, 1852 }, [](DialogView& d) { d.Choose(1852); d.Click(IDOK); }, "Icon Placement");
            script.MessageBox("Installation successful!\n\nInstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.", IDCANCEL, "Congratulations!");
        } else {  // the host window stays behind the closing box
            script.Dialog({ 0xFFFF }, [](DialogView& box) {
                EXPECT_EQ(box.MessageText(), "Installation successful!\nHappy FTP'ing!");
                EXPECT_TRUE(IsWindowVisible(FindWindowA("VXInstal", "VANTIX Pro Install (32)")));
                box.Click(IDOK);
            }, "Congratulations!");
        }
        EXPECT_EQ(script.Run(installer, 180000), 0u);
    }
    // The Explorer icon where the user put it; the classic one stays where the first run put it.
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, EXPLORER_KEY + "MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", ""), "VANTIX Pro Explorer");
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, EXPLORER_KEY + "Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}", ""), "VANTIX Pro");
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), dest);
    std::string group = vxtest::JoinPath(vxtest::ProgramsFolder(), "VANTIX Pro");
    for (const char* link : { "VANTIX Pro.lnk", "VANTIX Scripting Utility.lnk", "VANTIX Pro Explorer Help.lnk" })
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(group, link))) << link;
    EXPECT_EQ(vxtest::ListFolder(temp), std::vector<std::string>{}) << "the run's own files are gone";
    vxtest::CloseShellFolderWindows();
    vxtest::ClearProductRecords();
}

}  // namespace
