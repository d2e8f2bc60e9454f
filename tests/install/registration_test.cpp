// System registration against the prefix's registry, for what only this level reaches: the two
// registry primitives' buffers and limits, a base class key that refuses writes, the current folder
// around a library's self-registration, the namespace decision over every kind of entry already
// there, and an uninstall entry too long to write whole.
#include "install/registration.h"

#include <gtest/gtest.h>

#include "common/globals.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"

namespace {

const char TEST_KEY[] = "Software\\VxTest\\Registration";
const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";
const char* const NAMESPACE_KEYS[] = { "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}" };

// A REG_SZ value stored with exactly one terminator (Wine, like NT, adds one written a byte short,
// so only a length that is too long shows); "<absent>" without one, "-" without the key.
std::string Stored(HKEY root, const std::string& key, const char* value)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return "-";
    char data[4096];
    DWORD size = sizeof(data), type = 0;
    bool present = RegQueryValueExA(handle, value, NULL, &type, (BYTE*)data, &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
    std::string text(data, present ? strnlen(data, size) : 0);
    EXPECT_TRUE(!present || (type == REG_SZ && size == text.size() + 1)) << key << ": one terminator, REG_SZ";
    return present ? text : "<absent>";
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
        vxtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VxTest");
        vxtest::ClearProductRecords();
        g_iconLocation = 0;
        g_pfnIconPlacementDlgProc = NULL;  // nobody is asked here: the dialog is the wizard's tests'
    }
};

TEST_F(Registration, SetWritesOnlyWithDataAndReadKeepsToItsBuffer)
{
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Sub", "Name", "value"), 1);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Sub", "Name"), "value");
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Bare", NULL, NULL), 0);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Bare", NULL), "<absent>") << "the key only";
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, NULL, "Text", "hello"), 1);
    RegSetKeyValueA(HKEY_CURRENT_USER, TEST_KEY, "Unterminated", REG_BINARY, "abcd", 4);
    const struct {
        const char* key;
        const char* value;
        const char* defaultText;
        int size, result;
        const char* buffer;  // nullptr: untouched
    } cases[] = {
        { "Software\\VxTest\\Missing", "Text", "dflt", 16, 0, nullptr }, { TEST_KEY, "Text", nullptr, 6, 1, "hello" },
        { TEST_KEY, "Absent", "dflt", 16, 0, "dflt" }, { TEST_KEY, "Absent", nullptr, 16, 0, nullptr }, { TEST_KEY, "Text", "dd", 4, 0, "dd" },
        { TEST_KEY, "Absent", "default text", 4, 0, "def" }, { TEST_KEY, "Unterminated", nullptr, 5, 1, "abcd" },
        { TEST_KEY, "Unterminated", "dflt", 4, 0, "dfl" }, { TEST_KEY, "Unterminated", nullptr, 4, 0, "abc" },
    };
    for (const auto& c : cases) {
        char buffer[32];
        memset(buffer, '#', sizeof(buffer));
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, c.key, c.value, c.defaultText, buffer, c.size), c.result) << c.value << " in " << c.size;
        std::string untouched(sizeof(buffer), '#');
        EXPECT_EQ(c.buffer ? std::string(buffer) : std::string(buffer, sizeof(buffer)), c.buffer ? c.buffer : untouched) << c.value << " in " << c.size;
        EXPECT_EQ(std::string(buffer + c.size, sizeof(buffer) - c.size), untouched.substr(c.size)) << "written past the buffer";
    }
    // Overlong keys and paths are refused, not cut into another key or library.
    const std::string huge = "Software\\VxTest\\" + std::string(5000, 'h');
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, huge.c_str(), huge.c_str(), NULL, "x"), 0);
    g_iconLocation = 1;
    RegisterNamespaceEntry(huge.c_str(), "VANTIX Pro", FALSE);
    EXPECT_EQ(g_iconLocation, 1);
    EXPECT_EQ(SelfRegisterLibrary(huge.c_str(), huge.c_str()), SR_NOT_LOADED);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CURRENT_USER, "Software\\VxTest\\h"));
}

