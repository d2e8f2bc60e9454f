// Carried files out and into place: extraction and expansion, one file placed fresh, over an old
// copy or over a program or library in use (renamed aside on NT; on 95/98 written beside it with
// a copy command for the next start, carried through a simulated restart), the failure reports,
// folder creation, the existence test and the next-start commands. (Every carried file expanded
// byte for byte is checked by the silent installs.)
#include "payload/extract.h"
#include "payload/placement.h"

#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"

namespace {

const char RUN_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char RUN_SERVICES_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
const int VXCORE32_DLL = 1, VXCORE32_HLP = 3, VXSHELL_DLL = 4, VXINI_DLL = 6, VXNOTES_TXT = 26, VANTIX32_EXE = 0;  // resource numbers

std::string Sample(const std::string& name)
{
    return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name));
}

// Held open the way the loader holds a running program: others may read, rename and delete it.
struct HeldOpen {
    explicit HeldOpen(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE)
        : handle(CreateFileA(path.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL)) {}
    ~HeldOpen() { CloseHandle(handle); }
    HANDLE handle;
};

class Payload : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSTEST.tmp");
        CreateDirectoryA(dest_.c_str(), NULL);
        vxtest::ClearProductRecords();
    }
    void TearDown() override
    {
        vxtest::ClearProductRecords();
        g_bSilent = g_bLogging = FALSE;
    }
    int Place(const char* name, int row, int report = 1, HWND status = NULL)
    {
        return PlaceFile(source_.c_str(), name, dest_.c_str(), NULL, status, row, report);
    }
    int Expand(const std::string& packed, const std::string& target)
    {
        char path[MAX_PATH];
        strcpy(path, packed.c_str());
        return ExpandFile(path, target.c_str());
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    std::string Log() const { return vxtest::ReadFileBytes(scratch_ / "setup.log"); }
    std::string Packed(const std::string& name)  // an SZDD file: the carried release notes
    {
        EXPECT_EQ(ExtractResource(g_hInstance, VXNOTES_TXT, scratch_.Path().c_str(), name.c_str()), 1);
        return scratch_ / name;
    }
    vxtest::ScratchFolder scratch_;
    std::string source_ = scratch_.Path() + "\\", dest_ = scratch_ / "dest";
};

TEST_F(Payload, ExtractionWritesTheCarriedBytesIntoTheFolderGivenWithOrWithoutSeparator)
{
    for (const std::string& folder : { scratch_.Path(), scratch_.Path() + "\\", scratch_.Path() + "/" }) {
        DeleteFileA((scratch_ / "Install.ini").c_str());
        EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, folder.c_str(), "Install.ini"), 1) << folder;
        EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "Install.ini").substr(0, 29), "[RenameThisSectionTo:INSTALL]") << folder;
    }
    EXPECT_EQ(vxtest::ReadFileBytes(Packed("packed.tmp")).substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "A\0", 10));
    EXPECT_EQ(ExtractResource(g_hInstance, VXINI_DLL, scratch_.Path().c_str(), "absent.tmp"), 0) << "a resource not carried";
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "absent.tmp"));
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, "Q:\\no\\such\\folder", "Install.ini"), 0);
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, std::string(600, 'a').c_str(), "Install.ini"), 0);
}

TEST_F(Payload, ExpansionReplacesOnlyATargetNotInUseAndReadsAnUnderscoreNameFirst)
{
    std::string packed = Packed("packed.tmp"), target = scratch_ / "running.exe", notes = Sample("VxNotes.txt");
    std::string upper = packed;
    CharUpperA(&upper[0]);
    EXPECT_EQ(Expand(packed, upper), 1) << "the same file in another case";
    EXPECT_EQ(vxtest::ReadFileBytes(packed).substr(0, 4), "SZDD");
    vxtest::WriteFileBytes(target, "old program");
    for (DWORD share : { (DWORD)(FILE_SHARE_READ | FILE_SHARE_DELETE), (DWORD)FILE_SHARE_READ }) {
        HeldOpen running(target, share);
        EXPECT_EQ(Expand(packed, target), 0);
    }
    EXPECT_EQ(vxtest::ReadFileBytes(target), "old program");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "running.ex_")) << "no stray file with a '_' name";
    EXPECT_EQ(Expand(packed, target), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(target), notes);

    std::string underscore = Packed("notes.tm_");
    vxtest::WriteFileBytes(scratch_ / "notes.tmp", "not packed at all");
    char path[MAX_PATH];
    strcpy(path, (scratch_ / "notes.tmp").c_str());
    EXPECT_EQ(ExpandFile(path, (scratch_ / "notes.txt").c_str()), 1);
    EXPECT_STREQ(path, underscore.c_str());
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "notes.txt"), notes);
}

