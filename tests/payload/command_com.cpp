// A stand-in for command.com under Wine: runs "cmd.exe <its own arguments>", returns its exit code.
#include <windows.h>

#include <string>

int main()
{
    const char* line = GetCommandLineA();
    const char* rest = line[0] == '"' ? strchr(line + 1, '"') : strchr(line, ' ');  // past the program name
    std::string command = "cmd.exe" + std::string(rest == nullptr ? "" : rest + (line[0] == '"'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    return (int)code;
}