// An existing key is written in place; a key that refuses values fails and keeps what it had.
TEST_F(Registration, BaseClassIsOverwrittenInPlaceUnlessTheKeyRefusesIt)
{
    const char path[] = "C:\\Program Files\\VANTIX Pro\\vantix32.exe";
    for (bool refuses : { false, true }) {
        TearDown();
        vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "", "old");
        vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child", "Kept", "kept");
        if (refuses)  // the open for KEY_SET_VALUE is refused, and so is the write on what RegCreateKeyA opens
            vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(D;;0x2;;;WD)(A;;KA;;;WD)");
        EXPECT_EQ(RegisterBaseClass(path), refuses ? 0 : 1);
        EXPECT_EQ(Stored(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, NULL), refuses ? "old" : path);
        EXPECT_EQ(Stored(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel"), refuses ? "<absent>" : "Apartment");
        EXPECT_EQ(Stored(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}", NULL), "<absent>") << "no value of its own";
        EXPECT_EQ(Stored(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child", "Kept"), "kept");
    }
}

// regprobe.dll reports the folder current while it registers itself; the caller's is current again after.
TEST_F(Registration, SelfRegistrationRunsInTheLibrarysFolderAndComesBack)
{
    vxtest::ScratchFolder caller;
    const struct {
        std::string folder;
        const char* file;
        DWORD status;  // what the library's DllRegisterServer is told to return; 0: nothing
        int result;
    } cases[] = {
        { vxtest::ModuleFolder(), "regprobe.dll", 0, SR_REGISTERED }, { VX_SAMPLE_PRODUCT, "vxshim.dll", 0x80004005, SR_FAILED },
        { VX_SAMPLE_PRODUCT, "vxcore32.dll", 0, SR_NO_ENTRY }, { VX_SAMPLE_PRODUCT, "nosuch.dll", 0, SR_NOT_LOADED },
    };
    for (const auto& c : cases) {
        vxtest::EnvironmentScope probe("VX_PROBE_FOLDER", "");
        if (c.status != 0)
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\SelfRegistration", c.file, c.status);
        vxtest::CurrentFolderScope inCaller(caller.Path());
        EXPECT_EQ(SelfRegisterLibrary(c.folder.c_str(), c.file), c.result) << c.file;
        EXPECT_EQ(vxtest::CurrentFolder(), caller.Path());
        char seen[MAX_PATH] = "";
        GetEnvironmentVariableA("VX_PROBE_FOLDER", seen, sizeof(seen));
        EXPECT_EQ(seen, c.result == SR_REGISTERED ? c.folder : "") << c.file;
        EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << c.file;
    }
}

// An entry already there decides only when its default value is readable; otherwise the setting
// (g_iconLocation) places a new one, asking allowed or not. Entries: '-' none, '0' a bare key,
// 'E' one with the text "Existing".
TEST_F(Registration, AReadableExistingEntryWinsElseTheSettingPlacesANewOne)
{
    const struct {
        const char* before;  // desktop, my computer
        int location;
        BOOL mayAsk;
        int locationAfter;
        const char* desktopAfter;
        const char* myComputerAfter;
    } cases[] = {
        { "--", 0, FALSE, 0, "VANTIX Pro Explorer", "-" }, { "--", 1, FALSE, 1, "-", "VANTIX Pro Explorer" },
        { "--", 0, TRUE, 0, "VANTIX Pro Explorer", "-" }, { "-E", 0, TRUE, 1, "-", "Existing" }, { "E-", 1, TRUE, 0, "Existing", "-" },
        { "EE", 1, FALSE, 0, "Existing", "Existing" }, { "0-", 0, FALSE, 0, "VANTIX Pro Explorer", "-" },
        { "-0", 0, FALSE, 0, "VANTIX Pro Explorer", "<absent>" }, { "00", 1, FALSE, 1, "<absent>", "VANTIX Pro Explorer" },
    };
    for (const auto& c : cases) {
        TearDown();
        for (int i = 0; i < 2; ++i) {
            if (c.before[i] != '-')
                vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[i], c.before[i] == 'E' ? "" : "Other", "Existing");
        }
        g_iconLocation = c.location;
        RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", c.mayAsk);
        EXPECT_EQ(g_iconLocation, c.locationAfter) << c.before << c.location;
        EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[0], NULL), c.desktopAfter) << c.before << c.location;
        EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, NAMESPACE_KEYS[1], NULL), c.myComputerAfter) << c.before << c.location;
    }
}

// The longest folder and group are written whole; one character more than their buffers hold is
// refused rather than cut.
TEST_F(Registration, UninstallCommandLineIsNeverCut)
{
    const std::string folder = "C:\\" + std::string(508, 'F'), group(255, 'G');
    const struct {
        std::string folder, group;
        bool written;
    } cases[] = { { folder, group, true }, { folder + "F", "VANTIX Pro", false }, { "C:\\VX", group + "G", false } };
    for (const auto& c : cases) {
        TearDown();
        WriteUninstallEntry(c.folder.c_str(), c.group.c_str());
        EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
            c.written ? "\"" + c.folder + "\\vxremove.exe\" -f " + c.folder + " -d " + c.folder + " -g " + c.group : "-");
        EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), c.written ? "Harrowby VANTIX Pro Uninstall" : "-");
    }
}

}  // namespace
