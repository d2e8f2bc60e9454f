// The site-list reading of vantix32.exe (ReadSiteLists) and of the core library
// (VxCoreCountSites), on INI files written into a scratch folder.
#include <gtest/gtest.h>

#include <string>

#include "sitelists.h"
#include "vxcore32.h"
#include "wine_env.h"

namespace {

struct SiteFileCase {
    const char *name;
    const char *text;
    int sites;
};

const SiteFileCase SITE_FILES[] = {
    {"TwoSites", "[One]\r\nHOST=ftp.one.example\r\nDIR=/pub\r\n\r\n[Two]\r\nHOST=ftp.two.example\r\n", 2},
    {"ListHeaderIsNoSite", "[_list_]\r\nTITLE=Header only\r\n\r\n[One]\r\nHOST=ftp.one.example\r\n", 1},
    {"KeyCaseDoesNotMatter", "[One]\r\nhost=ftp.one.example\r\n[Two]\r\nHost=ftp.two.example\r\n", 2},
    {"EmptyHostIsNoSite", "[One]\r\nHOST=\r\nDIR=/pub\r\n[Two]\r\nDIR=/pub\r\n", 0},
    {"EmptyFile", "", 0},
    {"LinuxLineEnds", "[One]\nHOST=ftp.one.example\n[Two]\nHOST=ftp.two.example\n[Three]\nHOST=h\n", 3},
};

class SiteFileCount : public testing::TestWithParam<SiteFileCase> {};

TEST_P(SiteFileCount, CountsSectionsWithAHost)
{
    vxtest::ScratchFolder folder("vxsites");
    const std::string path = folder / "list.ini";
    vxtest::WriteFileBytes(path, GetParam().text);
    EXPECT_EQ(VxCoreCountSites(path.c_str()), GetParam().sites);
}

INSTANTIATE_TEST_SUITE_P(Files, SiteFileCount, testing::ValuesIn(SITE_FILES),
                         [](const testing::TestParamInfo<SiteFileCase> &info) { return info.param.name; });

TEST(SiteFileCountLarge, ListLongerThanOneReadIsCountedWhole)
{
    // 400 sections with 40-character names: about 16 KB of names, several times the first read.
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "[Site number " + std::to_string(i) + " with a rather long name]\r\nHOST=h\r\n";
    vxtest::ScratchFolder folder("vxsites");
    vxtest::WriteFileBytes(folder / "big.ini", text);
    EXPECT_EQ(VxCoreCountSites((folder / "big.ini").c_str()), 400);
}

TEST(SiteFileCountMissing, MissingFileOrFolderCountsAsMinusOne)
{
    vxtest::ScratchFolder folder("vxsites");
    EXPECT_EQ(VxCoreCountSites((folder / "absent.ini").c_str()), -1);
    EXPECT_EQ(VxCoreCountSites(folder.Path().c_str()), -1);
    EXPECT_EQ(VxCoreCountSites(nullptr), -1);
}

TEST(SiteLists, ReadsEveryFilenameSectionInOrderWithItsCount)
{
    vxtest::ScratchFolder folder("vxsites");
    vxtest::ScratchFolder elsewhere("vxsites");
    const std::string fullPathList = elsewhere / "full.ini";
    vxtest::WriteFileBytes(fullPathList, "[A]\r\nHOST=a\r\n[B]\r\nHOST=b\r\n[C]\r\nHOST=c\r\n");
    vxtest::WriteFileBytes(folder / "bare.ini", "[A]\r\nHOST=a\r\n");
    vxtest::WriteFileBytes(folder / "VANTIX.ini",
                           "[MySites]\r\nFILENAME=" + (folder / "original.ini") + "\r\n"
                           "[Full]\r\nFILENAME=" + fullPathList + "\r\n"
                           "[_config_]\r\nMAILADDR=user@host.com\r\n"
                           "[Bare]\r\nFILENAME=bare.ini\r\n"
                           "[NoFile]\r\nFILENAME=\r\n");

    SITE_LIST lists[8];
    ASSERT_EQ(ReadSiteLists((folder / "VANTIX.ini").c_str(), lists, 8), 3);
    EXPECT_STREQ(lists[0].szName, "MySites");
    EXPECT_EQ(lists[0].szPath, folder / "original.ini");
    EXPECT_EQ(lists[0].nSites, -1);
    EXPECT_STREQ(lists[1].szName, "Full");
    EXPECT_EQ(lists[1].szPath, fullPathList);
    EXPECT_EQ(lists[1].nSites, 3);
    EXPECT_STREQ(lists[2].szName, "Bare");
    EXPECT_EQ(lists[2].szPath, folder / "bare.ini");
    EXPECT_EQ(lists[2].nSites, 1);
}

TEST(SiteLists, StopsAtTheCallersLimit)
{
    vxtest::ScratchFolder folder("vxsites");
    vxtest::WriteFileBytes(folder / "VANTIX.ini",
                           "[A]\r\nFILENAME=a.ini\r\n[B]\r\nFILENAME=b.ini\r\n[C]\r\nFILENAME=c.ini\r\n");
    SITE_LIST lists[2];
    ASSERT_EQ(ReadSiteLists((folder / "VANTIX.ini").c_str(), lists, 2), 2);
    EXPECT_STREQ(lists[1].szName, "B");
}

TEST(SiteLists, MissingIniFileIsReported)
{
    vxtest::ScratchFolder folder("vxsites");
    SITE_LIST lists[2];
    EXPECT_EQ(ReadSiteLists((folder / "VANTIX.ini").c_str(), lists, 2), -1);
}

} // namespace
