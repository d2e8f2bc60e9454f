// Replacement at the next start of Windows 95/98, carried through a simulated restart.
#include "payload/placement.h"

#include <gtest/gtest.h>

#include <string>

#include "harness/installer_state.h"
#include "payload_fixture.h"

using payloadtest::HeldOpen;
using payloadtest::SampleProductFile;
using vxtest::ScratchFolder;

namespace {

const char RUN_SERVICES_ONCE[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";

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
