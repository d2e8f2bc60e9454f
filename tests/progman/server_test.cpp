// The Program Manager client against a real DDE server, the recording stand-in progman_recorder:
// what arrives, whole and in order, and which answers count. (Wine's own shell as the server is
// met by the silent installs of the wizard tests.)
#include "progman/progman.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char EXPLORER_COMMAND[] = "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";

// progman_recorder, started for each test and ended after it, so that it is the server that
// answers (the last one registered answers first) and is gone before anything else runs. A client
// finds servers through the session's windows, and a session has a desktop only once a window was
// made in it: each test makes one before it talks to a server.
class RecordingServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExA(0, "STATIC", "progman test", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
        ASSERT_NE(window_, (HWND)NULL);
        std::string eventName = "vxtest-progman-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        endEvent_ = CreateEventA(NULL, TRUE, FALSE, eventName.c_str());
        recorder_ = vxtest::StartProgram(vxtest::JoinPath(vxtest::ModuleFolder(), "progman_recorder.exe"),
            "\"" + log_ + "\" " + eventName);
        for (int waited = 0; waited < 100 && !vxtest::FileExists(log_); ++waited)
            Sleep(100);
        ASSERT_TRUE(vxtest::FileExists(log_)) << "the recorder did not get ready";
    }
    void TearDown() override
    {
        ProgmanClose();
        SetEvent(endEvent_);
        EXPECT_EQ(recorder_.Wait(10000), 0u);
        CloseHandle(endEvent_);
        DestroyWindow(window_);
    }
    std::vector<std::string> Received() const { return vxtest::SplitLines(vxtest::ReadFileBytes(log_), "\n"); }

    HWND window_ = NULL;
    ScratchFolder scratch_{ "progman" };
    std::string log_ = scratch_ / "received.txt";
    HANDLE endEvent_ = NULL;
    vxtest::Program recorder_;
};

// The install's commands at this server are checked by the silent installs of the wizard tests.
TEST_F(RecordingServer, RemovalCommandsArriveWholeAndInOrder)
{
    ASSERT_EQ(ProgmanOpen(), 1);
    ProgmanDeleteItem("VANTIX Pro Explorer", "C:\\VX", "", EXPLORER_COMMAND);
    ProgmanDeleteItem("", "C:\\VX", "vxcore32.hlp", "");
    ProgmanCloseDeletingGroup("VANTIX Pro");

    EXPECT_EQ(Received(), (std::vector<std::string>{
        "[DeleteItem(\"VANTIX Pro Explorer\")]", "[DeleteItem(\"vxcore32.hlp\")]", "[DeleteGroup(VANTIX Pro)]" }));
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

}  // namespace
