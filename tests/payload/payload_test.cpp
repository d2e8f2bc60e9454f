// Carried files out and into place: extraction and expansion, a file placed fresh or over a program
// or library in use (renamed aside on NT; on 95/98 written beside it with a copy command for the
// next start, carried through a simulated restart), the failure reports, folder creation, the
// existence test and the next-start commands. (Every carried file is checked byte for byte, and
// each Windows version's replacement, by the silent installs.)
#include "payload/extract.h"
#include "payload/placement.h"

#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"

namespace {

const std::string RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const int VANTIX32_EXE = 0, VXCORE32_HLP = 3, VXSHELL_DLL = 4, VXINI_DLL = 6, VXNOTES_TXT = 26;  // resource numbers

std::string Sample(const std::string& name) { return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name)); }

// Held open as the loader holds a running program: others may read, rename and delete it.
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
    void TearDown() override { vxtest::ClearProductRecords(), vxtest::ResetInstallerState("VXSTEST.tmp"); }
    int Place(const char* name, int row, int report = 1, HWND status = NULL) { return PlaceFile(source_.c_str(), name, dest_.c_str(), NULL, status, row, report); }
    int Expand(const std::string& packed, const std::string& target, std::string* read = nullptr)
    {
        char path[MAX_PATH];
        int result = ExpandFile(strcpy(path, packed.c_str()), target.c_str());
        return read ? (*read = path, result) : result;
    }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    std::string Packed(const std::string& name)  // an SZDD file: the carried release notes
    {
        EXPECT_EQ(ExtractResource(g_hInstance, VXNOTES_TXT, scratch_.Path().c_str(), name.c_str()), 1);
        return scratch_ / name;
    }
    vxtest::ScratchFolder scratch_;
    std::string source_ = scratch_.Path() + "\\", dest_ = scratch_ / "dest";
};

TEST_F(Payload, ExtractionWritesTheCarriedBytesAndExpansionReplacesOnlyATargetNotInUse)
{
    for (const std::string& folder : { scratch_.Path(), source_, scratch_.Path() + "/" }) {
        DeleteFileA((scratch_ / "Install.ini").c_str());
        EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, folder.c_str(), "Install.ini"), 1) << folder;
        EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "Install.ini").substr(0, 29), "[RenameThisSectionTo:INSTALL]") << folder;
    }
    EXPECT_EQ(ExtractResource(g_hInstance, VXINI_DLL, source_.c_str(), "absent.tmp") + vxtest::FileExists(scratch_ / "absent.tmp"), 0) << "not carried";
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, "Q:\\no\\such\\folder", "Install.ini"), 0);
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, std::string(600, 'a').c_str(), "Install.ini"), 0);

    std::string packed = Packed("packed.tmp"), target = scratch_ / "running.exe", upper = packed, read;
    EXPECT_EQ(vxtest::ReadFileBytes(packed).substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "A\0", 10)) << "extracted still packed";
    EXPECT_EQ(Expand(packed, CharUpperA(&upper[0])), 1) << "the same file in another case";
    EXPECT_EQ(vxtest::ReadFileBytes(packed).substr(0, 4), "SZDD");
    vxtest::WriteFileBytes(target, "old program");
    for (DWORD share : { (DWORD)(FILE_SHARE_READ | FILE_SHARE_DELETE), (DWORD)FILE_SHARE_READ }) {
        HeldOpen running(target, share);
        EXPECT_EQ(Expand(packed, target), 0);
    }
    EXPECT_EQ(vxtest::ReadFileBytes(target), "old program");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "running.ex_")) << "no stray file with a '_' name";
    EXPECT_EQ(Expand(packed, target), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(target), Sample("VxNotes.txt"));
    // A file named with '_' in place of the last letter is read instead, and named back.
    std::string underscore = Packed("notes.tm_");
    vxtest::WriteFileBytes(scratch_ / "notes.tmp", "not packed at all");
    EXPECT_EQ(Expand(scratch_ / "notes.tmp", scratch_ / "notes.txt", &read), 1);
    EXPECT_EQ(read + vxtest::ReadFileBytes(scratch_ / "notes.txt"), underscore + Sample("VxNotes.txt"));
    // Plain files are copied; empty, missing and zero-length packed ones fail.
    for (const auto& c : { std::make_pair(std::string("plain text"), 1), std::make_pair(std::string(), 0),
             std::make_pair(std::string("SZDD\x88\xF0\x27\x33" "A\0\0\0\0\0", 14), 0), std::make_pair(std::string("missing"), 0) }) {
        DeleteFileA((scratch_ / "plain.tmp").c_str());
        if (c.first != "missing")
            vxtest::WriteFileBytes(scratch_ / "plain.tmp", c.first);
        EXPECT_EQ(Expand(scratch_ / "plain.tmp", scratch_ / "plain.out"), c.second) << c.first;
        EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "plain.out"), c.second ? c.first : "") << c.first;
        DeleteFileA((scratch_ / "plain.out").c_str());
    }
}

