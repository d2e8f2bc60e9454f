// The process entry of vxsetup.exe, which links no C runtime: the system calls this function
// directly, and it hands over to WinMain and ends the process with WinMain's result.
// Owns: nothing process-wide.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), showState));
}
