// The product's records and the recording Program Manager (see product_records.h).
#include "harness/product_records.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <mutex>

namespace vxtest {

namespace {

namespace fs = std::filesystem;

struct Key {
    HKEY root;
    const char* name;  // what ProductRecords looks for
    const char* tree;  // what ClearProductRecords deletes
};
const char NAMESPACE[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const Key KEYS[] = {
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}\\InProcServer32", "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E010}" },
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", nullptr },  // vxshell.dll's
    { HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}", nullptr },  // vxshim.dll's
    { HKEY_LOCAL_MACHINE, "Software\\Harrowby\\VANTIX Pro\\Components", "Software\\Harrowby" },
    { HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VANTIXPro", nullptr },
};
const char* const NAMESPACE_KEYS[] = { "Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "Desktop\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}", "MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "MyComputer\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}" };
const char* const NEXT_START_KEYS[] = { "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce" };

std::string RootName(HKEY root)
{
    return root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\";
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// The next-start commands: "Harrowby<n>" and its command, for each one stored.
std::vector<std::pair<std::string, std::string>> NextStartValues(const char* key)
{
    std::vector<std::pair<std::string, std::string>> values;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    char name[256], data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name), dataSize = sizeof(data) - 1;
        if (RegEnumValueA(handle, i, name, &nameSize, NULL, NULL, (BYTE*)data, &dataSize) != ERROR_SUCCESS)
            break;
        data[dataSize] = '\0';
        if (_strnicmp(name, "Harrowby", 8) == 0)
            values.emplace_back(name, data);
    }
    RegCloseKey(handle);
    return values;
}

// The folders a shell made for the program groups of an install: the default one and the one
// WIN.INI names.
std::vector<fs::path> GroupFolders()
{
    char programs[MAX_PATH] = "", group[256];
    SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, programs);
    GetProfileStringA("VANTIX", "GROUP", "VANTIX Pro", group, sizeof(group));
    std::vector<fs::path> folders = { fs::path(programs) / "VANTIX Pro" };
    if (group[0] != '\0' && _stricmp(group, "VANTIX Pro") != 0)
        folders.push_back(fs::path(programs) / group);
    return folders;
}

}  // namespace

void ClearProductRecords(const std::string& folder)
{
    std::error_code ignored;
    for (const fs::path& group : GroupFolders())
        fs::remove_all(group, ignored);
    WriteProfileStringA("VANTIX", NULL, NULL);
    for (const Key& key : KEYS)
        RegDeleteTreeA(key.root, key.tree ? key.tree : key.name);
    for (const char* key : NAMESPACE_KEYS)
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (NAMESPACE + std::string(key)).c_str());
    for (const char* key : NEXT_START_KEYS) {
        for (const auto& value : NextStartValues(key))
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, value.first.c_str());
    }
    if (!folder.empty())
        fs::remove_all(folder, ignored);
}

std::vector<std::string> ProductRecords(const std::string& folder)
{
    std::vector<std::string> records;
    for (const Key& key : KEYS) {
        if (KeyExists(key.root, key.name))
            records.push_back(RootName(key.root) + key.name);
    }
    for (const char* key : NAMESPACE_KEYS) {
        if (KeyExists(HKEY_LOCAL_MACHINE, NAMESPACE + std::string(key)))
            records.push_back("HKLM\\" + (NAMESPACE + std::string(key)));
    }
    for (const char* key : NEXT_START_KEYS) {
        for (const auto& value : NextStartValues(key))
            records.push_back("HKLM\\" + std::string(key) + ": " + value.first + "=" + value.second);
    }
    char section[4096] = "";
    GetProfileSectionA("VANTIX", section, sizeof(section));
    for (const char* entry = section; *entry != '\0'; entry += strlen(entry) + 1)
        records.push_back(std::string("WIN.INI [VANTIX] ") + entry);
    std::error_code ignored;
    for (const fs::path& group : GroupFolders()) {
        if (fs::exists(group, ignored))
            records.push_back("group " + group.string());
    }
    if (!folder.empty() && fs::exists(folder, ignored)) {
        records.push_back("folder " + folder);
        for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
            records.push_back("file " + entry.path().string());
    }
    return records;
}

// --- The recording Program Manager ---------------------------------------------------------

namespace {

std::mutex s_lock;
std::vector<std::string> s_commands;
DWORD s_instance = 0;
HSZ s_service = NULL;

HDDEDATA Execute(HDDEDATA data)
{
    DWORD size = DdeGetData(data, NULL, 0, 0);
    std::string text(size, '\0');
    DdeGetData(data, (LPBYTE)&text[0], size, 0);
    text.resize(strnlen(text.c_str(), size));
    {
        std::lock_guard<std::mutex> hold(s_lock);
        s_commands.push_back(size == text.size() + 1 ? text : text + " (" + std::to_string(size) + " bytes)");
    }
    if (text.rfind("[Refuse", 0) == 0)
        return (HDDEDATA)DDE_FNOTPROCESSED;
    if (text.rfind("[Delay(", 0) == 0)
        Sleep(strtoul(text.c_str() + 7, NULL, 10));
    return (HDDEDATA)DDE_FACK;
}

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_CONNECT)
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(topic, s_service) == 0);
    return type == XTYP_EXECUTE ? Execute(data) : NULL;
}

}  // namespace

DWORD WINAPI RecordingProgman::Serve(void* param)
{
    RecordingProgman* self = (RecordingProgman*)param;
    s_instance = 0;
    bool served = DdeInitializeA(&s_instance, Callback, APPCLASS_STANDARD, 0) == DMLERR_NO_ERROR
        && (s_service = DdeCreateStringHandleA(s_instance, "PROGMAN", CP_WINANSI)) != NULL
        && DdeNameService(s_instance, s_service, NULL, DNS_REGISTER) != NULL;
    SetEvent(self->ready_);
    MSG message;
    while (served && GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    DdeNameService(s_instance, s_service, NULL, DNS_UNREGISTER);
    DdeFreeStringHandle(s_instance, s_service);
    DdeUninitialize(s_instance);
    return served ? 0 : 1;
}

RecordingProgman::RecordingProgman()
{
    // The session's desktop, and with it the shell's own Program Manager, is up before this one
    // registers: the server registered last answers first.
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

std::vector<std::string> RecordingProgman::Commands() const
{
    std::lock_guard<std::mutex> hold(s_lock);
    return s_commands;
}

void RecordingProgman::Clear()
{
    std::lock_guard<std::mutex> hold(s_lock);
    s_commands.clear();
}

}  // namespace vxtest
