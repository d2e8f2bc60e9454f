// A stand-in for command.com under Wine: runs "cmd.exe <its own arguments>" and returns its
// exit code, so that "command.com /c copy A B" stored for the next start does what it says.
#include <windows.h>

#include <string>

int main()
{
    const char* line = GetCommandLineA();
    // Skip the program name, quoted or not.
    if (*line == '"') {
        line = strchr(line + 1, '"');
        line = line != nullptr ? line + 1 : "";
    } else {
        while (*line != '\0' && *line != ' ')
            ++line;
    }
    std::string command = std::string("cmd.exe") + line;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return (int)code;
}
