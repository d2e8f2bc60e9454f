// The uninstall command-line parser of vxremove.exe, fed the lines Setup writes and damaged ones.
#include <gtest/gtest.h>

#include <string>

#include "removeargs.h"

namespace {

struct CommandLineCase {
    const char *name;
    const char *commandLine;
    unsigned found;
    const char *files;
    const char *folder;
    const char *group;
};

const CommandLineCase CASES[] = {
    {"AsSetupWritesIt", "\"C:\\dest\\vxremove.exe\" -f C:\\dest -d C:\\dest -g VANTIX Pro",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\dest", "C:\\dest", "VANTIX Pro"},
    {"BlanksInFoldersAndGroup",
     "\"C:\\Program Files\\VANTIX Pro\\vxremove.exe\" -f C:\\Program Files\\VANTIX Pro "
     "-d C:\\Program Files\\VANTIX Pro -g My FTP Tools",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\Program Files\\VANTIX Pro", "C:\\Program Files\\VANTIX Pro",
     "My FTP Tools"},
    {"GroupRunsToTheEndEvenPastOptionLikeText", "\"C:\\VX\\vxremove.exe\" -f C:\\VX -d C:\\VX -g Tools -d Extra",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX", "C:\\VX", "Tools -d Extra"},
    {"DashInsideAFolderNameIsNoOption", "\"C:\\VX\\vxremove.exe\" -f C:\\my-files\\a -dx -d C:\\VX -g G",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\my-files\\a -dx", "C:\\VX", "G"},
    {"UnquotedProgramPath", "C:\\VX\\vxremove.exe -f C:\\VX -d C:\\VX -g VANTIX Pro",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX", "C:\\VX", "VANTIX Pro"},
    {"TrailingLineEndAndBlanksDropped", "\"C:\\VX\\vxremove.exe\" -f  C:\\VX   -d C:\\VX -g VANTIX Pro  \r\n",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX", "C:\\VX", "VANTIX Pro"},
    {"OptionsInAnotherOrder", "\"C:\\VX\\vxremove.exe\" -d C:\\D -f C:\\F -g G",
     RM_FILES | RM_FOLDER | RM_GROUP, "C:\\F", "C:\\D", "G"},
    {"GroupMissing", "\"C:\\VX\\vxremove.exe\" -f C:\\VX -d C:\\VX", RM_FILES | RM_FOLDER, "C:\\VX", "C:\\VX", ""},
    {"FolderMissing", "\"C:\\VX\\vxremove.exe\" -f C:\\VX -g VANTIX Pro", RM_FILES | RM_GROUP, "C:\\VX", "",
     "VANTIX Pro"},
    {"OptionWithoutValue", "\"C:\\VX\\vxremove.exe\" -f -d C:\\VX -g", RM_FOLDER, "", "C:\\VX", ""},
    {"NoOptions", "\"C:\\VX\\vxremove.exe\"", 0, "", "", ""},
    {"QuotedPathHoldingAnOption", "\"C:\\x -f y\\vxremove.exe\" -g G", RM_GROUP, "", "", "G"},
    {"UnclosedQuote", "\"C:\\VX\\vxremove.exe -f C:\\VX", 0, "", "", ""},
};

class RemoveCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(RemoveCommandLine, YieldsTheGivenOptions)
{
    const CommandLineCase &c = GetParam();
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(c.commandLine, options), c.found);
    EXPECT_STREQ(options.szFiles, c.files);
    EXPECT_STREQ(options.szFolder, c.folder);
    EXPECT_STREQ(options.szGroup, c.group);
}

INSTANTIATE_TEST_SUITE_P(Lines, RemoveCommandLine, testing::ValuesIn(CASES),
                         [](const testing::TestParamInfo<CommandLineCase> &info) { return info.param.name; });

TEST(RemoveCommandLineLimits, OverlongValueIsCutToItsBuffer)
{
    const std::string group(3000, 'g');
    const std::string line = "\"C:\\VX\\vxremove.exe\" -g " + group;
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(line.c_str(), options), RM_GROUP);
    EXPECT_EQ(std::string(options.szGroup), group.substr(0, sizeof options.szGroup - 1));
}

TEST(RemoveCommandLineLimits, NoCommandLineFindsNothing)
{
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(nullptr, options), 0u);
}

} // namespace