TEST_F(Payload, PlainFilesAreCopiedAndEmptyOrMissingOnesFail)
{
    const std::pair<const char*, int> cases[] = { { "plain text", 1 }, { "", 0 }, { "SZDD\x88\xF0\x27\x33" "A\0\0\0\0\0", 0 }, { nullptr, 0 } };
    for (const auto& c : cases) {
        DeleteFileA((scratch_ / "plain.tmp").c_str());
        if (c.first != nullptr)
            vxtest::WriteFileBytes(scratch_ / "plain.tmp", std::string(c.first, c.first[0] == 'S' ? 14 : strlen(c.first)));
        EXPECT_EQ(Expand(scratch_ / "plain.tmp", scratch_ / "plain.out"), c.second) << (c.first ? c.first : "(missing)");
        EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "plain.out"), c.second ? c.first : "") << (c.first ? c.first : "(missing)");
        DeleteFileA((scratch_ / "plain.out").c_str());
    }
}

TEST_F(Payload, PlacementShowsItsCopyingTextAndReplacesAnOldCopy)
{
    HWND status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 60, NULL, NULL, NULL, NULL);
    vxtest::WriteFileBytes(Dest("VxNotes.txt"), "an older release");
    EXPECT_EQ(Place("VxNotes.txt", VXNOTES_TXT, 1, status), 0);
    char text[512];
    GetWindowTextA(status, text, sizeof(text));
    EXPECT_EQ(text, "Copying " + source_ + "VxNotes.txt to " + dest_ + "\\VxNotes.txt");
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("VxNotes.txt")), Sample("VxNotes.txt"));
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSTEST.tmp")) << "the scratch file is deleted";
    EXPECT_FALSE(g_bRebootNeeded);
    DestroyWindow(status);
}

// Who may ask for a restart after a replacement: an interactive run, or a silent one with ALLOWRBT.
const struct {
    BOOL silent, allowReboot, rebootNeeded;
} REBOOT_RULES[] = { { FALSE, FALSE, TRUE }, { TRUE, FALSE, FALSE }, { TRUE, TRUE, TRUE } };

TEST_F(Payload, OnNtAProgramOrLibraryInUseIsRenamedAsideAndReplaced)
{
    ASSERT_EQ(Place("vxcore32.dll", VXCORE32_DLL), 0);
    ASSERT_EQ(Place("vantix32.exe", VANTIX32_EXE), 0);
    for (const auto& rule : REBOOT_RULES) {
        g_bSilent = rule.silent;
        g_bAllowReboot = rule.allowReboot;
        g_bRebootNeeded = FALSE;
        DeleteFileA(Dest("vantix32.bak").c_str());
        {
            // A running program, which keeps vxcore32.dll loaded in its process too.
            vxtest::Program running = vxtest::StartProgram(Dest("vantix32.exe"), "");
            ASSERT_TRUE(running.Running());
            EXPECT_EQ(Place("vantix32.exe", VANTIX32_EXE), 0);
        }
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.bak")), Sample("vantix32.exe"));
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.exe")), Sample("vantix32.exe"));
        EXPECT_EQ(g_bRebootNeeded, rule.rebootNeeded) << "silent " << rule.silent << " allowReboot " << rule.allowReboot;
    }
    HMODULE loaded = LoadLibraryA(Dest("vxcore32.dll").c_str());  // a library of this very process
    vxtest::WriteFileBytes(Dest("vxcore32.bak"), "an earlier .bak is replaced");
    EXPECT_EQ(Place("vxcore32.dll", VXCORE32_DLL), 0);
    FreeLibrary(loaded);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxcore32.bak")), Sample("vxcore32.dll"));
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "nothing waits for the next start";
}

