// Test helpers: programs run under an emulated Windows version, scratch folders, files, registry
// values and WIN.INI keys.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

// The Windows versions Wine reports to a program, set per program name in its registry.
enum class WindowsVersion { Default, Win95, Win98, NT40, NT351, Win32s };

struct RunOptions {
    WindowsVersion version = WindowsVersion::Default;
    std::vector<std::pair<std::string, std::string>> environment;  // set (or, with "", removed)
    std::string workingFolder;
    DWORD timeoutMs = 60000;
    std::string outputFile, errorFile;  // empty: inherited
};

// A started program; ended, if still running, when it goes.
class Program {
public:
    Program() = default;
    Program(Program&& other) noexcept { *this = std::move(other); }
    Program& operator=(Program&& other) noexcept { std::swap(process_, other.process_), std::swap(id_, other.id_); return *this; }
    ~Program() { Kill(); }
    DWORD Id() const { return id_; }
    bool Running() const { return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD Wait(DWORD timeoutMs);  // the exit code, or TIMED_OUT; this thread's messages are pumped meanwhile
    void Kill()
    {
        if (Running())
            TerminateProcess(process_, 0xDEAD), WaitForSingleObject(process_, 5000);
        if (process_ != NULL)
            CloseHandle(process_), process_ = NULL;
    }
    static constexpr DWORD TIMED_OUT = 0xFFFFFFF0;

private:
    friend Program StartProgram(const std::string&, const std::string&, const RunOptions&);
    HANDLE process_ = NULL;
    DWORD id_ = 0;
};

inline DWORD Program::Wait(DWORD timeoutMs)  // pumps: a DDE client's broadcast waits for this thread's windows too
{
    for (DWORD start = GetTickCount(), woken = 0, code = TIMED_OUT; process_ != NULL && woken != WAIT_TIMEOUT;) {
        woken = MsgWaitForMultipleObjects(1, &process_, FALSE, timeoutMs - std::min(timeoutMs, GetTickCount() - start), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code))
            return code;
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    }
    return TIMED_OUT;
}

inline std::string BuildFolder() { return VX_BUILD_DIR_WINDOWS; }  // build\win64, as Wine sees it
inline std::string ModuleFolder()  // the running test program's
{
    char path[MAX_PATH];
    return std::filesystem::path(std::string(path, GetModuleFileNameA(NULL, path, sizeof(path)))).parent_path().string();
}
inline std::string JoinPath(const std::string& folder, const std::string& name) { return folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + name; }
inline bool FileExists(const std::string& path) { DWORD a = GetFileAttributesA(path.c_str()); return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY); }
inline bool FolderExists(const std::string& path) { DWORD a = GetFileAttributesA(path.c_str()); return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }
inline std::string ReadFileBytes(const std::string& path)  // empty when missing
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteFileBytes(const std::string& path, const std::string& bytes) { EXPECT_TRUE(std::ofstream(path, std::ios::binary) << bytes) << "cannot write " << path; }
// The names in a folder, without . and ..
inline std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    return names;
}
// Each file of a folder (not below it): name -> bytes.
inline std::map<std::string, std::string> FolderFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : ListFolder(folder))
        files[name] = ReadFileBytes(JoinPath(folder, name));
    return files;
}
inline void RemoveTree(const std::string& path) { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
inline std::string CurrentFolder() { char p[MAX_PATH]; return std::string(p, GetCurrentDirectoryA(sizeof(p), p)); }
// The Start Menu's Programs folder, where a shell makes program groups.
inline std::string ProgramsFolder() { char p[MAX_PATH] = ""; SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, p); return p; }
// Closes the folder windows Wine's shell opens on each group it makes: they would outlive the test.
inline void CloseShellFolderWindows()
{
    for (HWND window; (window = FindWindowA("ExplorerWClass", NULL)) != NULL && IsWindowVisible(window);) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        for (int waited = 0; waited < 50 && IsWindow(window); ++waited)
            Sleep(20);
    }
}
// The CR LF lines; an unended last one is dropped.
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// A new empty folder under the temporary folder, removed with its contents at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label = "vxtest")
    {
        static unsigned counter = 0;
        char temp[MAX_PATH];
        path_ = JoinPath(std::string(temp, GetTempPathA(sizeof(temp), temp)), label + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
        RemoveTree(path_);
        EXPECT_TRUE(CreateDirectoryA(path_.c_str(), NULL)) << "cannot create " << path_;
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;  // the folder goes once
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

struct CurrentFolderScope {  // folder is current for the scope
    explicit CurrentFolderScope(const std::string& folder) : previous(CurrentFolder()) { EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder; }
    ~CurrentFolderScope() { SetCurrentDirectoryA(previous.c_str()); }
    const std::string previous;
};

struct EnvironmentScope {  // the variable has value (none when empty) for the scope
    EnvironmentScope(const std::string& name, const std::string& value) : name(name), previous(32768, '\0')
    {
        previous.resize(GetEnvironmentVariableA(name.c_str(), &previous[0], (DWORD)previous.size()));
        had = !previous.empty();
        SetEnvironmentVariableA(name.c_str(), value.empty() ? NULL : value.c_str());
    }
    ~EnvironmentScope() { SetEnvironmentVariableA(name.c_str(), had ? previous.c_str() : NULL); }
    std::string name, previous;
    bool had;
};

// Registry values and WIN.INI keys ("" names a key's default value).
inline std::string RegistryText(HKEY root, const std::string& key, const std::string& value)  // a REG_SZ value, or "<absent>"
{
    char data[4096];
    DWORD size = sizeof(data);
    return RegGetValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), RRF_RT_REG_SZ, NULL, data, &size) ? "<absent>" : data;
}
inline void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data)
{
    EXPECT_EQ(RegSetKeyValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), REG_SZ, data.c_str(), (DWORD)data.size() + 1), 0) << key;
}
// Replaces the key's access list (creating the key) by sddl's: "D:(D;;0x2;;;WD)(A;;KA;;;WD)"
// refuses setting values, as on a locked-down machine; "D:(A;;KA;;;WD)" allows all.
inline void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl)
{
    HKEY handle;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, WRITE_DAC, NULL, &handle, NULL), ERROR_SUCCESS) << key;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, NULL)) << sddl;
    EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS) << key;
    LocalFree(descriptor);
    RegCloseKey(handle);
}
inline std::string WinIniText(const std::string& section, const std::string& key)  // or "<absent>"
{
    char value[1024];
    return std::string(value, GetProfileStringA(section.c_str(), key.c_str(), "<absent>", value, sizeof(value)));
}

