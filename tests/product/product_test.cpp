// The sample product as the installer relies on it: vxremove's command line, self-registration.
#include <gtest/gtest.h>

#include "harness/product_records.h"
#include "removeargs.h"

namespace {

TEST(RemoveCommandLine, YieldsTheOptionsFound)
{
    const struct { const char* line; unsigned found; const char *files, *folder, *group; } cases[] = {
        { "\"C:\\Program Files\\VX\\vxremove.exe\" -f C:\\Program Files\\VX -d C:\\My VX -g My Tools -d Extra", 7,
            "C:\\Program Files\\VX", "C:\\My VX", "My Tools -d Extra" },  // -g runs to the end
        { "\"C:\\VX\\vxremove.exe\" -f C:\\VX -g VANTIX Pro", RM_FILES | RM_GROUP, "C:\\VX", "", "VANTIX Pro" },
        { "\"C:\\VX\\vxremove.exe\" -f -d C:\\VX -g", RM_FOLDER, "", "C:\\VX", "" }, { "\"C:\\VX\\vxremove.exe\"", 0, "", "", "" },
        { "\"C:\\x -f y\\vxremove.exe\" -g G", RM_GROUP, "", "", "G" }, { "\"C:\\VX\\vxremove.exe -f C:\\VX", 0, "", "", "" },
    };
    for (const auto& c : cases) {
        REMOVE_OPTIONS options;
        EXPECT_EQ(ParseRemoveCommandLine(c.line, options), c.found) << c.line;
        EXPECT_EQ(std::vector<std::string>({ options.szFiles, options.szFolder, options.szGroup }), std::vector<std::string>({ c.files, c.folder, c.group })) << c.line;
    }
    REMOVE_OPTIONS options;
    EXPECT_EQ(ParseRemoveCommandLine(nullptr, options), 0u);
    EXPECT_EQ(ParseRemoveCommandLine(("\"C:\\VX\\vxremove.exe\" -g " + std::string(3000, 'g')).c_str(), options), RM_GROUP);
    EXPECT_EQ(std::string(options.szGroup), std::string(sizeof options.szGroup - 1, 'g')) << "cut to its buffer";
}

// From a folder with a blank in its name, each library registers its own path and unregisters only itself.
TEST(SelfRegistration, EachRegistersItsOwnPathAndUnregistersOnlyItself)
{
    const struct { const char *file, *classKey, *description; } libraries[] = {
        { "vxshell.dll", "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "VANTIX Pro Explorer" },
        { "vxshim.dll", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", "VANTIX Pro Shell Stub" } };
    vxtest::ScratchFolder folder("VANTIX Pro");
    typedef HRESULT(STDAPICALLTYPE * Entry)();
    HMODULE modules[2] = {};
    std::string paths[2];
    auto call = [&](int i, const char* name) { Entry entry = (Entry)(void*)GetProcAddress(modules[i], name); return entry ? entry() : E_NOINTERFACE; };
    auto records = [&](int i) {  // the class's description, server and threading model, the component entry
        std::string server = libraries[i].classKey + std::string("\\InProcServer32");
        return std::vector<std::string>({ vxtest::RegistryText(HKEY_CLASSES_ROOT, libraries[i].classKey, ""),
            vxtest::RegistryText(HKEY_CLASSES_ROOT, server, ""), vxtest::RegistryText(HKEY_CLASSES_ROOT, server, "ThreadingModel"),
            vxtest::RegistryText(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", libraries[i].file) });
    };
    vxtest::ClearProductRecords();
    for (int i = 0; i < 2; ++i) {
        paths[i] = vxtest::CopyProgramAs(vxtest::JoinPath(VX_SAMPLE_PRODUCT, libraries[i].file), folder.Path(), libraries[i].file);
        ASSERT_TRUE((modules[i] = LoadLibraryA(paths[i].c_str())) != NULL) << paths[i];
        ASSERT_EQ(call(i, "DllRegisterServer"), S_OK) << libraries[i].file;
        EXPECT_EQ(records(i), std::vector<std::string>({ libraries[i].description, paths[i], "Apartment", paths[i] }));
    }
    ASSERT_EQ(call(0, "DllUnregisterServer"), S_OK);
    EXPECT_EQ(records(0), std::vector<std::string>(4, "<absent>"));
    EXPECT_EQ(records(1)[3], paths[1]) << "the other component stays registered";
    ASSERT_EQ(call(1, "DllUnregisterServer"), S_OK);
    EXPECT_EQ(call(0, "DllUnregisterServer"), S_OK) << "nothing registered is no failure";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "the empty Components key goes too";
    for (HMODULE module : modules)
        FreeLibrary(module);
}

}  // namespace
