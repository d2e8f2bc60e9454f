// Self-registration shared by the VANTIX Pro component libraries (vxshell.dll, vxshim.dll).
//
// Registering a component writes:
//   HKEY_CLASSES_ROOT\CLSID\<class id>                        default = description
//   HKEY_CLASSES_ROOT\CLSID\<class id>\InProcServer32         default = full path of the library
//                                                              ThreadingModel = "Apartment"
//   HKEY_LOCAL_MACHINE\Software\Harrowby\VANTIX Pro\Components  <file name> = full path of the library
// Unregistering removes the class key with everything below it and the Components value, and the
// Components key itself once no value or subkey is left in it. Text values are REG_SZ whose length
// counts the terminating zero.
//
// Test switch: when HKEY_LOCAL_MACHINE\Software\Harrowby\VANTIX Pro\SelfRegistration holds a
// REG_DWORD value named after the component's file name, both operations change nothing and return
// that value as their HRESULT (0x80004005 to simulate a failure, 1 for S_FALSE).
#pragma once
#include <windows.h>

struct COMPONENT_INFO {
    const char *szFileName;     // the library's name, e.g. "vxshell.dll"
    const char *szClassId;      // its class identifier in braces
    const char *szDescription;  // default value of the class key
};

HRESULT RegisterComponent(HMODULE hModule, const COMPONENT_INFO &component);
HRESULT UnregisterComponent(const COMPONENT_INFO &component);

// The component a library registers through the entry points of component_exports.cpp; each
// library built with that file defines it.
extern const COMPONENT_INFO THIS_COMPONENT;
