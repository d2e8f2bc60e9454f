// System registration against the prefix's real registry, for what only this level reaches: the
// two registry primitives' buffers and limits, a base class key that refuses writes, the current
// folder around a library's self-registration, the namespace decision over every kind of entry
// already there, and an uninstall entry too long to write whole. The plain install road of each
// is checked by the install sequence tests. Every test removes the keys it may have written.
#include "install/registration.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char TEST_KEY[] = "Software\\VxTest\\Registration";
const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";
const char SWITCH_KEY[] = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";
const char DESKTOP_PARENT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace";
const char MYCOMPUTER_PARENT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace";
const char EXPLORER_ID[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";

// A REG_SZ value's text, checked to be stored with exactly one terminator; "<absent>" otherwise.
// (Wine, like NT, adds the terminator to a REG_SZ written one byte short, so only a length that
// is too long shows here.)
std::string ReadText(HKEY root, const std::string& key, const char* value)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return "<absent>";
    char data[4096];
    DWORD size = sizeof(data);
    DWORD type = 0;
    bool present = RegQueryValueExA(handle, value, NULL, &type, (BYTE*)data, &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
    if (!present)
        return "<absent>";
    std::string text(data, strnlen(data, size));
    EXPECT_EQ(type, (DWORD)REG_SZ) << key;
    EXPECT_EQ(size, text.size() + 1) << key << ": the length written must count one terminator";
    return text;
}

void CreateKey(HKEY root, const std::string& key)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyA(root, key.c_str(), &handle), ERROR_SUCCESS) << key;
    RegCloseKey(handle);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override
    {
        Forget();
        g_iconLocation = 0;
    }
    static void Forget()
    {
        vxtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VxTest");
        vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(A;;KA;;;WD)");
        vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}");
        vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}");  // vxshim.dll's own
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
        for (const char* parent : { DESKTOP_PARENT, MYCOMPUTER_PARENT })
            vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string(parent) + "\\" + EXPLORER_ID);
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    }
};

TEST_F(Registration, SetWritesOnlyWithDataAndReadKeepsToItsBuffer)
{
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Sub", "Name", "value"), 1);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Sub", "Name"), "value");
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Bare", NULL, NULL), 0);
    EXPECT_TRUE(vxtest::RegistryKeyExists(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Bare"));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Bare", NULL), "<absent>");

    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, NULL, "Text", "hello"), 1);
    HKEY handle;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, KEY_SET_VALUE, &handle), ERROR_SUCCESS);
    RegSetValueExA(handle, "Unterminated", 0, REG_BINARY, (const BYTE*)"abcd", 4);
    RegCloseKey(handle);
    const struct {
        const char* key;
        const char* value;
        const char* defaultText;
        int bufferSize;
        int result;
        const char* buffer;  // NULL: untouched
    } cases[] = {
        { "Software\\VxTest\\Missing", "Text", "dflt", 16, 0, NULL },
        { TEST_KEY, "Text", NULL, 6, 1, "hello" },
        { TEST_KEY, "Absent", "dflt", 16, 0, "dflt" },
        { TEST_KEY, "Absent", NULL, 16, 0, NULL },
        { TEST_KEY, "Text", "dd", 4, 0, "dd" },
        { TEST_KEY, "Absent", "default text", 4, 0, "def" },
        { TEST_KEY, "Unterminated", NULL, 5, 1, "abcd" },
        { TEST_KEY, "Unterminated", "dflt", 4, 0, "dfl" },
        { TEST_KEY, "Unterminated", NULL, 4, 0, "abc" },
    };
    for (const auto& c : cases) {
        char buffer[32];
        memset(buffer, '#', sizeof(buffer));
        SCOPED_TRACE(std::string(c.key) + " " + c.value + " size " + std::to_string(c.bufferSize));
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, c.key, c.value, c.defaultText, buffer, c.bufferSize), c.result);
        if (c.buffer == NULL) {
            EXPECT_EQ(std::string(buffer, sizeof(buffer)), std::string(sizeof(buffer), '#'));
        } else {
            EXPECT_STREQ(buffer, c.buffer);
        }
        EXPECT_EQ(std::string(buffer + c.bufferSize, sizeof(buffer) - c.bufferSize), std::string(sizeof(buffer) - c.bufferSize, '#'))
            << "written past the buffer";
    }
}

