// The removal, in this process (the install record, the sweep and the INI question, the system's
// folders, files in use left to a simulated restart on NT and 95/98, the tree delete and the
// next-start commands) and by the built programs: vxsetup.exe through its mode dialog, under Wine's
// shell and the recording Program Manager, and vxremove.exe from the uninstall entry.
#include "uninstall/uninstall_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"
#include "payload/placement.h"
#include "progman/progman.h"
#include "uninstall/file_removal.h"
#include "uninstall/unregistration.h"

using vxtest::DialogView;
using Strings = std::vector<std::string>;

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const std::string RUN_ONCE = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce: ";
const std::string REMOVAL_IMPOSSIBLE = "Insufficient information available to\nremove this application.";
const std::string REMOVAL_COMPLETE = "Removal process complete.\nAll files removed.";
const std::string RESTART_PROMPT = "Uninstall successful!\n\nUninstall now needs to restart your computer to complete changes to your "
                                   "system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.";
const std::string INI_QUESTION = "You have INI files in the VANTIX Pro folder.\nDo you want to delete these?\n"
                                 "WARNING: Deleting the INI files will eliminate your stored FTP sites!";

std::string FolderLeft(const std::string& folder)
{
    return "Removal process complete.\nCheck the folder " + folder + " for excess files\nthat caused the removal process to not cleanup entirely.";
}

std::string ShortPath(const std::string& path)
{
    char text[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), text, sizeof(text));
    return text;
}

std::string SystemPath(UINT(WINAPI* get)(LPSTR, UINT), const char* name = "")
{
    char text[MAX_PATH] = "";
    get(text, sizeof(text));
    return *name ? vxtest::JoinPath(text, name) : text;
}

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSREM.tmp");
        vxtest::ClearProductRecords(folder_);
        CreateDirectoryA(folder_.c_str(), NULL);
        CreateDirectoryA(temp_.c_str(), NULL);
    }
    void TearDown() override
    {
        vxtest::CloseShellFolderWindows();
        vxtest::ClearProductRecords(folder_);
    }
    void Plant(const std::string& folder, const Strings& names)
    {
        for (const std::string& name : names)
            vxtest::WriteFileBytes(vxtest::JoinPath(folder, name), "planted " + name);
    }
    void Record(const std::string& dir)
    {
        WriteProfileStringA("VANTIX", "DIR", dir.c_str());
        WriteProfileStringA("VANTIX", "INSTOPTS", "12");
    }
    // Runs the removal mode, which must show exactly these message boxes (caption, text, answer).
    void Uninstall(const std::vector<Strings>& boxes)
    {
        vxtest::DialogScript script;
        for (const Strings& box : boxes)
            script.MessageBox(box[1], std::stoi(box[2]), box[0].c_str());
        EXPECT_EQ(UninstallProduct(NULL, 0, 0), 0);
        script.Finish();
    }
    // The product's records, sorted; Files gives the folder's own records for these files in it.
    Strings Left() const
    {
        Strings records = vxtest::ProductRecords(folder_);
        std::sort(records.begin(), records.end());
        return records;
    }
    Strings Files(Strings names, Strings more = {}) const
    {
        for (std::string& name : names)
            more.push_back("file " + vxtest::JoinPath(folder_, name));
        more.push_back("folder " + folder_);
        std::sort(more.begin(), more.end());
        return more;
    }
    vxtest::RunOptions Options(DWORD timeoutMs = 120000) const
    {
        vxtest::RunOptions options;
        options.environment = { { "TMP", temp_ }, { "TEMP", temp_ } };
        options.timeoutMs = timeoutMs;
        return options;
    }
    // A silent install of everything, by a copy of the installer stamped as a distributor does.
    void Install(const std::string& group)
    {
        std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), "vxsetup.exe");
        vxtest::WriteFileBytes(scratch_ / "silent.ini",
            "[INSTALL]\r\nQUIET=TRUE\r\nBONUS=TRUE\r\nEXPLORER=TRUE\r\n[VANTIX]\r\nDIR32=" + folder_ + "\r\nGROUP32=" + group + "\r\n");
        ASSERT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch_ / "silent.ini") + "\""), 0u);
        ASSERT_EQ(vxtest::RunProgram(installer, "", Options()), 0u);
        ASSERT_TRUE(vxtest::FileExists(vxtest::JoinPath(folder_, "vxremove.exe")));
    }
    // Plays a whole removal by a program: the status dialog, retitled and without its Cancel, the
    // INI question (Yes) and the closing box.
    void PlayRemoval(vxtest::Program& program, const std::string& closing, int answer, const char* caption)
    {
        vxtest::DialogScript script(program.Id());
        if (program.Id() != remover_)
            script.Timeout(30000).Dialog({ 1851, 1852, 2420 }, [](DialogView& d) { d.Choose(1852); d.Click(IDOK); });
        script.Timeout(30000).Dialog({ IDCANCEL, 954 }, [](DialogView& d) {
            EXPECT_EQ(d.Caption(), "Removal process");
            EXPECT_FALSE(d.Enabled(IDCANCEL) || d.Visible(IDCANCEL));
        });
        script.MessageBox(INI_QUESTION, IDYES, "VANTIX Pro Installation").MessageBox(closing, answer, caption);
        EXPECT_EQ(script.Run(program), 0u);
    }

    vxtest::ScratchFolder scratch_{ "removal" };
    std::string folder_ = scratch_ / "VANTIX Pro";
    std::string temp_ = scratch_ / "temp";
    DWORD remover_ = 0;  // the process id of vxremove.exe, which shows no mode dialog
};

