// Placing one file: fresh, over an old copy, over a program or library in use (renamed aside on
// NT, scheduled for the next start on 95/98 and carried through a simulated restart), and the
// reports of failures; folder creation, the existence test and the next-start commands.
#include "payload/placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/setup_log.h"
#include "harness/installer_state.h"
#include "harness/window_driver.h"
#include "payload_fixture.h"

using payloadtest::HeldOpen;
using payloadtest::ResourceOf;
using payloadtest::SampleProductFile;
using vxtest::ScratchFolder;

namespace {

const char RUN_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char RUN_SERVICES_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";

void DeleteScheduledCommands()
{
    for (const char* key : { RUN_ONCE, RUN_SERVICES_ONCE }) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
            continue;
        for (int i = 0; i <= 1000; ++i)
            RegDeleteValueA(handle, ("Harrowby" + std::to_string(i)).c_str());
        RegCloseKey(handle);
    }
}

// A text control that counts how often its text is set.
class StatusControl {
public:
    StatusControl()
    {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 60, NULL, NULL, GetModuleHandleA(NULL), NULL);
        s_count = 0;
        s_original = (WNDPROC)SetWindowLongPtrA(window_, GWLP_WNDPROC, (LONG_PTR)Counting);
    }
    ~StatusControl() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    int SetCount() const { return s_count; }
    std::string Text() const { return vxtest::WindowText(window_); }

private:
    static LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SETTEXT)
            ++s_count;
        return CallWindowProcA(s_original, window, message, wParam, lParam);
    }
    static int s_count;
    static WNDPROC s_original;
    HWND window_;
};
int StatusControl::s_count = 0;
WNDPROC StatusControl::s_original = nullptr;

class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSTEST.tmp");
        source_ = scratch_.Path() + "\\";
        dest_ = scratch_ / "dest";
        CreateDirectoryA(dest_.c_str(), NULL);
        DeleteScheduledCommands();
    }
    void TearDown() override
    {
        DeleteScheduledCommands();
        g_bSilent = FALSE;
        g_bLogging = FALSE;
    }
    int Place(const char* name, int report = 1, HWND status = NULL)
    {
        return PlaceFile(source_.c_str(), name, dest_.c_str(), NULL, status, ResourceOf(name), report);
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    std::string Log() const { return vxtest::ReadFileBytes(vxtest::JoinPath(vxtest::CurrentFolder(), "setup.log")); }

    ScratchFolder scratch_;
    std::string source_;
    std::string dest_;
};

TEST_F(Placement, FreshPlacementAndReplacementOfAFileNotInUse)
{
    StatusControl status;
    EXPECT_EQ(Place("vantix32.exe", 1, status.Window()), 0);
    EXPECT_EQ(status.Text(), "Copying " + source_ + "vantix32.exe to " + dest_ + "\\vantix32.exe");
    EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vantix32.exe")) == vxtest::ReadFileBytes(SampleProductFile("vantix32.exe")));
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSTEST.tmp")) << "the scratch file is deleted";

    vxtest::WriteFileBytes(Dest("VxNotes.txt"), "an older release");
    EXPECT_EQ(Place("VxNotes.txt"), 0);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("VxNotes.txt")), vxtest::ReadFileBytes(SampleProductFile("VxNotes.txt")));
    EXPECT_FALSE(g_bRebootNeeded);
}

// Who may ask for a restart: an interactive run always, a silent one only with ALLOWRBT.
struct RebootRule {
    BOOL silent;
    BOOL allowReboot;
    BOOL rebootNeeded;
};
const RebootRule REBOOT_RULES[] = { { FALSE, FALSE, TRUE }, { TRUE, FALSE, FALSE }, { TRUE, TRUE, TRUE } };