// Who may ask for a restart after a replacement: an interactive run, or a silent one with ALLOWRBT.
TEST_F(Payload, AProgramOrLibraryInUseIsRenamedAsideOnNtOrScheduledForTheNextStartOn95)
{
    const struct {
        BOOL winNT, silent, allowReboot, rebootNeeded;
    } cases[] = { { 1, 0, 0, 1 }, { 1, 1, 0, 0 }, { 1, 1, 1, 1 }, { 0, 0, 0, 1 }, { 0, 1, 0, 0 }, { 0, 1, 1, 1 } };
    HWND status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 60, NULL, NULL, NULL, NULL);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.winNT << c.silent << c.allowReboot);
        vxtest::ClearProductRecords();
        g_bWinNT = c.winNT, g_bSilent = c.silent, g_bAllowReboot = c.allowReboot, g_bRebootNeeded = FALSE;
        vxtest::WriteFileBytes(Dest("vxshell.dll"), "the library in use");
        vxtest::WriteFileBytes(Dest("vxshell.bak"), "an earlier .bak is replaced");
        {
            HeldOpen inUse(Dest("vxshell.dll"));
            EXPECT_EQ(Place("vxshell.dll", VXSHELL_DLL, 1, status), 0);
        }
        char text[512], shortNew[MAX_PATH], shortTarget[MAX_PATH];
        GetWindowTextA(status, text, sizeof(text));
        EXPECT_EQ(text, c.silent ? "" : "Copying " + source_ + "vxshell.dll to " + dest_ + "\\vxshell.dll");
        SetWindowTextA(status, "");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.dll")), c.winNT ? Sample("vxshell.dll") : "the library in use");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest(c.winNT ? "vxshell.bak" : "vxshell.new")), c.winNT ? "the library in use" : Sample("vxshell.dll"));
        GetShortPathNameA(Dest("vxshell.new").c_str(), shortNew, sizeof(shortNew));
        GetShortPathNameA(Dest("vxshell.dll").c_str(), shortTarget, sizeof(shortTarget));
        EXPECT_EQ(vxtest::ProductRecords(), c.winNT ? std::vector<std::string>{}
            : std::vector<std::string>{ "HKLM\\" + RUN_KEY + "RunServicesOnce: Harrowby0=command.com /c copy " + shortNew + " " + shortTarget });
        EXPECT_EQ(g_bRebootNeeded, c.rebootNeeded);
        EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSTEST.tmp")) << "the scratch file is deleted";
        DeleteFileA(Dest("vxshell.new").c_str());
    }
    DestroyWindow(status);
}

TEST_F(Payload, AFailureOfARequiredFileIsReportedWithRetryAndCancelAndOthersAreSilent)
{
    vxtest::WriteFileBytes(Dest("vxcore32.hlp"), "open in the help viewer");
    HeldOpen viewer(Dest("vxcore32.hlp"), FILE_SHARE_READ);
    const std::string failure = "Copy of vxcore32.hlp to " + dest_ + " failed. (32)";
    HWND status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 60, NULL, NULL, NULL, NULL);
    {
        // Retry repeats the whole attempt, but not the copying text: cleared, it stays clear. (The
        // second report's error number is read after the messages the first box left were pumped,
        // which may have changed it.)
        vxtest::DialogScript script;
        for (int answer : { IDRETRY, IDCANCEL }) {
            script.Dialog({ 0xFFFF }, [&, answer](vxtest::DialogView& box) {
                std::string text = box.MessageText();
                EXPECT_EQ(text.substr(0, text.rfind('(')), failure.substr(0, failure.rfind('(')));
                EXPECT_TRUE(answer != IDRETRY || text == failure) << text;
                SetWindowTextA(status, "");
                box.Click(answer);
            }, "Install");
        }
        EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP, 1, status), 1);
    }
    EXPECT_EQ(GetWindowTextLengthA(status), 0);
    DestroyWindow(status);
    // Silent: both texts go to the log and the answer is Cancel; a file not required fails quietly;
    // a library that cannot be written because its folder is missing is not "in use".
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = g_bLogging = TRUE;
    g_bWinNT = FALSE;
    vxtest::DialogScript script;
    script.NoWindow();
    EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP), 1);
    EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP, 0) + Place("vxini.dll", VXINI_DLL, 0), 0);
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", (scratch_ / "missing").c_str(), NULL, NULL, VXSHELL_DLL, 0), 0);
    EXPECT_EQ(PlaceFile(source_.c_str(), "vxshell.dll", (dest_ + "\\" + std::string(600, 'd')).c_str(), NULL, NULL, VXSHELL_DLL, 0), 0);
    EXPECT_EQ(PlaceFile(std::string(600, 's').c_str(), "vxshell.dll", dest_.c_str(), NULL, NULL, VXSHELL_DLL, 0), 0);
    std::vector<std::string> log = vxtest::SplitLines(vxtest::ReadFileBytes("setup.log"));
    log.resize(4);
    std::string copying = "Copying " + source_ + "vxcore32.hlp to " + dest_ + "\\vxcore32.hlp";
    EXPECT_EQ(log, (std::vector<std::string>{ copying, failure, copying, "Copying " + source_ + "vxini.dll to " + dest_ + "\\vxini.dll" }));
    EXPECT_EQ(vxtest::ListFolder(dest_), std::vector<std::string>{ "vxcore32.hlp" });
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
    EXPECT_FALSE(vxtest::FolderExists(scratch_ / "missing") || g_bRebootNeeded);
}