TEST_F(Removal, WithoutAUsableRecordNothingIsTouched)
{
    const char* const absent = nullptr;
    const std::string cut = folder_ + std::string(600, 'x');  // would be cut: another folder
    const struct {
        const char* dir;
        const char* instopts;
    } cases[] = { { absent, absent }, { folder_.c_str(), absent }, { folder_.c_str(), "0" }, { "", "12" }, { cut.c_str(), "12" } };
    Plant(folder_, { "vantix32.exe" });
    for (const auto& c : cases) {
        for (const auto& key : { std::make_pair("DIR", c.dir), std::make_pair("INSTOPTS", c.instopts) }) {
            if (key.second != absent)
                WriteProfileStringA("VANTIX", key.first, key.second);
        }
        Uninstall({ { "Remove", REMOVAL_IMPOSSIBLE, "1" } });
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "INSTOPTS"), c.instopts ? c.instopts : "<absent>") << "the record stays";
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(folder_, "vantix32.exe")));
        WriteProfileStringA("VANTIX", NULL, NULL);
    }
}

TEST_F(Removal, TheSweepTakesWorkingFilesAndTheIniFilesOnlyWhenAsked)
{
    const struct {
        bool mainIni;
        const char* answer;
        Strings userFiles, left;
    } cases[] = {
        { true, "7", { "keep.txt", "README" }, { "README", "VANTIX.ini", "avsites.ini", "keep.txt" } },  // No
        { true, "6", { "keep.txt", "README" }, { "README", "keep.txt" } },                                // Yes
        { false, "6", { "keep.txt" }, { "avsites.ini", "keep.txt" } },
        { true, "6", {}, {} },
    };
    for (const auto& c : cases) {
        CreateDirectoryA(folder_.c_str(), NULL);
        Plant(folder_, { "vantix32.exe", "vxshell.dll", "vxremove.exe", "vxcore32.hlp", "a.BAK", "b.tmp", "c.Gid", "D.LOG", "avsites.ini" });
        Plant(folder_, c.userFiles);
        if (c.mainIni)
            Plant(folder_, { "VANTIX.ini" });
        Record(folder_);
        std::vector<Strings> boxes;
        if (c.mainIni)
            boxes.push_back({ "VANTIX Pro Installation", INI_QUESTION, c.answer });
        boxes.push_back({ "Remove", c.left.empty() ? REMOVAL_COMPLETE : FolderLeft(folder_), "1" });
        Uninstall(boxes);
        // The section goes, files left or not; the folder goes when nothing is left in it.
        EXPECT_EQ(Left(), c.left.empty() ? Strings{} : Files(c.left));
        vxtest::RemoveTree(folder_);
    }
    Uninstall({ { "Remove", REMOVAL_IMPOSSIBLE, "1" } });  // a second removal
}

// A folder of the system keeps its own files: only the product's files in it are deleted.
TEST_F(Removal, TheSystemsFoldersAreNeitherSweptNorRemoved)
{
    std::string windows = SystemPath(GetWindowsDirectoryA);
    for (const std::string& dir : { windows, windows + "\\", ShortPath(SystemPath(GetSystemDirectoryA)), std::string("C:\\"), std::string("C:") }) {
        std::string folder = dir == "C:" ? "C:\\" : dir;
        Plant(folder, { "vantix32.exe", "vxtest.log", "vxtest.ini", "VANTIX.ini" });
        Record(dir);
        Uninstall({ { "Remove", FolderLeft(dir), "1" } });  // and no INI question
        EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(folder, "vantix32.exe"))) << dir;
        for (const char* kept : { "vxtest.log", "vxtest.ini", "VANTIX.ini" }) {
            EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(folder, kept))) << dir << kept;
            DeleteFileA(vxtest::JoinPath(folder, kept).c_str());
        }
    }
}

