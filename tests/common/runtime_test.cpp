// The installer's own runtime: bounded formatting and copying, text-mode files, the services
// named like the C runtime's, compared with what the C runtime itself does.
#include "common/runtime.h"

#include <gtest/gtest.h>

#include <direct.h>
#include <stdio.h>
#include <string.h>

#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

// Every case passes its number twice (for formats with two conversions) or its text once.
struct FormatCase {
    const char* format;
    int number;
    const char* text;
};

TEST(Runtime, FormatTextAgreesWithTheCRuntimeOnEveryConversionItOffers)
{
    const FormatCase cases[] = {
        { "n=%d", -42, nullptr }, { "n=%i!", 2147483647, nullptr }, { "%u", -1, nullptr },
        { "%x/%X", 48879, nullptr }, { "[%5d]", 42, nullptr }, { "[%-5d]", 42, nullptr },
        { "[%05d]", -42, nullptr }, { "[%ld]", 7, nullptr }, { "%c%c", 'V', nullptr },
        { "100%%", 0, nullptr }, { "<%s>", 0, "text" }, { "<%8s>", 0, "ab" }, { "<%-8s>", 0, "ab" },
        { "<%.3s>", 0, "abcdef" }, { "\"%s\"", 0, "" },
    };
    for (const FormatCase& c : cases) {
        char ours[64];
        char theirs[64];
        if (c.text != nullptr) {
            rt::FormatText(ours, sizeof(ours), c.format, c.text);
            snprintf(theirs, sizeof(theirs), c.format, c.text);
        } else {
            rt::FormatText(ours, sizeof(ours), c.format, c.number, c.number);
            snprintf(theirs, sizeof(theirs), c.format, c.number, c.number);
        }
        EXPECT_STREQ(ours, theirs) << "format " << c.format;
    }
}

TEST(Runtime, FormatTextCutsToTheBufferAndAlwaysTerminates)
{
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(rt::FormatText(buffer, sizeof(buffer), "%s-%u", "abcdef", 123456u), 7);
    EXPECT_STREQ(buffer, "abcdef-");

    char one[1] = { 'x' };
    EXPECT_EQ(rt::FormatText(one, sizeof(one), "%s", "anything"), 0);
    EXPECT_EQ(one[0], '\0');

    std::string huge(10000, 'L');
    char line[512];
    rt::FormatText(line, sizeof(line), "g_szLine1=\"%s\"", huge.c_str());
    EXPECT_EQ(strlen(line), sizeof(line) - 1);
}

TEST(Runtime, CopyAndAppendReportWhenTheyCut)
{
    char buffer[6];
    EXPECT_TRUE(rt::CopyText(buffer, sizeof(buffer), "abc"));
    EXPECT_TRUE(rt::AppendText(buffer, sizeof(buffer), "de"));
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_FALSE(rt::AppendText(buffer, sizeof(buffer), "f"));
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_FALSE(rt::CopyText(buffer, sizeof(buffer), "0123456789"));
    EXPECT_STREQ(buffer, "01234");
}

TEST(Runtime, SearchesAndComparisonsMatchTheCRuntime)
{
    const char* text = "C:\\Program Files\\VANTIX Pro\\vxcore32.dll";
    EXPECT_EQ(rt::StrStr(text, ".dll"), strstr(text, ".dll"));
    EXPECT_EQ(rt::StrStr(text, ".exe"), nullptr);
    EXPECT_EQ(rt::StrRChr(text, '\\'), strrchr(text, '\\'));
    EXPECT_EQ(rt::StrChr(text, '\\'), strchr(text, '\\'));
    EXPECT_EQ(rt::StrChr(text, '\0'), text + strlen(text));

    const char* pairs[][2] = { { "VANTIX Pro", "vantix pro" }, { "abc", "abd" }, { "abc", "ab" }, { "", "" }, { "Z", "a" } };
    for (const auto& pair : pairs) {
        int ours = rt::_stricmp(pair[0], pair[1]);
        int theirs = _stricmp(pair[0], pair[1]);
        EXPECT_EQ(ours < 0, theirs < 0) << pair[0] << " / " << pair[1];
        EXPECT_EQ(ours == 0, theirs == 0) << pair[0] << " / " << pair[1];
    }
    EXPECT_EQ(rt::_strnicmp("C:\\TEMP\\", "c:\\tempfiles", 7), 0);
    EXPECT_NE(rt::_strnicmp("C:\\TEMP\\", "c:\\tempfiles", 8), 0);
}

