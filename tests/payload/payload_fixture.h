// What the payload tests share: the sample product the installer carries, the catalogue rows by
// name, and files held open the way a running program holds its own.
#pragma once
#include <windows.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"

namespace payloadtest {

inline std::string SampleProductFile(const std::string& name)
{
    return vxtest::JoinPath(VX_SAMPLE_PRODUCT, name);
}

// Resource number of the catalogue entry installed as fileName.
inline int ResourceOf(const char* fileName)
{
    const FILE_GROUP* groups[] = { &g_coreFiles, &g_explorerFiles, &g_utilityFiles, &g_commonFiles, &g_iniFiles };
    for (const FILE_GROUP* group : groups) {
        for (int i = 0; i < group->count; ++i) {
            if (_stricmp(group->entries[i].szFile, fileName) == 0)
                return group->firstResource + i;
        }
    }
    return -1;
}

// Holds a file open the way the loader holds a running program: others may read it, rename it
// and delete it at the last close, but not write it.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL))
    {
    }
    ~HeldOpen() { Release(); }
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

}  // namespace payloadtest
