// Payload extraction: resource bytes to a file.
// Owns: nothing process-wide.
#include "payload/extract.h"
#include "common/limits.h"
#include "common/runtime.h"
#include "payload/catalogue.h"

int ExtractResource(HINSTANCE hInstance, int resourceRow, const char* folder, const char* fileName)
{
    if (resourceRow < 0 || resourceRow >= RESOURCE_COUNT)
        return 0;
    const RESOURCE_ROW* row = &g_resourceMap[resourceRow];
    HRSRC resource = FindResourceA(hInstance, row->szResName, "EXE");
    if (resource == NULL)
        return 0;
    DWORD size = SizeofResource(hInstance, resource);
    HGLOBAL loaded = LoadResource(hInstance, resource);
    if (loaded == NULL)
        return 0;

    int result = 0;
    char path[CCH_LONG_PATH];
    // A path that does not fit is refused rather than cut into another file's name.
    BOOL fits = rt::CopyText(path, sizeof(path), folder);
    size_t length = rt::StrLen(path);
    if (fits && (length == 0 || path[length - 1] != '\\'))
        fits = rt::AppendText(path, sizeof(path), "\\");
    if (fits)
        fits = rt::AppendText(path, sizeof(path), fileName);
    if (fits) {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const void* bytes = LockResource(loaded);
            result = bytes != NULL && WriteFile(file, bytes, size, &written, NULL) && written == size;
            CloseHandle(file);
        }
    }
    FreeResource(loaded);
    return result;
}
