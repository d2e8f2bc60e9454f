// vxstamp on copies of the built installer: what a stamped installer carries, and that every
// refusal leaves the installer's folder exactly as it was. (What a stamped installer does is
// checked by the silent installs of the wizard tests, which stamp theirs with vxstamp.)
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "harness/wine_env.h"

using vxtest::ScratchFolder;

namespace {

const char SETTINGS_KEY_PREFIX[] = "EXE/INSTINI/";

struct StampRun {
    DWORD code;
    std::string out;
    std::string err;
};

// Runs vxstamp with stdout and stderr in files, as a distributor's batch file would see them.
StampRun RunVxstamp(const std::string& arguments)
{
    ScratchFolder outputs("vxstamp-out");
    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    HANDLE out = CreateFileA((outputs / "out").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, NULL);
    HANDLE err = CreateFileA((outputs / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, NULL);
    std::string exe = vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe");
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info = {};
    StampRun run = { vxtest::Program::TIMED_OUT, "", "" };
    if (CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info)) {
        if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &run.code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = vxtest::ReadFileBytes(outputs / "out");
    run.err = vxtest::ReadFileBytes(outputs / "err");
    return run;
}

StampRun Stamp(const std::string& installer, const std::string& settings)
{
    return RunVxstamp("\"" + installer + "\" \"" + settings + "\"");
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
    const char* bytes = (const char*)LockResource(LoadResource(module, found));
    (*(Resources*)resources)[IdText(type) + "/" + IdText(name) + "/" + std::to_string(language)] =
        std::string(bytes, SizeofResource(module, found));
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
    EXPECT_NE(module, (HMODULE)NULL) << path << " does not load as a data file";
    if (module != NULL) {
        EnumResourceTypesA(module, AddType, (LONG_PTR)&resources);
        FreeLibrary(module);
    }
    return resources;
}

// The INSTINI entries (one expected), taken out of resources.
Resources TakeSettings(Resources* resources)
{
    Resources settings;
    for (auto it = resources->lower_bound(SETTINGS_KEY_PREFIX); it != resources->end() && it->first.rfind(SETTINGS_KEY_PREFIX, 0) == 0;) {
        settings.insert(*it);
        it = resources->erase(it);
    }
    return settings;
}

std::string BuiltInstaller()
{
    return vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe");
}

// A stamped installer must hold exactly `settings` as its one INSTINI, in the original's
// language, and every other resource of the original byte for byte.
void ExpectStampedWith(const std::string& installer, const std::string& original, const std::string& settings)
{
    Resources before = ReadResources(original);
    Resources after = ReadResources(installer);
    Resources settingsBefore = TakeSettings(&before);
    Resources settingsAfter = TakeSettings(&after);
    ASSERT_EQ(settingsBefore.size(), 1u);
    ASSERT_EQ(settingsAfter.size(), 1u) << "one INSTINI, not one per language";
    EXPECT_EQ(settingsAfter.begin()->first, settingsBefore.begin()->first) << "the language is kept";
    EXPECT_EQ(settingsAfter.begin()->second, settings);
    for (const char* key : { "#2/VX_BMP/1033", "EXE/EXEFILE2/1033", "#6/#626/1033" })
        EXPECT_EQ(before.count(key), 1u) << key << " is missing from " << original;
    EXPECT_TRUE(after == before) << "resources other than INSTINI changed: " << before.size() << " before, " << after.size() << " after";
}

const char SILENT_SETTINGS[] =
    "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\nNOPASSWORD=TRUE\r\nBONUS=FALSE\r\nDESKTOP=FALSE\r\nEXPLORER=0\r\n"
    "LINE1=Stamped by vxstamp\r\nLINE2=Second line\r\n\r\n[VANTIX]\r\nGROUP32=vxstamp test\r\n";

TEST(Vxstamp, StampedInstallersCarryTheFileExactlyAndKeepEveryOtherResource)
{
    // The win32 installer is the one distributors ship; this vxstamp is the 64-bit one.
    for (const std::string& original : { BuiltInstaller(), std::string(VX_WIN32_INSTALLER) }) {
        ASSERT_TRUE(vxtest::FileExists(original)) << original << " is missing: build the win32 preset too";
        ScratchFolder folder;
        ScratchFolder settingsFolder;
        std::string installer = vxtest::CopyProgramAs(original, folder.Path(), "vxsetup.exe");
        vxtest::WriteFileBytes(settingsFolder / "silent.ini", SILENT_SETTINGS);

        StampRun run = Stamp(installer, settingsFolder / "silent.ini");
        EXPECT_EQ(run.code, 0u) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_NE(run.out.find("settings replaced"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("warning"), std::string::npos) << run.out;
        ExpectStampedWith(installer, original, SILENT_SETTINGS);
        EXPECT_EQ(vxtest::ListFolder(folder.Path()), std::vector<std::string>{ "vxsetup.exe" }) << "no working copy is left";
    }
}

TEST(Vxstamp, StampingAgainReplacesTheEarlierSettings)
{
    ScratchFolder folder;
    ScratchFolder settingsFolder;
    std::string installer = vxtest::CopyProgramAs(BuiltInstaller(), folder.Path(), "vxsetup.exe");
    // The largest file accepted first, then one with a section left as the template names it.
    std::string largest;
    for (int line = 0; line < 1024; ++line)
        largest += ";" + std::string(61, 'x') + "\r\n";
    vxtest::WriteFileBytes(settingsFolder / "largest.ini", largest);
    const std::string carried = "[RenameThisSectionTo:INSTALL]\r\nQUIET=TRUE\r\n";
    vxtest::WriteFileBytes(settingsFolder / "carried.ini", carried);

    ASSERT_EQ(largest.size(), 65536u);
    EXPECT_EQ(Stamp(installer, settingsFolder / "largest.ini").code, 0u);
    ExpectStampedWith(installer, BuiltInstaller(), largest);
    StampRun again = Stamp(installer, settingsFolder / "carried.ini");
    EXPECT_EQ(again.code, 0u) << again.err;
    EXPECT_NE(again.out.find("warning: " + (settingsFolder / "carried.ini") + " still names a section \"[RenameThisSectionTo:"),
        std::string::npos) << again.out;
    ExpectStampedWith(installer, BuiltInstaller(), carried);
}

// --- Refusals ------------------------------------------------------------------------------

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : vxtest::ListFolder(folder))
        contents[name] = vxtest::ReadFileBytes(vxtest::JoinPath(folder, name));
    return contents;
}

// Adds an INSTINI in language to the program at path, after deleting every other resource when
// asked. (Wine's UpdateResourceA cannot delete a single resource.)
void AddSettingsResource(const std::string& path, WORD language, BOOL deleteOthers)
{
    HANDLE update = BeginUpdateResourceA(path.c_str(), deleteOthers);
    ASSERT_NE(update, (HANDLE)NULL);
    char settings[] = "[INSTALL]\r\n";
    UpdateResourceA(update, "EXE", "INSTINI", language, settings, sizeof(settings) - 1);
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
}

// The files a refusal case works on: in `folder`, "vxsetup.exe" (ours) and its variants; in
// `settings`, "good.ini" and the bad ones.
void MakeRefusalFixtures(const std::string& folder, const std::string& settings)
{
    std::string ours = BuiltInstaller();
    vxtest::CopyProgramAs(ours, folder, "vxsetup.exe");
    CreateDirectoryA(vxtest::JoinPath(folder, "folder.exe").c_str(), NULL);
    vxtest::WriteFileBytes(vxtest::JoinPath(folder, "text.exe"), "[INSTALL]\r\nQUIET=TRUE\r\n");
    vxtest::WriteFileBytes(vxtest::JoinPath(folder, "headless.exe"), vxtest::ReadFileBytes(ours).substr(0, 64));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    vxtest::CopyProgramAs(vxtest::JoinPath(system, "lz32.dll"), folder, "library.exe");
    vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), folder, "other.exe");
    AddSettingsResource(vxtest::CopyProgramAs(ours, folder, "nobitmap.exe"), 1033, TRUE);
    AddSettingsResource(vxtest::CopyProgramAs(ours, folder, "twice.exe"), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), FALSE);
    SetFileAttributesA(vxtest::CopyProgramAs(ours, folder, "readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    vxtest::CopyProgramAs(ours, folder, "inuse.exe");

    const std::pair<const char*, std::string> files[] = {
        { "good.ini", "[INSTALL]\r\nQUIET=TRUE\r\n" },
        { "empty.ini", "" },
        { "large.ini", std::string(65535, ';') + "\r\n" },
        { "zero.ini", std::string("[INSTALL]\r\nLINE1=a\0b\r\n", 21) },
        { "utf16.ini", std::string("[\0I\0]\0\r\0\n\0", 10) },
        { "lf.ini", "[INSTALL]\nQUIET=TRUE\n" },
        { "cr.ini", "[INSTALL]\r\nQUIET=TRUE\r" },
        { "ctrlz.ini", "[INSTALL]\r\nQUIET=TRUE\r\n\x1a" },
        { "bom.ini", "\xEF\xBB\xBF[INSTALL]\r\nQUIET=TRUE\r\n" },
    };
    for (const auto& file : files)
        vxtest::WriteFileBytes(vxtest::JoinPath(settings, file.first), file.second);
    CreateDirectoryA(vxtest::JoinPath(settings, "folder.ini").c_str(), NULL);
}

TEST(Vxstamp, EveryRefusalHasItsCodeAndLineAndLeavesTheFolderAsItWas)
{
    ScratchFolder folder;
    ScratchFolder settings;
    MakeRefusalFixtures(folder.Path(), settings.Path());
    // inuse.exe is held open without delete sharing, as a running program holds its file.
    HANDLE held = CreateFileA((folder / "inuse.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const struct {
        const char* installer;     // in folder; NULL: the whole command line is `settingsFile`
        const char* settingsFile;  // in settings
        DWORD code;
        const char* message;
    } cases[] = {
        { nullptr, "", 2, "usage: vxstamp <installer.exe> <settings.ini>" },
        { nullptr, "vxsetup.exe", 2, "usage:" },
        { nullptr, "vxsetup.exe good.ini good.ini", 2, "usage:" },
        { "missing.exe", "good.ini", 3, "no such installer file" },
        { "folder.exe", "good.ini", 3, "is a folder, not an installer" },
        { "text.exe", "good.ini", 4, "not a Windows program (no MZ header)" },
        { "headless.exe", "good.ini", 4, "not a Windows program (no PE header)" },
        { "library.exe", "good.ini", 4, "is a library, not an installer program" },
        { "other.exe", "good.ini", 5, "not a VANTIX Pro installer (no resource INSTINI of type EXE)" },
        { "nobitmap.exe", "good.ini", 5, "not a VANTIX Pro installer (no bitmap VX_BMP)" },
        { "twice.exe", "good.ini", 5, "carries 2 INSTINI resources in different languages" },
        { "vxsetup.exe", "missing.ini", 6, "no such settings file" },
        { "vxsetup.exe", "folder.ini", 6, "is a folder, not a settings file" },
        { "vxsetup.exe", "empty.ini", 6, "is empty" },
        { "vxsetup.exe", "large.ini", 6, "is larger than 65536 bytes" },
        { "vxsetup.exe", "zero.ini", 7, "not plain text: NUL byte in line 2" },
        { "vxsetup.exe", "utf16.ini", 7, "not plain text: NUL byte in line 1" },
        { "vxsetup.exe", "lf.ini", 7, "line 1 ends in LF without CR" },
        { "vxsetup.exe", "cr.ini", 7, "line 2 ends in CR without LF" },
        { "vxsetup.exe", "ctrlz.ini", 7, "control character 0x1A in line 3" },
        { "vxsetup.exe", "bom.ini", 7, "UTF-8 byte order mark" },
        { "readonly.exe", "good.ini", 10, "is read-only; it is unchanged" },
        { "inuse.exe", "good.ini", 10, "cannot be replaced (in use or not writable" },
    };
    std::map<std::string, std::string> before = FolderContents(folder.Path());
    for (const auto& c : cases) {
        std::string arguments = c.installer == nullptr ? c.settingsFile
            : "\"" + (folder / c.installer) + "\" \"" + (settings / c.settingsFile) + "\"";
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