TEST_F(Payload, OnWindows95AProgramInUseIsWrittenAsNewWithACopyCommandForTheNextStart)
{
    g_bWinNT = FALSE;
    for (const auto& rule : REBOOT_RULES) {
        vxtest::ClearProductRecords();
        g_bSilent = rule.silent;
        g_bAllowReboot = rule.allowReboot;
        g_bRebootNeeded = FALSE;
        vxtest::WriteFileBytes(Dest("vxshell.dll"), "the library in use");
        {
            HeldOpen inUse(Dest("vxshell.dll"));
            EXPECT_EQ(Place("vxshell.dll", VXSHELL_DLL), 0);
        }
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.dll")), "the library in use") << "replaced only at the next start";
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.new")), Sample("vxshell.dll"));
        EXPECT_EQ(g_bRebootNeeded, rule.rebootNeeded) << "silent " << rule.silent << " allowReboot " << rule.allowReboot;
        char shortNew[MAX_PATH], shortTarget[MAX_PATH];
        GetShortPathNameA(Dest("vxshell.new").c_str(), shortNew, sizeof(shortNew));
        GetShortPathNameA(Dest("vxshell.dll").c_str(), shortTarget, sizeof(shortTarget));
        EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{ "HKLM\\" + std::string(RUN_SERVICES_ONCE) + ": Harrowby0=command.com /c copy "
            + shortNew + " " + shortTarget });
    }
}

TEST_F(Payload, AFailureOfARequiredFileIsReportedWithRetryAndCancelAndOthersAreSilent)
{
    vxtest::WriteFileBytes(Dest("vxcore32.hlp"), "open in the help viewer");
    HeldOpen viewer(Dest("vxcore32.hlp"), FILE_SHARE_READ);
    const std::string failure = "Copy of vxcore32.hlp to " + dest_ + " failed. (32)";
    HWND status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 60, NULL, NULL, NULL, NULL);
    {
        // Retry repeats the whole attempt, but not the copying text: cleared, it stays clear.
        vxtest::DialogScript script;
        script.Dialog({ 0xFFFF }, [&](vxtest::DialogView& box) {
            EXPECT_EQ(box.MessageText(), failure);
            SetWindowTextA(status, "");
            box.Click(IDRETRY);
        }, "Install").MessageBox(failure, IDCANCEL, "Install");
        EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP, 1, status), 1);
    }
    EXPECT_EQ(GetWindowTextLengthA(status), 0);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxcore32.hlp")), "open in the help viewer");
    EXPECT_FALSE(vxtest::FileExists(Dest("vxcore32.new")));
    DestroyWindow(status);

    // Silent: both texts go to the log and the answer is Cancel; a file not required fails quietly.
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = g_bLogging = TRUE;
    vxtest::DialogScript script;
    script.NoWindow();
    EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP), 1);
    EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP, 0), 0);
    EXPECT_EQ(Place("vxini.dll", VXINI_DLL, 0), 0) << "a resource that is not carried";
    std::string copying = "Copying " + source_ + "vxcore32.hlp to " + dest_ + "\\vxcore32.hlp\r\n";
    EXPECT_EQ(Log(), copying + failure + "\r\n" + copying + "Copying " + source_ + "vxini.dll to " + dest_ + "\\vxini.dll\r\n");
    EXPECT_EQ(vxtest::ListFolder(dest_), std::vector<std::string>{ "vxcore32.hlp" });
    EXPECT_FALSE(g_bRebootNeeded);
}

TEST_F(Payload, APlainFailureLeavesNoReplacementFiles)
{
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = TRUE;
    g_bWinNT = FALSE;
    // A library that cannot be written because its folder is missing is not "in use".
    std::string missing = scratch_ / "missing";
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", missing.c_str(), NULL, NULL, VXSHELL_DLL, 1), 1);
    EXPECT_FALSE(vxtest::FolderExists(missing));
    std::string tooLong = dest_ + "\\" + std::string(600, 'd');
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", tooLong.c_str(), NULL, NULL, VXSHELL_DLL, 0), 0);
    EXPECT_EQ(PlaceFile(std::string(600, 's').c_str(), "vxshell.dll", dest_.c_str(), NULL, NULL, VXSHELL_DLL, 0), 0);
    EXPECT_EQ(vxtest::ListFolder(dest_), std::vector<std::string>{});
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
}

