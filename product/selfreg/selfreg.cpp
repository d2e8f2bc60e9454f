// Self-registration of the component libraries (what is written is listed in selfreg.h).
// Only functions present on Windows 95 are used: RegDeleteKeyA there deletes a whole tree but on
// Windows NT only a key without subkeys, so trees are deleted bottom-up by DeleteKeyTree.
#include "selfreg.h"

#include <olectl.h>

#include "text.h"

namespace {

const char SZ_PRODUCT_KEY[] = "Software\\Harrowby\\VANTIX Pro";
const char SZ_COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";
const char SZ_SWITCH_KEY[] = "Software\\Harrowby\\VANTIX Pro\\SelfRegistration";

void BuildClassKey(const COMPONENT_INFO &component, const char *pszSubKey, char *pszKey, int cchKey)
{
    CopyText(pszKey, cchKey, "CLSID\\");
    AppendText(pszKey, cchKey, component.szClassId);
    if (pszSubKey) {
        AppendText(pszKey, cchKey, "\\");
        AppendText(pszKey, cchKey, pszSubKey);
    }
}

// The test switch (see selfreg.h): true, with its value in *phr, when it is set for this component.
bool ReadTestSwitch(const COMPONENT_INFO &component, HRESULT *phr)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SZ_SWITCH_KEY, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwType = 0, dwValue = 0, cbValue = sizeof dwValue;
    LONG lResult = RegQueryValueExA(hKey, component.szFileName, nullptr, &dwType,
                                    reinterpret_cast<BYTE *>(&dwValue), &cbValue);
    RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS || dwType != REG_DWORD || cbValue != sizeof dwValue)
        return false;
    *phr = static_cast<HRESULT>(dwValue);
    return true;
}

bool SetStringValue(HKEY hRoot, const char *pszKey, const char *pszName, const char *pszData)
{
    HKEY hKey;
    if (RegCreateKeyA(hRoot, pszKey, &hKey) != ERROR_SUCCESS)
        return false;
    LONG lResult = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE *>(pszData),
                                  static_cast<DWORD>(lstrlenA(pszData) + 1));
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

// Deletes pszKey under hRoot with all its subkeys. A key that does not exist counts as deleted.
bool DeleteKeyTree(HKEY hRoot, const char *pszKey)
{
    HKEY hKey;
    LONG lResult = RegOpenKeyExA(hRoot, pszKey, 0, KEY_READ | KEY_WRITE, &hKey);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return true;
    if (lResult != ERROR_SUCCESS)
        return false;
    // Always enumerate index 0: each pass deletes the subkey it found.
    char szSubKey[CCH_NAME];
    bool bOk = true;
    while (bOk && RegEnumKeyA(hKey, 0, szSubKey, sizeof szSubKey) == ERROR_SUCCESS)
        bOk = DeleteKeyTree(hKey, szSubKey);
    RegCloseKey(hKey);
    return bOk && RegDeleteKeyA(hRoot, pszKey) == ERROR_SUCCESS;
}

// Removes the component's Components value, then the key when nothing is left in it.
bool RemoveComponentValue(const COMPONENT_INFO &component)
{
    HKEY hKey;
    LONG lResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SZ_COMPONENTS_KEY, 0,
                                 KEY_QUERY_VALUE | KEY_SET_VALUE, &hKey);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return true;
    if (lResult != ERROR_SUCCESS)
        return false;
    lResult = RegDeleteValueA(hKey, component.szFileName);
    bool bOk = lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
    DWORD cSubKeys = 0, cValues = 0;
    bool bEmpty = RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &cSubKeys, nullptr, nullptr,
                                   &cValues, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                  cSubKeys == 0 && cValues == 0;
    RegCloseKey(hKey);
    if (bOk && bEmpty) {
        HKEY hProduct;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SZ_PRODUCT_KEY, 0, KEY_WRITE, &hProduct) == ERROR_SUCCESS) {
            RegDeleteKeyA(hProduct, "Components");
            RegCloseKey(hProduct);
        }
    }
    return bOk;
}

} // namespace

HRESULT RegisterComponent(HMODULE hModule, const COMPONENT_INFO &component)
{
    HRESULT hrSwitch;
    if (ReadTestSwitch(component, &hrSwitch))
        return hrSwitch;

    char szModule[CCH_PATH];
    DWORD cch = GetModuleFileNameA(hModule, szModule, sizeof szModule);
    if (cch == 0 || cch >= sizeof szModule)
        return SELFREG_E_CLASS;

    char szClassKey[CCH_VALUE];
    char szServerKey[CCH_VALUE];
    BuildClassKey(component, nullptr, szClassKey, sizeof szClassKey);
    BuildClassKey(component, "InProcServer32", szServerKey, sizeof szServerKey);
    bool bOk = SetStringValue(HKEY_CLASSES_ROOT, szClassKey, nullptr, component.szDescription) &&
               SetStringValue(HKEY_CLASSES_ROOT, szServerKey, nullptr, szModule) &&
               SetStringValue(HKEY_CLASSES_ROOT, szServerKey, "ThreadingModel", "Apartment") &&
               SetStringValue(HKEY_LOCAL_MACHINE, SZ_COMPONENTS_KEY, component.szFileName, szModule);
    return bOk ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterComponent(const COMPONENT_INFO &component)
{
    HRESULT hrSwitch;
    if (ReadTestSwitch(component, &hrSwitch))
        return hrSwitch;

    char szClassKey[CCH_VALUE];
    BuildClassKey(component, nullptr, szClassKey, sizeof szClassKey);
    bool bClassGone = DeleteKeyTree(HKEY_CLASSES_ROOT, szClassKey);
    bool bValueGone = RemoveComponentValue(component);
    return bClassGone && bValueGone ? S_OK : SELFREG_E_CLASS;
}
