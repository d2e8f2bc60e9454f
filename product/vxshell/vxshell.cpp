// vxshell.dll: the VANTIX Pro Explorer interface, the class Explorer loads for the "VANTIX Pro
// Explorer" icon. This build carries its registration only; it hands out no folder object yet, so
// DllGetClassObject answers CLASS_E_CLASSNOTAVAILABLE and Explorer shows the icon without contents.
#include <windows.h>
#include <objbase.h>

#include "selfreg.h"

namespace {

HMODULE g_hModule;   // this library, for the path written into InProcServer32

const COMPONENT_INFO EXPLORER_COMPONENT = {
    "vxshell.dll",
    "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "VANTIX Pro Explorer",
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hModule = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer(void)
{
    return RegisterComponent(g_hModule, EXPLORER_COMPONENT);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer(void)
{
    return UnregisterComponent(EXPLORER_COMPONENT);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID,
                                                                          LPVOID *ppv)
{
    if (ppv)
        *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow(void)
{
    return S_OK;
}
