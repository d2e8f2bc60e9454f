// System registration against the prefix's real registry: the base product class, the
// self-registration of the sample product's libraries, the shell namespace entries, the uninstall
// entry and the two registry primitives. Every test removes the keys it may have written.
#include "install/registration.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <string.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char TEST_KEY[] = "Software\\VxTest\\Registration";
const char BASE_SERVER_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32";
const char PRODUCT_KEY[] = "Software\\Harrowby";
const char COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";
const char SWITCH_KEY[] = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";
// The classes the sample product's libraries register for themselves.
const char* const LIBRARY_CLASS_KEYS[] = {
    "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}" };
const char DESKTOP_PARENT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace";
const char MYCOMPUTER_PARENT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace";
const char EXPLORER_ID[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char CLASSIC_ID[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";

struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::string bytes;  // as stored, terminator included
};

RawValue ReadRaw(HKEY root, const std::string& key, const char* value)
{
    RawValue raw;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return raw;
    char data[4096];
    DWORD size = sizeof(data);
    raw.present = RegQueryValueExA(handle, value, NULL, &raw.type, (BYTE*)data, &size) == ERROR_SUCCESS;
    if (raw.present)
        raw.bytes.assign(data, size);
    RegCloseKey(handle);
    return raw;
}

// A REG_SZ value's text, checked to be stored with exactly one terminator; "<absent>" otherwise.
// (Wine, like NT, adds the terminator to a REG_SZ written one byte short, so only a length that
// is too long shows here.)
std::string ReadText(HKEY root, const std::string& key, const char* value)
{
    RawValue raw = ReadRaw(root, key, value);
    if (!raw.present)
        return "<absent>";
    std::string text = raw.bytes.substr(0, raw.bytes.find('\0'));
    EXPECT_EQ(raw.type, (DWORD)REG_SZ) << key;
    EXPECT_EQ(raw.bytes.size(), text.size() + 1) << key << ": the length written must count one terminator";
    return text;
}

void CreateKey(HKEY root, const std::string& key)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyA(root, key.c_str(), &handle), ERROR_SUCCESS) << key;
    RegCloseKey(handle);
}

// --- SetRegistryString and ReadRegistryString ---------------------------------------------------

class RegistryPrimitives : public ::testing::Test {
protected:
    void SetUp() override { vxtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VxTest"); }
    void TearDown() override
    {
        vxtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VxTest");
        g_iconLocation = 0;
    }
};

TEST_F(RegistryPrimitives, SetJoinsTheSubkeyAndWritesOnlyWithData)
{
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Sub", "Name", "value"), 1);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Sub", "Name"), "value");
    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, NULL, NULL, "default"), 1);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, TEST_KEY, NULL), "default");

    EXPECT_EQ(SetRegistryString(HKEY_CURRENT_USER, TEST_KEY, "Bare", NULL, NULL), 0);
    EXPECT_TRUE(vxtest::RegistryKeyExists(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Bare"));
    EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, std::string(TEST_KEY) + "\\Bare", NULL).present);
}

TEST_F(RegistryPrimitives, ReadLeavesOrDefaultsTheBufferAsTheKeyAndValueAllow)
{
    vxtest::WriteRegistryText(HKEY_CURRENT_USER, TEST_KEY, "Text", "hello");
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
        { TEST_KEY, "Text", "dflt", 16, 1, "hello" },
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
TEST_F(RegistryPrimitives, OverlongInputsStayInTheirBuffers)
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

// --- RegisterBaseClass --------------------------------------------------------------------------

enum class BaseKey { Absent, Present, DeniesSetValue };

class BaseClass : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    void Forget()
    {
        SetKeySecurity("D:(A;;KA;;;WD)");
        vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}");
    }
    static void SetKeySecurity(const char* sddl)
    {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, 0, WRITE_DAC, &handle) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR descriptor = NULL;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, NULL));
        EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
        RegCloseKey(handle);
    }
};

TEST_F(BaseClass, WritesPathAndApartmentInPlaceUnlessTheKeyRefusesThem)
{
    const char path[] = "C:\\Program Files\\VANTIX Pro\\vantix32.exe";
    const struct {
        BaseKey before;
        int result;
        const char* defaultAfter;
        const char* threadingAfter;
    } cases[] = {
        { BaseKey::Absent, 1, path, "Apartment" },
        { BaseKey::Present, 1, path, "Apartment" },
        // The open for KEY_SET_VALUE is refused; RegCreateKeyA opens the key with what it
        // allows, and the write on that handle is refused.
        { BaseKey::DeniesSetValue, 0, "old", "<absent>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((int)c.before);
        Forget();
        if (c.before != BaseKey::Absent) {
            vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "", "old");
            vxtest::WriteRegistryText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "Kept", "kept");
            CreateKey(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child");
        }
        if (c.before == BaseKey::DeniesSetValue)
            SetKeySecurity("D:(D;;0x2;;;WD)(A;;KA;;;WD)");

        EXPECT_EQ(RegisterBaseClass(path), c.result);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, NULL), c.defaultAfter);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel"), c.threadingAfter);
        if (c.result == 1) {
            EXPECT_EQ(ReadRaw(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "ThreadingModel").bytes.size(), 10u);
        }
        EXPECT_FALSE(ReadRaw(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}", NULL).present)
            << "the class key gets no value of its own";
        if (c.before != BaseKey::Absent) {
            EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, BASE_SERVER_KEY, "Kept"), "kept") << "overwritten in place";
            EXPECT_TRUE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, std::string(BASE_SERVER_KEY) + "\\Child"));
        }
    }
}

