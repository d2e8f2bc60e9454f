// Payload extraction: resource bytes to a file, and the expansion of that file into place.
// Owns: nothing process-wide.
//
// The expansion is the LZ library's (LZInit, LZCopy, LZClose), but both files are opened here
// with CreateFileA rather than through LZOpenFileA: LZOpenFileA goes through OpenFile's 128-byte
// path structure, and on a target it cannot open some platforms quietly create a sibling whose
// last letter is '_' and "succeed" into it. A target in use must fail, and nothing else may
// appear beside it but the scratch file the expansion writes before it replaces the target.
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

// Reserves a scratch file in the target's folder ("VXS....TMP"): the new file is written there
// and renamed into place only when it is complete, so a full disk or an ended run never leaves a
// half-written file where a working one was. A scratch file left by an ended run ends in ".tmp",
// which the removal sweeps.
BOOL ReserveScratchBeside(const char* targetPath, char* scratch)
{
    char folder[CCH_SHORT_PATH];
    const char* lastBackslash = rt::StrRChr(targetPath, '\\');
    size_t folderLength = lastBackslash != NULL ? (size_t)(lastBackslash - targetPath) : 0;
    // GetTempFileNameA adds a backslash and a 12-character name to the folder.
    if (folderLength == 0 || folderLength + 14 >= sizeof(folder))
        return FALSE;
    rt::CopyText(folder, folderLength + 1, targetPath);
    return GetTempFileNameA(folder, "VXS", 0, scratch) != 0;
}

// Windows NT replaces the target in one step. Windows 95 has no working call for it, and its
// loader is not to be asked for one: the call is looked up at run time, and where it is missing
// or fails the old file is deleted first and the complete new one renamed after it.
typedef BOOL(WINAPI* MoveFileExProc)(LPCSTR, LPCSTR, DWORD);

BOOL PutInPlace(const char* scratch, const char* targetPath)
{
    MoveFileExProc moveFileEx = (MoveFileExProc)(void*)GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "MoveFileExA");
    if (moveFileEx != NULL && moveFileEx(scratch, targetPath, MOVEFILE_REPLACE_EXISTING))
        return TRUE;
    if (GetFileAttributesA(targetPath) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(targetPath))
        return FALSE;
    return MoveFileA(scratch, targetPath);
}

}  // namespace

BOOL TargetCanBeReplaced(const char* targetPath)
{
    HANDLE target = CreateFileA(targetPath, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (target != INVALID_HANDLE_VALUE) {
        CloseHandle(target);
        return TRUE;
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

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
    char scratch[CCH_SHORT_PATH];
    if (TargetCanBeReplaced(targetPath) && ReserveScratchBeside(targetPath, scratch)) {
        HANDLE output = CreateFileA(scratch, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        BOOL complete = FALSE;
        if (output != INVALID_HANDLE_VALUE) {
            complete = LZCopy(lzSource, AsHFile(output)) > 0;
            CloseHandle(output);
        }
        result = complete && PutInPlace(scratch, targetPath);
        if (!result) {
            // The error that made the copy fail is the one a report names, not the clean-up's.
            DWORD error = GetLastError();
            DeleteFileA(scratch);
            SetLastError(error);
        }
    }
    LZClose(lzSource);  // closes the source file too
    return result;
}
