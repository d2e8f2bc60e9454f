// The removal in this process: the install record, the sweep and the INI question, the folders
// that belong to the system, files in use left to a simulated restart (NT and 95/98), the
// install's own pending copies, and a program group of another name under Wine's shell.
#include "uninstall/uninstall_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/installer_state.h"
#include "harness/dialog_script.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"
#include "payload/placement.h"

using vxtest::ScratchFolder;

namespace {

const char RUN_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char RUN_SERVICES_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
const std::string REMOVAL_IMPOSSIBLE = "Insufficient information available to\nremove this application.";
const std::string RESTART_PROMPT = "Uninstall successful!\n\nUninstall now needs to restart your computer to complete changes to "
                                   "your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.";
const std::string REMOVAL_COMPLETE = "Removal process complete.\nAll files removed.";
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

std::string SystemPath(UINT(WINAPI* get)(LPSTR, UINT))
{
    char text[MAX_PATH] = "";
    get(text, sizeof(text));
    return text;
}

// The folder's file names, sorted.
std::vector<std::string> Left(const std::string& folder)
{
    std::vector<std::string> names = vxtest::ListFolder(folder);
    std::sort(names.begin(), names.end());
    return names;
}

// The commands stored for the next start under key, by value name: Harrowby0, Harrowby1, ...
// then the ones to run after them, Harrowby-0, ...
std::vector<std::string> Scheduled(const char* key)
{
    std::vector<std::string> commands;
    std::string command;
    for (const char* stem : { "Harrowby", "Harrowby-" }) {
        for (int i = 0; vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, key, stem + std::to_string(i), &command); ++i)
            commands.push_back(command);
    }
    return commands;
}

void ForgetScheduled()
{
    for (const char* key : { RUN_ONCE, RUN_SERVICES_ONCE }) {
        for (int i = 0; i < 10; ++i) {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, ("Harrowby" + std::to_string(i)).c_str());
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, ("Harrowby-" + std::to_string(i)).c_str());
        }
    }
}

// A copy of a sample library or program, loaded the way a running one is: it can be renamed but
// not deleted or written. A program is only mapped (its libraries are not in the folder).
class InUse {
public:
    InUse(const std::string& folder, const char* name)
    {
        std::string path = vxtest::JoinPath(folder, name);
        CopyFileA(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name).c_str(), path.c_str(), FALSE);
        module_ = LoadLibraryExA(path.c_str(), NULL, strstr(name, ".exe") ? DONT_RESOLVE_DLL_REFERENCES : 0);
        EXPECT_NE(module_, nullptr) << path;
    }
    ~InUse() { FreeLibrary(module_); }

private:
    HMODULE module_;
};

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSREM.tmp");
        WriteProfileStringA("VANTIX", NULL, NULL);
        ForgetScheduled();
        CreateDirectoryA(folder_.c_str(), NULL);
    }
    void TearDown() override
    {
        WriteProfileStringA("VANTIX", NULL, NULL);
        ForgetScheduled();
    }
    void Record(const std::string& dir, const char* instopts = "12")
    {
        WriteProfileStringA("VANTIX", "DIR", dir.c_str());
        WriteProfileStringA("VANTIX", "INSTOPTS", instopts);
    }
    void Plant(const std::string& folder, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            vxtest::WriteFileBytes(vxtest::JoinPath(folder, name), "planted " + name);
    }
    // Runs the removal mode, which must show exactly these message boxes, answered in turn.
    struct Box {
        const char* caption;
        std::string text;
        int answer;
    };
    void Uninstall(const std::vector<Box>& boxes)
    {
        vxtest::DialogScript script;
        for (const Box& box : boxes)
            script.MessageBox(box.text, box.answer, box.caption);
        EXPECT_EQ(UninstallProduct(NULL, 0, 0), 0);
        script.Finish();
    }
    // A simulated restart, awaited until the folder holds what it should (the commands of
    // RunServicesOnce are started, not waited for).
    void Restart(const std::vector<std::string>& expected)
    {
        vxtest::RunOptions options;
        options.timeoutMs = 120000;
        EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(SystemPath(GetSystemDirectoryA), "wineboot.exe"), "-r", options), 0u);
        for (int waited = 0; waited < 100 && Left(folder_) != expected; ++waited)
            Sleep(100);
    }

    ScratchFolder scratch_{ "removal" };
    std::string folder_ = scratch_ / "VANTIX Pro";
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
        Uninstall({ { "Remove", REMOVAL_IMPOSSIBLE, IDOK } });
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "INSTOPTS"), c.instopts ? c.instopts : "<absent>") << "the record stays";
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(folder_, "vantix32.exe")));
        WriteProfileStringA("VANTIX", NULL, NULL);
    }
}

