// The Program Manager client against the recording Program Manager: the commands as they arrive,
// whole and in order, which answers count, what is never sent, and the instance they go on. (Wine's
// own shell as the server is met by the silent installs; no server at all by no_progman_tests.)
#include "progman/progman.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"

namespace {

// The DDE library as the client uses it, watched: the instance each call names.
DDE_PLATFORM s_real;
std::vector<std::string> s_calls;
UINT WatchStart(DWORD* instance)
{
    s_calls.push_back("start " + std::to_string(*instance));
    return s_real.pfnStartInstance(instance);
}
int WatchSend(DWORD instance, const char* command)
{
    s_calls.push_back(instance == g_ddeInstance ? "send" : "send elsewhere");
    return s_real.pfnSendCommand(instance, command);
}
void WatchEnd(DWORD instance)
{
    s_calls.push_back(instance == g_ddeInstance ? "end" : "end elsewhere");
    s_real.pfnEndInstance(instance);
}

class Progman : public ::testing::Test {
protected:
    void SetUp() override
    {
        s_real = g_ddePlatform;
        g_ddePlatform = { WatchStart, WatchSend, WatchEnd };
        s_calls.clear();
        g_ddeInstance = 5;  // left from an earlier instance
    }
    void TearDown() override
    {
        ProgmanClose();
        g_ddePlatform = s_real;
    }
    std::vector<std::string> Sent() const { return progman_.Commands(); }
    vxtest::RecordingProgman progman_;
};

TEST_F(Progman, ItemPathTitleAndWorkingFolderFollowTheirRules)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope current(scratch.Path());
    const std::string here = scratch.Path();
    const struct {
        const char *title, *folder, *fileName, *command;
        std::string deleted, added;
    } cases[] = {
        { "VANTIX Pro Help", "C:\\VX", "vxcore32.hlp", "", "VANTIX Pro Help", "\"C:\\VX\\vxcore32.hlp\",\"VANTIX Pro Help\",,,,,C:\\VX" },
        { "", "C:\\VX", "vxcore32.hlp", "", "vxcore32.hlp", "\"C:\\VX\\vxcore32.hlp\",\"vxcore32.hlp\",,,,,C:\\VX" },  // the file names it
        { nullptr, "C:\\VX", "vxcore32.hlp", nullptr, "vxcore32.hlp", "\"C:\\VX\\vxcore32.hlp\",\"vxcore32.hlp\",,,,,C:\\VX" },
        { "Tool", "C:\\VX", "D:\\Other\\tool.exe", "", "Tool", "\"D:\\Other\\tool.exe\",\"Tool\",,,,,C:\\VX" },  // a full path
        { "Help", "C:\\", "vx.hlp", "", "Help", "\"C:\\\\vx.hlp\",\"Help\",,,,,C:\\" },  // a second backslash
        { "Help", "C:/VX\\sub", "vx.hlp", "", "Help", "\"C:/VX\\subvx.hlp\",\"Help\",,,,,C:/VX\\sub" },  // both slashes: none
        { "Run", "C:\\VX", "", "notepad.exe readme.txt", "Run", "\"notepad.exe readme.txt\",\"Run\",,,,,C:\\VX" },
        { "Help", "", "vx.hlp", "", "Help", "\"" + here + "\\vx.hlp\",\"Help\",,,,," + here },  // the current folder
        { "Help", nullptr, "vx.hlp", "", "Help", "\"" + here + "\\vx.hlp\",\"Help\",,,,," + here },
    };
    ASSERT_EQ(ProgmanOpen(), 1);
    for (const auto& c : cases) {
        progman_.Clear();
        EXPECT_EQ(ProgmanAddItem(c.title, c.folder, c.fileName, c.command), 1);
        EXPECT_EQ(Sent(), (std::vector<std::string>{ "[DeleteItem(\"" + c.deleted + "\")]", "[AddItem(" + c.added + ")]" }));
    }
}

