// vxstamp on copies of the built installers, win64 and win32 (the release one): a stamped
// installer carries the file exactly and keeps every other resource, and every refusal has its
// code and one line and leaves the installer's folder as it was. (What a stamped installer does
// is checked by the silent installs, which stamp theirs.)
#include <gtest/gtest.h>

#include <map>

#include "harness/wine_env.h"

namespace {

struct StampRun {
    DWORD code;
    std::string out, err;
};

// vxstamp with stdout and stderr in files, as a distributor's batch file would see them.
StampRun RunVxstamp(const std::string& arguments)
{
    vxtest::ScratchFolder outputs("vxstamp-out");
    vxtest::RunOptions options;
    options.outputFile = outputs / "out";
    options.errorFile = outputs / "err";
    DWORD code = vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), arguments, options);
    return { code, vxtest::ReadFileBytes(outputs / "out"), vxtest::ReadFileBytes(outputs / "err") };
}

std::string Installer(const char* build)  // build\win64 -> build\<build>\vxsetup.exe
{
    std::string folder = vxtest::BuildFolder();
    return folder.substr(0, folder.find_last_of('\\') + 1) + build + "\\vxsetup.exe";
}

// Every resource of a module as "type/name/language" -> bytes (numbered ids as "#n").
typedef std::map<std::string, std::string> Resources;
std::string IdText(LPCSTR id)
{
    return IS_INTRESOURCE(id) ? "#" + std::to_string((ULONG_PTR)id) : std::string(id);
}
BOOL CALLBACK AddLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR resources)
{
    HRSRC found = FindResourceExA(module, type, name, language);
    (*(Resources*)resources)[IdText(type) + "/" + IdText(name) + "/" + std::to_string(language)] =
        std::string((const char*)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    return TRUE;
}
BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR resources)
{
    return EnumResourceLanguagesA(module, type, name, AddLanguage, resources);
}
BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR resources)
{
    return EnumResourceNamesA(module, type, AddName, resources);
}
Resources ReadResources(const std::string& path)
{
    Resources resources;
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, (HMODULE)NULL) << path;
    EnumResourceTypesA(module, AddType, (LONG_PTR)&resources);
    FreeLibrary(module);
    return resources;
}

// Exactly settings as its one INSTINI, in the original's language, and every other resource of the
// original byte for byte.
void ExpectStampedWith(const std::string& installer, const std::string& original, const std::string& settings)
{
    Resources before = ReadResources(original), after = ReadResources(installer);
    ASSERT_EQ(before.count("EXE/INSTINI/1033") + before.count("#2/VX_BMP/1033") + before.count("EXE/EXEFILE2/1033") + before.count("#6/#626/1033"), 4u);
    before["EXE/INSTINI/1033"] = settings;
    EXPECT_TRUE(after == before) << "resources other than INSTINI changed, or INSTINI is not the file: " << before.size() << " before, " << after.size() << " after";
}

TEST(Vxstamp, StampedInstallersCarryTheFileExactlyAndKeepEveryOtherResource)
{
    const std::string silent = "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nNOPASSWORD=TRUE\r\nBONUS=FALSE\r\nLINE1=Stamped\r\n\r\n[VANTIX]\r\nGROUP32=vxstamp test\r\n";
    std::string largest;
    for (int line = 0; line < 1024; ++line)
        largest += ";" + std::string(61, 'x') + "\r\n";  // 65536 bytes, the most accepted
    const std::string carried = "[RenameThisSectionTo:INSTALL]\r\nQUIET=TRUE\r\n";
    for (const char* build : { "win64", "win32" }) {
        vxtest::ScratchFolder folder, settings;
        std::string installer = vxtest::CopyProgramAs(Installer(build), folder.Path(), "vxsetup.exe");
        const std::pair<const char*, std::string> stamps[] = { { "silent.ini", silent }, { "largest.ini", largest }, { "carried.ini", carried } };
        for (const auto& stamp : stamps) {  // each replaces the one before
            vxtest::WriteFileBytes(settings / stamp.first, stamp.second);
            StampRun run = RunVxstamp("\"" + installer + "\" \"" + (settings / stamp.first) + "\"");
            EXPECT_EQ(run.code, 0u) << run.err;
            EXPECT_EQ(run.err, "");
            EXPECT_NE(run.out.find("settings replaced"), std::string::npos) << run.out;
            EXPECT_EQ(run.out.find("warning: " + (settings / stamp.first) + " still names a section \"[RenameThisSectionTo:") != std::string::npos,
                stamp.second == carried) << run.out;
            ExpectStampedWith(installer, Installer(build), stamp.second);
        }
        EXPECT_EQ(vxtest::ListFolder(folder.Path()), std::vector<std::string>{ "vxsetup.exe" }) << "no working copy is left";
    }
}

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : vxtest::ListFolder(folder))
        contents[name] = vxtest::ReadFileBytes(vxtest::JoinPath(folder, name));
    return contents;
}

// Adds an INSTINI in language to a copy of the installer, after deleting every other resource
// when asked (Wine's UpdateResourceA cannot delete a single one).
void AddSettingsResource(const std::string& path, WORD language, BOOL deleteOthers)
{
    HANDLE update = BeginUpdateResourceA(path.c_str(), deleteOthers);
    UpdateResourceA(update, "EXE", "INSTINI", language, (void*)"[INSTALL]\r\n", 11);
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
}

