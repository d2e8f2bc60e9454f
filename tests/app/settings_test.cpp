// The settings file: which file is used, how each key reads, and the defaults. (Its log lines are
// checked in whole silent installs, where a distributor reads them.)
#include "app/settings.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"
#include "payload/extract.h"

namespace {

std::string Switches()  // logging, allowReboot, silent, noPass, bonus, iconLocation, explore, as digits
{
    std::string digits;
    for (int value : { g_bLogging, g_bAllowReboot, g_bSilent, g_bNoPass, gbInstallBonusPack, g_iconLocation, g_bExplore })
        digits += std::to_string(value);
    return digits;
}

// Read from a scratch folder made current, as start-up makes the temporary folder. A switch is on
// only when TRUE or 1 (in any case), or off only when FALSE or 0; the log is written only while
// logging. The carried template keeps every key at its default; with no file ALLOWRBT is on too.
TEST(InstallSettings, EachKeyReadsByItsOwnRuleAndTheDefaultsComeFromTheTemplateOrNoFile)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope inside(scratch.Path());
    g_hInstance = GetModuleHandleA(NULL);
    const std::pair<const char*, const char*> cases[] = {
        { "", "0000101" }, { "QUIET=TrUe\r\n", "0010101" }, { "QUIET=yes\r\nALLOWRBT=1\r\n", "0100101" },
        { "LOGGING=no\r\n", "1000101" }, { "LOGGING=0\r\nNOPASSWORD=TRUE\r\n", "0001101" }, { "EXPLORER=01\r\n", "0000101" },
        { "EXPLORER=False\r\nBONUS=no\r\n", "0000000" }, { "DESKTOP=FALSE\r\n", "0000111" }, { "DESKTOP=maybe\r\nBONUS=1\r\n", "0000111" },
        { "QUIET=\r\nLOGGING=\r\n", "1000101" },
    };
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(scratch / "install.ini", std::string("[Install]\r\n") + c.first + "LINE1=first\r\nLINE2=" + std::string(300, 'M') + "\r\n");
        ReadInstallSettings();
        EXPECT_EQ(Switches(), c.second) << c.first;
        EXPECT_EQ(std::string(g_szLine1) + "|" + g_szLine2, "first|" + std::string(255, 'M'));
        EXPECT_EQ(vxtest::FileExists(scratch / "setup.log"), c.second[0] == '1') << "the log is written only while logging";
        DeleteFileA((scratch / "setup.log").c_str());
    }
    ASSERT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, scratch.Path().c_str(), "Install.ini"), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(scratch / "Install.ini").find("[RenameThisSectionTo:INSTALL]\r\n"), 0u);
    ReadInstallSettings();
    EXPECT_EQ(Switches() + g_szLine1 + g_szLine2, "0000101");
    EXPECT_EQ(g_szIniFile, scratch / "install.ini");
    DeleteFileA((scratch / "Install.ini").c_str());
    ReadInstallSettings();
    EXPECT_EQ(Switches() + g_szIniFile, "0100101") << "ALLOWRBT is on without a settings file";
}

}  // namespace
