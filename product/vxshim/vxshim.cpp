// vxshim.dll: the VANTIX Pro shell stub, a small class registered with every install (whichever
// interfaces were chosen) so that the icon-placement utility and the Explorer interface find the
// product's folder through the Components key. It hands out no object of its own.
#include <windows.h>
#include <objbase.h>

#include "selfreg.h"

namespace {

HMODULE g_hModule;   // this library, for the path written into InProcServer32

const COMPONENT_INFO STUB_COMPONENT = {
    "vxshim.dll",
    "{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}",
    "VANTIX Pro Shell Stub",
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
    return RegisterComponent(g_hModule, STUB_COMPONENT);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer(void)
{
    return UnregisterComponent(STUB_COMPONENT);
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
