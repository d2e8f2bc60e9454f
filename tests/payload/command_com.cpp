// A stand-in for command.com under Wine: runs "cmd.exe <its own arguments>", returns its exit code.
#include <windows.h>

#include <string>

int main()
{
    const char* line = GetCommandLineA();
    const char* rest = line[0] == '"' ? strchr(line + 1, '"') : strchr(line, ' ');  // the name's end
    return system(("cmd.exe" + std::string(rest == nullptr ? "" : rest + (line[0] == '"'))).c_str());
}
