// System registration against the prefix's registry.
#include "install/registration.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/product_records.h"

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const char* const NAMESPACE_KEYS[] = { "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}" };

class Registration : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override { vxtest::ClearProductRecords(), g_iconLocation = 0, g_pfnIconPlacementDlgProc = NULL; }  // nobody is asked here
};

// regprobe.dll reports the folder current while it registers: the library's own; the caller's comes back.
TEST_F(Registration, SelfRegistrationRunsInTheLibrarysFolderAndComesBack)
{
    vxtest::ScratchFolder caller;
    const struct {
        std::string folder;
        const char* file;
        int result;
    } cases[] = { { vxtest::ModuleFolder(), "regprobe.dll", SR_REGISTERED }, { VX_SAMPLE_PRODUCT, "vxcore32.dll", SR_NO_ENTRY },
        { VX_SAMPLE_PRODUCT, "nosuch.dll", SR_NOT_LOADED } };
    for (const auto& c : cases) {
        vxtest::EnvironmentScope probe("VX_PROBE_FOLDER", "");
        vxtest::CurrentFolderScope inCaller(caller.Path());
        EXPECT_EQ(SelfRegisterLibrary(c.folder.c_str(), c.file), c.result) << c.file;
        EXPECT_EQ(vxtest::CurrentFolder(), caller.Path());
        char seen[MAX_PATH] = "";
        GetEnvironmentVariableA("VX_PROBE_FOLDER", seen, sizeof(seen));
        EXPECT_EQ(seen, c.result == SR_REGISTERED ? c.folder : "") << c.file;
    }
}

// An entry already there decides only when its default value is readable; otherwise the setting
// (g_iconLocation) places a new one. Entries: '-' none, '0' a bare key, 'E' one with "Existing".
TEST_F(Registration, AReadableExistingEntryWinsElseTheSettingPlacesANewOne)
{
    const struct {
        const char* before;  // desktop, my computer
        int location, locationAfter;
        const char* desktopAfter;
        const char* myComputerAfter;
    } cases[] = {
        { "--", 0, 0, "VANTIX Pro Explorer", "<absent>" }, { "--", 1, 1, "<absent>", "VANTIX Pro Explorer" }, { "-E", 0, 1, "<absent>", "Existing" },
        { "E-", 1, 0, "Existing", "<absent>" }, { "00", 1, 1, "<absent>", "VANTIX Pro Explorer" },
    };
    for (const auto& c : cases) {
        TearDown();
        for (int i = 0; i < 2; ++i)
            if (c.before[i] != '-')
                vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[i], c.before[i] == 'E' ? "" : "Other", "Existing");
        g_iconLocation = c.location;
        RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", TRUE);
        EXPECT_EQ(g_iconLocation, c.locationAfter) << c.before << c.location;
        EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[0], ""), c.desktopAfter) << c.before << c.location;
        EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[1], ""), c.myComputerAfter) << c.before << c.location;
    }
}

// The longest folder and group are written whole; a folder one character longer is refused, not cut.
TEST_F(Registration, UninstallEntryNamesTheRemoverWithFolderAndGroupAndIsNeverCut)
{
    const std::string folder = "C:\\" + std::string(508, 'F'), group(255, 'G');
    WriteUninstallEntry(folder.c_str(), group.c_str());
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
        "\"" + folder + "\\vxremove.exe\" -f " + folder + " -d " + folder + " -g " + group);
    EXPECT_EQ(vxtest::RegistryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "Harrowby VANTIX Pro Uninstall");
    TearDown();
    WriteUninstallEntry((folder + "F").c_str(), "VANTIX Pro");
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{});
}

}  // namespace
