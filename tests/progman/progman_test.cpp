// The Program Manager client against the recording Program Manager.
#include "progman/progman.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/product_records.h"

namespace {

// The DDE library as the client uses it, watched: the instance each start and end names.
DDE_PLATFORM s_real;
std::vector<std::string> s_calls;
UINT WatchStart(DWORD* instance) { return s_calls.push_back("start " + std::to_string(*instance)), s_real.pfnStartInstance(instance); }
void WatchEnd(DWORD instance) { s_calls.push_back(instance == g_ddeInstance ? "end" : "end elsewhere"), s_real.pfnEndInstance(instance); }

class Progman : public ::testing::Test {
protected:
    void SetUp() override
    {
        s_real = g_ddePlatform;
        g_ddePlatform = { WatchStart, s_real.pfnSendCommand, WatchEnd };
        s_calls.clear();
        g_ddeInstance = 5;  // left from an earlier instance
    }
    void TearDown() override { ProgmanClose(), g_ddePlatform = s_real; }
    vxtest::RecordingProgman progman_;
};

TEST_F(Progman, AnItemIsDeletedByItsTitleThenAddedWithItsPathAndWorkingFolder)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope current(scratch.Path());
    const std::string here = scratch.Path();
    const struct {
        const char *title, *folder, *fileName, *command;
        std::string deleted, added;
    } cases[] = {
        { "", "C:\\VX", "vxcore32.hlp", "", "vxcore32.hlp", "\"C:\\VX\\vxcore32.hlp\",\"vxcore32.hlp\",,,,,C:\\VX" },  // the file names it
        { "Tool", "C:\\VX", "D:\\Other\\tool.exe", "", "Tool", "\"D:\\Other\\tool.exe\",\"Tool\",,,,,C:\\VX" },  // a full path
        { "Help", "C:\\", "vx.hlp", "", "Help", "\"C:\\\\vx.hlp\",\"Help\",,,,,C:\\" },  // a second backslash
        { "Run", "C:\\VX", "", "notepad.exe readme.txt", "Run", "\"notepad.exe readme.txt\",\"Run\",,,,,C:\\VX" },
        { "Help", nullptr, "vx.hlp", "", "Help", "\"" + here + "\\vx.hlp\",\"Help\",,,,," + here },  // the current folder
    };
    ASSERT_EQ(ProgmanOpen(), 1);
    for (const auto& c : cases) {
        progman_.Clear();
        EXPECT_EQ(ProgmanAddItem(c.title, c.folder, c.fileName, c.command), 1);
        EXPECT_EQ(progman_.Commands(), (std::vector<std::string>{ "[DeleteItem(\"" + c.deleted + "\")]", "[AddItem(" + c.added + ")]" }));
    }
    // What does not fit a command is not sent at all, never cut; a delete never goes without its add.
    progman_.Clear();
    ProgmanAddItem(std::string(499, 't').c_str(), "C:", "x", "y");
    ProgmanDeleteItem(std::string(500, 't').c_str(), "", "", "");
    EXPECT_EQ(progman_.Commands(), std::vector<std::string>{});
}

TEST_F(Progman, OneInstanceStartedFromZeroCarriesTheCommandsAndOnlyTheDefaultGroupIsDeleted)
{
    EXPECT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    EXPECT_EQ(ProgmanDeleteItem("VANTIX Pro Explorer", "C:\\VX", "", "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), 1);
    EXPECT_EQ(ProgmanClose(), 1);
    EXPECT_EQ(s_calls, (std::vector<std::string>{ "start 0", "end" }));
    EXPECT_EQ(progman_.Commands(), (std::vector<std::string>{ "[CreateGroup(VANTIX Pro)]", "[DeleteItem(\"VANTIX Pro Explorer\")]" }));
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(X)]") + ProgmanCloseDeletingGroup("VANTIX Pro"), 1) << "not ready: nothing sent";
    EXPECT_EQ(s_calls.size(), 2u);
    for (const char* group : { "VANTIX Pro", "vantix PRO", "VANTIX Pro Tools", (const char*)nullptr }) {
        progman_.Clear();
        ASSERT_EQ(ProgmanOpen(), 1);
        EXPECT_EQ(ProgmanCloseDeletingGroup(group), 1);
        bool deleted = group != nullptr && _stricmp(group, "VANTIX Pro") == 0;
        EXPECT_EQ(progman_.Commands(), deleted ? std::vector<std::string>{ std::string("[DeleteGroup(") + group + ")]" } : std::vector<std::string>{});
        EXPECT_EQ(s_calls.back(), "end");
    }
}

TEST_F(Progman, OnlyACommandAcceptedWithinItsSecondCounts)
{
    ASSERT_EQ(ProgmanOpen(), 1);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Refuse(x)]"), 0);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(500)]"), 1);
    // Given up after its second; the disconnect then waits for the server, but not for ever.
    DWORD start = GetTickCount();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(2000)]"), 0);
    EXPECT_LT(GetTickCount() - start, 4000u);
}

}  // namespace