// A library and a program in use (loaded by this process) are moved to their ".del" names and
// deleted at the next start, with the folder. On NT a reinstall made before that restart survives
// it; on 95/98 the install's own pending copy of the program is withdrawn, so nothing comes back.
TEST_F(Removal, FilesInUseGoAtTheNextStart)
{
    ASSERT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::ModuleFolder(), "command.com").c_str(), SystemPath(GetSystemDirectoryA, "command.com").c_str(), FALSE));
    const std::string source = scratch_.Path() + "\\";
    auto place = [&](const char* name, int resource) { return PlaceFile(source.c_str(), name, folder_.c_str(), NULL, NULL, resource, 1); };
    for (BOOL winNT : { TRUE, FALSE }) {
        vxtest::ResetInstallerState("VXSREM.tmp");
        g_bWinNT = winNT;
        CreateDirectoryA(folder_.c_str(), NULL);
        Plant(folder_, { "vxshell.hlp" });
        std::vector<HMODULE> held;
        for (const char* name : { "vxshell.dll", "vantix32.exe" }) {
            CopyFileA(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name).c_str(), vxtest::JoinPath(folder_, name).c_str(), FALSE);
            held.push_back(LoadLibraryExA(vxtest::JoinPath(folder_, name).c_str(), NULL, name[2] == 's' ? 0 : DONT_RESOLVE_DLL_REFERENCES));
        }
        EXPECT_TRUE(winNT || place("vantix32.exe", 0) == 0) << "95/98: a copy for the next start, under RunServicesOnce";
        Record(folder_);
        Uninstall({ { "Congratulations!", RESTART_PROMPT, winNT ? "1" : "2" } });
        EXPECT_EQ(g_bRebootNeeded, winNT) << "OK keeps the restart, Cancel declines it";
        // In RunOnce, whose commands run in order; the install's copy is gone.
        const std::string run = std::string(winNT ? "cmd.exe" : "command.com") + " /c ";
        EXPECT_EQ(Left(), Files({ "vantix32.del", "vxshell.del" }, { RUN_ONCE + "Harrowby-0=" + run + "rmdir " + ShortPath(folder_) + " ",
                                   RUN_ONCE + "Harrowby0=" + run + "del " + ShortPath(folder_ + "\\vxshell.del"),
                                   RUN_ONCE + "Harrowby1=" + run + "del " + ShortPath(folder_ + "\\vantix32.del") }));
        for (HMODULE module : held)
            FreeLibrary(module);
        EXPECT_TRUE(!winNT || (place("vantix32.exe", 0) == 0 && place("vxshell.dll", 4) == 0)) << "NT: the reinstall";
        EXPECT_EQ(vxtest::RunProgram(SystemPath(GetSystemDirectoryA, "wineboot.exe"), "-r", Options()), 0u);
        EXPECT_EQ(Left(), winNT ? Files({ "vantix32.exe", "vxshell.dll" }) : Strings{});
        vxtest::RemoveTree(folder_);
    }
    DeleteFileA(SystemPath(GetSystemDirectoryA, "command.com").c_str());
}

// A child that can neither be deleted nor opened ends the walk with 0; the others still go. A
// next-start path without a short form is quoted for its blank; one that does not fit is never
// cut: nothing is scheduled.
TEST_F(Removal, TheTreeWalkAlwaysEndsAndCommandsAreNeverCut)
{
    const std::string tree = "Software\\VxRemovalTest";
    for (const char* child : { "\\A\\Deep", "\\Locked\\Inside", "\\Z" })
        vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, tree + child, "v", "x");
    vxtest::SetRegistryKeyAccess(HKEY_LOCAL_MACHINE, tree + "\\Locked", "D:(D;;KA;;;WD)");
    EXPECT_EQ(DeleteRegistryTree(tree.c_str(), HKEY_LOCAL_MACHINE), 0);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, tree + "\\A") || vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, tree + "\\Z"));
    vxtest::SetRegistryKeyAccess(HKEY_LOCAL_MACHINE, tree + "\\Locked", "D:(A;;KA;;;WD)");
    EXPECT_EQ(DeleteRegistryTree(tree.c_str(), HKEY_LOCAL_MACHINE), 1);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, tree));

    EXPECT_EQ(ScheduleFolderRemoval(("C:\\" + std::string(1100, 'x')).c_str()), 0);
    EXPECT_EQ(ScheduleFolderRemoval("C:\\No Such Folder\\VANTIX Pro"), 1);
    EXPECT_EQ(vxtest::ProductRecords(), Strings{ RUN_ONCE + "Harrowby-0=cmd.exe /c rmdir \"C:\\No Such Folder\\VANTIX Pro\" " });
}

