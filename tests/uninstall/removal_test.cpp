// The removal by the built programs (vxsetup.exe's mode dialog, vxremove.exe by the uninstall
// entry), and in this process of a record that names a folder of the system.
#include "uninstall/uninstall_flow.h"

#include <gtest/gtest.h>

#include <memory>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"

using vxtest::DialogView;
using Strings = std::vector<std::string>;

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const std::string RUN_ONCE = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce: ";
const std::string COMPLETE = "Removal process complete.\nAll files removed.";
const std::string INI_QUESTION = "You have INI files in the VANTIX Pro folder.\nDo you want to delete these?\n"
                                 "WARNING: Deleting the INI files will eliminate your stored FTP sites!";

std::string FolderLeft(const std::string& folder)
{
    return "Removal process complete.\nCheck the folder " + folder + " for excess files\nthat caused the removal process to not cleanup entirely.";
}
std::string ShortPath(const std::string& path) { char text[MAX_PATH] = ""; return GetShortPathNameA(path.c_str(), text, sizeof(text)), text; }
std::string SystemPath(UINT(WINAPI* get)(LPSTR, UINT) = GetSystemDirectoryA) { char text[MAX_PATH] = ""; return get(text, sizeof(text)), text; }

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ClearProductRecords(folder_);
        CreateDirectoryA(temp_.c_str(), NULL);
        options_.environment = { { "TMP", temp_ }, { "TEMP", temp_ } };
        options_.timeoutMs = 120000;
    }
    void TearDown() override { vxtest::CloseShellFolderWindows(), vxtest::ClearProductRecords(folder_); }
    // The product's records, sorted; Files: the folder's own records with these files in it.
    Strings Left() const { Strings records = vxtest::ProductRecords(folder_); return std::sort(records.begin(), records.end()), records; }
    Strings Files(Strings names, Strings more = {}) const
    {
        for (std::string& name : names)
            more.push_back("file " + vxtest::JoinPath(folder_, name));
        more.push_back("folder " + folder_);
        std::sort(more.begin(), more.end());
        return more;
    }
    // A silent install of everything, by a copy of the installer stamped as a distributor does.
    void Install()
    {
        std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), "vxsetup.exe");
        vxtest::WriteFileBytes(scratch_ / "silent.ini", "[INSTALL]\r\nQUIET=TRUE\r\nBONUS=TRUE\r\nEXPLORER=TRUE\r\n[VANTIX]\r\nDIR32=" + folder_ + "\r\n");
        ASSERT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch_ / "silent.ini") + "\""), 0u);
        ASSERT_EQ(vxtest::RunProgram(installer, "", options_), 0u);
    }
    // The mode dialog (vxsetup.exe's only), the status retitled without Cancel, the INI question, the end.
    void PlayRemoval(vxtest::Program& program, bool modeDialog, int iniAnswer, const std::string& closing, int answer, const char* caption)
    {
        vxtest::DialogScript script(program.Id());
        if (modeDialog)
            script.Timeout(30000).Dialog({ 1851, 1852, 2420 }, [](DialogView& d) { d.Choose(1852); d.Click(IDOK); });
        script.Timeout(30000).Dialog({ IDCANCEL, 954 }, [](DialogView& d) {
            EXPECT_EQ(d.Caption(), "Removal process");
            EXPECT_FALSE(d.Enabled(IDCANCEL) || d.Visible(IDCANCEL));
        });
        script.MessageBox(INI_QUESTION, iniAnswer, "VANTIX Pro Installation").MessageBox(closing, answer, caption);
        EXPECT_EQ(script.Run(program), 0u);
    }

    vxtest::ScratchFolder scratch_{ "removal" };
    std::string folder_ = scratch_ / "VANTIX Pro", temp_ = scratch_ / "temp";
    vxtest::RunOptions options_;
};

