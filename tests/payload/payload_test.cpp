// Carried files out and into place: extraction, expansion, files in use, reports, next-start commands.
#include "payload/extract.h"
#include "payload/placement.h"

#include <gtest/gtest.h>

#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"

namespace {

const std::string RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const int VXCORE32_HLP = 3, VXSHELL_DLL = 4, VXNOTES_TXT = 26;  // resource numbers

std::string Sample(const std::string& name) { return vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name)); }

// Held open as the loader holds a running program: others may read, rename and delete it.
auto HeldOpen(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE)
{
    return std::unique_ptr<void, decltype(&CloseHandle)>(CreateFileA(path.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL), &CloseHandle);
}

class Payload : public ::testing::Test {
protected:
    void SetUp() override { TearDown(), CreateDirectoryA(dest_.c_str(), NULL); }
    void TearDown() override { vxtest::ClearProductRecords(), vxtest::ResetInstallerState("VXSTEST.tmp"); }
    int Place(const char* name, int row, int report = 1) { return PlaceFile(source_.c_str(), name, dest_.c_str(), NULL, NULL, row, report); }
    int Expand(std::string packed, const std::string& target) { return ExpandFile(&packed[0], target.c_str()); }
    std::string Dest(const std::string& name) const { return vxtest::JoinPath(dest_, name); }
    vxtest::ScratchFolder scratch_;
    std::string source_ = scratch_.Path() + "\\", dest_ = scratch_ / "dest";
};

TEST_F(Payload, ExtractionWritesTheCarriedBytesAndExpansionReplacesOnlyATargetNotInUse)
{
    std::string packed = scratch_ / "packed.tmp", target = scratch_ / "running.exe", upper = packed;
    ASSERT_EQ(ExtractResource(g_hInstance, VXNOTES_TXT, source_.c_str(), "packed.tmp"), 1);
    EXPECT_EQ(Expand(packed, CharUpperA(&upper[0])), 1) << "the same file in another case";
    EXPECT_EQ(vxtest::ReadFileBytes(packed).substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "A\0", 10)) << "still packed";
    vxtest::WriteFileBytes(target, "old program");
    { auto running = HeldOpen(target); EXPECT_EQ(Expand(packed, target), 0); }
    EXPECT_EQ(vxtest::ReadFileBytes(target), "old program");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "running.ex_")) << "no stray file with a '_' name";
    EXPECT_EQ(Expand(packed, target), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(target), Sample("VxNotes.txt"));
    // A name ending in '_' is read in its stead; plain files are copied; empty ones fail, packed or not.
    MoveFileA(packed.c_str(), (scratch_ / "notes.tm_").c_str());
    vxtest::WriteFileBytes(scratch_ / "notes.tmp", "not packed at all");
    EXPECT_EQ(Expand(scratch_ / "notes.tmp", scratch_ / "notes.txt"), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "notes.txt"), Sample("VxNotes.txt"));
    const std::pair<std::string, int> cases[] = { { "plain text", 1 }, { "", 0 }, { std::string("SZDD\x88\xF0\x27\x33" "A\0\0\0\0\0", 14), 0 } };
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(scratch_ / "plain.tmp", c.first);
        EXPECT_EQ(Expand(scratch_ / "plain.tmp", scratch_ / "plain.out"), c.second) << c.first;
        EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "plain.out"), c.second ? c.first : "") << c.first;
        DeleteFileA((scratch_ / "plain.out").c_str());
    }
}