TEST(Runtime, GetenvFindsVariablesWithoutRegardToCase)
{
    // The runtime reads the environment block once, at its first look (no other test of this
    // program looks), as the classic runtime keeps the copy it made at start.
    vxtest::EnvironmentScope scope("VX_RUNTIME_PROBE", "Windows_NT");
    ASSERT_NE(rt::getenv("vx_runtime_probe"), nullptr);
    EXPECT_STREQ(rt::getenv("VX_RUNTIME_PROBE"), "Windows_NT");
    EXPECT_EQ(rt::getenv("VX_RUNTIME"), nullptr);
    EXPECT_EQ(rt::getenv(""), nullptr);
}

TEST(Runtime, CurrentFolderAccessRemoveAndRename)
{
    ScratchFolder scratch;
    vxtest::CurrentFolderScope inside(scratch.Path());
    char folder[MAX_PATH];
    ASSERT_NE(rt::_getcwd(folder, sizeof(folder)), nullptr);
    EXPECT_STREQ(folder, scratch.Path().c_str());
    char tiny[4];
    EXPECT_EQ(rt::_getcwd(tiny, sizeof(tiny)), nullptr);

    vxtest::WriteFileBytes(scratch / "a.txt", "a");
    vxtest::WriteFileBytes(scratch / "b.txt", "b");
    EXPECT_EQ(rt::_access("a.txt", 0), 0);
    EXPECT_EQ(rt::_access(scratch.Path().c_str(), 0), 0);
    EXPECT_EQ(rt::_access("missing.txt", 0), -1);
    SetFileAttributesA("b.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(rt::_access("b.txt", 2), -1);
    SetFileAttributesA("b.txt", FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(rt::rename("a.txt", "b.txt"), -1) << "rename must not replace an existing file";
    EXPECT_EQ(rt::rename("a.txt", "c.txt"), 0);
    EXPECT_EQ(rt::remove("c.txt"), 0);
    EXPECT_EQ(rt::remove("c.txt"), -1);
    EXPECT_EQ(rt::_chdir("Z:\\no\\such\\folder"), -1);
}

TEST(Runtime, TextFilesTranslateLineEndsLikeTheClassicTextMode)
{
    ScratchFolder scratch;
    std::string path = scratch / "lines.txt";
    vxtest::WriteFileBytes(path, std::string("one\r\ntwo\nthree\rfour\r\n") + std::string(600, 'x') + "\r\nend\x1A" "after");

    rt::TextFile file;
    ASSERT_TRUE(rt::OpenTextFile(&file, path.c_str(), "r"));
    char line[512];
    std::vector<std::string> lines;
    while (rt::ReadTextLine(&file, line, sizeof(line)))
        lines.push_back(line);
    rt::CloseTextFile(&file);
    // A long line comes in pieces of at most 511 characters; Ctrl-Z ends the text.
    std::vector<std::string> expected = { "one\n", "two\n", "three\rfour\n", std::string(511, 'x'), std::string(89, 'x') + "\n", "end" };
    EXPECT_EQ(lines, expected);

    ASSERT_TRUE(rt::OpenTextFile(&file, path.c_str(), "w"));
    EXPECT_TRUE(rt::WriteText(&file, "a\nb"));
    EXPECT_TRUE(rt::WriteText(&file, std::string(700, 'y').append("\n").c_str()));
    rt::CloseTextFile(&file);
    ASSERT_TRUE(rt::OpenTextFile(&file, path.c_str(), "a"));
    EXPECT_TRUE(rt::WriteText(&file, "tail\n"));
    rt::CloseTextFile(&file);
    EXPECT_EQ(vxtest::ReadFileBytes(path), "a\r\nb" + std::string(700, 'y') + "\r\ntail\r\n");

    EXPECT_FALSE(rt::OpenTextFile(&file, (scratch / "missing.txt").c_str(), "r"));
    EXPECT_FALSE(rt::ReadTextLine(&file, line, sizeof(line)));
}

}  // namespace
