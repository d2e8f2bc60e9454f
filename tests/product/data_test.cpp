// The carried data files as the build assembled them: the set of files, the main INI template,
// the site lists it names, the help contents files, the sounds and the manual.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "product_paths.h"
#include "sitelists.h"
#include "wine_env.h"

namespace {

const char *const CARRIED_FILES[] = {
    "vantix32.exe", "vxcore32.dll", "VxCore32.cnt", "vxcore32.hlp", "vxshell.dll", "vxshlch.dll",
    "vxshell.cnt", "vxshell.hlp", "vxscript.exe", "vxscript.cnt", "vxscript.hlp", "vxfind.exe",
    "vxfind.cnt", "vxfind.hlp", "vxsync.exe", "vxsyncl.dll", "vxsync.cnt", "vxsync.hlp",
    "vxplace.exe", "vxshim.dll", "vxremove.exe", "VxNotes.txt", "vxcore32.pdf", "vxconn.wav",
    "vxfail.wav", "vxdone.wav", "VANTIX.ini", "avsites.ini", "mirsites.ini", "gmsites.ini",
    "hwsites.ini", "vxsites.ini", "olsites.ini", "swsites.ini", "gvsites.ini",
};

const char *const SITE_LIST_FILES[] = {
    "avsites.ini", "mirsites.ini", "gmsites.ini", "hwsites.ini",
    "vxsites.ini", "olsites.ini", "swsites.ini", "gvsites.ini",
};

uint32_t Le32(const std::string &bytes, size_t offset)
{
    uint32_t value = 0;
    memcpy(&value, bytes.data() + offset, 4);
    return value;
}

uint16_t Le16(const std::string &bytes, size_t offset)
{
    uint16_t value = 0;
    memcpy(&value, bytes.data() + offset, 2);
    return value;
}

TEST(SampleProduct, HoldsExactlyTheCarriedFilesNoneEmpty)
{
    std::set<std::string> expected(std::begin(CARRIED_FILES), std::end(CARRIED_FILES));
    std::vector<std::string> present = vxtest::ListFolder(VX_SAMPLE_PRODUCT_DIR);
    EXPECT_EQ(std::set<std::string>(present.begin(), present.end()), expected);
    for (const char *name : CARRIED_FILES)
        EXPECT_FALSE(vxtest::ReadFileBytes(ProductFile(name)).empty()) << name;
}

TEST(MainIniTemplate, StartsWithMySitesAndCarriesTheMarkers)
{
    const std::string text = vxtest::ReadFileBytes(ProductFile("VANTIX.ini"));
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    std::vector<std::string> lines = vxtest::SplitLines(text, "\r\n", vxtest::UnendedLine::Kept);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[MySites]");
    EXPECT_EQ(lines[1], "FILENAME=$$\\original.ini");

    std::set<std::string> named;
    std::string section;
    bool mailAddress = false;
    for (const std::string &line : lines) {
        SCOPED_TRACE(line);
        // The installer substitutes one marker per line into a buffer of its own.
        EXPECT_EQ(line.find('\n'), std::string::npos) << "bare line feed";
        EXPECT_LE(line.size(), 80u);
        size_t marker = line.find("$$");
        EXPECT_TRUE(marker == std::string::npos || line.find("$$", marker + 2) == std::string::npos);
        if (!line.empty() && line[0] == '[')
            section = line;
        if (line.compare(0, 9, "FILENAME=") == 0) {
            EXPECT_EQ(line.compare(9, 3, "$$\\"), 0);
            EXPECT_TRUE(named.insert(line.substr(12)).second) << "named twice";
        }
        if (line.compare(0, 9, "MAILADDR=") == 0) {
            EXPECT_EQ(section, "[_config_]");
            EXPECT_EQ(line, "MAILADDR=user@host.com");
            mailAddress = true;
        }
    }
    EXPECT_TRUE(mailAddress);
    std::set<std::string> expected(std::begin(SITE_LIST_FILES), std::end(SITE_LIST_FILES));
    expected.insert("original.ini");
    EXPECT_EQ(named, expected);
}

TEST(MainIniTemplate, OnceInstalledItsSiteListsEachHoldTenToTwentySites)
{
    // Install the template the way Setup does: every "$$" becomes the destination folder.
    std::string text = vxtest::ReadFileBytes(ProductFile("VANTIX.ini"));
    for (size_t at = text.find("$$"); at != std::string::npos; at = text.find("$$", at))
        text.replace(at, 2, VX_SAMPLE_PRODUCT_DIR);
    vxtest::ScratchFolder folder("vxinstalled");
    vxtest::WriteFileBytes(folder / "VANTIX.ini", text);

    SITE_LIST lists[16];
    int count = ReadSiteLists((folder / "VANTIX.ini").c_str(), lists, 16);
    ASSERT_EQ(count, 9);
    EXPECT_STREQ(lists[0].szName, "MySites");
    EXPECT_EQ(lists[0].nSites, -1) << "no original.ini beside a new install";
    for (int i = 1; i < count; ++i) {
        SCOPED_TRACE(lists[i].szPath);
        EXPECT_GE(lists[i].nSites, 10);
        EXPECT_LE(lists[i].nSites, 20);
    }
}

struct ContentsCase {
    const char *contents;
    const char *helpFile;
};

const ContentsCase CONTENTS_FILES[] = {
    {"VxCore32.cnt", "vxcore32.hlp"}, {"vxshell.cnt", "vxshell.hlp"}, {"vxscript.cnt", "vxscript.hlp"},
    {"vxfind.cnt", "vxfind.hlp"},     {"vxsync.cnt", "vxsync.hlp"},
};

TEST(HelpContents, EveryTopicNamedExistsInTheHelpFileItsBaseNames)
{
    for (const ContentsCase &c : CONTENTS_FILES) {
        SCOPED_TRACE(c.contents);
        std::vector<std::string> lines = vxtest::SplitLines(vxtest::ReadFileBytes(ProductFile(c.contents)), "\r\n",
                                                                vxtest::UnendedLine::Kept);
        const std::string help = vxtest::ReadFileBytes(ProductFile(c.helpFile));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].substr(0, lines[0].find('>')), std::string(":Base ") + c.helpFile);
        int level = 0;
        int topics = 0;
        for (const std::string &line : lines) {
            SCOPED_TRACE(line);
            if (line.compare(0, 7, ":Index ") == 0) {
                std::string file = line.substr(line.find('=') + 1);
                EXPECT_TRUE(vxtest::FileExists(ProductFile(file)));
            }
            if (line.empty() || line[0] < '1' || line[0] > '9')
                continue;
            int lineLevel = line[0] - '0';
            EXPECT_LE(lineLevel, level + 1) << "a level skipped";
            level = lineLevel;
            size_t equals = line.find('=');
            if (equals != std::string::npos) {
                ++topics;
                EXPECT_NE(help.find("\r\n[" + line.substr(equals + 1) + "] "), std::string::npos);
            }
        }
        EXPECT_GE(topics, 4);
    }
}

