// Self-registration of vxshell.dll and vxshim.dll, called the way Setup calls it: the library is
// loaded from an install folder whose name has a blank, and its exports are looked up by name.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "product_paths.h"
#include "wine_env.h"

namespace {

const char COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";
const char SWITCH_KEY[] = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";

struct Component {
    const char *file;
    const char *classKey;
    const char *description;
};

const Component COMPONENTS[] = {
    {"vxshell.dll", "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "VANTIX Pro Explorer"},
    {"vxshim.dll", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", "VANTIX Pro Shell Stub"},
};

void PrintTo(const Component &component, std::ostream *os)
{
    *os << component.file;
}

typedef HRESULT(STDAPICALLTYPE *SelfRegFunction)();

// A REG_SZ value whose stored length counts exactly one terminating zero; "" when absent. (Wine
// adds a terminator that the writer left out, so under Wine the length check catches only a
// length that is too long.)
std::string ReadStringValue(HKEY root, const std::string &key, const char *value)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return "";
    char data[1024] = {};
    DWORD type = 0, size = sizeof data - 1;
    LONG status = RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return "";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << key << " " << (value ? value : "(default)");
    EXPECT_EQ(size, strlen(data) + 1) << key << " " << (value ? value : "(default)");
    return data;
}

bool ComponentValueExists(const char *file)
{
    std::string data;
    return vxtest::ReadRegistryText(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, file, &data);
}

const Component &OtherComponent(const Component &component)
{
    return strcmp(component.file, COMPONENTS[0].file) == 0 ? COMPONENTS[1] : COMPONENTS[0];
}

void ForgetAllRegistrations()
{
    for (const Component &component : COMPONENTS)
        vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, component.classKey);
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPONENTS_KEY);
    vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, SWITCH_KEY);
}

// One component library copied into a scratch install folder and loaded from there.
class SelfRegistration : public testing::TestWithParam<Component> {
protected:
    void SetUp() override
    {
        ForgetAllRegistrations();
        folder_ = installRoot_ / "VANTIX Pro";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        library_ = Load(GetParam().file);
        ASSERT_NE(library_, nullptr);
        reg_ = Entry(library_, "DllRegisterServer");
        unreg_ = Entry(library_, "DllUnregisterServer");
        ASSERT_NE(reg_, nullptr);
        ASSERT_NE(unreg_, nullptr);
    }

    void TearDown() override
    {
        for (HMODULE library : loaded_)
            FreeLibrary(library);
        ForgetAllRegistrations();
    }

    HMODULE Load(const char *file)
    {
        std::string path = vxtest::JoinPath(folder_, file);
        EXPECT_TRUE(CopyFileA(ProductFile(file).c_str(), path.c_str(), FALSE)) << path;
        HMODULE library = LoadLibraryA(path.c_str());
        if (library)
            loaded_.push_back(library);
        return library;
    }

    static SelfRegFunction Entry(HMODULE library, const char *name)
    {
        return reinterpret_cast<SelfRegFunction>(reinterpret_cast<void *>(GetProcAddress(library, name)));
    }

    std::string LoadedPath() const
    {
        char path[MAX_PATH];
        GetModuleFileNameA(library_, path, sizeof path);
        return path;
    }

    std::string ServerKey() const { return std::string(GetParam().classKey) + "\\InProcServer32"; }

    void ExpectNothingRegistered() const
    {
        EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, GetParam().classKey));
        EXPECT_FALSE(ComponentValueExists(GetParam().file));
    }

    vxtest::ScratchFolder installRoot_{"vxselfreg"};
    std::string folder_;
    HMODULE library_ = nullptr;
    std::vector<HMODULE> loaded_;
    SelfRegFunction reg_ = nullptr;
    SelfRegFunction unreg_ = nullptr;
};

TEST_P(SelfRegistration, RegisterWritesTheClassAndComponentWithTheLibrarysOwnPath)
{
    ASSERT_EQ(reg_(), S_OK);

    const std::string path = LoadedPath();
    ASSERT_NE(path.find("\\VANTIX Pro\\"), std::string::npos) << path;
    EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, GetParam().classKey, nullptr), GetParam().description);
    EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, ServerKey(), nullptr), path);
    EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, ServerKey(), "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, GetParam().file), path);
}

TEST_P(SelfRegistration, UnregisterRemovesWhatRegisterWroteAndTheEmptyComponentsKey)
{
    ASSERT_EQ(reg_(), S_OK);
    ASSERT_EQ(unreg_(), S_OK);

    ExpectNothingRegistered();
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, COMPONENTS_KEY));
}

TEST_P(SelfRegistration, UnregisterWithNothingRegisteredSucceeds)
{
    EXPECT_EQ(unreg_(), S_OK);
    ExpectNothingRegistered();
}

TEST_P(SelfRegistration, UnregisterLeavesTheOtherComponentRegistered)
{
    const Component &other = OtherComponent(GetParam());
    HMODULE otherLibrary = Load(other.file);
    ASSERT_NE(otherLibrary, nullptr);
    ASSERT_EQ(Entry(otherLibrary, "DllRegisterServer")(), S_OK);
    ASSERT_EQ(reg_(), S_OK);

    ASSERT_EQ(unreg_(), S_OK);

    ExpectNothingRegistered();
    EXPECT_TRUE(ComponentValueExists(other.file));
    EXPECT_TRUE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, std::string(other.classKey) + "\\InProcServer32"));
}

TEST_P(SelfRegistration, SwitchValueIsReturnedAndNothingChanges)
{
    const DWORD switches[] = {0x80004005 /* E_FAIL */, 1 /* S_FALSE */};
    for (DWORD value : switches) {
        SCOPED_TRACE(testing::Message() << "switch 0x" << std::hex << value);
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, SWITCH_KEY);

        // Register with the switch set: nothing is written.
        vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, GetParam().file, value);
        EXPECT_EQ(reg_(), static_cast<HRESULT>(value));
        ExpectNothingRegistered();

        // Unregister with the switch set: what an earlier registration wrote stays.
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, SWITCH_KEY);
        ASSERT_EQ(reg_(), S_OK);
        vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, GetParam().file, value);
        EXPECT_EQ(unreg_(), static_cast<HRESULT>(value));
        EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, ServerKey(), nullptr), LoadedPath());
        EXPECT_TRUE(ComponentValueExists(GetParam().file));

        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, SWITCH_KEY);
        ASSERT_EQ(unreg_(), S_OK);
    }
}

TEST_P(SelfRegistration, SwitchOfTheOtherComponentDoesNotApply)
{
    const Component &other = OtherComponent(GetParam());
    vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, other.file, 0x80004005);

    EXPECT_EQ(reg_(), S_OK);
    EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, ServerKey(), nullptr), LoadedPath());
}

INSTANTIATE_TEST_SUITE_P(Components, SelfRegistration, testing::ValuesIn(COMPONENTS),
                         [](const testing::TestParamInfo<Component> &info) {
                             std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

} // namespace
