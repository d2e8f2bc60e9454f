// Undoing the install's registrations (see unregistration.h). RegDeleteKeyA deletes a whole tree
// on Windows 95 but only a key without subkeys on Windows NT, so a key that refuses the plain
// delete is taken down from its leaves.
// Owns: nothing process-wide; changes the current folder for the time of a library call.
#include "uninstall/unregistration.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "install/registration.h"

namespace {

void DeleteNamespaceKey(const char* format, const char* classId)
{
    char key[CCH_REGISTRY_KEY];
    if (rt::FormatText(key, sizeof(key), format, classId) < (int)sizeof(key) - 1)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

}  // namespace

int DeleteRegistryTree(const char* subKey, HKEY root)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    int result = 1;
    // Each child that goes moves the next one to the index; one that stays is stepped over, so
    // the walk ends.
    DWORD index = 0;
    char child[CCH_LINE];
    while (RegEnumKeyA(key, index, child, sizeof(child)) == ERROR_SUCCESS) {
        if (RegDeleteKeyA(key, child) == ERROR_SUCCESS)
            continue;
        // A path that does not fit would name another key. The tree delete takes the child too,
        // and the second plain delete then finds nothing.
        char path[CCH_REGISTRY_PATH];
        if (!rt::JoinPath(path, sizeof(path), subKey, child) || !DeleteRegistryTree(path, root))
            result = 0;
        LONG status = RegDeleteKeyA(key, child);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            result = 0;
            ++index;
        }
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, subKey);
    return result;
}

void RemoveUninstallEntry()
{
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, SZ_UNINSTALL_KEY) != ERROR_SUCCESS)
        DeleteRegistryTree(SZ_UNINSTALL_KEY, HKEY_LOCAL_MACHINE);
}

int RemoveNamespaceEntries()
{
    // The install wrote each class under one of the two places; the other delete finds nothing.
    static const char* const CLASS_IDS[] = { SZ_EXPLORER_CLASS_ID, SZ_CLASSIC_CLASS_ID };
    for (const char* classId : CLASS_IDS) {
        DeleteNamespaceKey(SZ_DESKTOP_NAMESPACE_FORMAT, classId);
        DeleteNamespaceKey(SZ_MYCOMPUTER_NAMESPACE_FORMAT, classId);
    }
    return 1;
}

int UnregisterInProcServer()
{
    char path[CCH_REGISTRY_KEY];
    rt::JoinPath(path, sizeof(path), SZ_BASE_CLASS_KEY, SZ_IN_PROC_SERVER);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, NULL);
        RegDeleteValueA(key, "ThreadingModel");
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
    return 1;
}

void UnregisterDll(const char* folder, const char* libraryName)
{
    CallLibraryRegistration(folder, libraryName, "DllUnregisterServer");
}