// Stack buffers overrun by these would not survive the call.
TEST_F(Registration, OverlongInputsStayInTheirBuffers)
{
    const std::string huge = "Software\\VxTest\\" + std::string(5000, 'h');
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, huge.c_str(), huge.c_str(), NULL, "x"), 0);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CURRENT_USER, "Software\\VxTest"));

    g_iconLocation = 1;
    RegisterNamespaceEntry(huge.c_str(), "VANTIX Pro", FALSE);
    EXPECT_EQ(g_iconLocation, 1);

    ScratchFolder caller("vxcaller");
    vxtest::CurrentFolderScope inCaller(caller.Path());
    EXPECT_EQ(SelfRegisterLibrary(huge.c_str(), huge.c_str()), SR_NOT_LOADED);
    EXPECT_EQ(vxtest::CurrentFolder(), caller.Path());
}

// An existing key is written in place; a key that refuses values fails and keeps what it had.
TEST_F(Registration, BaseClassIsOverwrittenInPlaceUnlessTheKeyRefusesIt)
{
    const char path[] = "C:\\Program Files\\VANTIX Pro\\vantix32.exe";
    for (bool refuses : { false, true }) {
        SCOPED_TRACE(refuses ? "refuses values" : "allows values");
        Forget();
        vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "", "old");
        vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "Kept", "kept");
        CreateKey(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child");
        // The open for KEY_SET_VALUE is refused; RegCreateKeyA opens the key with what it allows,
        // and the write on that handle is refused.
        if (refuses)
            vxtest::SetRegistryKeyAccess(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "D:(D;;0x2;;;WD)(A;;KA;;;WD)");

        EXPECT_EQ(RegisterBaseClass(path), refuses ? 0 : 1);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, NULL), refuses ? "old" : path);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel"), refuses ? "<absent>" : "Apartment");
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}", NULL), "<absent>")
            << "the class key gets no value of its own";
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "Kept"), "kept");
        EXPECT_TRUE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child"));
    }
}

// The library's folder is current while it registers itself (regprobe.dll reports it), and the
// caller's folder is current again afterwards, whatever the result.
TEST_F(Registration, SelfRegistrationRunsInTheLibrarysFolderAndComesBack)
{
    ScratchFolder caller("vxcaller");
    const std::string product = VX_SAMPLE_PRODUCT_DIR;
    const struct {
        std::string folder;
        const char* file;
        DWORD registrationSwitch;  // what the library's DllRegisterServer is told to return; 0: nothing
        int result;
    } cases[] = {
        { vxtest::ModuleFolder(), "regprobe.dll", 0, SR_REGISTERED },
        { product, "vxshim.dll", 0x80004005, SR_FAILED },
        { product, "vxcore32.dll", 0, SR_NO_ENTRY },
        { product, "nosuch.dll", 0, SR_NOT_LOADED },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " switch " + std::to_string(c.registrationSwitch));
        Forget();
        SetEnvironmentVariableA("VX_PROBE_FOLDER", NULL);
        if (c.registrationSwitch != 0)
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, c.file, c.registrationSwitch);
        vxtest::CurrentFolderScope inCaller(caller.Path());

        EXPECT_EQ(SelfRegisterLibrary(c.folder.c_str(), c.file), c.result);
        EXPECT_EQ(vxtest::CurrentFolder(), caller.Path());
        if (c.result == SR_REGISTERED) {
            char seen[MAX_PATH] = "";
            GetEnvironmentVariableA("VX_PROBE_FOLDER", seen, sizeof(seen));
            EXPECT_EQ(std::string(seen), c.folder);
        } else {
            EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, c.file), "<absent>");
        }
    }
}

// What a namespace key holds: no key, a key without a default value, or one with the text "Existing".
enum class Entry { None, BareKey, Existing };

