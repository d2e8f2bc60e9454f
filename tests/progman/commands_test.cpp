// The Program Manager client's commands as built, seen through recorders put in place of the DDE
// library: what is sent, in which order, and what is never sent.
#include "progman/progman.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/wine_env.h"

namespace {

const DWORD RECORDED_INSTANCE = 77;

UINT s_startResult = DMLERR_NO_ERROR;
std::vector<DWORD> s_instanceBeforeStart;
std::vector<std::string> s_sent;
std::vector<DWORD> s_sentOnInstance;
std::vector<DWORD> s_ended;

UINT RecordStart(DWORD* instance)
{
    s_instanceBeforeStart.push_back(*instance);
    *instance = RECORDED_INSTANCE;
    return s_startResult;
}

int RecordSend(DWORD instance, const char* command)
{
    s_sent.push_back(command);
    s_sentOnInstance.push_back(instance);
    return 1;
}

void RecordEnd(DWORD instance)
{
    s_ended.push_back(instance);
}

class RecordedCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        real_ = g_ddePlatform;
        g_ddePlatform = { RecordStart, RecordSend, RecordEnd };
        s_startResult = DMLERR_NO_ERROR;
        s_instanceBeforeStart.clear();
        s_sent.clear();
        s_sentOnInstance.clear();
        s_ended.clear();
        g_ddeInstance = 5;  // left from an earlier instance
        g_bDdeReady = FALSE;
    }
    void TearDown() override
    {
        g_bDdeReady = FALSE;
        g_ddePlatform = real_;
    }
    static std::vector<std::string> Sent() { return s_sent; }

private:
    DDE_PLATFORM real_;
};

// The texts of the plain install road are checked where the installer sends them (the install
// tests, with the recording server); here the instance they go on.
TEST_F(RecordedCommands, OneInstanceStartedFromZeroCarriesEveryCommandAndEndsOnClose)
{
    EXPECT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    EXPECT_EQ(ProgmanAddItem("VANTIX Pro Help", "C:\\VX", "vxcore32.hlp", ""), 1);
    EXPECT_EQ(ProgmanClose(), 1);

    EXPECT_EQ(Sent().size(), 3u);
    EXPECT_EQ(s_instanceBeforeStart, std::vector<DWORD>{ 0 }) << "a new instance, not the one left over";
    EXPECT_EQ(s_sentOnInstance, std::vector<DWORD>(3, RECORDED_INSTANCE));
    EXPECT_EQ(s_ended, std::vector<DWORD>{ RECORDED_INSTANCE });
    EXPECT_FALSE(g_bDdeReady);
}

TEST_F(RecordedCommands, ItemPathTitleAndWorkingFolderFollowTheirRules)
{
    const struct {
        const char* title;
        const char* folder;
        const char* fileName;
        const char* command;
        const char* deleted;
        const char* added;
    } cases[] = {
        // No title: the file name is the title.
        { "", "C:\\VX", "vxcore32.hlp", "", "[DeleteItem(\"vxcore32.hlp\")]",
            "[AddItem(\"C:\\VX\\vxcore32.hlp\",\"vxcore32.hlp\",,,,,C:\\VX)]" },
        { nullptr, "C:\\VX", "vxcore32.hlp", nullptr, "[DeleteItem(\"vxcore32.hlp\")]",
            "[AddItem(\"C:\\VX\\vxcore32.hlp\",\"vxcore32.hlp\",,,,,C:\\VX)]" },
        // A file name with a backslash is the full path; the working folder stays the folder.
        { "Tool", "C:\\VX", "D:\\Other\\tool.exe", "", "[DeleteItem(\"Tool\")]",
            "[AddItem(\"D:\\Other\\tool.exe\",\"Tool\",,,,,C:\\VX)]" },
        // A folder ending in a backslash gets a second one.
        { "Help", "C:\\", "vx.hlp", "", "[DeleteItem(\"Help\")]", "[AddItem(\"C:\\\\vx.hlp\",\"Help\",,,,,C:\\)]" },
        // A folder holding both kinds of slash gets no separator at all.
        { "Help", "C:/VX\\sub", "vx.hlp", "", "[DeleteItem(\"Help\")]",
            "[AddItem(\"C:/VX\\subvx.hlp\",\"Help\",,,,,C:/VX\\sub)]" },
        // A given command is sent as it is, whatever the path would have been.
        { "Run", "C:\\VX", "vantix32.exe", "notepad.exe readme.txt", "[DeleteItem(\"Run\")]",
            "[AddItem(\"notepad.exe readme.txt\",\"Run\",,,,,C:\\VX)]" },
    };
    ASSERT_EQ(ProgmanOpen(), 1);
    for (const auto& c : cases) {
        s_sent.clear();
        EXPECT_EQ(ProgmanAddItem(c.title, c.folder, c.fileName, c.command), 1);
        EXPECT_EQ(Sent(), (std::vector<std::string>{ c.deleted, c.added })) << c.added;
    }
}

TEST_F(RecordedCommands, NoFolderMeansTheCurrentFolderForPathAndWorkingFolder)
{
    vxtest::ScratchFolder scratch("progman");
    vxtest::CurrentFolderScope current(scratch.Path());
    std::string folder = vxtest::CurrentFolder();
    ASSERT_EQ(ProgmanOpen(), 1);
    ProgmanAddItem("Help", "", "vx.hlp", "");
    ProgmanAddItem("Help", nullptr, "vx.hlp", "");

    std::string added = "[AddItem(\"" + folder + "\\vx.hlp\",\"Help\",,,,," + folder + ")]";
    EXPECT_EQ(Sent(), (std::vector<std::string>{ "[DeleteItem(\"Help\")]", added, "[DeleteItem(\"Help\")]", added }));
}

