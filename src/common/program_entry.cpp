// The process entry of a program that links no C runtime (vxsetup.exe and the sample product's
// programs): the system calls this function directly. It hands WinMain what the C runtime would:
// the command line after the program's own name and the blanks that follow it, and the show
// state the starting program asked for; it ends the process with WinMain's result.
// Owns: nothing process-wide.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

// The program name is quoted up to the closing quote, or else ends at the first blank. Neither
// a quote nor a blank can be the second byte of a double-byte character.
LPSTR SkipProgramName(LPSTR commandLine)
{
    char* p = commandLine;
    if (*p == '"') {
        for (++p; *p != '\0' && *p != '"'; ++p) {
        }
        if (*p == '"')
            ++p;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

}  // namespace

// The system may start a program with the stack aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, SkipProgramName(GetCommandLineA()), showState));
}
