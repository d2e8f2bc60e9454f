// The entry of a library that links no C runtime (the sample product's libraries): the system
// calls it at each attach and detach, and it answers with the library's DllMain.
// Owns: nothing process-wide.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" __attribute__((force_align_arg_pointer)) BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return DllMain(instance, reason, reserved);
}