TEST_F(Placement, OnNtAProgramOrLibraryInUseIsRenamedAsideAndReplaced)
{
    ASSERT_EQ(Place("vxcore32.dll"), 0);
    ASSERT_EQ(Place("vantix32.exe"), 0);
    std::string program = vxtest::ReadFileBytes(SampleProductFile("vantix32.exe"));
    std::string library = vxtest::ReadFileBytes(SampleProductFile("vxcore32.dll"));
    for (const RebootRule& rule : REBOOT_RULES) {
        g_bSilent = rule.silent;
        g_bAllowReboot = rule.allowReboot;
        g_bRebootNeeded = FALSE;
        DeleteFileA(Dest("vantix32.bak").c_str());
        {
            // A running program (it also keeps vxcore32.dll loaded in its own process).
            vxtest::Program running = vxtest::StartProgram(Dest("vantix32.exe"), "");
            ASSERT_TRUE(running.Running());
            EXPECT_EQ(Place("vantix32.exe"), 0);
            running.Kill();
        }
        EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vantix32.bak")) == program);
        EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vantix32.exe")) == program);
        EXPECT_EQ(g_bRebootNeeded, rule.rebootNeeded) << "silent=" << rule.silent << " allowReboot=" << rule.allowReboot;
    }

    // A library loaded into this very process.
    g_bSilent = FALSE;
    HMODULE loaded = LoadLibraryA(Dest("vxcore32.dll").c_str());
    ASSERT_NE(loaded, (HMODULE)NULL);
    vxtest::WriteFileBytes(Dest("vxcore32.bak"), "an earlier .bak is replaced");
    EXPECT_EQ(Place("vxcore32.dll"), 0);
    FreeLibrary(loaded);
    EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vxcore32.bak")) == library);
    EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vxcore32.dll")) == library);
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSTEST.tmp"));
}

TEST_F(Placement, OnWindows95AProgramInUseIsWrittenAsNewWithACopyCommandForTheNextStart)
{
    g_bWinNT = FALSE;
    for (const RebootRule& rule : REBOOT_RULES) {
        DeleteScheduledCommands();
        g_bSilent = rule.silent;
        g_bAllowReboot = rule.allowReboot;
        g_bRebootNeeded = FALSE;
        vxtest::WriteFileBytes(Dest("vxshell.dll"), "the library in use");
        {
            HeldOpen inUse(Dest("vxshell.dll"));
            EXPECT_EQ(Place("vxshell.dll"), 0);
        }
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.dll")), "the library in use") << "replaced only at the next start";
        EXPECT_TRUE(vxtest::ReadFileBytes(Dest("vxshell.new")) == vxtest::ReadFileBytes(SampleProductFile("vxshell.dll")));
        EXPECT_EQ(g_bRebootNeeded, rule.rebootNeeded) << "silent=" << rule.silent << " allowReboot=" << rule.allowReboot;

        char shortNew[MAX_PATH];
        char shortTarget[MAX_PATH];
        GetShortPathNameA(Dest("vxshell.new").c_str(), shortNew, sizeof(shortNew));
        GetShortPathNameA(Dest("vxshell.dll").c_str(), shortTarget, sizeof(shortTarget));
        std::string command;
        ASSERT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0", &command));
        EXPECT_EQ(command, std::string("command.com /c copy ") + shortNew + " " + shortTarget);
        EXPECT_FALSE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby0", nullptr));
    }
}

TEST_F(Placement, AHelpFileInUseFailsWithRetryAndCancel)
{
    vxtest::WriteFileBytes(Dest("vxcore32.hlp"), "open in the help viewer");
    HeldOpen viewer(Dest("vxcore32.hlp"), FILE_SHARE_READ);
    const std::string failure = "Copy of vxcore32.hlp to " + dest_ + " failed. (32)";

    StatusControl status;
    vxtest::DialogAnswerer answerer;
    answerer.Queue(IDRETRY);
    answerer.Queue(IDCANCEL);
    EXPECT_EQ(Place("vxcore32.hlp", 1, status.Window()), 1);
    ASSERT_EQ(answerer.Dialogs().size(), 2u) << "Retry repeats the whole attempt";
    for (const auto& dialog : answerer.Dialogs()) {
        EXPECT_EQ(dialog.caption, "Install");
        EXPECT_EQ(dialog.text, failure);
    }
    EXPECT_EQ(status.SetCount(), 1) << "the copying text is shown once, not again on Retry";
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxcore32.hlp")), "open in the help viewer");
    EXPECT_FALSE(vxtest::FileExists(Dest("vxcore32.new")));
    EXPECT_FALSE(g_bRebootNeeded);

    // Silent: both texts go to the log and the answer is Cancel.
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = TRUE;
    g_bLogging = TRUE;
    EXPECT_EQ(Place("vxcore32.hlp"), 1);
    EXPECT_EQ(Log(), "Copying " + source_ + "vxcore32.hlp to " + dest_ + "\\vxcore32.hlp\r\n" + failure + "\r\n");
    EXPECT_EQ(answerer.Dialogs().size(), 2u);
}

