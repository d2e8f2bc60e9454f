// Test helpers: programs under emulated Windows versions, scratch folders, files, registry.
#include "harness/wine_env.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <shlobj.h>
#include <stdlib.h>

namespace vxtest {

const char* WineVersionName(WindowsVersion version)
{
    switch (version) {
    case WindowsVersion::Win95: return "win95";
    case WindowsVersion::Win98: return "win98";
    case WindowsVersion::NT40: return "nt40";
    case WindowsVersion::NT351: return "nt351";
    case WindowsVersion::Win32s: return "win31";
    case WindowsVersion::Default: break;
    }
    return "";
}

// --- Programs --------------------------------------------------------------------------------

Program::Program(Program&& other) noexcept : process_(other.process_), id_(other.id_)
{
    other.process_ = NULL;
    other.id_ = 0;
}

Program& Program::operator=(Program&& other) noexcept
{
    if (this != &other) {
        Kill();
        process_ = other.process_;
        id_ = other.id_;
        other.process_ = NULL;
        other.id_ = 0;
    }
    return *this;
}

Program::~Program()
{
    Kill();
}

DWORD Program::Wait(DWORD timeoutMs)
{
    if (process_ == NULL)
        return TIMED_OUT;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return TIMED_OUT;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool Program::Running() const
{
    return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Program::Kill()
{
    if (process_ == NULL)
        return;
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = NULL;
}

namespace {

std::string ExeName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

// The environment block a child gets: ours, minus OS when asked, with the overrides applied.
std::string BuildEnvironment(const RunOptions& options)
{
    std::vector<std::pair<std::string, std::string>> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += strlen(entry) + 1) {
        const char* equals = strchr(entry + 1, '=');  // names may start with '=' (=C:)
        if (equals == NULL)
            continue;
        variables.emplace_back(std::string(entry, equals), std::string(equals + 1));
    }
    FreeEnvironmentStringsA(block);

    auto remove = [&variables](const std::string& name) {
        for (auto it = variables.begin(); it != variables.end();) {
            if (SameName(it->first, name))
                it = variables.erase(it);
            else
                ++it;
        }
    };
    if (!options.withOsVariable)
        remove("OS");
    for (const auto& override : options.environment) {
        remove(override.first);
        if (!override.second.empty())
            variables.push_back(override);
    }
    std::string result;
    for (const auto& variable : variables)
        result += variable.first + "=" + variable.second + '\0';
    result += '\0';
    return result;
}

}  // namespace

void SetEmulatedVersion(const std::string& exeName, WindowsVersion version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version == WindowsVersion::Default) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
            RegDeleteValueA(handle, "Version");
            RegCloseKey(handle);
        }
        return;
    }
    WriteRegistryText(HKEY_CURRENT_USER, key, "Version", WineVersionName(version));
}

Program StartProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options)
{
    SetEmulatedVersion(ExeName(exePath), options.version);
    std::string environment = BuildEnvironment(options);
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> mutableCommand(commandLine.begin(), commandLine.end());
    mutableCommand.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Program program;
    if (!CreateProcessA(exePath.c_str(), mutableCommand.data(), NULL, NULL, FALSE, 0, &environment[0],
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
    if (code == Program::TIMED_OUT)
        ADD_FAILURE() << exePath << " did not end within " << options.timeoutMs << " ms";
    return code;
}

// --- Files and folders ------------------------------------------------------------------------

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string BuildFolder()
{
#ifdef VX_BUILD_DIR_WINDOWS
    return VX_BUILD_DIR_WINDOWS;
#else
    return ModuleFolder();
#endif
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << "short write to " << path;
}

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& name : ListFolder(path))
            RemoveTree(JoinPath(path, name));
        RemoveDirectoryA(path.c_str());
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

std::string TempFolder()
{
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(path), path);
    std::string folder(path, length);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
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
    for (;;) {
        path_ = JoinPath(TempFolder(), label + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
        if (CreateDirectoryA(path_.c_str(), NULL))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create scratch folder " << path_;
            break;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

CurrentFolderScope::CurrentFolderScope(const std::string& folder) : previous_(CurrentFolder())
{
    EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << "cannot enter " << folder;
}

CurrentFolderScope::~CurrentFolderScope()
{
    SetCurrentDirectoryA(previous_.c_str());
}

EnvironmentScope::EnvironmentScope(const std::string& name, const std::string& value) : name_(name)
{
    char buffer[32768];
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof(buffer));
    hadValue_ = length > 0 && length < sizeof(buffer);
    if (hadValue_)
        previous_.assign(buffer, length);
    SetEnvironmentVariableA(name.c_str(), value.empty() ? NULL : value.c_str());
}

EnvironmentScope::~EnvironmentScope()
{
    SetEnvironmentVariableA(name_.c_str(), hadValue_ ? previous_.c_str() : NULL);
}

std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName)
{
    std::string target = JoinPath(folder, newName);
    EXPECT_TRUE(CopyFileA(exePath.c_str(), target.c_str(), FALSE)) << "cannot copy " << exePath << " to " << target;
    return target;
}

// --- Registry ------------------------------------------------------------------------------------

bool ReadRegistryText(HKEY root, const std::string& key, const std::string& value, std::string* data)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    char buffer[4096];
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(handle, value.empty() ? NULL : value.c_str(), NULL, &type, (BYTE*)buffer, &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return false;
    buffer[size] = '\0';
    if (data != NULL)
        *data = buffer;  // up to the first terminator
    return true;
}

std::string RegistryText(HKEY root, const std::string& key, const std::string& value)
{
    std::string data;
    return ReadRegistryText(root, key, value, &data) ? data : "<absent>";
}

void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL), ERROR_SUCCESS) << key;
    RegSetValueExA(handle, value.empty() ? NULL : value.c_str(), 0, REG_SZ, (const BYTE*)data.c_str(), (DWORD)data.size() + 1);
    RegCloseKey(handle);
}

void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL), ERROR_SUCCESS) << key;
    RegSetValueExA(handle, value.c_str(), 0, REG_DWORD, (const BYTE*)&data, sizeof(data));
    RegCloseKey(handle);
}

void DeleteRegistryTree(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    // Names first, then the deletions: a child that cannot be deleted must not be met again.
    std::vector<std::string> children;
    char child[256];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof(child);
        if (RegEnumKeyExA(handle, index, child, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        children.push_back(child);
    }
    for (const std::string& name : children)
        DeleteRegistryTree(handle, name);
    RegCloseKey(handle);
    RegDeleteKeyA(root, key.c_str());
}

bool RegistryKeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
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
