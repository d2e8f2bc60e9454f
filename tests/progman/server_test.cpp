// The Program Manager client against a real DDE server, the recording one of the harness:
// what arrives, whole and in order, and which answers count. (Wine's own shell as the server is
// met by the silent installs of the wizard tests.)
#include "progman/progman.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char EXPLORER_COMMAND[] = "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";

class RecordingServer : public ::testing::Test {
protected:
    void TearDown() override { ProgmanClose(); }
    std::vector<std::string> Received() const { return progman_.Commands(); }
    vxtest::RecordingProgman progman_;
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