// Under Wine's shell with the default group (GROUP absent: the default is used) and with a group
// of another name while another group is current, and under the recording Program Manager with an
// uninstall entry that has a subkey.
TEST_F(Removal, InstallThenRemoveThroughTheModeDialogLeavesNothing)
{
    const std::string programs = vxtest::ProgramsFolder(), other = vxtest::JoinPath(programs, "Other Tools");
    for (const std::string group : { "VANTIX Pro", "FTP Tools", "" }) {
        SCOPED_TRACE(group.empty() ? "recording Program Manager" : group);
        std::unique_ptr<vxtest::RecordingProgman> recorder(group.empty() ? new vxtest::RecordingProgman : nullptr);
        Install(group.empty() ? "VANTIX Pro" : group);
        if (group == "VANTIX Pro")
            WriteProfileStringA("VANTIX", "GROUP", NULL);
        if (group == "FTP Tools") {  // another program's item in the group, and another group current
            vxtest::WriteFileBytes(vxtest::JoinPath(vxtest::JoinPath(programs, group), "Other Tool.lnk"), "a link");
            ASSERT_TRUE(ProgmanCreateGroup("Other Tools") && ProgmanAddItem("VANTIX Pro", folder_.c_str(), "vantix32.exe", "") && ProgmanClose());
        }
        if (recorder) {
            vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, std::string(UNINSTALL_KEY) + "\\Extra", "", "a subkey");
            recorder->Clear();
        }
        vxtest::Program setup = vxtest::StartProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), "", Options());
        PlayRemoval(setup, REMOVAL_COMPLETE, IDOK, "Remove");
        EXPECT_EQ(Left(), Strings{});
        if (group == "FTP Tools") {
            EXPECT_EQ(vxtest::ListFolder(vxtest::JoinPath(programs, group)), Strings{ "Other Tool.lnk" });
            EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(other, "VANTIX Pro.lnk"))) << "the current group is not touched";
            vxtest::RemoveTree(vxtest::JoinPath(programs, group));
            vxtest::RemoveTree(other);
        }
        if (recorder) {
            Strings expected = { "[ShowGroup(VANTIX Pro,1)]" };
            for (const char* title : { "VANTIX Pro Explorer", "VANTIX Pro Explorer Help", "VANTIX Scripting Utility", "VANTIX Scripting Help",
                     "VANTIX Find Utility", "VANTIX Find Help", "VANTIX Synchronize Utility", "VANTIX Synchronize Help", "VANTIX Pro",
                     "VANTIX Pro Help", "VANTIX Pro Icon Placement", "Uninstall VANTIX Pro", "VANTIX Pro Release Notes", "VANTIX Pro Manual" })
                expected.push_back("[DeleteItem(\"" + std::string(title) + "\")]");
            expected.push_back("[DeleteGroup(VANTIX Pro)]");
            EXPECT_EQ(recorder->Commands(), expected);
        }
    }
}

// vxremove.exe runs from the folder it removes: it goes at the next start, and the folder with it.
TEST_F(Removal, TheUninstallEntryRunsTheProductsOwnUninstaller)
{
    Install("VANTIX Pro");
    std::string command = vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString");
    size_t quote = command.find('"', 1);
    vxtest::Program remover = vxtest::StartProgram(command.substr(1, quote - 1), command.substr(quote + 2), Options());
    remover_ = remover.Id();
    PlayRemoval(remover, RESTART_PROMPT, IDCANCEL, "Congratulations!");
    EXPECT_EQ(Left(), Files({ "vxremove.del" }, { RUN_ONCE + "Harrowby-0=cmd.exe /c rmdir " + ShortPath(folder_) + " ",
                                                RUN_ONCE + "Harrowby0=cmd.exe /c del " + ShortPath(folder_ + "\\vxremove.del") }));
    EXPECT_EQ(vxtest::RunProgram(SystemPath(GetSystemDirectoryA, "wineboot.exe"), "-r", Options()), 0u);
    EXPECT_EQ(Left(), Strings{}) << "after the restart";
}

}  // namespace
