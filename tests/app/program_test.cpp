// The built installer as a whole: started as its own process under Wine, and inspected as a
// file (the win32 build cannot run here, so it is checked by reading its headers).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "harness/dialog_script.h"
#include "harness/pe_file.h"
#include "harness/window_driver.h"
#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

std::string InstallerPath(const char* build)
{
    std::string folder = vxtest::BuildFolder();
    folder = folder.substr(0, folder.find_last_of('\\'));  // build\win64 -> build
    return vxtest::JoinPath(vxtest::JoinPath(folder, build), "vxsetup.exe");
}

std::set<std::string> TempNames()
{
    std::vector<std::string> names = vxtest::ListFolder(vxtest::TempFolder());
    return std::set<std::string>(names.begin(), names.end());
}

// An interactive run as a user starts it: every question takes its proposed answer (the earlier
// install's folder, recorded in WIN.INI, is a folder of the test's here, outside the temporary
// folder, which is refused as a destination), the host window stays on screen behind the closing
// question, and the run ends with 0 and a clean temporary folder.
TEST(Program, InteractiveRunShowsTheHostWindowUntilTheClosingQuestionAndExitsZero)
{
    std::string dest = "C:\\VANTIX Test " + std::to_string(GetCurrentProcessId());
    WriteProfileStringA("VANTIX", "DIR", dest.c_str());
    // The Explorer icon has no place yet, so the install asks where it goes.
    for (const char* place : { "Desktop", "MyComputer" })
        vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}");
    std::set<std::string> before = TempNames();
    vxtest::Program program = vxtest::StartProgram(InstallerPath("win64"), "");
    ASSERT_TRUE(program.Started());
    // Install, the folder, the interfaces and the icon's place as proposed. The Explorer interface
    // was registered, so the closing question is the restart prompt.
    vxtest::DialogScript script(program.Id());
    auto ok = [](vxtest::DialogView& d) { d.Click(IDOK); };
    script.Timeout(60000).Dialog({ 1851, 1852, 2420 }, ok).Dialog({ 3010, 954 }, ok).Dialog({ 1880, 2417 }, ok);
    script.Dialog({ 1851, 1852 }, ok, "Icon Placement").Dialog({ 0xFFFF }, [](vxtest::DialogView& question) {
        EXPECT_EQ(question.MessageText().substr(0, 24), "Installation successful!");
        HWND host = FindWindowA("VXInstal", "VANTIX Pro Install (32)");
        ASSERT_NE(host, (HWND)NULL) << "the host window is shown";
        EXPECT_TRUE(IsWindowVisible(host)) << "the host window stays behind the question";
        RECT rect;
        GetWindowRect(host, &rect);
        EXPECT_EQ(rect.right - rect.left, 816) << "four fifths of the 1024 x 768 test display";
        EXPECT_EQ(rect.bottom - rect.top, 612);
        question.Click(IDCANCEL);  // no restart
    }, "Congratulations!");
    EXPECT_EQ(script.Run(program), 0u);
    EXPECT_TRUE(vxtest::FileExists(vxtest::JoinPath(dest, "vantix32.exe")));
    vxtest::RemoveTree(dest);

    std::set<std::string> after = TempNames();
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    // "Install.ini", the packed names and the scratch file (each placement deletes it after use)
    // are all gone.
    EXPECT_TRUE(added.empty()) << ::testing::PrintToString(added);

    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::CloseShellFolderWindows();
}

// The carried settings cannot be written when the temporary folder does not exist, so the
// settings file beside the installer is used.
TEST(Program, SettingsBesideTheInstallerAreUsedWhenTheCarriedCopyCannotBeWritten)
{
    ScratchFolder installerFolder;
    ScratchFolder workFolder;
    std::string installer = vxtest::CopyProgramAs(InstallerPath("win64"), installerFolder.Path(), "vxsetup.exe");
    // The destination lies under a plain file: the silent install stops right after the settings.
    vxtest::WriteFileBytes(workFolder / "blocker", "a file");
    vxtest::WriteFileBytes(installerFolder / "install.ini", "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nLINE1=beside\r\n"
        "[VANTIX]\r\nDIR32=" + (workFolder / "blocker\\VANTIX") + "\r\n");
    WriteProfileStringA("VANTIX", NULL, NULL);
    vxtest::RunOptions options;
    options.workingFolder = workFolder.Path();
    options.environment = { { "TMP", workFolder / "missing" }, { "TEMP", workFolder / "missing" } };

    EXPECT_EQ(vxtest::RunProgram(installer, "", options), 0u);
    std::string log = vxtest::ReadFileBytes(workFolder / "setup.log");
    EXPECT_EQ(log.substr(0, log.find("Creation of")),
        "g_bSilent=1\r\ng_bNoPass=0\r\ngbInstallBonusPack=1\r\ng_iconLocation=0\r\ng_bExplore=1\r\n"
        "g_szLine1=\"beside\"\r\ng_szLine2=\"\"\r\n");
}

// --- The built files ----------------------------------------------------------------------

TEST(BuiltInstaller, BothBuildsImportOnlySystemDllsAndWin32IsAWindows4Program)
{
    const std::set<std::string> allowed = { "KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "COMDLG32.DLL", "LZ32.DLL", "SHELL32.DLL" };
    for (const char* build : { "win32", "win64" }) {
        std::string path = InstallerPath(build);
        std::string bytes = vxtest::ReadFileBytes(path);
        ASSERT_FALSE(bytes.empty()) << path << " is missing: build both presets first";
        vxtest::PeFacts pe = vxtest::ReadPeFile(bytes);
        ASSERT_TRUE(pe.valid) << path;
        std::string imports;
        for (size_t i = 0; i < pe.imports.size(); ++i) {
            const vxtest::PeImport& import = pe.imports[i];
            if (i == 0 || import.dll != pe.imports[i - 1].dll) {  // a DLL's functions stand together
                imports += " " + import.dll;
                EXPECT_EQ(allowed.count(import.dll), 1u) << build << " imports " << import.dll;
            }
        }
        printf("%s\\vxsetup.exe: %zu bytes, imports%s\n", build, bytes.size(), imports.c_str());
        EXPECT_EQ(pe.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << build;
        if (std::string(build) == "win32") {
            EXPECT_EQ(pe.machine, IMAGE_FILE_MACHINE_I386);
            EXPECT_EQ(pe.magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC) << "PE32";
            EXPECT_EQ(pe.subsystemMajor, 4);
            EXPECT_EQ(pe.subsystemMinor, 0);
        } else {
            EXPECT_EQ(pe.machine, IMAGE_FILE_MACHINE_AMD64);
        }
    }
}

}  // namespace
