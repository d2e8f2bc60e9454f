// The uninstall command-line parser of vxremove.exe, fed the line Setup writes and damaged ones.
#include <gtest/gtest.h>

#include <string>

#include "removeargs.h"

namespace {

TEST(RemoveCommandLine, YieldsTheOptionsFound)
{
    const struct {
        const char *commandLine;
        unsigned found;
        const char *files, *folder, *group;
    } cases[] = {
        {"\"C:\\Program Files\\VANTIX Pro\\vxremove.exe\" -f C:\\Program Files\\VANTIX Pro "
         "-d C:\\Program Files\\VANTIX Pro -g My FTP Tools",
         RM_FILES | RM_FOLDER | RM_GROUP, "C:\\Program Files\\VANTIX Pro", "C:\\Program Files\\VANTIX Pro", "My FTP Tools"},
        // The group runs to the end of the line, even past option-like text.
        {"\"C:\\VX\\vxremove.exe\" -f C:\\VX -d C:\\VX -g Tools -d Extra", RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX",
         "C:\\VX", "Tools -d Extra"},
        {"\"C:\\VX\\vxremove.exe\" -f C:\\my-files\\a -dx -d C:\\VX -g G", RM_FILES | RM_FOLDER | RM_GROUP,
         "C:\\my-files\\a -dx", "C:\\VX", "G"},
        {"C:\\VX\\vxremove.exe -f C:\\VX -d C:\\VX -g VANTIX Pro", RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX", "C:\\VX",
         "VANTIX Pro"},
        {"\"C:\\VX\\vxremove.exe\" -f  C:\\VX   -d C:\\VX -g VANTIX Pro  \r\n", RM_FILES | RM_FOLDER | RM_GROUP, "C:\\VX",
         "C:\\VX", "VANTIX Pro"},
        {"\"C:\\VX\\vxremove.exe\" -d C:\\D -f C:\\F -g G", RM_FILES | RM_FOLDER | RM_GROUP, "C:\\F", "C:\\D", "G"},
        {"\"C:\\VX\\vxremove.exe\" -f C:\\VX -g VANTIX Pro", RM_FILES | RM_GROUP, "C:\\VX", "", "VANTIX Pro"},
        {"\"C:\\VX\\vxremove.exe\" -f -d C:\\VX -g", RM_FOLDER, "", "C:\\VX", ""},
        {"\"C:\\VX\\vxremove.exe\"", 0, "", "", ""},
        {"\"C:\\x -f y\\vxremove.exe\" -g G", RM_GROUP, "", "", "G"},
        {"\"C:\\VX\\vxremove.exe -f C:\\VX", 0, "", "", ""},
    };
    for (const auto &c : cases) {
        REMOVE_OPTIONS options;
        EXPECT_EQ(ParseRemoveCommandLine(c.commandLine, options), c.found) << c.commandLine;
        EXPECT_STREQ(options.szFiles, c.files) << c.commandLine;
        EXPECT_STREQ(options.szFolder, c.folder) << c.commandLine;
        EXPECT_STREQ(options.szGroup, c.group) << c.commandLine;
    }
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(nullptr, options), 0u);
}

TEST(RemoveCommandLine, AnOverlongValueIsCutToItsBuffer)
{
    const std::string group(3000, 'g');
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(("\"C:\\VX\\vxremove.exe\" -g " + group).c_str(), options), RM_GROUP);
    EXPECT_EQ(std::string(options.szGroup), group.substr(0, sizeof options.szGroup - 1));
}

} // namespace
