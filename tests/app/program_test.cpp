// The built installer as a whole: started as its own process under Wine, and inspected as a
// file (the win32 build cannot run here, so it is checked by reading its headers).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

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

TEST(Program, RunsToTheEndCleansTheTempFolderAndExitsZero)
{
    std::set<std::string> before = TempNames();
    EXPECT_EQ(vxtest::RunProgram(InstallerPath("win64"), ""), 0u);

    std::set<std::string> after = TempNames();
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    // Only the scratch file reserved at start stays; "Install.ini" and the packed names go.
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].substr(0, 3), "VXS");
    EXPECT_EQ(after.count("Install.ini"), 0u);
    DeleteFileA(vxtest::JoinPath(vxtest::TempFolder(), added[0]).c_str());
}

// The carried settings cannot be written when the temporary folder does not exist, so the
// settings file beside the installer is used.
TEST(Program, SettingsBesideTheInstallerAreUsedWhenTheCarriedCopyCannotBeWritten)
{
    ScratchFolder installerFolder;
    ScratchFolder workFolder;
    std::string installer = vxtest::CopyProgramAs(InstallerPath("win64"), installerFolder.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(installerFolder / "install.ini", "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nLINE1=beside\r\n");
    vxtest::RunOptions options;
    options.workingFolder = workFolder.Path();
    options.environment = { { "TMP", workFolder / "missing" }, { "TEMP", workFolder / "missing" } };

    EXPECT_EQ(vxtest::RunProgram(installer, "", options), 0u);
    EXPECT_EQ(vxtest::ReadFileBytes(workFolder / "setup.log"),
        "g_bSilent=1\r\ng_bNoPass=0\r\ngbInstallBonusPack=1\r\ng_iconLocation=0\r\ng_bExplore=1\r\n"
        "g_szLine1=\"beside\"\r\ng_szLine2=\"\"\r\n");
}

// --- The built files ----------------------------------------------------------------------

struct PeFacts {
    bool valid = false;
    WORD machine = 0;
    WORD magic = 0;
    WORD subsystem = 0;
    WORD subsystemMajor = 0;
    WORD subsystemMinor = 0;
    std::vector<std::string> imports;
};

template <typename OptionalHeader>
void ReadImports(const std::string& bytes, const IMAGE_NT_HEADERS32* nt, const OptionalHeader& optional, PeFacts* facts)
{
    const IMAGE_SECTION_HEADER* sections = (const IMAGE_SECTION_HEADER*)((const char*)&nt->OptionalHeader + nt->FileHeader.SizeOfOptionalHeader);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    facts->subsystem = optional.Subsystem;
    facts->subsystemMajor = optional.MajorSubsystemVersion;
    facts->subsystemMinor = optional.MinorSubsystemVersion;
    DWORD importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = fileOffset(importRva); at != 0 && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size(); at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const IMAGE_IMPORT_DESCRIPTOR* d = (const IMAGE_IMPORT_DESCRIPTOR*)(bytes.data() + at);
        if (d->Name == 0)
            break;
        std::string name = bytes.c_str() + fileOffset(d->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        facts->imports.push_back(name);
    }
    facts->valid = true;
}

PeFacts ReadPe(const std::string& bytes)
{
    PeFacts facts;
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
        return facts;
    const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)bytes.data();
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || (size_t)dos->e_lfanew + sizeof(IMAGE_NT_HEADERS64) > bytes.size())
        return facts;
    const IMAGE_NT_HEADERS32* nt = (const IMAGE_NT_HEADERS32*)(bytes.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return facts;
    facts.machine = nt->FileHeader.Machine;
    facts.magic = nt->OptionalHeader.Magic;
    if (facts.magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        ReadImports(bytes, nt, nt->OptionalHeader, &facts);
    else
        ReadImports(bytes, nt, ((const IMAGE_NT_HEADERS64*)nt)->OptionalHeader, &facts);
    return facts;
}

TEST(BuiltInstaller, BothBuildsImportOnlySystemDllsAndWin32LoadsOnWindows95)
{
    const std::set<std::string> allowed = { "KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "COMDLG32.DLL", "LZ32.DLL", "SHELL32.DLL" };
    for (const char* build : { "win32", "win64" }) {
        std::string path = InstallerPath(build);
        std::string bytes = vxtest::ReadFileBytes(path);
        ASSERT_FALSE(bytes.empty()) << path << " is missing: build both presets first";
        PeFacts pe = ReadPe(bytes);
        ASSERT_TRUE(pe.valid) << path;
        std::string imports;
        for (const std::string& dll : pe.imports) {
            imports += " " + dll;
            EXPECT_EQ(allowed.count(dll), 1u) << build << " imports " << dll;
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
