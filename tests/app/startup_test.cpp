// Start-up: the interface defaults under every Windows version, the temporary folder, the host
// window's placement, and the exit codes of a start that fails.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/host_window.h"
#include "common/globals.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;
using vxtest::WindowsVersion;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

// The rules' corners that no Windows version Wine reports reaches; the versions themselves are run
// below.
TEST(InterfaceDefaults, FirstMatchingRuleDecides)
{
    const struct {
        const char* os;
        int major, minor;
        BOOL explore;
        BOOL winNT;
        int nV, nM;
    } cases[] = {
        { "Windows_NT", 3, 10, FALSE, TRUE, 4, 15 },  // NT wins over the version
        { "windows_nt", 3, 10, TRUE, FALSE, 1, 3 },   // "NT" only in capitals
        { "NTFS", 4, 0, TRUE, TRUE, 12, 15 },
        { nullptr, 4, 10, FALSE, FALSE, 4, 15 },      // Windows 98, Explorer not pre-selected
        { nullptr, 3, 95, TRUE, FALSE, 12, 15 },      // 3.95 counts as 32-bit
        { "", 3, 49, TRUE, FALSE, 1, 3 },
    };
    for (const auto& c : cases) {
        InterfaceDefaults got = ChooseInterfaceDefaults(c.os, c.major, c.minor, c.explore);
        std::string label = std::string(c.os ? c.os : "(no OS)") + " " + std::to_string(c.major) + "." + std::to_string(c.minor);
        EXPECT_EQ(got.winNT, c.winNT) << label;
        EXPECT_EQ(got.nV, c.nV) << label;
        EXPECT_EQ(got.nM, c.nM) << label;
    }
}

// The whole derivation in a real process under each version Wine can report, with and without
// the OS variable (Windows 95/98 have none).
TEST(InterfaceDefaults, UnderEveryEmulatedWindowsVersion)
{
    ScratchFolder scratch;
    std::string probe = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::ModuleFolder(), "startup_probe.exe"), scratch.Path(), "vxprobe.exe");
    const struct {
        WindowsVersion version;
        bool withOs;
        const char* expected;
    } cases[] = {
        { WindowsVersion::Win95, false, "winNT=0 major=4 minor=0 nV=12 nM=15" },
        { WindowsVersion::Win95, true, "winNT=1 major=4 minor=0 nV=12 nM=15" },
        { WindowsVersion::Win98, false, "winNT=0 major=4 minor=10 nV=12 nM=15" },
        { WindowsVersion::NT40, true, "winNT=1 major=4 minor=0 nV=12 nM=15" },
        { WindowsVersion::NT40, false, "winNT=0 major=4 minor=0 nV=12 nM=15" },
        { WindowsVersion::NT351, true, "winNT=1 major=3 minor=51 nV=12 nM=15" },
        { WindowsVersion::NT351, false, "winNT=0 major=3 minor=51 nV=12 nM=15" },
        { WindowsVersion::Win32s, false, "winNT=0 major=3 minor=10 nV=1 nM=3" },
        { WindowsVersion::Win32s, true, "winNT=1 major=3 minor=10 nV=12 nM=15" },
        { WindowsVersion::Default, true, "winNT=1 major=6 minor=1 nV=12 nM=15" },
    };
    for (const auto& c : cases) {
        vxtest::RunOptions options;
        options.version = c.version;
        options.withOsVariable = c.withOs;
        options.workingFolder = scratch.Path();
        std::string output = scratch / "probe.txt";
        DeleteFileA(output.c_str());
        EXPECT_EQ(vxtest::RunProgram(probe, "\"" + output + "\"", options), 0u);
        EXPECT_EQ(vxtest::ReadFileBytes(output), c.expected)
            << vxtest::WineVersionName(c.version) << (c.withOs ? " with OS" : " without OS");
    }
    vxtest::SetEmulatedVersion("vxprobe.exe", WindowsVersion::Default);
}

TEST(TempFolder, OneTrailingSeparatorOfEitherKindIsRemoved)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        { "C:\\TEMP\\", "C:\\TEMP" }, { "C:\\TEMP/", "C:\\TEMP" }, { "C:\\TEMP", "C:\\TEMP" },
        { "C:\\TEMP\\\\", "C:\\TEMP\\" }, { "", "" },
    };
    for (const auto& c : cases) {
        char path[64];
        strcpy(path, c.in);
        TrimTrailingSeparator(path);
        EXPECT_STREQ(path, c.out) << c.in;
    }
}

TEST(TempFolder, ATemporaryPathLongerThanItsBufferIsRefused)
{
    vxtest::EnvironmentScope tmp("TMP", "C:\\" + std::string(300, 'a'));
    vxtest::EnvironmentScope temp("TEMP", "C:\\" + std::string(300, 'b'));
    char folder[CCH_TEMP_FOLDER];
    std::string before = vxtest::CurrentFolder();
    EXPECT_FALSE(EnterTempFolder(folder));
    EXPECT_STREQ(folder, "");
    EXPECT_EQ(vxtest::CurrentFolder(), before);
}

TEST(HostWindowPlacement, FourFifthsOfTheDesktopCentredAndNeverBelow600x400)
{
    const struct {
        RECT desktop;
        HostWindowPlacement expected;
    } cases[] = {
        { { 0, 0, 1024, 768 }, { 104, 78, 816, 612 } },
        { { 0, 0, 640, 480 }, { 20, 40, 600, 400 } },
        { { 0, 0, 749, 499 }, { 74, 49, 600, 400 } },
        { { 0, 0, 512, 342 }, { -44, -29, 600, 400 } },  // truncation toward zero
    };
    for (const auto& c : cases) {
        HostWindowPlacement got = PlaceHostWindow(c.desktop);
        EXPECT_EQ(std::vector<int>({ got.x, got.y, got.width, got.height }),
            std::vector<int>({ c.expected.x, c.expected.y, c.expected.width, c.expected.height }))
            << c.desktop.right << "x" << c.desktop.bottom;
    }
}

