// System registration: the base product class, the self-registration of a component library, the
// shell namespace entries and the uninstall entry. Every value written is REG_SZ whose length
// counts the terminator; every key handle is closed before its operation returns.
// Owns: g_pfnIconPlacementDlgProc (set by the wizard); RegisterNamespaceEntry reads and sets
// g_iconLocation (settings).
#include "install/registration.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "resources/resource.h"

DLGPROC g_pfnIconPlacementDlgProc = NULL;

const char SZ_EXPLORER_CLASS_ID[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char SZ_CLASSIC_CLASS_ID[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";
const char SZ_BASE_CLASS_KEY[] = "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}";
const char SZ_IN_PROC_SERVER[] = "InProcServer32";
const char SZ_DESKTOP_NAMESPACE_FORMAT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\%s";
const char SZ_MYCOMPUTER_NAMESPACE_FORMAT[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\%s";
const char SZ_UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro";

namespace {

const char SZ_THREADING_MODEL[] = "Apartment";
const char SZ_UNINSTALL_DISPLAY_NAME[] = "Harrowby VANTIX Pro Uninstall";
const char SZ_REMOVER[] = "vxremove.exe";
// Only the program path is quoted: vxremove.exe takes each option value up to the next option.
const char SZ_UNINSTALL_FORMAT[] = "\"%s\\%s\" -f %s -d %s -g %s";

static_assert(CCH_UNINSTALL_COMMAND >= 3 * (CCH_LONG_PATH - 1) + (CCH_LINE - 1) + sizeof(SZ_REMOVER) + sizeof(SZ_UNINSTALL_FORMAT),
    "the longest folder and group must fit the uninstall command line whole");

typedef HRESULT(WINAPI* REGISTER_SERVER)(void);

LONG SetStringValue(HKEY key, const char* valueName, const char* data)
{
    return RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)data, (DWORD)rt::StrLen(data) + 1);
}

// The default value first; ThreadingModel only once that is written, and its own result does
// not count.
int WriteBaseClassValues(HKEY key, const char* programPath)
{
    if (SetStringValue(key, NULL, programPath) != ERROR_SUCCESS)
        return 0;
    SetStringValue(key, "ThreadingModel", SZ_THREADING_MODEL);
    return 1;
}

// Fills a namespace key format with classId. A key that does not fit is refused: cut, it would
// name another class.
BOOL BuildNamespaceKey(const char* format, const char* classId, char* key)
{
    if (rt::StrLen(format) - 2 + rt::StrLen(classId) >= CCH_REGISTRY_KEY)
        return FALSE;
    rt::FormatText(key, CCH_REGISTRY_KEY, format, classId);
    return TRUE;
}

// An entry exists only when its default value can be read: a bare key counts as missing.
BOOL NamespaceEntryExists(const char* key)
{
    char text[CCH_REGISTRY_KEY];
    return ReadRegistryString(HKEY_LOCAL_MACHINE, key, NULL, NULL, text, sizeof(text)) == 1;
}

int CallRegistrationEntry(HMODULE library, const char* entryName)
{
    REGISTER_SERVER entry = (REGISTER_SERVER)(void*)GetProcAddress(library, entryName);
    if (entry == NULL)
        return SR_NO_ENTRY;
    return entry() >= 0 ? SR_REGISTERED : SR_FAILED;
}

}  // namespace

int SetRegistryString(HKEY root, const char* keyPath, const char* subKey, const char* valueName, const char* data)
{
    char path[CCH_REGISTRY_PATH];
    BOOL fits = rt::CopyText(path, sizeof(path), keyPath);
    if (fits && subKey != NULL)
        fits = rt::AppendText(path, sizeof(path), "\\") && rt::AppendText(path, sizeof(path), subKey);
    HKEY key;
    if (!fits || RegCreateKeyA(root, path, &key) != ERROR_SUCCESS)
        return 0;
    int result = data != NULL && SetStringValue(key, valueName, data) == ERROR_SUCCESS;
    RegCloseKey(key);
    return result;
}

int ReadRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* defaultText,
    char* buffer, int bufferSize)
{
    HKEY key;
    if (bufferSize <= 0 || RegOpenKeyA(root, keyPath, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = (DWORD)bufferSize;
    int result = 0;
    if (RegQueryValueExA(key, valueName, NULL, NULL, (BYTE*)buffer, &size) == ERROR_SUCCESS) {
        // The stored data need not end in a terminator; one that does not fit after it means the
        // value was not read whole.
        if (size < (DWORD)bufferSize) {
            buffer[size] = '\0';
            result = 1;
        } else {
            result = buffer[bufferSize - 1] == '\0';
            buffer[bufferSize - 1] = '\0';
        }
    }
    if (result == 0 && defaultText != NULL)
        rt::CopyText(buffer, (size_t)bufferSize, defaultText);
    RegCloseKey(key);
    return result;
}

int RegisterBaseClass(const char* programPath)
{
    char path[CCH_REGISTRY_KEY];
    rt::FormatText(path, sizeof(path), "%s\\%s", SZ_BASE_CLASS_KEY, SZ_IN_PROC_SERVER);

    int result = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        result = WriteBaseClassValues(key, programPath);
        RegCloseKey(key);
    }
    // Created (or opened again, with all the access it grants) only when it could not be opened
    // for writing or refused the default value.
    if (result == 0 && RegCreateKeyA(HKEY_CLASSES_ROOT, path, &key) == ERROR_SUCCESS) {
        result = WriteBaseClassValues(key, programPath);
        RegCloseKey(key);
    }
    return result;
}

int SelfRegisterLibrary(const char* folder, const char* fileName)
{
    return CallLibraryRegistration(folder, fileName, "DllRegisterServer");
}

int CallLibraryRegistration(const char* folder, const char* fileName, const char* entryName)
{
    // A cut path could load another library.
    char path[CCH_LONG_PATH];
    if (rt::StrLen(folder) + 1 + rt::StrLen(fileName) >= sizeof(path))
        return SR_NOT_LOADED;
    rt::FormatText(path, sizeof(path), "%s\\%s", folder, fileName);

    // The library's imports, its companions in the same folder, are looked up through the search
    // order, which has the current folder but not the library's own: so its folder is current for
    // the load and the call. A current folder that cannot be saved is not left.
    char saved[CCH_LONG_PATH];
    BOOL restore = rt::_getcwd(saved, sizeof(saved)) != NULL;
    if (restore)
        rt::_chdir(folder);

    int result = SR_NOT_LOADED;
    HMODULE library = LoadLibraryA(path);
    if (library != NULL) {
        result = CallRegistrationEntry(library, entryName);
        FreeLibrary(library);
    }
    if (restore)
        rt::_chdir(saved);
    return result;
}

void RegisterNamespaceEntry(const char* classId, const char* displayName, BOOL mayAsk)
{
    char desktopKey[CCH_REGISTRY_KEY];
    char myComputerKey[CCH_REGISTRY_KEY];
    if (!BuildNamespaceKey(SZ_DESKTOP_NAMESPACE_FORMAT, classId, desktopKey)
        || !BuildNamespaceKey(SZ_MYCOMPUTER_NAMESPACE_FORMAT, classId, myComputerKey))
        return;
    // An entry found in one place stays there, and the next entry follows it.
    if (NamespaceEntryExists(desktopKey)) {
        g_iconLocation = 0;
        return;
    }
    if (NamespaceEntryExists(myComputerKey)) {
        g_iconLocation = 1;
        return;
    }

    // In neither place: the user says where, unless nobody may be asked; the dialog starts at the
    // settings' location and stores the choice there. Its result does not matter.
    if (mayAsk && g_pfnIconPlacementDlgProc != NULL)
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ICON_PLACEMENT), NULL, g_pfnIconPlacementDlgProc, 0);

    SetRegistryString(HKEY_LOCAL_MACHINE, g_iconLocation != 0 ? myComputerKey : desktopKey, NULL, NULL, displayName);
}

void WriteUninstallEntry(const char* destFolder, const char* group)
{
    // A cut command line would point the remover at another folder or group.
    if (rt::StrLen(destFolder) >= CCH_LONG_PATH || rt::StrLen(group) >= CCH_LINE)
        return;
    char command[CCH_UNINSTALL_COMMAND];
    rt::FormatText(command, sizeof(command), SZ_UNINSTALL_FORMAT, destFolder, SZ_REMOVER, destFolder, destFolder, group);

    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SZ_UNINSTALL_KEY, &key) != ERROR_SUCCESS)
        return;
    SetStringValue(key, "DisplayName", SZ_UNINSTALL_DISPLAY_NAME);
    SetStringValue(key, "UninstallString", command);
    RegCloseKey(key);
}
