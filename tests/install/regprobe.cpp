// A component library whose DllRegisterServer reports the current folder in VX_PROBE_FOLDER.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer(void)
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof(folder), folder);
    SetEnvironmentVariableA("VX_PROBE_FOLDER", length > 0 && length < sizeof(folder) ? folder : "?");
    return S_OK;
}