TEST(Vxstamp, EveryRefusalHasItsCodeAndLineAndLeavesTheFolderAsItWas)
{
    vxtest::ScratchFolder folder, settings;
    std::string ours = Installer("win64"), system(MAX_PATH, '\0');
    system.resize(GetSystemDirectoryA(&system[0], MAX_PATH));
    for (const char* copy : { "vxsetup.exe", "readonly.exe", "inuse.exe" })
        vxtest::CopyProgramAs(ours, folder.Path(), copy);
    CreateDirectoryA((folder / "folder.exe").c_str(), NULL);
    vxtest::WriteFileBytes(folder / "text.exe", "[INSTALL]\r\nQUIET=TRUE\r\n");
    vxtest::WriteFileBytes(folder / "headless.exe", vxtest::ReadFileBytes(ours).substr(0, 64));
    vxtest::CopyProgramAs(vxtest::JoinPath(system, "lz32.dll"), folder.Path(), "library.exe");
    vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), folder.Path(), "other.exe");
    AddSettingsResource(vxtest::CopyProgramAs(ours, folder.Path(), "nobitmap.exe"), 1033, TRUE);
    AddSettingsResource(vxtest::CopyProgramAs(ours, folder.Path(), "twice.exe"), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), FALSE);
    SetFileAttributesA((folder / "readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::pair<const char*, std::string> files[] = {
        { "good.ini", "[INSTALL]\r\nQUIET=TRUE\r\n" }, { "empty.ini", "" }, { "large.ini", std::string(65535, ';') + "\r\n" },
        { "zero.ini", std::string("[INSTALL]\r\nLINE1=a\0b\r\n", 21) }, { "utf16.ini", std::string("[\0I\0]\0\r\0\n\0", 10) },
        { "lf.ini", "[INSTALL]\nQUIET=TRUE\n" }, { "cr.ini", "[INSTALL]\r\nQUIET=TRUE\r" }, { "ctrlz.ini", "[INSTALL]\r\nQUIET=TRUE\r\n\x1a" },
        { "bom.ini", "\xEF\xBB\xBF[INSTALL]\r\nQUIET=TRUE\r\n" },
    };
    for (const auto& file : files)
        vxtest::WriteFileBytes(settings / file.first, file.second);
    CreateDirectoryA((settings / "folder.ini").c_str(), NULL);
    // inuse.exe is held without delete sharing, as a running program holds its file.
    HANDLE held = CreateFileA((folder / "inuse.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);

    const struct {
        const char* installer;  // in folder; nullptr: the command line is settingsFile as it stands
        const char* settingsFile;
        DWORD code;
        const char* message;
    } cases[] = {
        { nullptr, "", 2, "usage: vxstamp <installer.exe> <settings.ini>" }, { nullptr, "vxsetup.exe", 2, "usage:" },
        { nullptr, "vxsetup.exe good.ini good.ini", 2, "usage:" }, { "missing.exe", "good.ini", 3, "no such installer file" },
        { "folder.exe", "good.ini", 3, "is a folder, not an installer" }, { "text.exe", "good.ini", 4, "not a Windows program (no MZ header)" },
        { "headless.exe", "good.ini", 4, "not a Windows program (no PE header)" }, { "library.exe", "good.ini", 4, "is a library, not an installer program" },
        { "other.exe", "good.ini", 5, "not a VANTIX Pro installer (no resource INSTINI of type EXE)" },
        { "nobitmap.exe", "good.ini", 5, "not a VANTIX Pro installer (no bitmap VX_BMP)" },
        { "twice.exe", "good.ini", 5, "carries 2 INSTINI resources in different languages" }, { "vxsetup.exe", "missing.ini", 6, "no such settings file" },
        { "vxsetup.exe", "folder.ini", 6, "is a folder, not a settings file" }, { "vxsetup.exe", "empty.ini", 6, "is empty" },
        { "vxsetup.exe", "large.ini", 6, "is larger than 65536 bytes" }, { "vxsetup.exe", "zero.ini", 7, "not plain text: NUL byte in line 2" },
        { "vxsetup.exe", "utf16.ini", 7, "not plain text: NUL byte in line 1" }, { "vxsetup.exe", "lf.ini", 7, "line 1 ends in LF without CR" },
        { "vxsetup.exe", "cr.ini", 7, "line 2 ends in CR without LF" }, { "vxsetup.exe", "ctrlz.ini", 7, "control character 0x1A in line 3" },
        { "vxsetup.exe", "bom.ini", 7, "UTF-8 byte order mark" }, { "readonly.exe", "good.ini", 10, "is read-only; it is unchanged" },
        { "inuse.exe", "good.ini", 10, "cannot be replaced (in use or not writable" },
    };
    std::map<std::string, std::string> before = FolderContents(folder.Path());
    for (const auto& c : cases) {
        std::string arguments = c.installer ? "\"" + (folder / c.installer) + "\" \"" + (settings / c.settingsFile) + "\"" : c.settingsFile;
        StampRun run = RunVxstamp(arguments);
        EXPECT_EQ(run.code, c.code) << arguments << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("vxstamp: ", 0), 0u) << arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << arguments << "\n" << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_TRUE(FolderContents(folder.Path()) == before) << arguments << " changed the installer's folder";
    }
    CloseHandle(held);
    SetFileAttributesA((folder / "readonly.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