TEST(Sounds, AreShortWellFormedPcmWaves)
{
    for (const char *name : {"vxconn.wav", "vxfail.wav", "vxdone.wav"}) {
        SCOPED_TRACE(name);
        const std::string wav = vxtest::ReadFileBytes(ProductFile(name));
        ASSERT_GE(wav.size(), 44u);
        ASSERT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
        ASSERT_EQ(wav.substr(8, 4), "WAVE");

        uint16_t channels = 0, blockAlign = 0, bits = 0;
        uint32_t rate = 0, dataSize = 0;
        bool format = false, data = false;
        for (size_t at = 12; at + 8 <= wav.size();) {
            const std::string id = wav.substr(at, 4);
            const uint32_t size = Le32(wav, at + 4);
            ASSERT_LE(at + 8 + size, wav.size()) << "chunk " << id << " runs past the end";
            if (id == "fmt ") {
                EXPECT_EQ(Le16(wav, at + 8), 1) << "PCM";
                channels = Le16(wav, at + 10);
                rate = Le32(wav, at + 12);
                EXPECT_EQ(Le32(wav, at + 16), rate * Le16(wav, at + 20)) << "byte rate";
                blockAlign = Le16(wav, at + 20);
                bits = Le16(wav, at + 22);
                format = true;
            } else if (id == "data") {
                dataSize = size;
                data = true;
            }
            at += 8 + size + (size & 1);
        }
        ASSERT_TRUE(format && data);
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_TRUE(bits == 8 || bits == 16);
        EXPECT_EQ(blockAlign, channels * bits / 8);
        EXPECT_TRUE(rate >= 8000 && rate <= 44100) << rate;
        ASSERT_GT(blockAlign, 0);
        EXPECT_EQ(dataSize % blockAlign, 0u);
        const double seconds = double(dataSize) / blockAlign / rate;
        EXPECT_GT(seconds, 0.1);
        EXPECT_LT(seconds, 1.0);
    }
}

TEST(Manual, IsAWellFormedPdfOfSeveralPages)
{
    const std::string pdf = vxtest::ReadFileBytes(ProductFile("vxcore32.pdf"));
    ASSERT_EQ(pdf.compare(0, 7, "%PDF-1."), 0);
    ASSERT_NE(pdf.rfind("%%EOF"), std::string::npos);
    EXPECT_GE(pdf.rfind("%%EOF"), pdf.size() - 7);

    // startxref gives the offset of the cross-reference table, whose entries give each object's.
    const size_t startxref = pdf.rfind("startxref");
    ASSERT_NE(startxref, std::string::npos);
    const size_t xref = std::stoul(pdf.substr(startxref + 9));
    ASSERT_LT(xref, pdf.size());
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    size_t at = pdf.find('\n', xref + 5);
    const int count = std::stoi(pdf.substr(pdf.find(' ', xref + 5) + 1));
    ASSERT_GT(count, 1);
    for (int object = 0; object < count; ++object) {
        const std::string entry = pdf.substr(at + 1 + object * 20, 20);
        ASSERT_EQ(entry.size(), 20u);
        if (entry[17] != 'n')
            continue;
        const size_t offset = std::stoul(entry.substr(0, 10));
        const std::string header = std::to_string(object) + " 0 obj";
        EXPECT_EQ(pdf.compare(offset, header.size(), header), 0) << "object " << object;
    }

    size_t pages = 0;
    for (size_t p = pdf.find("/Type /Page "); p != std::string::npos; p = pdf.find("/Type /Page ", p + 1))
        ++pages;
    EXPECT_GE(pages, 3u);
    EXPECT_NE(pdf.find("/Count " + std::to_string(pages) + " "), std::string::npos);
}

} // namespace
