// String-table texts, numbered inserts and the setup log.
#include "common/messages.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "common/setup_log.h"
#include "harness/wine_env.h"
#include "resources/resource.h"

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleA(NULL); }
};

// The texts no test of the code that shows them checks yet (the others are checked where they
// are shown), exactly as the product has always shown them.
TEST_F(Messages, StringTableHoldsTheTextsNotShownElsewhereExactly)
{
    const struct {
        UINT id;
        const char* text;
    } table[] = {
        { 95, "Uninstall successful!\n\nUninstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself." },
        { 10001, "All Files" },
        { 10002, "Locate" },
        { 10014, "Removal process complete.\nAll files removed." },
        { 10015, "Remove" },
        { 10016, "Removal process complete.\nCheck the folder %s for excess files\nthat caused the removal process to not cleanup entirely." },
        { 10017, "Insufficient information available to\nremove this application." },
        { 10021, "Please enter the destination &folder:" },
        { 10045, "&Install or update VANTIX Pro" },
        { 10046, "&Uninstall VANTIX Pro" },
        { 10047, "Nothing Selected!" },
        { 10052, "You have INI files in the VANTIX Pro folder.\nDo you want to delete these?\nWARNING: Deleting the INI files will eliminate your stored FTP sites!" },
    };
    for (const auto& row : table) {
        char text[2048];
        EXPECT_EQ(LoadMessage(row.id, text, sizeof(text)), 1) << row.id;
        EXPECT_STREQ(text, row.text) << "string " << row.id;
    }
}

TEST_F(Messages, LoadMessageCutsLongTextsAndFallsBackForMissingOnes)
{
    char text[16];
    EXPECT_EQ(LoadMessage(IDS_INSTALL_SUCCEEDED, text, sizeof(text)), 1);
    EXPECT_STREQ(text, "Installation su");

    EXPECT_EQ(LoadMessage(4242, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "4242 DEBUG - Un");

    char wide[256];
    EXPECT_EQ(LoadMessage(4242, wide, sizeof(wide)), 0);
    EXPECT_STREQ(wide, "4242 DEBUG - Unable to load string");

    char one[1] = { 'x' };
    EXPECT_EQ(LoadMessage(4242, one, sizeof(one)), 0);
    EXPECT_EQ(one[0], '\0');

    char untouched[4] = "abc";
    EXPECT_EQ(LoadMessage(IDS_INSTALL_CAPTION, untouched, 0), 0);
    EXPECT_STREQ(untouched, "abc");
}

TEST_F(Messages, FormatInsertsFillsTextAndNumberInserts)
{
    char pattern[256];
    char text[CCH_INSERTS];
    LoadMessage(IDS_COPYING_FILE, pattern, sizeof(pattern));
    FormatInserts(text, pattern, "C:\\TEMP\\", "vantix32.exe", "C:\\Program Files\\VANTIX Pro", "vantix32.exe");
    EXPECT_STREQ(text, "Copying C:\\TEMP\\vantix32.exe to C:\\Program Files\\VANTIX Pro\\vantix32.exe");

    LoadMessage(IDS_COPY_FAILED, pattern, sizeof(pattern));
    EXPECT_GT(FormatInserts(text, pattern, "vxcore32.hlp", "C:\\VX", 32u), 0);
    EXPECT_STREQ(text, "Copy of vxcore32.hlp to C:\\VX failed. (32)");

    LoadMessage(IDS_FOLDER_CREATION_FAILED, pattern, sizeof(pattern));
    FormatInserts(text, pattern, "Q:\\missing", 4294967295u);
    EXPECT_STREQ(text, "Creation of Q:\\missing failed. (4294967295)");
}

// The lines themselves are checked where they are written (the settings and the silent installs).
TEST(SetupLog, ALogThatCannotBeOpenedLosesTheLineQuietly)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope inside(scratch.Path());
    CreateDirectoryA("setup.log", NULL);  // a folder of that name
    g_bLogging = TRUE;
    WriteLogLine("lost");
    g_bLogging = FALSE;
    EXPECT_TRUE(vxtest::FolderExists(scratch / "setup.log"));
}

}  // namespace