TEST_F(Placement, FailuresOfFilesThatAreNotRequiredAreSilent)
{
    vxtest::WriteFileBytes(Dest("VxCore32.cnt"), "held");
    HeldOpen held(Dest("VxCore32.cnt"), FILE_SHARE_READ);
    vxtest::DialogAnswerer answerer;
    EXPECT_EQ(Place("VxCore32.cnt", 0), 0);
    EXPECT_EQ(Place("vxini.dll", 0), 0) << "a resource that is not carried";
    EXPECT_FALSE(vxtest::FileExists(Dest("vxini.dll")));
    EXPECT_TRUE(answerer.Dialogs().empty());
}

TEST_F(Placement, PlainFailuresLeaveNoReplacementFiles)
{
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = TRUE;
    g_bLogging = TRUE;
    g_bWinNT = FALSE;
    // A library that cannot be written because its folder is missing is not "in use".
    std::string missing = scratch_ / "missing";
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", missing.c_str(), NULL, NULL, ResourceOf("vxshell.dll"), 1), 1);
    EXPECT_FALSE(vxtest::FolderExists(missing));
    EXPECT_FALSE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0", nullptr));
    // A destination too long for any path buffer fails cleanly.
    std::string tooLong = dest_ + "\\" + std::string(600, 'd');
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", tooLong.c_str(), NULL, NULL, ResourceOf("vxshell.dll"), 0), 0);
    EXPECT_EQ(PlaceFile(std::string(600, 's').c_str(), "vxshell.dll", dest_.c_str(), NULL, NULL, ResourceOf("vxshell.dll"), 0), 0);
    EXPECT_FALSE(vxtest::FileExists(Dest("vxshell.dll")));
}

TEST_F(Placement, FolderPathsAreCreatedLevelByLevelWithOneReportPerFailingLevel)
{
    vxtest::DialogAnswerer answerer;
    char path[512];
    strcpy(path, (scratch_ / "one\\two\\three").c_str());
    EXPECT_NE(CreateFolderPath(path), 0);
    EXPECT_STREQ(path, (scratch_ / "one\\two\\three").c_str()) << "the path is restored";
    EXPECT_TRUE(vxtest::FolderExists(scratch_ / "one\\two\\three"));
    EXPECT_EQ(CreateFolderPath(path), 1) << "an existing folder is success";
    EXPECT_TRUE(answerer.Dialogs().empty());

    strcpy(path, "Q:\\vantix\\pro");
    EXPECT_EQ(CreateFolderPath(path), 0);
    EXPECT_STREQ(path, "Q:\\vantix\\pro");
    std::vector<std::string> texts;
    for (const auto& dialog : answerer.Dialogs()) {
        EXPECT_EQ(dialog.caption, "Install");
        texts.push_back(dialog.text.substr(0, dialog.text.find(" failed. (")));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{ "Creation of Q:", "Creation of Q:\\vantix", "Creation of Q:\\vantix\\pro" }));

    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = TRUE;
    g_bLogging = TRUE;
    EXPECT_EQ(CreateFolderPath(path), 0);
    EXPECT_EQ(answerer.Dialogs().size(), 3u) << "silent mode logs instead";
    std::string log = Log();
    EXPECT_EQ(log.find("Creation of Q: failed. ("), 0u) << log;
    EXPECT_NE(log.find("\r\nCreation of Q:\\vantix\\pro failed. ("), std::string::npos) << log;
}

TEST_F(Placement, FileExistsInMeansReadable)
{
    vxtest::WriteFileBytes(Dest("VxNotes.txt"), "notes");
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "VxNotes.txt"), 1);
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "vxnotes.TXT"), 1);
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "missing.txt"), 0);
    HeldOpen exclusive(Dest("VxNotes.txt"), 0);
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "VxNotes.txt"), 0) << "held without read sharing counts as absent";
}

