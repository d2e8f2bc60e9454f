// The self-registration contract of vxshell.dll and vxshim.dll that Setup relies on, each loaded
// the way Setup loads it, from an install folder whose name has a blank: DllRegisterServer writes
// the class and the component entry with the library's own path, DllUnregisterServer removes them
// and nothing of the other component, and the switch value makes either call return that value
// and change nothing (the installer's tests use it to make a registration fail).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

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

typedef HRESULT(STDAPICALLTYPE *SelfRegFunction)();

// A REG_SZ value whose stored length counts exactly one terminator; "" when absent. (Wine adds a
// terminator the writer left out, so only a length that is too long shows here.)
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
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << key;
    EXPECT_EQ(size, strlen(data) + 1) << key << " " << (value ? value : "(default)");
    return data;
}

class SelfRegistration : public testing::Test {
protected:
    struct Library {
        HMODULE module = nullptr;
        std::string path;  // as the library sees itself
        SelfRegFunction reg = nullptr, unreg = nullptr;
    };

    void SetUp() override
    {
        Forget();
        std::string folder = installRoot_ / "VANTIX Pro";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        for (int i = 0; i < 2; ++i) {
            std::string path = vxtest::JoinPath(folder, COMPONENTS[i].file);
            ASSERT_TRUE(CopyFileA(ProductFile(COMPONENTS[i].file).c_str(), path.c_str(), FALSE));
            Library &library = libraries_[i];
            library.module = LoadLibraryA(path.c_str());
            ASSERT_NE(library.module, nullptr) << path;
            char loaded[MAX_PATH];
            GetModuleFileNameA(library.module, loaded, sizeof loaded);
            library.path = loaded;
            library.reg = Entry(library.module, "DllRegisterServer");
            library.unreg = Entry(library.module, "DllUnregisterServer");
            ASSERT_TRUE(library.reg != nullptr && library.unreg != nullptr) << path;
        }
    }
    void TearDown() override
    {
        for (Library &library : libraries_)
            if (library.module)
                FreeLibrary(library.module);
        Forget();
    }
    static void Forget()
    {
        for (const Component &component : COMPONENTS)
            vxtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, component.classKey);
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Harrowby");
    }
    static SelfRegFunction Entry(HMODULE module, const char *name)
    {
        return reinterpret_cast<SelfRegFunction>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    }
    // The library's class as registered: "" when its class key is gone.
    static std::string ServerPath(int i)
    {
        return ReadStringValue(HKEY_CLASSES_ROOT, std::string(COMPONENTS[i].classKey) + "\\InProcServer32", nullptr);
    }
    static std::string ComponentPath(int i)
    {
        return ReadStringValue(HKEY_LOCAL_MACHINE, COMPONENTS_KEY, COMPONENTS[i].file);
    }

    vxtest::ScratchFolder installRoot_{"vxselfreg"};
    Library libraries_[2];
};

TEST_F(SelfRegistration, EachRegistersItsOwnPathAndUnregistersOnlyItself)
{
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(COMPONENTS[i].file);
        ASSERT_EQ(libraries_[i].reg(), S_OK);
        ASSERT_NE(libraries_[i].path.find("\\VANTIX Pro\\"), std::string::npos) << libraries_[i].path;
        EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, COMPONENTS[i].classKey, nullptr), COMPONENTS[i].description);
        EXPECT_EQ(ServerPath(i), libraries_[i].path);
        EXPECT_EQ(ReadStringValue(HKEY_CLASSES_ROOT, std::string(COMPONENTS[i].classKey) + "\\InProcServer32",
                                  "ThreadingModel"),
                  "Apartment");
        EXPECT_EQ(ComponentPath(i), libraries_[i].path);
    }

    ASSERT_EQ(libraries_[0].unreg(), S_OK);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, COMPONENTS[0].classKey));
    EXPECT_EQ(ComponentPath(0), "");
    EXPECT_EQ(ServerPath(1), libraries_[1].path) << "the other component stays registered";
    EXPECT_EQ(ComponentPath(1), libraries_[1].path);

    ASSERT_EQ(libraries_[1].unreg(), S_OK);
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, COMPONENTS[1].classKey));
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_LOCAL_MACHINE, COMPONENTS_KEY)) << "the empty key goes too";
    EXPECT_EQ(libraries_[0].unreg(), S_OK) << "nothing registered is no failure";
}

TEST_F(SelfRegistration, TheSwitchValueIsReturnedAndChangesNothing)
{
    for (int i = 0; i < 2; ++i) {
        for (DWORD value : {0x80004005u /* E_FAIL */, 1u /* S_FALSE */}) {
            SCOPED_TRACE(testing::Message() << COMPONENTS[i].file << " switch 0x" << std::hex << value);
            Forget();
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, COMPONENTS[i].file, value);
            EXPECT_EQ(libraries_[i].reg(), static_cast<HRESULT>(value));
            EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, COMPONENTS[i].classKey));
            EXPECT_EQ(ComponentPath(i), "");
            EXPECT_EQ(libraries_[1 - i].reg(), S_OK) << "the switch of the other component does not apply";

            // Registered without the switch, then unregistered with it: everything stays.
            vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, SWITCH_KEY);
            ASSERT_EQ(libraries_[i].reg(), S_OK);
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, SWITCH_KEY, COMPONENTS[i].file, value);
            EXPECT_EQ(libraries_[i].unreg(), static_cast<HRESULT>(value));
            EXPECT_EQ(ServerPath(i), libraries_[i].path);
            EXPECT_EQ(ComponentPath(i), libraries_[i].path);
        }
    }
}

} // namespace
