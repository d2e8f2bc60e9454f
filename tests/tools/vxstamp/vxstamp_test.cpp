// vxstamp on copies of the built installers, win64 and win32 (the release one).
#include <gtest/gtest.h>

#include <map>

#include "harness/wine_env.h"

namespace {

struct StampRun { DWORD code; std::string out, err; };

StampRun RunVxstamp(const std::string& installer, const std::string& settings)
{
    vxtest::ScratchFolder outputs("vxstamp-out");
    vxtest::RunOptions options;
    options.outputFile = outputs / "out", options.errorFile = outputs / "err";
    std::string arguments = installer.empty() ? settings : "\"" + installer + "\" \"" + settings + "\"";
    DWORD code = vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), arguments, options);
    return { code, vxtest::ReadFileBytes(outputs / "out"), vxtest::ReadFileBytes(outputs / "err") };
}

std::string Installer(const char* build)  // build\win64 -> build\<build>\vxsetup.exe
{
    return (std::filesystem::path(vxtest::BuildFolder()).parent_path() / build / "vxsetup.exe").string();
}

// Every resource of a module as "type/name/language" -> bytes (numbered ids as "#n").
typedef std::map<std::string, std::string> Resources;
std::string IdText(LPCSTR id) { return IS_INTRESOURCE(id) ? "#" + std::to_string((ULONG_PTR)id) : std::string(id); }
BOOL CALLBACK AddLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR resources)
{
    HRSRC found = FindResourceExA(module, type, name, language);
    (*(Resources*)resources)[IdText(type) + "/" + IdText(name) + "/" + std::to_string(language)] =
        std::string((const char*)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    return TRUE;
}
BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR resources) { return EnumResourceLanguagesA(module, type, name, AddLanguage, resources); }
BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR resources) { return EnumResourceNamesA(module, type, AddName, resources); }
Resources ReadResources(const std::string& path)
{
    Resources resources;
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    EnumResourceTypesA(module, AddType, (LONG_PTR)&resources);
    FreeLibrary(module);
    return resources;
}

TEST(Vxstamp, StampedInstallersCarryTheFileExactlyAndKeepEveryOtherResource)
{
    const std::string silent = "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nLINE1=Stamped\r\n\r\n[VANTIX]\r\nGROUP32=vxstamp test\r\n";
    const std::string carried = "[RenameThisSectionTo:INSTALL]\r\nQUIET=TRUE\r\n";
    for (const char* build : { "win64", "win32" }) {
        vxtest::ScratchFolder folder, settings;
        std::string installer = vxtest::CopyProgramAs(Installer(build), folder.Path(), "vxsetup.exe");
        for (const std::string& stamp : { silent, carried }) {  // each replaces the one before
            vxtest::WriteFileBytes(settings / "stamp.ini", stamp);
            StampRun run = RunVxstamp(installer, settings / "stamp.ini");
            EXPECT_EQ(run.code, 0u) << run.err;
            EXPECT_EQ(run.err, "");
            EXPECT_NE(run.out.find("settings replaced"), std::string::npos) << run.out;
            EXPECT_EQ(run.out.find("still names a section \"[RenameThisSectionTo:") != std::string::npos, stamp == carried) << run.out;
            Resources before = ReadResources(Installer(build)), after = ReadResources(installer);
            ASSERT_EQ(before.count("EXE/INSTINI/1033") + before.count("#2/VX_BMP/1033") + before.count("EXE/EXEFILE2/1033"), 3u) << build;
            before["EXE/INSTINI/1033"] = stamp;
            EXPECT_TRUE(after == before) << build << ": " << before.size() << " resources before, " << after.size() << " after";
        }
        EXPECT_EQ(vxtest::ListFolder(folder.Path()), std::vector<std::string>{ "vxsetup.exe" }) << "no working copy is left";
    }
}

TEST(Vxstamp, EveryRefusalHasItsCodeAndLineAndLeavesTheFolderAsItWas)
{
    vxtest::ScratchFolder folder, settings;
    for (const char* copy : { "vxsetup.exe", "readonly.exe", "twice.exe" })
        vxtest::CopyProgramAs(Installer("win64"), folder.Path(), copy);
    const std::string good = "[INSTALL]\r\nQUIET=TRUE\r\n";
    vxtest::WriteFileBytes(folder / "text.exe", good);
    vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), folder.Path(), "other.exe");
    HANDLE update = BeginUpdateResourceA((folder / "twice.exe").c_str(), FALSE);  // a second language
    UpdateResourceA(update, "EXE", "INSTINI", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), (void*)"[INSTALL]\r\n", 11);
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    SetFileAttributesA((folder / "readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    // installer: in folder (nullptr: settings is the command line); settings: bytes ("missing": none)
    const struct { const char* installer; std::string settings; DWORD code; const char* message; } cases[] = {
        { nullptr, "", 2, "usage: vxstamp <installer.exe> <settings.ini>" }, { nullptr, "vxsetup.exe good.ini good.ini", 2, "usage:" },
        { "missing.exe", good, 3, "no such installer file" }, { "text.exe", good, 4, "not a Windows program (no MZ header)" },
        { "other.exe", good, 5, "not a VANTIX Pro installer (no resource INSTINI of type EXE)" },
        { "twice.exe", good, 5, "carries 2 INSTINI resources in different languages" }, { "vxsetup.exe", "missing", 6, "no such settings file" },
        { "vxsetup.exe", "", 6, "is empty" }, { "vxsetup.exe", std::string(65535, ';') + "\r\n", 6, "is larger than 65536 bytes" },
        { "vxsetup.exe", std::string("[INSTALL]\r\nLINE1=a\0b\r\n", 21), 7, "not plain text: NUL byte in line 2" },
        { "vxsetup.exe", "[INSTALL]\nQUIET=TRUE\n", 7, "line 1 ends in LF without CR" }, { "vxsetup.exe", "[INSTALL]\r\nQUIET=TRUE\r", 7, "line 2 ends in CR without LF" },
        { "vxsetup.exe", good + "\x1a", 7, "control character 0x1A in line 3" }, { "vxsetup.exe", "\xEF\xBB\xBF[INSTALL]\r\n", 7, "UTF-8 byte order mark" },
        { "readonly.exe", good, 10, "is read-only; it is unchanged" },
    };
    const auto before = vxtest::FolderFiles(folder.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        DeleteFileA((settings / "stamp.ini").c_str());
        if (c.settings != "missing")
            vxtest::WriteFileBytes(settings / "stamp.ini", c.settings);
        StampRun run = RunVxstamp(c.installer ? folder / c.installer : "", c.installer ? settings / "stamp.ini" : c.settings);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_EQ(run.err.rfind("vxstamp: ", 0), 0u);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(vxtest::FolderFiles(folder.Path()) == before) << "a file in the folder changed";
    }
    SetFileAttributesA((folder / "readonly.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
