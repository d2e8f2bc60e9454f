// Test helpers: programs run the way the installer meets Windows (under an emulated Windows
// version, with or without the OS variable, in a folder of their own), scratch folders, and the
// files, registry values and WIN.INI keys tests look at.
#pragma once
#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

// The Windows versions Wine can report to a program, set per program name in its registry.
enum class WindowsVersion { Default, Win95, Win98, NT40, NT351, Win32s };
inline const char* WineVersionName(WindowsVersion v) { static const char* const names[] = { "", "win95", "win98", "nt40", "nt351", "win31" }; return names[(int)v]; }
void SetEmulatedVersion(const std::string& exeName, WindowsVersion version);  // Default removes it

struct RunOptions {
    WindowsVersion version = WindowsVersion::Default;
    bool withOsVariable = true;  // Windows 95/98 have no OS variable; NT has OS=Windows_NT
    std::vector<std::pair<std::string, std::string>> environment;  // set (or, with "", removed)
    std::string workingFolder;  // empty: the test's current folder
    DWORD timeoutMs = 60000;
    std::string outputFile, errorFile;  // where its standard output and error go; empty: inherited
};

// A started program; ended, if still running, when it goes.
class Program {
public:
    Program() = default;
    Program(Program&& other) noexcept { *this = std::move(other); }
    Program& operator=(Program&& other) noexcept { std::swap(process_, other.process_), std::swap(id_, other.id_); return *this; }
    ~Program() { Kill(); }
    bool Started() const { return process_ != NULL; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const { return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD Wait(DWORD timeoutMs);  // the exit code, or TIMED_OUT; this thread's messages are pumped meanwhile
    void Kill();
    static constexpr DWORD TIMED_OUT = 0xFFFFFFF0;

private:
    friend Program StartProgram(const std::string&, const std::string&, const RunOptions&);
    HANDLE process_ = NULL;
    DWORD id_ = 0;
};

// An emulated version is set for the executable's file name: give each such program its own (CopyProgramAs).
Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});
// Starts and waits; the exit code, or Program::TIMED_OUT (a failure; the program is ended).
DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});
std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName);

// --- Files and folders -----------------------------------------------------------------------
inline std::string BuildFolder() { return VX_BUILD_DIR_WINDOWS; }  // build\win64, as Wine sees it
inline std::string ModuleFolder()  // the running test program's
{
    char path[MAX_PATH];
    return std::filesystem::path(std::string(path, GetModuleFileNameA(NULL, path, sizeof(path)))).parent_path().string();
}
inline std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + (folder.empty() || folder.back() == '\\' || folder.back() == '/' ? "" : "\\") + name;
}
inline bool FileExists(const std::string& path) { DWORD a = GetFileAttributesA(path.c_str()); return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY); }
inline bool FolderExists(const std::string& path) { DWORD a = GetFileAttributesA(path.c_str()); return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }
inline std::string ReadFileBytes(const std::string& path)  // empty when missing
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> ListFolder(const std::string& folder);  // names, without . and ..
inline void RemoveTree(const std::string& path) { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
inline std::string TempFolder() { char p[MAX_PATH]; return std::string(p, GetTempPathA(sizeof(p), p) - 1); }  // no trailing backslash
inline std::string CurrentFolder() { char p[MAX_PATH]; return std::string(p, GetCurrentDirectoryA(sizeof(p), p)); }
// The Start Menu's Programs folder, where a shell makes program groups.
inline std::string ProgramsFolder() { char p[MAX_PATH] = ""; SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, p); return p; }
// Closes the folder windows Wine's shell opens on each group it makes: they would outlive the test.
void CloseShellFolderWindows();
enum class UnendedLine { Dropped, Kept };  // what SplitLines makes of text after the last line end
std::vector<std::string> SplitLines(const std::string& text, const std::string& lineEnd = "\r\n", UnendedLine unended = UnendedLine::Dropped);

// A new empty folder under the temporary folder, removed with its contents at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label = "vxtest");
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

class CurrentFolderScope {  // folder is current for the scope
public:
    explicit CurrentFolderScope(const std::string& folder);
    ~CurrentFolderScope() { SetCurrentDirectoryA(previous_.c_str()); }

private:
    std::string previous_;
};

class EnvironmentScope {  // the variable has value (none when empty) for the scope
public:
    EnvironmentScope(const std::string& name, const std::string& value);
    ~EnvironmentScope() { SetEnvironmentVariableA(name_.c_str(), had_ ? previous_.c_str() : NULL); }

private:
    std::string name_, previous_;
    bool had_;
};

// --- Registry and WIN.INI ("" names a key's default value) ----------------------------------------
inline std::string RegistryText(HKEY root, const std::string& key, const std::string& value)  // a REG_SZ value, or "<absent>"
{
    char data[4096];
    DWORD size = sizeof(data);
    return RegGetValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), RRF_RT_REG_SZ, NULL, data, &size) ? "<absent>" : data;
}
inline bool ReadRegistryText(HKEY root, const std::string& key, const std::string& value, std::string* data)
{
    std::string text = RegistryText(root, key, value);
    return text != "<absent>" && (data == nullptr || (*data = text, true));
}
void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data);
void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data);
inline void DeleteRegistryTree(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }
inline bool RegistryKeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    bool exists = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    return exists && RegCloseKey(handle) == ERROR_SUCCESS;
}
// Replaces the key's access list (creating the key) by sddl's: a locked-down machine's
// "D:(D;;0x2;;;WD)(A;;KA;;;WD)" refuses setting values, "D:(A;;KA;;;WD)" allows all.
void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl);
inline std::string WinIniText(const std::string& section, const std::string& key)  // or "<absent>"
{
    char value[1024];
    return std::string(value, GetProfileStringA(section.c_str(), key.c_str(), "<absent>", value, sizeof(value)));
}

}  // namespace vxtest