TEST_F(Payload, FolderPathsAreCreatedLevelByLevelWithOneReportPerFailingLevel)
{
    char path[512];
    strcpy(path, (scratch_ / "one\\two\\three").c_str());
    std::vector<std::string> reported;
    {
        vxtest::DialogScript script;
        EXPECT_NE(CreateFolderPath(path), 0);
        EXPECT_STREQ(path, (scratch_ / "one\\two\\three").c_str()) << "the path is restored";
        EXPECT_TRUE(vxtest::FolderExists(path));
        EXPECT_EQ(CreateFolderPath(path), 1) << "an existing folder is success";
        strcpy(path, "Q:\\vantix\\pro");
        for (int level = 0; level < 3; ++level) {
            script.Dialog({ 0xFFFF }, [&](vxtest::DialogView& box) {
                reported.push_back(box.MessageText().substr(0, box.MessageText().find(" failed. (")));
                box.Click(IDOK);
            }, "Install");
        }
        EXPECT_EQ(CreateFolderPath(path), 0);
        EXPECT_STREQ(path, "Q:\\vantix\\pro");
    }
    EXPECT_EQ(reported, (std::vector<std::string>{ "Creation of Q:", "Creation of Q:\\vantix", "Creation of Q:\\vantix\\pro" }));
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = g_bLogging = TRUE;
    EXPECT_EQ(CreateFolderPath(path), 0);
    EXPECT_EQ(Log().find("Creation of Q: failed. ("), 0u) << "silent mode logs instead";
    EXPECT_NE(Log().find("\r\nCreation of Q:\\vantix\\pro failed. ("), std::string::npos) << Log();
}

TEST_F(Payload, FileExistsInMeansReadable)
{
    vxtest::WriteFileBytes(Dest("VxNotes.txt"), "notes");
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "vxnotes.TXT"), 1);
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "missing.txt"), 0);
    HeldOpen exclusive(Dest("VxNotes.txt"), 0);
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "VxNotes.txt"), 0) << "held without read sharing counts as absent";
}

TEST_F(Payload, NextStartCommandsTakeTheFirstFreeNameUnderTheirWindowsKey)
{
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby0", "taken");
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby1", "taken");
    EXPECT_EQ(ScheduleAtStartup("cmd.exe /c del C:\\x"), 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby2"), "cmd.exe /c del C:\\x");
    g_bWinNT = FALSE;  // Windows 95/98 keep theirs under RunServicesOnce, created when missing
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE);
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy A B"), 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0"), "command.com /c copy A B");
    for (int i = 1; i <= 999; ++i)
        vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby" + std::to_string(i), "taken");
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy C D"), 0) << "all thousand names are taken";
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby1000"), "<absent>");

    // A path without a short form (it does not exist) is used as it is, quoted for its blank.
    char command[1100], small[24];
    BuildNextStartCopyCommand(command, sizeof(command), "C:\\nofolder\\a.new", "C:\\No Such Folder\\a.exe");
    EXPECT_STREQ(command, "command.com /c copy C:\\nofolder\\a.new \"C:\\No Such Folder\\a.exe\"");
    BuildNextStartCopyCommand(small, sizeof(small), "C:\\nofolder\\a.new", "C:\\nofolder\\a.exe");
    EXPECT_EQ(strlen(small), sizeof(small) - 1) << "cut to fit, never past the buffer";
}

TEST_F(Payload, AProgramInUseOnWindows95IsReplacedByTheNextStart)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    // Wine has no command.com: the stand-in built with the tests passes its work to cmd.exe.
    ASSERT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::ModuleFolder(), "command.com").c_str(), vxtest::JoinPath(system, "command.com").c_str(), FALSE));
    std::string target = Dest("vantix32.exe");
    vxtest::WriteFileBytes(target, "the program that was running");
    g_bWinNT = FALSE;
    {
        HeldOpen running(target);
        ASSERT_EQ(Place("vantix32.exe", VANTIX32_EXE), 0);
    }
    EXPECT_TRUE(g_bRebootNeeded);
    // The restart runs each stored command once and removes it; those of RunServicesOnce are
    // started, not waited for.
    EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(system, "wineboot.exe"), "-r"), 0u);
    for (int waited = 0; waited < 200 && vxtest::ReadFileBytes(target) != Sample("vantix32.exe"); ++waited)
        Sleep(50);
    EXPECT_EQ(vxtest::ReadFileBytes(target), Sample("vantix32.exe")) << "the new program is in place after the restart";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
    DeleteFileA(vxtest::JoinPath(system, "command.com").c_str());
}

}  // namespace
