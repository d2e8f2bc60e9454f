// The sample product, as far as the installer relies on it: the uninstall command-line parser of
// vxremove.exe, the self-registration contract of the component libraries, the programs (each
// starts and shows its window) and the main INI template.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "harness/product_records.h"
#include "harness/wine_env.h"
#include "removeargs.h"

namespace {

std::string ProductFile(const std::string& name)
{
    return vxtest::JoinPath(VX_SAMPLE_PRODUCT, name);
}

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
        { "\"C:\\VX\\vxremove.exe\" -f C:\\my-files\\a -dx -d C:\\VX -g G", 7, "C:\\my-files\\a -dx", "C:\\VX", "G" },
        { "C:\\VX\\vxremove.exe -f C:\\VX -d C:\\VX -g VANTIX Pro", 7, "C:\\VX", "C:\\VX", "VANTIX Pro" },
        { "\"C:\\VX\\vxremove.exe\" -f  C:\\VX   -d C:\\VX -g VANTIX Pro  \r\n", 7, "C:\\VX", "C:\\VX", "VANTIX Pro" },
        { "\"C:\\VX\\vxremove.exe\" -d C:\\D -f C:\\F -g G", 7, "C:\\F", "C:\\D", "G" },
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

// vxshell.dll and vxshim.dll loaded as Setup loads them, from a folder whose name has a blank: each
// registers its class and component entry with its own path and unregisters only itself; the
// switch value makes either call return that value and change nothing.
TEST(SelfRegistration, EachRegistersItsOwnPathUnregistersOnlyItselfAndObeysTheSwitch)
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
        paths[i] = vxtest::CopyProgramAs(ProductFile(files[i]), root / "VANTIX Pro", files[i]);
        modules[i] = LoadLibraryA(paths[i].c_str());
        reg[i] = (Entry)(void*)GetProcAddress(modules[i], "DllRegisterServer");
        unreg[i] = (Entry)(void*)GetProcAddress(modules[i], "DllUnregisterServer");
        ASSERT_TRUE(reg[i] && unreg[i]) << files[i];
    }
    auto component = [&](int i) { return vxtest::RegistryText(HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", files[i]); };
    auto server = [&](int i, const char* value) { return vxtest::RegistryText(HKEY_CLASSES_ROOT, classes[i] + std::string("\\InProcServer32"), value); };
    vxtest::ClearProductRecords();
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(reg[i](), S_OK) << files[i];
        EXPECT_EQ(vxtest::RegistryText(HKEY_CLASSES_ROOT, classes[i], ""), descriptions[i]);
        EXPECT_EQ(std::vector<std::string>({ server(i, ""), server(i, "ThreadingModel"), component(i) }), std::vector<std::string>({ paths[i], "Apartment", paths[i] }));
    }
    ASSERT_EQ(unreg[0](), S_OK);
    EXPECT_EQ(std::vector<std::string>({ server(0, ""), component(0), server(1, ""), component(1) }),
        std::vector<std::string>({ "<absent>", "<absent>", paths[1], paths[1] })) << "the other component stays registered";
    EXPECT_FALSE(vxtest::RegistryKeyExists(HKEY_CLASSES_ROOT, classes[0]));
    ASSERT_EQ(unreg[1](), S_OK);
    EXPECT_EQ(unreg[0](), S_OK) << "nothing registered is no failure";
    EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "the empty Components key goes too";

    for (int i = 0; i < 2; ++i) {
        for (DWORD value : { 0x80004005u, 1u }) {  // E_FAIL, S_FALSE
            const char* key = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";
            ASSERT_EQ(reg[i](), S_OK);
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, key, files[i], value);
            EXPECT_EQ(unreg[i](), (HRESULT)value) << files[i];
            EXPECT_EQ(component(i), paths[i]) << "unregistering with the switch changes nothing";
            vxtest::ClearProductRecords();
            vxtest::WriteRegistryNumber(HKEY_LOCAL_MACHINE, key, files[i], value);
            EXPECT_EQ(reg[i](), (HRESULT)value) << files[i];
            EXPECT_EQ(vxtest::ProductRecords(), std::vector<std::string>{}) << "registering with it writes nothing";
            EXPECT_EQ(reg[1 - i](), S_OK) << "the switch of the other component does not apply";
            vxtest::ClearProductRecords();
        }
    }
    for (HMODULE module : modules)
        FreeLibrary(module);
}

TEST(Programs, EachStartsWithItsTitledWindowAndDescribesItself)
{
    const struct {
        const char *file, *arguments, *windowClass, *title, *text;  // part of what the window shows
    } programs[] = {
        { "vantix32.exe", "", "VantixMainWindow", "VANTIX Pro", "MySites" },
        { "vxscript.exe", "nightly.vxs", "VantixScriptWindow", "VANTIX Scripting Utility", "Script: nightly.vxs" },
        { "vxfind.exe", "", "VantixFindWindow", "VANTIX Find Utility", "Searches the sites" },
        { "vxsync.exe", "", "VantixSyncWindow", "VANTIX Synchronize Utility", "no more than 2 seconds" },
        { "vxplace.exe", "", "VantixPlaceWindow", "VANTIX Pro Icon Placement", "Explorer icon" },
    };
    for (const auto& p : programs) {
        vxtest::Program running = vxtest::StartProgram(ProductFile(p.file), p.arguments);
        HWND window = NULL;
        for (int waited = 0; waited < 500 && window == NULL; ++waited, Sleep(20))
            window = FindWindowA(p.windowClass, p.title);
        ASSERT_NE(window, (HWND)NULL) << "no window \"" << p.title << "\"";
        char text[4096] = "";
        SendMessageA(GetDlgItem(window, 100), WM_GETTEXT, sizeof(text), (LPARAM)text);  // the edit box of every product window
        EXPECT_NE(std::string(text).find(p.text), std::string::npos) << text;
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(running.Wait(30000), 0u) << p.file;
    }
}

TEST(MainIniTemplate, StartsWithMySitesAndNamesEveryListByTheMarker)
{
    std::vector<std::string> lines = vxtest::SplitLines(vxtest::ReadFileBytes(ProductFile("VANTIX.ini")));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0] + "|" + lines[1], "[MySites]|FILENAME=$$\\original.ini");
    std::vector<std::string> names;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(names), [](const std::string& l) { return l.rfind("FILENAME=", 0) == 0; });
    EXPECT_EQ(names.size(), 9u) << "original.ini and the eight site lists";
    EXPECT_TRUE(std::all_of(names.begin(), names.end(), [](const std::string& l) { return l.rfind("FILENAME=$$\\", 0) == 0; }));
}

}  // namespace
