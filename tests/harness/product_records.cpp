// The product's records and the recording Program Manager (see product_records.h).
#include "harness/product_records.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace vxtest {

namespace {

namespace fs = std::filesystem;

const char NAMESPACE[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const struct {
    HKEY root;
    std::string name;  // what ProductRecords looks for
    const char* tree;  // what ClearProductRecords deletes, when more than the key
} KEYS[] = {
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}" },
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", nullptr },  // vxshell.dll's
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", nullptr },  // vxshim.dll's
    { HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", "Software\\Harrowby" },
    { HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro", nullptr },
    { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), nullptr },
    { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}"), nullptr },
    { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}"), nullptr },
    { HKEY_LOCAL_MACHINE, NAMESPACE + std::string("MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}"), nullptr },
};
const char* const NEXT_START_KEYS[] = { "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce" };

// The key's path as the registry keeps it (each name as written); "" when there is none.
std::string StoredKey(HKEY root, const std::string& key)
{
    static const auto queryKey = (LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*))(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey");
    HKEY handle;
    ULONG name[2048] = {}, size = 0;  // KeyNameInformation (3): the length in bytes, then the full path
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "";
    queryKey(handle, 3, name, sizeof(name), &size);
    RegCloseKey(handle);
    const std::wstring path((const wchar_t*)(name + 1), std::min<size_t>(name[0] / 2, sizeof(name) / 2 - 2));
    return path.size() < key.size() ? "?" : std::string(path.end() - key.size(), path.end());  // the names are ASCII
}

// The next-start commands stored: "Harrowby<n>" and its command.
std::vector<std::pair<std::string, std::string>> NextStartValues(const char* key)
{
    std::vector<std::pair<std::string, std::string>> values;
    HKEY handle;
    char name[256], data[1024];
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0, nameSize, dataSize; nameSize = sizeof(name), dataSize = sizeof(data) - 1,
         RegEnumValueA(handle, i, name, &nameSize, NULL, NULL, (BYTE*)data, &dataSize) == ERROR_SUCCESS; ++i)
        if (_strnicmp(name, "Harrowby", 8) == 0)
            values.emplace_back(name, std::string(data, strnlen(data, dataSize)));
    RegCloseKey(handle);
    return values;
}

// The default group's folder and the one WIN.INI names.
std::vector<std::string> GroupFolders()
{
    std::vector<std::string> folders = { JoinPath(ProgramsFolder(), "VANTIX Pro") };
    std::string group = WinIniText("VANTIX", "GROUP");
    if (group != "<absent>" && !group.empty() && _stricmp(group.c_str(), "VANTIX Pro") != 0)
        folders.push_back(JoinPath(ProgramsFolder(), group));
    return folders;
}

std::mutex s_lock;
std::vector<std::string> s_commands;
DWORD s_instance = 0;
HSZ s_service = NULL;

HDDEDATA CALLBACK Answer(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_CONNECT)
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(topic, s_service) == 0);
    if (type != XTYP_EXECUTE)
        return NULL;
    DWORD size = DdeGetData(data, NULL, 0, 0);
    std::string text(size, '\0');
    DdeGetData(data, (LPBYTE)&text[0], size, 0);
    text.resize(strnlen(text.c_str(), size));
    std::unique_lock<std::mutex> hold(s_lock);
    s_commands.push_back(size == text.size() + 1 ? text : text + " (" + std::to_string(size) + " bytes)");
    hold.unlock();
    if (text.rfind("[Delay(", 0) == 0)
        Sleep(strtoul(text.c_str() + 7, NULL, 10));
    return (HDDEDATA)(ULONG_PTR)(text.rfind("[Refuse", 0) == 0 ? DDE_FNOTPROCESSED : DDE_FACK);
}

}  // namespace

void ClearProductRecords(const std::string& folder)
{
    for (const std::string& group : GroupFolders())
        RemoveTree(group);
    WriteProfileStringA("VANTIX", NULL, NULL);
    for (const auto& key : KEYS)
        RegDeleteTreeA(key.root, key.tree ? key.tree : key.name.c_str());
    for (const char* key : NEXT_START_KEYS)
        for (const auto& value : NextStartValues(key))
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, value.first.c_str());
    if (!folder.empty())
        RemoveTree(folder);
}

std::vector<std::string> ProductRecords(const std::string& folder)
{
    std::vector<std::string> records;
    for (const auto& key : KEYS)
        if (std::string stored = StoredKey(key.root, key.name); !stored.empty())
            records.push_back((key.root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\") + stored);
    for (const char* key : NEXT_START_KEYS)
        for (const auto& value : NextStartValues(key))
            records.push_back("HKLM\\" + std::string(key) + ": " + value.first + "=" + value.second);
    char section[4096] = "";
    GetProfileSectionA("VANTIX", section, sizeof(section));
    for (const char* entry = section; *entry != '\0'; entry += strlen(entry) + 1)
        records.push_back(std::string("WIN.INI [VANTIX] ") + entry);
    for (const std::string& group : GroupFolders())
        if (FolderExists(group))
            records.push_back("group " + group);
    std::error_code ignored;
    if (!folder.empty() && FolderExists(folder)) {
        records.push_back("folder " + folder);
        for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
            records.push_back("file " + entry.path().string());
    }
    return records;
}

DWORD WINAPI RecordingProgman::Serve(void* self)
{
    s_instance = 0;
    bool served = DdeInitializeA(&s_instance, Answer, APPCLASS_STANDARD, 0) == DMLERR_NO_ERROR
        && (s_service = DdeCreateStringHandleA(s_instance, "PROGMAN", CP_WINANSI)) != NULL
        && DdeNameService(s_instance, s_service, NULL, DNS_REGISTER) != NULL;
    SetEvent(((RecordingProgman*)self)->ready_);
    for (MSG message; served && GetMessageA(&message, NULL, 0, 0) > 0;)
        DispatchMessageA(&message);
    DdeNameService(s_instance, s_service, NULL, DNS_UNREGISTER);
    DdeFreeStringHandle(s_instance, s_service);
    DdeUninitialize(s_instance);
    return served ? 0 : 1;
}

RecordingProgman::RecordingProgman()
{
    // The desktop (with the shell's own server) first: the server registered last answers first.
    GetDesktopWindow();
    Clear();
    ready_ = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread_ = CreateThread(NULL, 0, Serve, this, 0, &threadId_);
    EXPECT_EQ(WaitForSingleObject(ready_, 5000), WAIT_OBJECT_0) << "the recording Program Manager did not start";
}

RecordingProgman::~RecordingProgman()
{
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread_, 5000), WAIT_OBJECT_0);
    CloseHandle(thread_);
    CloseHandle(ready_);
}

std::vector<std::string> RecordingProgman::Commands() const { std::lock_guard<std::mutex> hold(s_lock); return s_commands; }
void RecordingProgman::Clear() { std::lock_guard<std::mutex> hold(s_lock); s_commands.clear(); }

}  // namespace vxtest