// What arrives of a removal is checked with the recording server; here which group goes.
TEST_F(RecordedCommands, RemovalDeletesOnlyTheDefaultGroupInAnyCase)
{
    const struct {
        const char* group;
        bool deleted;
    } cases[] = {
        { "VANTIX Pro", true }, { "vantix PRO", true }, { "VANTIX Pro Tools", false }, { "", false }, { nullptr, false },
    };
    for (const auto& c : cases) {
        s_sent.clear();
        s_ended.clear();
        ASSERT_EQ(ProgmanOpen(), 1);
        EXPECT_EQ(ProgmanCloseDeletingGroup(c.group), 1);
        EXPECT_EQ(Sent(), c.deleted ? std::vector<std::string>{ std::string("[DeleteGroup(") + c.group + ")]" }
                                    : std::vector<std::string>{}) << (c.group ? c.group : "(none)");
        EXPECT_EQ(s_ended, std::vector<DWORD>{ RECORDED_INSTANCE });
        EXPECT_FALSE(g_bDdeReady);
    }
}

TEST_F(RecordedCommands, NothingIsSentOrEndedWhileNotReady)
{
    // Not ready before any start, and again after an instance was started and ended.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ProgmanExecute(RECORDED_INSTANCE, "[CreateGroup(X)]"), 0);
        EXPECT_EQ(ProgmanAddItem("Help", "C:\\VX", "vx.hlp", ""), 1);
        EXPECT_EQ(ProgmanDeleteItem("Help", "", "", ""), 1);
        EXPECT_EQ(ProgmanCloseDeletingGroup("VANTIX Pro"), 1);
        EXPECT_EQ(ProgmanClose(), 1);
        ASSERT_EQ(ProgmanOpen(), 1);
        ProgmanClose();
        s_ended.clear();
    }
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(s_ended.empty());
}

TEST_F(RecordedCommands, AnInstanceThatCannotStartFailsOpenAndCreateAndSendsNothing)
{
    s_startResult = DMLERR_SYS_ERROR;
    EXPECT_EQ(ProgmanOpen(), 0);
    EXPECT_EQ(ProgmanCreateGroup("VANTIX Pro"), 0);
    EXPECT_FALSE(g_bDdeReady);
    EXPECT_EQ(ProgmanAddItem("Help", "C:\\VX", "vx.hlp", ""), 1);
    EXPECT_EQ(ProgmanCloseDeletingGroup("VANTIX Pro"), 1);
    EXPECT_EQ(s_instanceBeforeStart, (std::vector<DWORD>{ 0, 0 }));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(s_ended.empty());
}

// "[DeleteItem(\"" and "\")]" take 16 characters, "[CreateGroup(" and ")]" 15, and a command
// may take 515 characters and its terminator.
TEST_F(RecordedCommands, WhatDoesNotFitIsNotSentAtAllNeverCut)
{
    const std::string longest(499, 't');
    const std::string folder259 = "C:\\" + std::string(256, 'f');
    const std::string folder260 = folder259 + "g";
    const struct {
        std::string title, folder, fileName, command;
        size_t sent;
    } cases[] = {
        { longest, "C:", "x", "y", 0 },               // the add no longer fits: its delete goes neither
        { std::string(200, 't'), "C:\\VX", "x", "", 2 },
        { "T", folder260, "x", "", 0 },                // the folder itself does not fit
        { "T", folder259, "x", "", 0 },                // the folder fits, folder\x does not
        { "T", folder259, "", "run.exe", 2 },          // ... but with a command that path is not needed
        { "T", "C:\\VX", "D:\\" + std::string(257, 'p'), "", 0 },  // a full path too long
    };
    ASSERT_EQ(ProgmanOpen(), 1);
    for (const auto& c : cases) {
        s_sent.clear();
        EXPECT_EQ(ProgmanAddItem(c.title.c_str(), c.folder.c_str(), c.fileName.c_str(), c.command.c_str()), 1);
        EXPECT_EQ(Sent().size(), c.sent) << c.title.size() << " " << c.folder.size() << " " << c.fileName.size();
    }

    s_sent.clear();
    ProgmanDeleteItem(longest.c_str(), "", "", "");
    ProgmanDeleteItem((longest + "u").c_str(), "", "", "");
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], "[DeleteItem(\"" + longest + "\")]");
    EXPECT_EQ(Sent()[0].size(), 515u);

    s_sent.clear();
    EXPECT_EQ(ProgmanCreateGroup(std::string(501, 'g').c_str()), 1);
    EXPECT_TRUE(Sent().empty());
}

TEST(ProgmanNameIsSafe, RefusesEmptyOverlongAndCommandBreakingNames)
{
    const struct {
        std::string name;
        BOOL safe;
    } cases[] = {
        { "VANTIX Pro", TRUE }, { "Harrowby Tools 2.0 - FTP & Web", TRUE }, { "", FALSE },
        { "VANTIX [Pro]", FALSE }, { "A]", FALSE }, { "A(", FALSE }, { "A)", FALSE },
        { "Say \"hi\"", FALSE }, { "Harrowby, Inc", FALSE },
        { std::string(500, 'g'), TRUE }, { std::string(501, 'g'), FALSE },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgmanNameIsSafe(c.name.c_str()), c.safe) << c.name;
    EXPECT_FALSE(ProgmanNameIsSafe(nullptr));
}

}  // namespace
