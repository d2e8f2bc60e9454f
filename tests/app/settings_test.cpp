// The settings file: which file is used, how each key reads, and the defaults. (Its log lines are
// checked in whole silent installs, where a distributor reads them.)
#include "app/settings.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"
#include "payload/extract.h"

namespace {

// The switches as digits: logging, allowReboot, silent, noPass, bonus, iconLocation, explore.
std::string Switches()
{
    std::string digits;
    for (int value : { (int)g_bLogging, (int)g_bAllowReboot, (int)g_bSilent, (int)g_bNoPass, (int)gbInstallBonusPack, g_iconLocation, (int)g_bExplore })
        digits += value == 0 ? '0' : value == 1 ? '1' : '?';
    return digits;
}

// Settings are read from a scratch folder made current, as start-up makes the temporary folder.
class InstallSettings : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleA(NULL); }
    void TearDown() override { g_bLogging = FALSE; }
    vxtest::ScratchFolder scratch_;
    vxtest::CurrentFolderScope inside_{ scratch_.Path() };
};

TEST(ParseIniBool, TwoKindsOfSwitch)
{
    const struct {
        const char* value;
        BOOL onWhenTrue, offWhenFalse;
    } cases[] = {
        { "TRUE", 1, 1 }, { "true", 1, 1 }, { "TrUe", 1, 1 }, { "1", 1, 1 }, { "FALSE", 0, 0 }, { "false", 0, 0 }, { "0", 0, 0 },
        { "yes", 0, 1 }, { "on", 0, 1 }, { "no", 0, 1 }, { "", 0, 1 }, { "01", 0, 1 }, { " TRUE", 0, 1 }, { "TRUE ", 0, 1 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseIniBool(c.value, INI_ON_WHEN_TRUE), c.onWhenTrue) << "'" << c.value << "'";
        EXPECT_EQ(ParseIniBool(c.value, INI_OFF_WHEN_FALSE), c.offWhenFalse) << "'" << c.value << "'";
    }
}

TEST_F(InstallSettings, EachKeyReadsByItsOwnRule)
{
    const std::pair<const char*, const char*> cases[] = {
        // A found file without a key gives that key's default: note ALLOWRBT off.
        { "", "0000101" }, { "QUIET=true\r\n", "0010101" }, { "QUIET=yes\r\nALLOWRBT=1\r\n", "0100101" },
        { "LOGGING=no\r\n", "1000101" }, { "LOGGING=0\r\nNOPASSWORD=TRUE\r\n", "0001101" }, { "EXPLORER=0\r\n", "0000100" },
        { "EXPLORER=False\r\nBONUS=no\r\n", "0000000" }, { "DESKTOP=FALSE\r\n", "0000111" }, { "DESKTOP=maybe\r\nBONUS=1\r\n", "0000111" },
        { "QUIET=\r\nLOGGING=\r\n", "1000101" },
    };
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(scratch_ / "install.ini", std::string("[Install]\r\n") + c.first + "LINE1=first\r\nLINE2=" + std::string(300, 'M') + "\r\n");
        ReadInstallSettings();
        EXPECT_EQ(Switches(), c.second) << c.first;
        EXPECT_EQ(g_szIniFile, scratch_ / "install.ini");
        EXPECT_STREQ(g_szLine1, "first");
        EXPECT_EQ(g_szLine2, std::string(255, 'M')) << "cut to 255 characters";
        EXPECT_EQ(vxtest::FileExists(scratch_ / "setup.log"), c.second[0] == '1') << "the log is written only while logging";
        DeleteFileA((scratch_ / "setup.log").c_str());
    }
}

TEST_F(InstallSettings, TheCarriedTemplateGivesTheKeyDefaultsAndNoFileTheBuiltInOnes)
{
    ASSERT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, scratch_.Path().c_str(), "Install.ini"), 1);
    // Its sections are named for renaming, so none of its keys is read as it is carried.
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "Install.ini").find("[RenameThisSectionTo:INSTALL]\r\n"), 0u);
    ReadInstallSettings();
    EXPECT_EQ(Switches(), "0000101");
    EXPECT_EQ(std::string(g_szLine1) + g_szLine2, "");
    EXPECT_EQ(g_szIniFile, scratch_ / "install.ini");

    DeleteFileA((scratch_ / "Install.ini").c_str());
    ReadInstallSettings();
    EXPECT_EQ(Switches(), "0100101") << "ALLOWRBT is on without a settings file";
    EXPECT_STREQ(g_szIniFile, "");
}

}  // namespace