TEST_F(Payload, AProgramOrLibraryInUseIsRenamedAsideOnNtOrReplacedByTheNextStartOn95)
{
    // Who may ask for a restart: an interactive run, or a silent one with ALLOWRBT.
    const struct { BOOL winNT, silent, allowReboot, rebootNeeded; } cases[] = {
        { 1, 0, 0, 1 }, { 1, 1, 0, 0 }, { 1, 1, 1, 1 }, { 0, 0, 0, 1 }, { 0, 1, 0, 0 }, { 0, 1, 1, 1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.winNT << c.silent << c.allowReboot);
        DeleteFileA(Dest("vxshell.new").c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (RUN_KEY + "RunServicesOnce").c_str());  // made when missing
        g_bWinNT = c.winNT, g_bSilent = c.silent, g_bAllowReboot = c.allowReboot, g_bRebootNeeded = FALSE;
        vxtest::WriteFileBytes(Dest("vxshell.dll"), "the library in use");
        vxtest::WriteFileBytes(Dest("vxshell.bak"), "an earlier .bak is replaced");
        { auto inUse = HeldOpen(Dest("vxshell.dll")); EXPECT_EQ(Place("vxshell.dll", VXSHELL_DLL), 0); }
        char shortNew[MAX_PATH], shortTarget[MAX_PATH];
        EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.dll")), c.winNT ? Sample("vxshell.dll") : "the library in use");
        EXPECT_EQ(vxtest::ReadFileBytes(Dest(c.winNT ? "vxshell.bak" : "vxshell.new")), c.winNT ? "the library in use" : Sample("vxshell.dll"));
        GetShortPathNameA(Dest("vxshell.new").c_str(), shortNew, sizeof(shortNew));
        GetShortPathNameA(Dest("vxshell.dll").c_str(), shortTarget, sizeof(shortTarget));
        EXPECT_EQ(vxtest::ProductRecords(), c.winNT ? std::vector<std::string>{}
            : std::vector<std::string>{ "HKLM\\" + RUN_KEY + "RunServicesOnce: Harrowby0=command.com /c copy " + shortNew + " " + shortTarget });
        EXPECT_EQ(g_bRebootNeeded, c.rebootNeeded);
        EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSTEST.tmp")) << "the scratch file is deleted";
    }
    // The restart runs the last stored command once and removes it; command.com is the tests' stand-in.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    ASSERT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::ModuleFolder(), "command.com").c_str(), vxtest::JoinPath(system, "command.com").c_str(), FALSE));
    EXPECT_EQ(vxtest::RunProgram(vxtest::JoinPath(system, "wineboot.exe"), "-r"), 0u);
    for (int waited = 0; waited < 200 && vxtest::ReadFileBytes(Dest("vxshell.dll")) != Sample("vxshell.dll"); ++waited)
        Sleep(50);
    EXPECT_EQ(vxtest::ReadFileBytes(Dest("vxshell.dll")), Sample("vxshell.dll")) << "the new library is in place after the restart";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
    DeleteFileA(vxtest::JoinPath(system, "command.com").c_str());
}

// Retry repeats the attempt (the second report's error number may differ); Cancel gives up.
TEST_F(Payload, AFailureOfARequiredFileIsReportedWithRetryAndCancel)
{
    vxtest::WriteFileBytes(Dest("vxcore32.hlp"), "open in the help viewer");
    auto viewer = HeldOpen(Dest("vxcore32.hlp"), FILE_SHARE_READ);
    const std::string failure = "Copy of vxcore32.hlp to " + dest_ + " failed. (";
    vxtest::DialogScript script;
    script.MessageBox(failure + "32)", IDRETRY, "Install").Dialog({ 0xFFFF }, [&](vxtest::DialogView& box) {
        EXPECT_EQ(box.MessageText().substr(0, failure.size()), failure);
        box.Click(IDCANCEL);
    }, "Install");
    EXPECT_EQ(Place("vxcore32.hlp", VXCORE32_HLP), 1);
}

TEST_F(Payload, NextStartCommandsTakeTheFirstFreeNameAndQuoteAPathWithABlank)
{
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby0", "taken");
    vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby1", "taken");
    EXPECT_EQ(ScheduleAtStartup("cmd.exe /c del C:\\x"), 1);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, RUN_KEY + "RunOnce", "Harrowby2"), "cmd.exe /c del C:\\x");
    char command[1100];
    BuildNextStartCopyCommand(command, sizeof(command), "C:\\nofolder\\a.new", "C:\\No Such Folder\\a.exe");
    EXPECT_STREQ(command, "command.com /c copy C:\\nofolder\\a.new \"C:\\No Such Folder\\a.exe\"") << "no short form: as it is";
}

}  // namespace
