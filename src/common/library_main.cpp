// The DllMain of a library that has nothing to do when it is loaded or unloaded. The linker takes
// it from the startup library only when the library defines no DllMain of its own.
// Owns: nothing process-wide.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