// A folder of the system keeps its own files, its INI files unasked: only the product's files go.
TEST_F(Removal, TheSystemsFoldersAreNeitherSweptNorRemoved)
{
    for (const std::string& dir : { SystemPath(GetWindowsDirectoryA) + "\\", ShortPath(SystemPath()), std::string("C:") }) {
        for (const char* name : { "vantix32.exe", "vxtest.log", "vxtest.ini", "VANTIX.ini" })
            vxtest::WriteFileBytes(vxtest::JoinPath(dir, name), "planted");
        vxtest::ResetInstallerState("VXSREM.tmp");
        WriteProfileStringA("VANTIX", "DIR", dir.c_str());
        WriteProfileStringA("VANTIX", "INSTOPTS", "12");
        vxtest::DialogScript script;
        script.MessageBox(FolderLeft(dir), IDOK, "Remove");
        EXPECT_EQ(UninstallProduct(NULL, 0, 0), 0);
        script.Finish();
        EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(dir, "vantix32.exe"))) << dir;
        for (const char* kept : { "vxtest.log", "vxtest.ini", "VANTIX.ini" }) {
            EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dir, kept))) << dir << kept;
            DeleteFileA(vxtest::JoinPath(dir, kept).c_str());
        }
    }
}

// Under Wine's shell with GROUP absent (the default group is meant), INI files deleted: nothing is
// left. Under the recording Program Manager, with an uninstall entry that has a subkey, the INI
// files kept: they stay with the user's own files, and the working files are swept.
TEST_F(Removal, InstallThenRemoveThroughTheModeDialog)
{
    for (bool recording : { false, true }) {
        SCOPED_TRACE(recording ? "recording Program Manager" : "Wine's shell");
        std::unique_ptr<vxtest::RecordingProgman> recorder(recording ? new vxtest::RecordingProgman : nullptr);
        Install();
        if (recorder) {
            vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, std::string(UNINSTALL_KEY) + "\\Extra", "", "a subkey");
            for (const char* name : { "keep.txt", "README", "a.BAK", "b.tmp", "c.Gid", "D.LOG" })
                vxtest::WriteFileBytes(vxtest::JoinPath(folder_, name), "planted");
            recorder->Clear();
        } else {
            WriteProfileStringA("VANTIX", "GROUP", NULL);
        }
        vxtest::Program setup = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", options_);
        PlayRemoval(setup, true, recording ? IDNO : IDYES, recording ? FolderLeft(folder_) : COMPLETE, IDOK, "Remove");
        EXPECT_EQ(Left(), recording ? Files({ "README", "VANTIX.ini", "avsites.ini", "gmsites.ini", "gvsites.ini", "hwsites.ini", "keep.txt",
                                          "mirsites.ini", "olsites.ini", "swsites.ini", "vxsites.ini" })
                                    : Strings{});
        if (recorder) {  // each of the 14 items, then the group
            Strings commands = recorder->Commands();
            EXPECT_EQ(commands.size(), 16u);
            EXPECT_EQ(commands.front() + commands.back(), "[ShowGroup(VANTIX Pro,1)][DeleteGroup(VANTIX Pro)]");
            EXPECT_EQ(std::count(commands.begin(), commands.end(), "[DeleteItem(\"VANTIX Pro Explorer\")]"), 1);
        }
        vxtest::RemoveTree(folder_);
    }
}

// vxremove.exe runs from the folder it removes: in use, it goes at the next start, the folder with
// it, and Cancel at the restart prompt leaves that to the user's own restart.
TEST_F(Removal, TheUninstallEntryRunsTheProductsOwnUninstaller)
{
    Install();
    std::string command = vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString");
    size_t quote = command.find('"', 1);
    vxtest::Program remover = vxtest::StartProgram(command.substr(1, quote - 1), command.substr(quote + 2), options_);
    PlayRemoval(remover, false, IDYES,
        "Uninstall successful!\n\nUninstall now needs to restart your computer to complete changes to your system files.\n"
        "Select \"OK\" to restart now, or cancel to restart your system yourself.",
        IDCANCEL, "Congratulations!");
    EXPECT_EQ(Left(), Files({ "vxremove.del" }, { RUN_ONCE + "Harrowby-0=cmd.exe /c rmdir " + ShortPath(folder_) + " ",
                                                RUN_ONCE + "Harrowby0=cmd.exe /c del " + ShortPath(folder_ + "\\vxremove.del") }));
    EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(SystemPath(), "wineboot.exe"), "-r", options_), 0u);
    EXPECT_EQ(Left(), Strings{}) << "after the restart";
}

}  // namespace