// "-" no key; "" a key without a default value; else the default value. A written entry must
// keep the class identifier's letter case in its key name.
std::string EntryText(const char* parent)
{
    std::string key = std::string(parent) + "\\" + EXPLORER_ID;
    if (!vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, key))
        return "-";
    std::string text = ReadText(HKEY_LOCAL_MACHINE, key, NULL);
    if (text == "VANTIX Pro Explorer") {
        HKEY handle;
        char name[256];
        std::string stored;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent, 0, KEY_ENUMERATE_SUB_KEYS, &handle) == ERROR_SUCCESS) {
            for (DWORD i = 0; RegEnumKeyA(handle, i, name, sizeof(name)) == ERROR_SUCCESS; ++i)
                if (_stricmp(name, EXPLORER_ID) == 0)
                    stored = name;
            RegCloseKey(handle);
        }
        EXPECT_EQ(stored, EXPLORER_ID) << parent;
    }
    return text == "<absent>" ? "" : text;
}

// An entry already there decides only when its default value is readable; otherwise the
// setting (g_iconLocation) places a new one, whether or not asking is allowed.
TEST_F(Registration, AReadableExistingEntryWinsElseTheSettingPlacesANewOne)
{
    const struct {
        Entry desktop, myComputer;
        int locationBefore;
        BOOL mayAsk;
        int locationAfter;
        const char* desktopAfter;
        const char* myComputerAfter;
    } cases[] = {
        { Entry::None, Entry::None, 0, FALSE, 0, "VANTIX Pro Explorer", "-" },
        { Entry::None, Entry::None, 1, FALSE, 1, "-", "VANTIX Pro Explorer" },
        { Entry::None, Entry::None, 0, TRUE, 0, "VANTIX Pro Explorer", "-" },
        { Entry::None, Entry::Existing, 0, TRUE, 1, "-", "Existing" },
        { Entry::Existing, Entry::None, 1, TRUE, 0, "Existing", "-" },
        { Entry::Existing, Entry::Existing, 1, FALSE, 0, "Existing", "Existing" },
        { Entry::BareKey, Entry::None, 0, FALSE, 0, "VANTIX Pro Explorer", "-" },
        { Entry::None, Entry::BareKey, 0, FALSE, 0, "VANTIX Pro Explorer", "" },
        { Entry::BareKey, Entry::BareKey, 1, FALSE, 1, "", "VANTIX Pro Explorer" },
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        Forget();
        const std::pair<const char*, Entry> before[] = { { DESKTOP_PARENT, c.desktop }, { MYCOMPUTER_PARENT, c.myComputer } };
        for (const auto& entry : before) {
            std::string key = std::string(entry.first) + "\\" + EXPLORER_ID;
            if (entry.second == Entry::BareKey)
                CreateKey(HKEY_LOCAL_MACHINE, key);
            if (entry.second == Entry::Existing)
                vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, key, "", "Existing");
        }
        g_iconLocation = c.locationBefore;

        RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", c.mayAsk);
        EXPECT_EQ(g_iconLocation, c.locationAfter);
        EXPECT_EQ(EntryText(DESKTOP_PARENT), c.desktopAfter);
        EXPECT_EQ(EntryText(MYCOMPUTER_PARENT), c.myComputerAfter);
    }
}

// The longest folder and group are written whole; one character more than their buffers hold
// is refused rather than cut.
TEST_F(Registration, UninstallCommandLineIsNeverCut)
{
    const std::string longFolder = "C:\\" + std::string(497, 'F');
    const std::string longGroup(255, 'G');
    const struct {
        std::string folder;
        std::string group;
        bool written;
    } cases[] = {
        { longFolder, longGroup, true },
        { longFolder + std::string(12, 'F'), "VANTIX Pro", false },
        { "C:\\VX", longGroup + "G", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.folder.size()) + " / " + std::to_string(c.group.size()));
        Forget();
        WriteUninstallEntry(c.folder.c_str(), c.group.c_str());
        EXPECT_EQ(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY), c.written);
        if (c.written) {
            EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
                "\"" + c.folder + "\\vxremove.exe\" -f " + c.folder + " -d " + c.folder + " -g " + c.group);
        }
    }
}

}  // namespace