// WinMain run inside the test program (its resources are linked in): the settings come from a
// scratch folder because the temporary folder named by TMP does not exist, so nothing can be
// written there and the current folder stays the scratch folder. Their destination lies in that
// folder, under a plain file, so the wizard ends before anything is installed.
class StartInProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        missingTemp_ = scratch_ / "no-such-temp";
        UnregisterClassA(HOST_WINDOW_CLASS, GetModuleHandleA(NULL));
    }
    void TearDown() override
    {
        UnregisterClassA(HOST_WINDOW_CLASS, GetModuleHandleA(NULL));
        g_bSilent = FALSE;
        g_bLogging = FALSE;
    }
    int Run(const std::string& settings)
    {
        vxtest::WriteFileBytes(scratch_ / "blocker", "a file");
        vxtest::WriteFileBytes(scratch_ / "install.ini", settings + "[VANTIX]\r\nDIR32=" + (scratch_ / "blocker\\VANTIX") + "\r\n");
        WriteProfileStringA("VANTIX", NULL, NULL);
        vxtest::CurrentFolderScope inside(scratch_.Path());
        vxtest::EnvironmentScope tmp("TMP", missingTemp_);
        vxtest::EnvironmentScope temp("TEMP", missingTemp_);
        return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    }

    ScratchFolder scratch_;
    std::string missingTemp_;
};

HHOOK s_refuseHook = NULL;
LRESULT CALLBACK RefuseHostWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        CBT_CREATEWNDA* create = (CBT_CREATEWNDA*)lParam;
        if (HIWORD((ULONG_PTR)create->lpcs->lpszClass) != 0 && strcmp(create->lpcs->lpszClass, HOST_WINDOW_CLASS) == 0)
            return 1;  // refuse the creation
    }
    return CallNextHookEx(s_refuseHook, code, wParam, lParam);
}

TEST_F(StartInProcess, InteractiveRunShowsTheHostWindowAndEndsWithZero)
{
    vxtest::DialogAnswerer watcher;
    EXPECT_EQ(Run("[INSTALL]\r\n"), 0);
    ASSERT_FALSE(watcher.ActivatedClasses().empty());
    EXPECT_EQ(watcher.ActivatedClasses()[0], HOST_WINDOW_CLASS);
    // The first question, answered with Exit (IDCANCEL), ends the wizard.
    ASSERT_EQ(watcher.Dialogs().size(), 1u);
    EXPECT_EQ(watcher.Dialogs()[0].caption, "VANTIX Pro Installation");
}

TEST_F(StartInProcess, SilentRunCreatesTheHostWindowButShowsNothing)
{
    vxtest::DialogAnswerer watcher;
    EXPECT_EQ(Run("[INSTALL]\r\nQUIET=TRUE\r\n"), 0);
    EXPECT_TRUE(g_bSilent);
    const std::vector<std::string>& created = watcher.CreatedClasses();
    EXPECT_NE(std::find(created.begin(), created.end(), HOST_WINDOW_CLASS), created.end());
    EXPECT_TRUE(watcher.ActivatedClasses().empty());
    EXPECT_TRUE(watcher.Dialogs().empty());
}

TEST_F(StartInProcess, ClassRegistrationFailureEndsWithMinusOne)
{
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(NULL);
    taken.lpszClassName = HOST_WINDOW_CLASS;
    ASSERT_NE(RegisterClassA(&taken), 0);
    {
        vxtest::DialogAnswerer watcher;
        EXPECT_EQ(Run("[INSTALL]\r\nQUIET=TRUE\r\n"), -1);
        EXPECT_TRUE(watcher.Dialogs().empty()) << "silent mode shows no message box";
    }
    vxtest::DialogAnswerer watcher;
    EXPECT_EQ(Run("[INSTALL]\r\nQUIET=FALSE\r\n"), -1);
    ASSERT_EQ(watcher.Dialogs().size(), 1u);
    EXPECT_EQ(watcher.Dialogs()[0].text, "Window registration failed.\nExit and restart Windows.");
}

TEST_F(StartInProcess, WindowCreationFailureEndsWithTwo)
{
    s_refuseHook = SetWindowsHookExA(WH_CBT, RefuseHostWindow, NULL, GetCurrentThreadId());
    ASSERT_NE(s_refuseHook, (HHOOK)NULL);
    int silentCode;
    {
        vxtest::DialogAnswerer watcher;
        silentCode = Run("[INSTALL]\r\nQUIET=1\r\n");
        EXPECT_TRUE(watcher.Dialogs().empty());
    }
    UnregisterClassA(HOST_WINDOW_CLASS, GetModuleHandleA(NULL));
    vxtest::DialogAnswerer watcher;
    int interactiveCode = Run("[INSTALL]\r\n");
    UnhookWindowsHookEx(s_refuseHook);
    EXPECT_EQ(silentCode, 2);
    EXPECT_EQ(interactiveCode, 2);
    ASSERT_EQ(watcher.Dialogs().size(), 1u);
    EXPECT_EQ(watcher.Dialogs()[0].text, "Window creation failed.\nExit and restart Windows.");
}

}  // namespace
