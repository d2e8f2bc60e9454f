// The settings file: which file is used, how each key reads, the defaults, and the log lines.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"
#include "payload/extract.h"

using vxtest::ScratchFolder;

namespace {

// The switches as seven digits, in this order: logging, allowReboot, silent, noPass, bonus,
// iconLocation, explore.
std::string Current()
{
    std::string digits;
    for (int value : { (int)g_bLogging, (int)g_bAllowReboot, (int)g_bSilent, (int)g_bNoPass, (int)gbInstallBonusPack,
             g_iconLocation, (int)g_bExplore })
        digits += value == 0 ? '0' : value == 1 ? '1' : '?';
    return digits;
}

// Every test reads settings from a scratch folder made current, as start-up makes the
// temporary folder current; the test program's own folder holds no install.ini.
class InstallSettings : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleA(NULL); }
    void TearDown() override { g_bLogging = FALSE; }
    void Read(const std::string& iniText)
    {
        vxtest::WriteFileBytes(scratch_ / "install.ini", iniText);
        ReadInstallSettings();
    }
    std::string Log() { return vxtest::ReadFileBytes(scratch_ / "setup.log"); }

    ScratchFolder scratch_;
    vxtest::CurrentFolderScope inside_{ scratch_.Path() };
};

TEST(ParseIniBool, TwoKindsOfSwitch)
{
    const struct {
        const char* value;
        BOOL onWhenTrue;
        BOOL offWhenFalse;
    } cases[] = {
        { "TRUE", TRUE, TRUE }, { "true", TRUE, TRUE }, { "TrUe", TRUE, TRUE }, { "1", TRUE, TRUE },
        { "FALSE", FALSE, FALSE }, { "false", FALSE, FALSE }, { "0", FALSE, FALSE },
        { "yes", FALSE, TRUE }, { "on", FALSE, TRUE }, { "no", FALSE, TRUE }, { "", FALSE, TRUE },
        { "01", FALSE, TRUE }, { " TRUE", FALSE, TRUE }, { "TRUE ", FALSE, TRUE },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseIniBool(c.value, INI_ON_WHEN_TRUE), c.onWhenTrue) << "'" << c.value << "'";
        EXPECT_EQ(ParseIniBool(c.value, INI_OFF_WHEN_FALSE), c.offWhenFalse) << "'" << c.value << "'";
    }
}

TEST_F(InstallSettings, EachKeyReadsByItsOwnRule)
{
    const struct {
        const char* keys;
        const char* expected;  // as Current() gives it
    } cases[] = {
        // A found file without a key gives that key's default: note ALLOWRBT off.
        { "", "0000101" },
        { "QUIET=true\r\n", "0010101" },
        { "QUIET=yes\r\nALLOWRBT=1\r\n", "0100101" },
        { "LOGGING=no\r\n", "1000101" },
        { "LOGGING=0\r\nNOPASSWORD=TRUE\r\n", "0001101" },
        { "EXPLORER=0\r\n", "0000100" },
        { "EXPLORER=False\r\nBONUS=no\r\n", "0000000" },
        { "DESKTOP=FALSE\r\n", "0000111" },
        { "DESKTOP=maybe\r\nBONUS=1\r\n", "0000111" },
        { "QUIET=\r\nLOGGING=\r\n", "1000101" },
    };
    for (const auto& c : cases) {
        Read(std::string("[Install]\r\n") + c.keys);
        EXPECT_EQ(Current(), c.expected) << "keys: " << c.keys;
        EXPECT_EQ(std::string(g_szIniFile), scratch_ / "install.ini");
        DeleteFileA("setup.log");
    }
}

TEST_F(InstallSettings, CarriedTemplateAsCarriedGivesEveryDefault)
{
    ASSERT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, scratch_.Path().c_str(), "Install.ini"), 1);
    // Its sections are named for renaming, so none of its keys is read as it is carried.
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "Install.ini").find("[RenameThisSectionTo:INSTALL]\r\n"), 0u);
    ReadInstallSettings();
    EXPECT_EQ(Current(), "0000101");
    EXPECT_STREQ(g_szLine1, "");
    EXPECT_STREQ(g_szLine2, "");
    EXPECT_EQ(std::string(g_szIniFile), scratch_ / "install.ini");
}

TEST_F(InstallSettings, NoFileAnywhereGivesTheBuiltInDefaults)
{
    g_bAllowReboot = FALSE;
    ReadInstallSettings();
    EXPECT_EQ(Current(), "0100101") << "ALLOWRBT is on without a settings file";
    EXPECT_STREQ(g_szIniFile, "");
}

TEST_F(InstallSettings, LogsSevenLinesInOrderOrNone)
{
    Read("[INSTALL]\r\nLOGGING=TRUE\r\nQUIET=1\r\nDESKTOP=FALSE\r\nEXPLORER=FALSE\r\nLINE1=hello \"there\"\r\n");
    EXPECT_EQ(Log(),
        "g_bSilent=1\r\ng_bNoPass=0\r\ngbInstallBonusPack=1\r\ng_iconLocation=1\r\ng_bExplore=0\r\n"
        "g_szLine1=\"hello \"there\"\"\r\ng_szLine2=\"\"\r\n");

    DeleteFileA("setup.log");
    Read("[INSTALL]\r\nLOGGING=FALSE\r\nQUIET=1\r\nLINE1=quiet\r\n");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "setup.log"));
    EXPECT_STREQ(g_szLine1, "quiet");
}

TEST_F(InstallSettings, OverlongAndJunkValuesAreCutNotOverflowed)
{
    std::string longLine(10000, 'L');
    Read("[INSTALL]\r\nLOGGING=1\r\nLINE1=" + longLine + "\r\nLINE2=" + std::string(300, 'M') + "\r\nQUIET=" + std::string(5000, 'T') + "\r\n");
    EXPECT_EQ(std::string(g_szLine1), std::string(255, 'L'));
    EXPECT_EQ(std::string(g_szLine2), std::string(255, 'M'));
    EXPECT_FALSE(g_bSilent);
    EXPECT_NE(Log().find("g_szLine1=\"" + std::string(255, 'L') + "\"\r\n"), std::string::npos);

    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        junk += (char)(seed >> 16);
    }
    Read("[INSTALL]\r\n" + junk + "\r\nLINE1=" + junk.substr(0, 4000) + "\r\n");
    EXPECT_LE(strlen(g_szLine1), 255u);
    EXPECT_LE(strlen(g_szLine2), 255u);
    EXPECT_TRUE(g_iconLocation == 0 || g_iconLocation == 1);
}

}  // namespace