TEST_F(Placement, NextStartCommandsTakeTheFirstFreeNumber)
{
    g_bWinNT = TRUE;
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby0", "taken");
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby1", "taken");
    EXPECT_EQ(ScheduleAtStartup("cmd.exe /c del C:\\x"), 1);
    std::string value;
    ASSERT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_ONCE, "Harrowby2", &value));
    EXPECT_EQ(value, "cmd.exe /c del C:\\x");

    // Windows 95/98 keep theirs under RunServicesOnce, created when missing.
    g_bWinNT = FALSE;
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE);
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy A B"), 1);
    EXPECT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0", &value));
    EXPECT_EQ(value, "command.com /c copy A B");

    // When all thousand names are taken, nothing more is stored.
    for (int i = 1; i <= 999; ++i)
        vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby" + std::to_string(i), "taken");
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy C D"), 0);
    EXPECT_FALSE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby1000", nullptr));
}

// --- Replacement at the next start of Windows 95/98 ----------------------------------------------

std::string SystemFolder()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof(folder));
    return folder;
}

TEST(NextStart, AProgramInUseOnWindows95IsReplacedByTheNextStart)
{
    ScratchFolder scratch;
    std::string dest = scratch / "VANTIX Pro";
    CreateDirectoryA(dest.c_str(), NULL);
    std::string target = vxtest::JoinPath(dest, "vantix32.exe");
    vxtest::WriteFileBytes(target, "the program that was running");
    // Wine has no command.com: the stand-in built with the tests passes its work to cmd.exe.
    ASSERT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::ModuleFolder(), "command.com").c_str(),
        vxtest::JoinPath(SystemFolder(), "command.com").c_str(), FALSE));

    vxtest::ResetInstallerState("VXSNEXT.tmp");
    g_bWinNT = FALSE;
    {
        HeldOpen running(target);
        std::string source = scratch.Path() + "\\";
        ASSERT_EQ(PlaceFile(source.c_str(), "vantix32.exe", dest.c_str(), NULL, NULL, payloadtest::ResourceOf("vantix32.exe"), 1), 0);
    }
    ASSERT_TRUE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0", nullptr));
    EXPECT_TRUE(g_bRebootNeeded);
    EXPECT_EQ(vxtest::ReadFileBytes(target), "the program that was running");

    // The restart: Windows runs each stored command once and removes it. The commands of
    // RunServicesOnce are started, not waited for, so the copy is awaited here.
    vxtest::RunOptions options;
    options.timeoutMs = 120000;
    EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(SystemFolder(), "wineboot.exe"), "-r", options), 0u);
    std::string program = vxtest::ReadFileBytes(SampleProductFile("vantix32.exe"));
    for (int waited = 0; waited < 200 && vxtest::ReadFileBytes(target) != program; ++waited)
        Sleep(100);
    EXPECT_TRUE(vxtest::ReadFileBytes(target) == program) << "the new program is in place after the restart";
    EXPECT_FALSE(vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, RUN_SERVICES_ONCE, "Harrowby0", nullptr));
    DeleteFileA(vxtest::JoinPath(SystemFolder(), "command.com").c_str());
}

TEST(NextStart, CopyCommandQuotesOnlyPathsThatStillHoldABlank)
{
    ScratchFolder scratch;
    std::string plain = scratch / "vxshell.new";
    vxtest::WriteFileBytes(plain, "x");
    char shortPlain[MAX_PATH];
    GetShortPathNameA(plain.c_str(), shortPlain, sizeof(shortPlain));

    // A path that has no short form (it does not exist) is used as it is, quoted for its blank.
    char command[1100];
    BuildNextStartCopyCommand(command, sizeof(command), plain.c_str(), "C:\\No Such Folder\\vxshell.dll");
    EXPECT_EQ(std::string(command), std::string("command.com /c copy ") + shortPlain + " \"C:\\No Such Folder\\vxshell.dll\"");

    BuildNextStartCopyCommand(command, sizeof(command), "C:\\nofolder\\a.new", "C:\\nofolder\\a.exe");
    EXPECT_STREQ(command, "command.com /c copy C:\\nofolder\\a.new C:\\nofolder\\a.exe");

    char small[24];
    BuildNextStartCopyCommand(small, sizeof(small), "C:\\nofolder\\a.new", "C:\\nofolder\\a.exe");
    EXPECT_EQ(strlen(small), sizeof(small) - 1) << "cut to fit, never past the buffer";
}

}  // namespace