TEST_F(Progman, OneInstanceStartedFromZeroCarriesEveryCommandAndEndsOnClose)
{
    EXPECT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    EXPECT_EQ(ProgmanAddItem("VANTIX Pro Help", "C:\\VX", "vxcore32.hlp", ""), 1);
    EXPECT_EQ(ProgmanDeleteItem("VANTIX Pro Explorer", "C:\\VX", "", "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), 1);
    EXPECT_EQ(ProgmanDeleteItem("", "C:\\VX", "vxcore32.hlp", ""), 1);
    EXPECT_EQ(ProgmanClose(), 1);
    EXPECT_EQ(s_calls, (std::vector<std::string>{ "start 0", "send", "send", "send", "send", "send", "end" }));
    EXPECT_EQ(Sent(), (std::vector<std::string>{ "[CreateGroup(VANTIX Pro)]", "[DeleteItem(\"VANTIX Pro Help\")]",
        "[AddItem(\"C:\\VX\\vxcore32.hlp\",\"VANTIX Pro Help\",,,,,C:\\VX)]", "[DeleteItem(\"VANTIX Pro Explorer\")]", "[DeleteItem(\"vxcore32.hlp\")]" }));
    // Not ready any more (nor before any start): nothing is sent or ended.
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(X)]"), 0);
    EXPECT_EQ(ProgmanAddItem("Help", "C:\\VX", "vx.hlp", ""), 1);
    EXPECT_EQ(ProgmanDeleteItem("Help", "", "", ""), 1);
    EXPECT_EQ(ProgmanCloseDeletingGroup("VANTIX Pro") + ProgmanClose(), 2);
    EXPECT_EQ(s_calls.size(), 7u);
    EXPECT_EQ(Sent().size(), 5u);
}

TEST_F(Progman, RemovalDeletesOnlyTheDefaultGroupInAnyCase)
{
    for (const char* group : { "VANTIX Pro", "vantix PRO", "VANTIX Pro Tools", "", (const char*)nullptr }) {
        progman_.Clear();
        s_calls.clear();
        ASSERT_EQ(ProgmanOpen(), 1);
        EXPECT_EQ(ProgmanCloseDeletingGroup(group), 1);
        bool deleted = group != nullptr && _stricmp(group, "VANTIX Pro") == 0;
        EXPECT_EQ(Sent(), deleted ? std::vector<std::string>{ std::string("[DeleteGroup(") + group + ")]" } : std::vector<std::string>{});
        EXPECT_EQ(s_calls.back(), "end");
        EXPECT_FALSE(g_bDdeReady);
    }
}

TEST_F(Progman, AnInstanceThatCannotStartFailsOpenAndCreateAndSendsNothing)
{
    g_ddePlatform.pfnStartInstance = [](DWORD* instance) -> UINT {
        s_calls.push_back("start " + std::to_string(*instance));
        return DMLERR_SYS_ERROR;
    };
    EXPECT_EQ(ProgmanOpen() + ProgmanCreateGroup("VANTIX Pro"), 0);
    EXPECT_FALSE(g_bDdeReady);
    EXPECT_EQ(ProgmanAddItem("Help", "C:\\VX", "vx.hlp", "") + ProgmanCloseDeletingGroup("VANTIX Pro"), 2);
    EXPECT_EQ(s_calls, (std::vector<std::string>{ "start 0", "start 0" }));
    EXPECT_EQ(Sent(), std::vector<std::string>{});
}

// "[DeleteItem(\"" and "\")]" take 16 characters, "[CreateGroup(" and ")]" 15, and a command may
// take 515 characters and its terminator. An item's delete never goes without its add.
TEST_F(Progman, WhatDoesNotFitIsNotSentAtAllNeverCut)
{
    const std::string longest(499, 't'), folder259 = "C:\\" + std::string(256, 'f');
    const struct {
        std::string title, folder, fileName, command;
        size_t sent;
    } cases[] = {
        { longest, "C:", "x", "y", 0 }, { std::string(200, 't'), "C:\\VX", "x", "", 2 }, { "T", folder259 + "g", "x", "", 0 },
        { "T", folder259, "x", "", 0 },  // the folder fits, folder\x does not ...
        { "T", folder259, "", "run.exe", 2 },  // ... but with a command that path is not needed
        { "T", "C:\\VX", "D:\\" + std::string(257, 'p'), "", 0 },
    };
    ASSERT_EQ(ProgmanOpen(), 1);
    for (const auto& c : cases) {
        progman_.Clear();
        EXPECT_EQ(ProgmanAddItem(c.title.c_str(), c.folder.c_str(), c.fileName.c_str(), c.command.c_str()), 1);
        EXPECT_EQ(Sent().size(), c.sent) << c.title.size() << " " << c.folder.size() << " " << c.fileName.size();
    }
    progman_.Clear();
    ProgmanDeleteItem(longest.c_str(), "", "", "");
    ProgmanDeleteItem((longest + "u").c_str(), "", "", "");
    EXPECT_EQ(Sent(), std::vector<std::string>{ "[DeleteItem(\"" + longest + "\")]" });
    EXPECT_EQ(ProgmanCreateGroup(std::string(501, 'g').c_str()), 1);
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(Progman, OnlyACommandAcceptedWithinItsSecondCounts)
{
    ASSERT_EQ(ProgmanOpen(), 1);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(Accepted)]"), 1);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Refuse(x)]"), 0);
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(500)]"), 1);
    // Given up after its second; the disconnect then waits for the server to come back (two
    // seconds in all), but not for ever.
    DWORD start = GetTickCount();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[Delay(2000)]"), 0);
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(Sent(), (std::vector<std::string>{ "[CreateGroup(Accepted)]", "[Refuse(x)]", "[Delay(500)]", "[Delay(2000)]" }));
}

TEST(ProgmanNameIsSafe, RefusesEmptyOverlongAndCommandBreakingNames)
{
    const std::pair<std::string, BOOL> cases[] = {
        { "VANTIX Pro", TRUE }, { "Harrowby Tools 2.0 - FTP & Web", TRUE }, { "", FALSE }, { "VANTIX [Pro]", FALSE }, { "A]", FALSE },
        { "A(", FALSE }, { "A)", FALSE }, { "Say \"hi\"", FALSE }, { "Harrowby, Inc", FALSE }, { std::string(500, 'g'), TRUE },
        { std::string(501, 'g'), FALSE },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgmanNameIsSafe(c.first.c_str()), c.second) << c.first;
    EXPECT_FALSE(ProgmanNameIsSafe(nullptr));
}

}  // namespace
