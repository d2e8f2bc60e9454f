// Payload extraction: resource bytes to a file, and the expansion of that file into place.
// Owns: nothing process-wide.
//
// The expansion is the LZ library's (LZInit, LZCopy, LZClose), but both files are opened here
// with CreateFileA rather than through LZOpenFileA: LZOpenFileA goes through OpenFile's 128-byte
// path structure, and on a target it cannot open some platforms quietly create a sibling whose
// last letter is '_' and "succeed" into it. A target in use must fail, and nothing else may
// appear beside it.
#include "payload/extract.h"
#include "common/limits.h"
#include "common/runtime.h"
#include "payload/catalogue.h"

#include <lzexpand.h>

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

namespace {

// The LZ library works on HFILEs, which on Win32 are file handles held in an int.
HFILE AsHFile(HANDLE file)
{
    return (HFILE)(INT_PTR)file;
}

HANDLE OpenForReading(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

}  // namespace

int ExpandFile(char* packedPath, const char* targetPath)
{
    if (rt::_stricmp(packedPath, targetPath) == 0)
        return 1;

    size_t length = rt::StrLen(packedPath);
    if (length == 0)
        return 0;
    char lastCharacter = packedPath[length - 1];
    packedPath[length - 1] = '_';
    HANDLE source = OpenForReading(packedPath);
    if (source == INVALID_HANDLE_VALUE) {
        packedPath[length - 1] = lastCharacter;
        source = OpenForReading(packedPath);
        if (source == INVALID_HANDLE_VALUE)
            return 0;
    }
    INT lzSource = LZInit(AsHFile(source));
    if (lzSource < 0) {
        CloseHandle(source);
        return 0;
    }

    int result = 0;
    // No sharing: a program or library in use (or any file open elsewhere) cannot be replaced.
    HANDLE target = CreateFileA(targetPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (target != INVALID_HANDLE_VALUE) {
        result = LZCopy(lzSource, AsHFile(target)) > 0;
        CloseHandle(target);
    }
    LZClose(lzSource);  // closes the source file too
    return result;
}