TEST_F(Removal, TheSweepTakesWorkingFilesAndTheIniFilesOnlyWhenAsked)
{
    const std::vector<std::string> product = { "vantix32.exe", "vxshell.dll", "vxremove.exe", "vxcore32.hlp" };
    const std::vector<std::string> working = { "a.BAK", "b.tmp", "c.Gid", "D.LOG" };
    const struct {
        bool mainIni;
        int answer;
        bool userFiles;  // keep.txt and README, which are not the product's
        std::vector<std::string> left;
    } cases[] = {
        { true, IDNO, true, { "README", "VANTIX.ini", "avsites.ini", "keep.txt" } },
        { true, IDYES, true, { "README", "keep.txt" } },
        { false, IDYES, true, { "README", "avsites.ini", "keep.txt" } },
        { true, IDYES, false, {} },
    };
    for (const auto& c : cases) {
        vxtest::RemoveTree(folder_);
        CreateDirectoryA(folder_.c_str(), NULL);
        Plant(folder_, product);
        Plant(folder_, working);
        Plant(folder_, { "avsites.ini" });
        if (c.mainIni)
            Plant(folder_, { "VANTIX.ini" });
        if (c.userFiles)
            Plant(folder_, { "keep.txt", "README" });
        Record(folder_);
        std::vector<Box> boxes;
        if (c.mainIni)
            boxes.push_back({ "VANTIX Pro Installation", INI_QUESTION, c.answer });
        boxes.push_back({ "Remove", c.left.empty() ? REMOVAL_COMPLETE : FolderLeft(folder_), IDOK });
        Uninstall(boxes);
        EXPECT_EQ(Left(folder_), c.left);
        EXPECT_EQ(vxtest::FolderExists(folder_), !c.left.empty());
        EXPECT_EQ(vxtest::WinIniText("VANTIX", "INSTOPTS"), "<absent>") << "the section goes, files left or not";
    }
    Uninstall({ { "Remove", REMOVAL_IMPOSSIBLE, IDOK } });  // a second removal
}

// A folder of the system keeps its own files: only the product's files in it are deleted.
TEST_F(Removal, TheSystemsFoldersAreNeitherSweptNorRemoved)
{
    std::string windows = SystemPath(GetWindowsDirectoryA);
    for (const std::string& dir : { windows, windows + "\\", ShortPath(SystemPath(GetSystemDirectoryA)), std::string("C:\\"), std::string("C:") }) {
        std::string folder = dir == "C:" ? "C:\\" : dir;
        Plant(folder, { "vantix32.exe", "vxtest.log", "vxtest.ini", "VANTIX.ini" });
        Record(dir);
        Uninstall({ { "Remove", FolderLeft(dir), IDOK } });  // and no INI question
        EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(folder, "vantix32.exe"))) << dir;
        for (const char* kept : { "vxtest.log", "vxtest.ini", "VANTIX.ini" }) {
            EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(folder, kept))) << dir << kept;
            DeleteFileA(vxtest::JoinPath(folder, kept).c_str());
        }
        EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(windows, "win.ini")));
    }
}

// A library in use is moved to its ".del" name and deleted at the next start, with the folder.
// On NT a reinstall made before that restart survives it; on 95/98 the install's own pending
// copy of a program in use is withdrawn, so nothing of the product comes back.
TEST_F(Removal, FilesInUseGoAtTheNextStart)
{
    const std::string system = SystemPath(GetSystemDirectoryA);
    ASSERT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::ModuleFolder(), "command.com").c_str(),
        vxtest::JoinPath(system, "command.com").c_str(), FALSE));
    const struct {
        BOOL winNT;
        const char* interpreter;
        int answer;  // to the restart prompt
    } cases[] = { { TRUE, "cmd.exe", IDOK }, { FALSE, "command.com", IDCANCEL } };
    const std::string source = scratch_.Path() + "\\";
    auto place = [&](const char* name, const FILE_GROUP& group) {
        return PlaceFile(source.c_str(), name, folder_.c_str(), NULL, NULL, group.firstResource, 1);
    };
    for (const auto& c : cases) {
        vxtest::ResetInstallerState("VXSREM.tmp");
        g_bWinNT = c.winNT;
        CreateDirectoryA(folder_.c_str(), NULL);
        Plant(folder_, { "vxshell.hlp" });
        {
            InUse library(folder_, "vxshell.dll"), program(folder_, "vantix32.exe");
            if (!c.winNT) {
                ASSERT_EQ(place("vantix32.exe", g_coreFiles), 0);
                ASSERT_EQ(Scheduled(RUN_SERVICES_ONCE).size(), 1u) << "the install's copy of the program in use";
            }
            Record(folder_);
            g_bRebootNeeded = FALSE;
            Uninstall({ { "Congratulations!", RESTART_PROMPT, c.answer } });
            EXPECT_EQ(g_bRebootNeeded, c.answer == IDOK);
            std::string run = std::string(c.interpreter) + " /c ";
            // In RunOnce, which runs them in order, each one finished before the next.
            EXPECT_EQ(Scheduled(RUN_ONCE), (std::vector<std::string>{ run + "del " + ShortPath(folder_ + "\\vxshell.del"),
                                            run + "del " + ShortPath(folder_ + "\\vantix32.del"), run + "rmdir " + ShortPath(folder_) + " " }));
            EXPECT_TRUE(Scheduled(RUN_SERVICES_ONCE).empty()) << "the install's copy is withdrawn";
            EXPECT_EQ(Left(folder_), (std::vector<std::string>{ "vantix32.del", "vxshell.del" }));
        }
        if (c.winNT) {
            ASSERT_EQ(place("vantix32.exe", g_coreFiles), 0);
            ASSERT_EQ(place("vxshell.dll", g_explorerFiles), 0);
        }
        Restart(c.winNT ? std::vector<std::string>{ "vantix32.exe", "vxshell.dll" } : std::vector<std::string>{});
        EXPECT_EQ(Left(folder_), (c.winNT ? std::vector<std::string>{ "vantix32.exe", "vxshell.dll" } : std::vector<std::string>{}));
        EXPECT_EQ(vxtest::FolderExists(folder_), c.winNT);
        vxtest::RemoveTree(folder_);
    }
    DeleteFileA(vxtest::JoinPath(system, "command.com").c_str());
}

}  // namespace
