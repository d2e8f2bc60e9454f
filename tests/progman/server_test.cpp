// The Program Manager client against real DDE servers: a recording stand-in that shows exactly what
// arrives, and Wine's own shell, which makes the group folder and the links.
#include "progman/progman.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char EXPLORER_COMMAND[] = "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";

// A client finds servers through the session's windows, and a session has a desktop only once a
// window was made in it: each test makes one before it talks to a server.
class SessionWindow {
public:
    SessionWindow() : window_(CreateWindowExA(0, "STATIC", "progman test", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL)) {}
    ~SessionWindow() { DestroyWindow(window_); }
    bool Made() const { return window_ != NULL; }

private:
    HWND window_;
};

bool WaitUntil(bool (*condition)(const std::string&), const std::string& argument, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition(argument)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// progman_recorder, started for each test and ended after it, so that it is the server that
// answers (the last one registered answers first) and is gone before anything else runs.
class RecordingServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window_.Made());
        std::string eventName = "vxtest-progman-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        endEvent_ = CreateEventA(NULL, TRUE, FALSE, eventName.c_str());
        recorder_ = vxtest::StartProgram(vxtest::JoinPath(vxtest::ModuleFolder(), "progman_recorder.exe"),
            "\"" + log_ + "\" " + eventName);
        ASSERT_TRUE(WaitUntil(vxtest::FileExists, log_, 10000)) << "the recorder did not get ready";
    }
    void TearDown() override
    {
        ProgmanClose();
        SetEvent(endEvent_);
        EXPECT_EQ(recorder_.Wait(10000), 0u);
        CloseHandle(endEvent_);
    }
    std::vector<std::string> Received() const { return vxtest::SplitLines(vxtest::ReadFileBytes(log_), "\n"); }

    SessionWindow window_;
    ScratchFolder scratch_{ "progman" };
    std::string log_ = scratch_ / "received.txt";
    HANDLE endEvent_ = NULL;
    vxtest::Program recorder_;
};

TEST_F(RecordingServer, InstallAndRemovalCommandsArriveWholeAndInOrder)
{
    ASSERT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    ProgmanAddItem("VANTIX Pro Explorer", "C:\\VX", "", EXPLORER_COMMAND);
    ProgmanAddItem("VANTIX Pro Help", "C:\\VX", "vxcore32.hlp", "");
    ProgmanClose();
    ASSERT_EQ(ProgmanOpen(), 1);
    ProgmanDeleteItem("VANTIX Pro Explorer", "C:\\VX", "", EXPLORER_COMMAND);
    ProgmanDeleteItem("VANTIX Pro Help", "C:\\VX", "vxcore32.hlp", "");
    ProgmanCloseDeletingGroup("VANTIX Pro");

    EXPECT_EQ(Received(), (std::vector<std::string>{
        "[CreateGroup(VANTIX Pro)]",
        "[DeleteItem(\"VANTIX Pro Explorer\")]",
        "[AddItem(\"VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}\",\"VANTIX Pro Explorer\",,,,,C:\\VX)]",
        "[DeleteItem(\"VANTIX Pro Help\")]",
        "[AddItem(\"C:\\VX\\vxcore32.hlp\",\"VANTIX Pro Help\",,,,,C:\\VX)]",
        "[DeleteItem(\"VANTIX Pro Explorer\")]",
        "[DeleteItem(\"VANTIX Pro Help\")]",
        "[DeleteGroup(VANTIX Pro)]",
    }));
}

TEST_F(RecordingServer, OnlyACommandAcceptedWithinTheSecondCounts)
{
    ASSERT_EQ(ProgmanOpen(), 1);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(Accepted)]"), 1);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Refuse(x)]"), 0);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(500)]"), 1);
    // Given up after its second; the disconnect that follows then waits for the server to come
    // back (two seconds in all), but not for ever.
    DWORD start = GetTickCount();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(2000)]"), 0);
    EXPECT_LT(GetTickCount() - start, 4000u);
    ProgmanClose();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(AfterClose)]"), 0);

    EXPECT_EQ(Received(), (std::vector<std::string>{ "[CreateGroup(Accepted)]", "[Refuse(x)]", "[Delay(500)]", "[Delay(2000)]" }));
}

// --- Wine's shell as Program Manager ------------------------------------------------------------

std::string ProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool FolderGone(const std::string& path)
{
    return !vxtest::FolderExists(path);
}

// The shell opens a window of its own on every group it creates, in another process, a few
// seconds later. It is closed so that it neither holds the folder nor outlives the test.
bool CloseFolderWindow(const char* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    HWND window;
    while ((window = FindWindowA("ExplorerWClass", caption)) == NULL) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
}

TEST(WineShellAsProgramManager, MakesTheGroupFolderAndTheLinkAndRemovesThemAgain)
{
    SessionWindow window;
    ASSERT_TRUE(window.Made());
    ScratchFolder product("progman");
    vxtest::WriteFileBytes(product / "vxcore32.hlp", "help");
    std::string group = vxtest::JoinPath(ProgramsFolder(), "VANTIX Pro");
    std::string link = vxtest::JoinPath(group, "VANTIX Pro Help.lnk");
    vxtest::RemoveTree(group);

    ASSERT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    EXPECT_TRUE(vxtest::FolderExists(group)) << group;
    EXPECT_TRUE(CloseFolderWindow("VANTIX Pro", 20000)) << "no folder window opened";
    ProgmanAddItem("VANTIX Pro Help", product.Path().c_str(), "vxcore32.hlp", "");
    EXPECT_TRUE(vxtest::FileExists(link)) << link;
    ProgmanClose();
    EXPECT_TRUE(vxtest::FileExists(link));

    ASSERT_EQ(ProgmanOpen(), 1);
    ProgmanDeleteItem("VANTIX Pro Help", product.Path().c_str(), "vxcore32.hlp", "");
    EXPECT_FALSE(vxtest::FileExists(link));
    ProgmanCloseDeletingGroup("VANTIX Pro");
    EXPECT_TRUE(WaitUntil(FolderGone, group, 5000)) << group;
}

}  // namespace
