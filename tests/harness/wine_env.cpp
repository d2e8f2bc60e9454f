// Test helpers (see wine_env.h).
#include "harness/wine_env.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vxtest {

namespace fs = std::filesystem;

const char* WineVersionName(WindowsVersion version)
{
    static const char* const names[] = { "", "win95", "win98", "nt40", "nt351", "win31" };
    return names[(int)version];
}

void SetEmulatedVersion(const std::string& exeName, WindowsVersion version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version == WindowsVersion::Default)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version");
    else
        WriteRegistryText(HKEY_CURRENT_USER, key, "Version", WineVersionName(version));
}

Program& Program::operator=(Program&& other) noexcept
{
    std::swap(process_, other.process_);
    std::swap(id_, other.id_);
    return *this;
}

DWORD Program::Wait(DWORD timeoutMs)
{
    // A DDE client's broadcast waits for every top-level window, this thread's too.
    for (DWORD start = GetTickCount(), woken = 0; process_ != NULL && woken != WAIT_TIMEOUT;) {
        woken = MsgWaitForMultipleObjects(1, &process_, FALSE, timeoutMs - std::min(timeoutMs, GetTickCount() - start), QS_ALLINPUT);
        DWORD code = TIMED_OUT;
        if (woken == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code))
            return code;
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    }
    return TIMED_OUT;
}

void Program::Kill()
{
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    if (process_ != NULL)
        CloseHandle(process_);
    process_ = NULL;
}

Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options)
{
    SetEmulatedVersion(fs::path(exePath).filename().string(), options.version);
    auto overrides = options.environment;
    if (!options.withOsVariable)
        overrides.emplace_back("OS", "");
    // Ours, without what is overridden, then the overrides. Names may start with '=' (=C:).
    std::string environment;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += strlen(entry) + 1) {
        std::string name(entry, strcspn(entry + 1, "=") + 1);
        bool overridden = false;
        for (const auto& o : overrides)
            overridden = overridden || _stricmp(o.first.c_str(), name.c_str()) == 0;
        if (!overridden)
            environment.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(block);
    for (const auto& o : overrides) {
        if (!o.second.empty())
            environment.append(o.first + "=" + o.second).push_back('\0');
    }
    environment.push_back('\0');

    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Program program;
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, &environment[0],
            options.workingFolder.empty() ? NULL : options.workingFolder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "could not start " << commandLine << " (error " << GetLastError() << ")";
        return program;
    }
    CloseHandle(info.hThread);
    program.process_ = info.hProcess;
    program.id_ = info.dwProcessId;
    return program;
}

DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options)
{
    Program program = StartProgram(exePath, arguments, options);
    DWORD code = program.Wait(options.timeoutMs);
    EXPECT_NE(code, Program::TIMED_OUT) << exePath << " did not end within " << options.timeoutMs << " ms";
    return code;
}

std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName)
{
    std::string target = JoinPath(folder, newName);
    EXPECT_TRUE(CopyFileA(exePath.c_str(), target.c_str(), FALSE)) << "cannot copy " << exePath << " to " << target;
    return target;
}

// --- Files and folders ------------------------------------------------------------------------

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    return fs::path(path).parent_path().string();
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return folder + (separated ? "" : "\\") + name;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    EXPECT_TRUE(out << bytes) << "cannot write " << path;
}

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    return names;
}

void RemoveTree(const std::string& path)
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string TempFolder()
{
    char path[MAX_PATH];
    return std::string(path, GetTempPathA(sizeof(path), path) - 1);
}

std::string CurrentFolder()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof(path), path);
    return path;
}

std::string ProgramsFolder()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

void CloseShellFolderWindows()
{
    for (HWND window; (window = FindWindowA("ExplorerWClass", NULL)) != NULL && IsWindowVisible(window);) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        for (int waited = 0; waited < 50 && IsWindow(window); ++waited)
            Sleep(20);
    }
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& lineEnd, UnendedLine unended)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(lineEnd, start)) != std::string::npos; start = end + lineEnd.size())
        lines.push_back(text.substr(start, end - start));
    if (unended == UnendedLine::Kept && start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

ScratchFolder::ScratchFolder(const std::string& label)
{
    static unsigned counter = 0;
    path_ = JoinPath(TempFolder(), label + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    RemoveTree(path_);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), NULL)) << "cannot create " << path_;
}

CurrentFolderScope::CurrentFolderScope(const std::string& folder) : previous_(CurrentFolder())
{
    EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << "cannot enter " << folder;
}

EnvironmentScope::EnvironmentScope(const std::string& name, const std::string& value) : name_(name)
{
    std::vector<char> buffer(32768);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), (DWORD)buffer.size());
    had_ = length > 0;
    previous_.assign(buffer.data(), length);
    SetEnvironmentVariableA(name.c_str(), value.empty() ? NULL : value.c_str());
}

// --- Registry and WIN.INI ---------------------------------------------------------------------

bool ReadRegistryText(HKEY root, const std::string& key, const std::string& value, std::string* data)
{
    char buffer[4096];
    DWORD size = sizeof(buffer);
    bool found = RegGetValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), RRF_RT_REG_SZ, NULL, buffer, &size) == ERROR_SUCCESS;
    if (found && data != NULL)
        *data = buffer;
    return found;
}

std::string RegistryText(HKEY root, const std::string& key, const std::string& value)
{
    std::string data;
    return ReadRegistryText(root, key, value, &data) ? data : "<absent>";
}

void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data)
{
    EXPECT_EQ(RegSetKeyValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), REG_SZ, data.c_str(), (DWORD)data.size() + 1), 0) << key;
}

void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data)
{
    EXPECT_EQ(RegSetKeyValueA(root, key.c_str(), value.c_str(), REG_DWORD, &data, sizeof(data)), 0) << key;
}

bool RegistryKeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    bool exists = RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) == ERROR_SUCCESS;
    if (exists)
        RegCloseKey(handle);
    return exists;
}

void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, WRITE_DAC, NULL, &handle, NULL), ERROR_SUCCESS) << key;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, NULL)) << sddl;
    EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS) << key;
    LocalFree(descriptor);
    RegCloseKey(handle);
}

std::string WinIniText(const std::string& section, const std::string& key)
{
    char value[1024];
    GetProfileStringA(section.c_str(), key.c_str(), "<absent>", value, sizeof(value));
    return value;
}

}  // namespace vxtest
