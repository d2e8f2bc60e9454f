// Test helpers (see wine_env.h).
#include "harness/wine_env.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vxtest {

namespace fs = std::filesystem;

void SetEmulatedVersion(const std::string& exeName, WindowsVersion version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version == WindowsVersion::Default)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version");
    else
        WriteRegistryText(HKEY_CURRENT_USER, key, "Version", WineVersionName(version));
}

DWORD Program::Wait(DWORD timeoutMs)
{
    // A DDE client's broadcast waits for every top-level window, this thread's too.
    for (DWORD start = GetTickCount(), woken = 0, code = TIMED_OUT; process_ != NULL && woken != WAIT_TIMEOUT;) {
        woken = MsgWaitForMultipleObjects(1, &process_, FALSE, timeoutMs - std::min(timeoutMs, GetTickCount() - start), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code))
            return code;
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    }
    return TIMED_OUT;
}

void Program::Kill()
{
    if (Running())
        TerminateProcess(process_, 0xDEAD), WaitForSingleObject(process_, 5000);
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
    // Ours without what is overridden (names may start with '=', as =C: does), then the overrides.
    std::string environment;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += strlen(entry) + 1) {
        std::string name(entry, strcspn(entry + 1, "=") + 1);
        if (std::none_of(overrides.begin(), overrides.end(), [&](const auto& o) { return _stricmp(o.first.c_str(), name.c_str()) == 0; }))
            environment.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(block);
    for (const auto& o : overrides) {
        if (!o.second.empty())
            environment.append(o.first + "=" + o.second).push_back('\0');
    }
    environment.push_back('\0');

    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    auto open = [&](const std::string& path) { return path.empty() ? NULL : CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, NULL); };
    HANDLE output = open(options.outputFile), error = open(options.errorFile);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = output || error ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = output;
    startup.hStdError = error;
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION info = {};
    Program program;
    if (CreateProcessA(exePath.c_str(), &commandLine[0], NULL, NULL, output || error, 0, &environment[0],
            options.workingFolder.empty() ? NULL : options.workingFolder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        program.process_ = info.hProcess;
        program.id_ = info.dwProcessId;
    } else {
        ADD_FAILURE() << "could not start " << commandLine << " (error " << GetLastError() << ")";
    }
    for (HANDLE file : { output, error }) {
        if (file != NULL)
            CloseHandle(file);
    }
    return program;
}

DWORD RunProgram(const std::string& exePath, const std::string& arguments, const RunOptions& options)
{
    DWORD code = StartProgram(exePath, arguments, options).Wait(options.timeoutMs);
    EXPECT_NE(code, Program::TIMED_OUT) << exePath << " did not end within " << options.timeoutMs << " ms";
    return code;
}

std::string CopyProgramAs(const std::string& exePath, const std::string& folder, const std::string& newName)
{
    std::string target = JoinPath(folder, newName);
    EXPECT_TRUE(CopyFileA(exePath.c_str(), target.c_str(), FALSE)) << "cannot copy " << exePath << " to " << target;
    return target;
}

// --- Files and folders -----------------------------------------------------------------------

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

EnvironmentScope::EnvironmentScope(const std::string& name, const std::string& value) : name_(name), previous_(32768, '\0')
{
    previous_.resize(GetEnvironmentVariableA(name.c_str(), &previous_[0], (DWORD)previous_.size()));
    had_ = !previous_.empty();
    SetEnvironmentVariableA(name.c_str(), value.empty() ? NULL : value.c_str());
}

// --- Registry and WIN.INI ----------------------------------------------------------------------

void WriteRegistryText(HKEY root, const std::string& key, const std::string& value, const std::string& data)
{
    EXPECT_EQ(RegSetKeyValueA(root, key.c_str(), value.empty() ? NULL : value.c_str(), REG_SZ, data.c_str(), (DWORD)data.size() + 1), 0) << key;
}

void WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, DWORD data)
{
    EXPECT_EQ(RegSetKeyValueA(root, key.c_str(), value.c_str(), REG_DWORD, &data, sizeof(data)), 0) << key;
}

void SetRegistryKeyAccess(HKEY root, const std::string& key, const char* sddl)
{
    HKEY handle;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, WRITE_DAC, NULL, &handle, NULL), ERROR_SUCCESS) << key;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, NULL)) << sddl;
    EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS) << key;
    LocalFree(descriptor);
    RegCloseKey(handle);
}

}  // namespace vxtest
