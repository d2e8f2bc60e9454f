// Test helpers that run programs the way the installer meets Windows: under an emulated Windows
// version, with or without the OS environment variable, in a scratch folder, and that read and
// write the files and registry keys tests look at.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vxtest {

// The Windows versions Wine can report to a program (per program name, through its registry).
enum class WindowsVersion { Default, Win95, Win98, NT40, NT351, Win32s };
const char* WineVersionName(WindowsVersion version);  // "win95", ... ("" for Default)

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
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    ~Program();

    bool Started() const { return process_ != NULL; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    // Waits for the end; returns the exit code, or TIMED_OUT.
    DWORD Wait(DWORD timeoutMs);
    bool Running() const;
    void Kill();

    static const DWORD TIMED_OUT = 0xFFFFFFF0;

private:
    friend Program StartProgram(const std::string&, const std::string&, const RunOptions&);
    HANDLE process_ = NULL;
    DWORD id_ = 0;
};

// Starts exePath with arguments. Emulating a version sets Wine's per-program version for the
// executable's file name, so give each emulated program a name of its own (CopyProgramAs).
Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});
// Starts and waits; returns the exit code, or Program::TIMED_OUT (the program is then ended).
DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {});

// Wine's per-program Windows version for executables named exeName (Default removes it).
void SetEmulatedVersion(const std::string& exeName, WindowsVersion version);

// --- Files and folders ------------------------------------------------------------------------
std::string ModuleFolder();                       // folder of the running test program
std::string BuildFolder();                        // the build folder (VX_BUILD_DIR), as a Windows path
std::string JoinPath(const std::string& folder, const std::string& name);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);  // empty when missing
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> ListFolder(const std::string& folder);  // names, without . and ..
void RemoveTree(const std::string& path);
std::string TempFolder();                          // GetTempPathA without the trailing backslash
std::string CurrentFolder();
std::string ProgramsFolder();  // the Start Menu's Programs folder, where a shell makes program groups

// What SplitLines makes of text after the last line end: a line still being written is Dropped;
// a file whose last line may lack its end Keeps it.
enum class UnendedLine { Dropped, Kept };
// The lines of text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text, const std::string& lineEnd = "\r\n",
    UnendedLine unended = UnendedLine::Dropped);

// A new empty folder under the system temporary folder, removed with everything in it at the
// end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label = "vxtest");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

// Makes folder current for the scope and restores the previous current folder afterwards.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::string& folder);
    ~CurrentFolderScope();

private:
    std::string previous_;
};

// Sets (or with an empty value removes) an environment variable for the scope.
class EnvironmentScope {
public:
    EnvironmentScope(const std::string& name, const std::string& value);
    ~EnvironmentScope();

private:
    std::string name_;
    std::string previous_;
    bool hadValue_;
};

// Copies a program under another file name (for per-program version emulation) and returns
// the new path.
std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName);

// --- Registry --------------------------------------------------------------------------------
bool ReadRegistryText(HKEY root, const std::string& key, const std::string& value, std::string* data);
// The value's text ("" names the default value), or "<absent>".
std::string RegistryText(HKEY root, const std::string& key, const std::string& value);
void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data);
void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data);
void DeleteRegistryTree(HKEY root, const std::string& key);
bool RegistryKeyExists(HKEY root, const std::string& key);
// Replaces the key's access list (creating the key when missing) by the one sddl describes, as a
// locked-down machine's key would have it: "D:(D;;0x2;;;WD)(A;;KA;;;WD)" refuses setting values,
// "D:(A;;KA;;;WD)" allows everything.
void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl);

// --- WIN.INI ---------------------------------------------------------------------------------
// The key's value in the section of WIN.INI, "<absent>" when it has none.
std::string WinIniText(const std::string& section, const std::string& key);

}  // namespace vxtest
