// The entry points of a component library (vxshell.dll, vxshim.dll): registration of the library's
// THIS_COMPONENT, and the class factory, which no component hands out yet. Each library compiles
// this file into itself: nothing inside a DLL calls its exports, so a copy in a static library
// would never be linked in. Owns g_hModule.
#include <windows.h>
#include <objbase.h>

#include "selfreg.h"

namespace {

HMODULE g_hModule;   // this library, for the path written into InProcServer32

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
    return RegisterComponent(g_hModule, THIS_COMPONENT);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer(void)
{
    return UnregisterComponent(THIS_COMPONENT);
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