// The emulated version is set for the file name: give each such program its own (CopyProgramAs).
inline Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {})
{
    static const char* const versions[] = { "", "win95", "win98", "nt40", "nt351", "win31" };
    std::string appKey = "Software\\Wine\\AppDefaults\\" + std::filesystem::path(exePath).filename().string();
    if (options.version == WindowsVersion::Default)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, appKey.c_str(), "Version");
    else
        WriteRegistryText(HKEY_CURRENT_USER, appKey, "Version", versions[(int)options.version]);
    // The program inherits this process's environment, changed for the moment it is started.
    std::list<EnvironmentScope> changed;
    for (const auto& variable : options.environment)
        changed.emplace_back(variable.first, variable.second);
    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    auto open = [&](const std::string& path) { return path.empty() ? NULL : CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, NULL); };
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.hStdOutput = open(options.outputFile), startup.hStdError = open(options.errorFile);
    BOOL redirected = startup.hStdOutput || startup.hStdError;
    startup.dwFlags = redirected ? STARTF_USESTDHANDLES : 0;
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION info = {};
    Program program;
    if (CreateProcessA(exePath.c_str(), &commandLine[0], NULL, NULL, redirected, 0, NULL,
            options.workingFolder.empty() ? NULL : options.workingFolder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        program.process_ = info.hProcess;
        program.id_ = info.dwProcessId;
    } else {
        ADD_FAILURE() << "could not start " << commandLine << " (error " << GetLastError() << ")";
    }
    for (HANDLE file : { startup.hStdOutput, startup.hStdError })
        file != NULL && CloseHandle(file);
    return program;
}

// Starts and waits; the exit code, or Program::TIMED_OUT (a failure; the program is ended).
inline DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options = {})
{
    DWORD code = StartProgram(exePath, arguments, options).Wait(options.timeoutMs);
    EXPECT_NE(code, Program::TIMED_OUT) << exePath << " did not end within " << options.timeoutMs << " ms";
    return code;
}

inline std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName)  // its path
{
    std::string target = JoinPath(folder, newName);
    EXPECT_TRUE(CopyFileA(exePath.c_str(), target.c_str(), FALSE)) << "cannot copy " << exePath << " to " << target;
    return target;
}

}  // namespace vxtest