// --- SelfRegisterLibrary ------------------------------------------------------------------------

enum class Where { Product, Scratch, TestPrograms };

class SelfRegistration : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget()
    {
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        for (const char* key : LIBRARY_CLASS_KEYS)
            vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
    }
    std::string Folder(Where where) const
    {
        switch (where) {
        case Where::Product: return VX_SAMPLE_PRODUCT_DIR;
        case Where::Scratch: return libraries_.Path();
        case Where::TestPrograms: return vxtest::ModuleFolder();
        }
        return "";
    }

    ScratchFolder caller_{ "vxcaller" };
    ScratchFolder libraries_{ "vxlibs" };
};

TEST_F(SelfRegistration, ResultFollowsLoadExportAndStatusAndTheCurrentFolderComesBack)
{
    vxtest::WriteFileBytes(libraries_ / "notalib.dll", "This is a text file, not a library.\r\n");
    const DWORD NO_SWITCH = 0xFFFFFFFF;
    const struct {
        Where where;
        const char* file;
        DWORD registrationSwitch;  // what the library's DllRegisterServer is told to return
        int result;
        bool writesComponent;
    } cases[] = {
        { Where::Product, "vxshell.dll", NO_SWITCH, SR_REGISTERED, true },
        { Where::Product, "vxshim.dll", NO_SWITCH, SR_REGISTERED, true },
        { Where::Product, "vxshim.dll", 0x80004005, SR_FAILED, false },
        { Where::Product, "vxshell.dll", 1 /* S_FALSE */, SR_REGISTERED, false },
        { Where::Product, "vxcore32.dll", NO_SWITCH, SR_NO_ENTRY, false },
        { Where::Product, "nosuch.dll", NO_SWITCH, SR_NOT_LOADED, false },
        { Where::Scratch, "notalib.dll", NO_SWITCH, SR_NOT_LOADED, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " switch " + std::to_string(c.registrationSwitch));
        Forget();
        if (c.registrationSwitch != NO_SWITCH)
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, c.file, c.registrationSwitch);
        std::string folder = Folder(c.where);
        vxtest::CurrentFolderScope inCaller(caller_.Path());

        EXPECT_EQ(SelfRegisterLibrary(folder.c_str(), c.file), c.result);
        EXPECT_EQ(vxtest::CurrentFolder(), caller_.Path());
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, c.file),
            c.writesComponent ? vxtest::JoinPath(folder, c.file) : "<absent>");
    }
}

TEST_F(SelfRegistration, LibraryFolderIsCurrentDuringTheCall)
{
    // regprobe.dll's DllRegisterServer puts the current folder into VX_PROBE_FOLDER.
    SetEnvironmentVariableA("VX_PROBE_FOLDER", NULL);
    vxtest::CurrentFolderScope inCaller(caller_.Path());

    EXPECT_EQ(SelfRegisterLibrary(Folder(Where::TestPrograms).c_str(), "regprobe.dll"), SR_REGISTERED);
    char seen[MAX_PATH] = "";
    GetEnvironmentVariableA("VX_PROBE_FOLDER", seen, sizeof(seen));
    EXPECT_EQ(std::string(seen), Folder(Where::TestPrograms));
    EXPECT_EQ(vxtest::CurrentFolder(), caller_.Path());
}

// --- RegisterNamespaceEntry ---------------------------------------------------------------------

// What a namespace key holds: no key, a key without a default value, or one with the text "Existing".
enum class Entry { None, BareKey, Existing };

std::string NamespaceKey(const char* parent, const char* classId)
{
    return std::string(parent) + "\\" + classId;
}

void Prepare(const char* parent, const char* classId, Entry entry)
{
    if (entry == Entry::BareKey)
        CreateKey(HKEY_LOCAL_MACHINE, NamespaceKey(parent, classId));
    if (entry == Entry::Existing)
        vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, NamespaceKey(parent, classId), "", "Existing");
}

// The key's name as stored, so that letter case counts; "" when there is none.
std::string StoredName(const char* parent, const char* classId)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent, 0, KEY_ENUMERATE_SUB_KEYS, &handle) != ERROR_SUCCESS)
        return "";
    std::string found;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(handle, i, name, sizeof(name)) == ERROR_SUCCESS; ++i)
        if (_stricmp(name, classId) == 0)
            found = name;
    RegCloseKey(handle);
    return found;
}