TEST_F(Payload, FolderPathsAreCreatedLevelByLevelWithOneReportPerFailingLevel)
{
    char path[512];
    std::vector<std::string> reported;
    {
        vxtest::DialogScript script;
        EXPECT_NE(CreateFolderPath(strcpy(path, (scratch_ / "one\\two\\three").c_str())), 0);
        EXPECT_EQ(path, scratch_ / "one\\two\\three") << "the path is restored";
        EXPECT_EQ(vxtest::FolderExists(path) + CreateFolderPath(path), 2) << "an existing folder is success";
        for (int level = 0; level < 3; ++level) {
            script.Dialog({ 0xFFFF }, [&](vxtest::DialogView& box) {
                reported.push_back(box.MessageText().substr(0, box.MessageText().find(" failed. (")));
                box.Click(IDOK);
            }, "Install");
        }
        EXPECT_EQ(CreateFolderPath(strcpy(path, "Q:\\vantix\\pro")), 0);
        EXPECT_STREQ(path, "Q:\\vantix\\pro");
    }
    EXPECT_EQ(reported, (std::vector<std::string>{ "Creation of Q:", "Creation of Q:\\vantix", "Creation of Q:\\vantix\\pro" }));
    vxtest::CurrentFolderScope inside(scratch_.Path());
    g_bSilent = g_bLogging = TRUE;
    EXPECT_EQ(CreateFolderPath(path), 0);
    std::vector<std::string> log = vxtest::SplitLines(vxtest::ReadFileBytes("setup.log"));
    ASSERT_EQ(log.size(), 3u) << "silent mode logs instead";
    EXPECT_EQ(log[0].find("Creation of Q: failed. ("), 0u) << log[0];
}

TEST_F(Payload, FileExistsInMeansReadableAndNextStartCommandsTakeTheFirstFreeName)
{
    vxtest::WriteFileBytes(Dest("VxNotes.txt"), "notes");
    EXPECT_EQ(FileExistsIn(dest_.c_str(), "vxnotes.TXT") + FileExistsIn(dest_.c_str(), "missing.txt"), 1);
    {
        HeldOpen exclusive(Dest("VxNotes.txt"), 0);
        EXPECT_EQ(FileExistsIn(dest_.c_str(), "VxNotes.txt"), 0) << "held without read sharing counts as absent";
    }
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby0", "taken");
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby1", "taken");
    EXPECT_EQ(ScheduleAtStartup("cmd.exe /c del C:\\x"), 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby2"), "cmd.exe /c del C:\\x");
    g_bWinNT = FALSE;  // Windows 95/98 keep theirs under RunServicesOnce, created when missing
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, RUN_KEY + "RunServicesOnce");
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy A B"), 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunServicesOnce", "Harrowby0"), "command.com /c copy A B");
    for (int i = 1; i <= 999; ++i)
        vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunServicesOnce", "Harrowby" + std::to_string(i), "taken");
    EXPECT_EQ(ScheduleAtStartup("command.com /c copy C D"), 0) << "all thousand names are taken";
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunServicesOnce", "Harrowby1000"), "<absent>");
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
    vxtest::WriteFileBytes(Dest("vantix32.exe"), "the program that was running");
    g_bWinNT = FALSE;
    {
        HeldOpen running(Dest("vantix32.exe"));
        ASSERT_EQ(Place("vantix32.exe", VANTIX32_EXE), 0);
    }
    // The restart runs each stored command once and removes it; RunServicesOnce's are not waited for.
    EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(system, "wineboot.exe"), "-r"), 0u);
    for (int waited = 0; waited < 200 && vxtest::ReadFileBytes(Dest("vantix32.exe")) != Sample("vantix32.exe"); ++waited)
        Sleep(50);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("vantix32.exe")), Sample("vantix32.exe")) << "the new program is in place after the restart";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
    DeleteFileA(vxtest::JoinPath(system, "command.com").c_str());
}

}  // namespace
