// Test helpers: programs run the way the installer meets Windows (under an emulated Windows
// version, with or without the OS variable, in a folder of their own), scratch folders, and the
// files, registry values and WIN.INI keys tests look at.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vxtest {

// The Windows versions Wine can report to a program (per program name, through its registry).
enum class WindowsVersion { Default, Win95, Win98, NT40, NT351, Win32s };
const char* WineVersionName(WindowsVersion version);  // "win95", ... ("" for Default)
// Wine's per-program Windows version for executables named exeName (Default removes it).
void SetEmulatedVersion(const std::string& exeName, WindowsVersion version);

struct RunOptions {
    WindowsVersion version = WindowsVersion::Default;
    bool withOsVariable = true;  // Windows 95/98 have no OS variable; NT has OS=Windows_NT
    std::vector<std::pair<std::string, std::string>> environment;  // set (or, with "", remove)
    std::string workingFolder;  // empty: the test's current folder
    DWORD timeoutMs = 60000;
};

// A started program; the destructor ends it if it is still running.
class Program {
public:
    Program() = default;
    Program(Program&& other) noexcept { *this = std::move(other); }
    Program& operator=(Program&& other) noexcept;
    ~Program() { Kill(); }
    bool Started() const { return process_ != NULL; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const { return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // The exit code, or TIMED_OUT. This thread's messages are pumped meanwhile.
    DWORD Wait(DWORD timeoutMs);
    void Kill();
    static constexpr DWORD TIMED_OUT = 0xFFFFFFF0;

private:
    friend Program StartProgram(const std::string&, const std::string&, const RunOptions&);
    HANDLE process_ = NULL;
    DWORD id_ = 0;
};

// Emulating a version sets it for the executable's file name: give each emulated program a name
// of its own (CopyProgramAs).
Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});
// Starts and waits; the exit code, or Program::TIMED_OUT (a failure; the program is ended).
DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});
std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName);

// --- Files and folders ------------------------------------------------------------------------
std::string ModuleFolder();                             // folder of the running test program
inline std::string BuildFolder() { return VX_BUILD_DIR_WINDOWS; }  // build\win64, as Wine sees it
std::string JoinPath(const std::string& folder, const std::string& name);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);     // empty when missing
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> ListFolder(const std::string& folder);  // names, without . and ..
void RemoveTree(const std::string& path);
std::string TempFolder();  // GetTempPathA without the trailing backslash
std::string CurrentFolder();
std::string ProgramsFolder();  // the Start Menu's Programs folder, where a shell makes program groups
// Closes the folder windows Wine's shell opens on each program group it creates: they would hold
// the folder and outlive the test.
void CloseShellFolderWindows();

// What SplitLines makes of text after the last line end: Dropped (a line still being written) or Kept.
enum class UnendedLine { Dropped, Kept };
std::vector<std::string> SplitLines(const std::string& text, const std::string& lineEnd = "\r\n",
    UnendedLine unended = UnendedLine::Dropped);

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

// Makes folder current for the scope.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::string& folder);
    ~CurrentFolderScope() { SetCurrentDirectoryA(previous_.c_str()); }

private:
    std::string previous_;
};

// Sets (or with an empty value removes) an environment variable for the scope.
class EnvironmentScope {
public:
    EnvironmentScope(const std::string& name, const std::string& value);
    ~EnvironmentScope() { SetEnvironmentVariableA(name_.c_str(), had_ ? previous_.c_str() : NULL); }

private:
    std::string name_, previous_;
    bool had_;
};

// --- Registry and WIN.INI ---------------------------------------------------------------------
// A REG_SZ value ("" names the default value); false when there is none.
bool ReadRegistryText(HKEY root, const std::string& key, const std::string& value, std::string* data);
std::string RegistryText(HKEY root, const std::string& key, const std::string& value);  // or "<absent>"
void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data);
void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data);
inline void DeleteRegistryTree(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }
bool RegistryKeyExists(HKEY root, const std::string& key);
// Replaces the key's access list (creating the key) by the one sddl describes: a locked-down
// machine's "D:(D;;0x2;;;WD)(A;;KA;;;WD)" refuses setting values, "D:(A;;KA;;;WD)" allows all.
void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl);
std::string WinIniText(const std::string& section, const std::string& key);  // or "<absent>"

}  // namespace vxtest
