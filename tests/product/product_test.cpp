// The sample product as the installer relies on it: vxremove.exe's command line and the component
// libraries' self-registration.
#include <gtest/gtest.h>

#include "harness/product_records.h"
#include "harness/wine_env.h"
#include "removeargs.h"

namespace {

TEST(RemoveCommandLine, YieldsTheOptionsFound)
{
    const struct {
        const char* line;
        unsigned found;
        const char *files, *folder, *group;
    } cases[] = {
        { "\"C:\\Program Files\\VANTIX Pro\\vxremove.exe\" -f C:\\Program Files\\VANTIX Pro -d C:\\Program Files\\VANTIX Pro -g My FTP Tools",
            7, "C:\\Program Files\\VANTIX Pro", "C:\\Program Files\\VANTIX Pro", "My FTP Tools" },
        { "\"C:\\VX\\vxremove.exe\" -f C:\\VX -d C:\\VX -g Tools -d Extra", 7, "C:\\VX", "C:\\VX", "Tools -d Extra" },  // -g runs to the end
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

// Loaded from a folder whose name has a blank, each library registers its class and component
// entry with its own path and unregisters only itself. (Its test switch is seen in the install.)
TEST(SelfRegistration, EachRegistersItsOwnPathAndUnregistersOnlyItself)
{
    const char* const classes[] = { "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}" };
    const char* const files[] = { "vxshell.dll", "vxshim.dll" };
    const char* const descriptions[] = { "VANTIX Pro Explorer", "VANTIX Pro Shell Stub" };
    vxtest::ScratchFolder root("vxselfreg");
    CreateDirectoryA((root / "VANTIX Pro").c_str(), NULL);
    typedef HRESULT(STDAPICALLTYPE * Entry)();
    HMODULE modules[2];
    Entry reg[2], unreg[2];
    std::string paths[2];
    for (int i = 0; i < 2; ++i) {
        paths[i] = vxtest::CopyProgramAs(vxtest::JoinPath(VX_SAMPLE_PRODUCT, files[i]), root / "VANTIX Pro", files[i]);
        modules[i] = LoadLibraryA(paths[i].c_str());
        reg[i] = (Entry)(void*)GetProcAddress(modules[i], "DllRegisterServer");
        unreg[i] = (Entry)(void*)GetProcAddress(modules[i], "DllUnregisterServer");
        ASSERT_TRUE(reg[i] && unreg[i]) << files[i];
    }
    auto records = [&](int i) {  // the class's description, server and threading model, the component entry
        std::string server = classes[i] + std::string("\\InProcServer32");
        return std::vector<std::string>({ vxtest::RegistryText(HKEY_CLASSES_ROOT, classes[i], ""), vxtest::RegistryText(HKEY_CLASSES_ROOT, server, ""),
            vxtest::RegistryText(HKEY_CLASSES_ROOT, server, "ThreadingModel"), vxtest::RegistryText(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", files[i]) });
    };
    vxtest::ClearProductRecords();
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(reg[i](), S_OK) << files[i];
        EXPECT_EQ(records(i), std::vector<std::string>({ descriptions[i], paths[i], "Apartment", paths[i] }));
    }
    ASSERT_EQ(unreg[0](), S_OK);
    EXPECT_EQ(records(0), std::vector<std::string>(4, "<absent>"));
    EXPECT_EQ(records(1)[3], paths[1]) << "the other component stays registered";
    ASSERT_EQ(unreg[1](), S_OK);
    EXPECT_EQ(unreg[0](), S_OK) << "nothing registered is no failure";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "the empty Components key goes too";
    for (HMODULE module : modules)
        FreeLibrary(module);
}

}  // namespace