// "-" no key; "" a key without a default value; else the default value.
std::string EntryText(const char* parent, const char* classId)
{
    if (!vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, NamespaceKey(parent, classId)))
        return "-";
    std::string text = ReadText(HKEY_LOCAL_MACHINE, NamespaceKey(parent, classId), NULL);
    return text == "<absent>" ? "" : text;
}

class NamespaceEntries : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override
    {
        Forget();
        g_iconLocation = 0;
    }
    static void Forget()
    {
        for (const char* parent : { DESKTOP_PARENT, MYCOMPUTER_PARENT })
            for (const char* classId : { EXPLORER_ID, CLASSIC_ID })
                vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, NamespaceKey(parent, classId));
    }
};

TEST_F(NamespaceEntries, ExistingReadableEntryWinsElseTheSettingPlacesANewOne)
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
        // Nobody is asked yet: the setting decides even when asking is allowed.
        { Entry::None, Entry::None, 0, TRUE, 0, "VANTIX Pro Explorer", "-" },
        { Entry::None, Entry::None, 1, TRUE, 1, "-", "VANTIX Pro Explorer" },
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
        Prepare(DESKTOP_PARENT, EXPLORER_ID, c.desktop);
        Prepare(MYCOMPUTER_PARENT, EXPLORER_ID, c.myComputer);
        g_iconLocation = c.locationBefore;

        RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", c.mayAsk);
        EXPECT_EQ(g_iconLocation, c.locationAfter);
        EXPECT_EQ(EntryText(DESKTOP_PARENT, EXPLORER_ID), c.desktopAfter);
        EXPECT_EQ(EntryText(MYCOMPUTER_PARENT, EXPLORER_ID), c.myComputerAfter);
        if (std::string(c.desktopAfter) == "VANTIX Pro Explorer") {
            EXPECT_EQ(StoredName(DESKTOP_PARENT, EXPLORER_ID), EXPLORER_ID);
        }
        if (std::string(c.myComputerAfter) == "VANTIX Pro Explorer") {
            EXPECT_EQ(StoredName(MYCOMPUTER_PARENT, EXPLORER_ID), EXPLORER_ID);
        }
    }
}

TEST_F(NamespaceEntries, ClassicEntryFollowsAnExplorerEntryFoundUnderMyComputer)
{
    Prepare(MYCOMPUTER_PARENT, EXPLORER_ID, Entry::Existing);
    g_iconLocation = 0;
    RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", TRUE);
    RegisterNamespaceEntry(SZ_CLASSIC_CLASS_ID, "VANTIX Pro", FALSE);

    EXPECT_EQ(g_iconLocation, 1);
    EXPECT_EQ(EntryText(MYCOMPUTER_PARENT, CLASSIC_ID), "VANTIX Pro");
    EXPECT_EQ(StoredName(MYCOMPUTER_PARENT, CLASSIC_ID), CLASSIC_ID);
    EXPECT_EQ(EntryText(DESKTOP_PARENT, CLASSIC_ID), "-");
    EXPECT_EQ(EntryText(DESKTOP_PARENT, EXPLORER_ID), "-");
}

// --- WriteUninstallEntry ------------------------------------------------------------------------

class UninstallEntry : public ::testing::Test {
protected:
    void SetUp() override { vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY); }
    void TearDown() override { vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY); }
};

TEST_F(UninstallEntry, CommandLineQuotesOnlyTheProgramAndIsNeverCut)
{
    const std::string longFolder = "C:\\" + std::string(497, 'F');
    const std::string longGroup(255, 'G');
    const struct {
        std::string folder;
        std::string group;
        std::string command;  // "" no entry at all
    } cases[] = {
        { "C:\\VX", "VANTIX Pro", "\"C:\\VX\\vxremove.exe\" -f C:\\VX -d C:\\VX -g VANTIX Pro" },
        { "C:\\Program Files\\VANTIX Pro", "My Group",
            "\"C:\\Program Files\\VANTIX Pro\\vxremove.exe\" -f C:\\Program Files\\VANTIX Pro"
            " -d C:\\Program Files\\VANTIX Pro -g My Group" },
        { longFolder, longGroup,
            "\"" + longFolder + "\\vxremove.exe\" -f " + longFolder + " -d " + longFolder + " -g " + longGroup },
        // One character more than the folder and group buffers hold: refused rather than cut.
        { longFolder + std::string(12, 'F'), "VANTIX Pro", "" },
        { "C:\\VX", longGroup + "G", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.substr(0, 40) + " / " + c.group.substr(0, 20));
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        WriteUninstallEntry(c.folder.c_str(), c.group.c_str());
        if (c.command.empty()) {
            EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
            continue;
        }
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "Harrowby VANTIX Pro Uninstall");
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"), c.command);
    }
}

}  // namespace
