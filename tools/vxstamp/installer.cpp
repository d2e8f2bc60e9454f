// The installer file: recognising one of ours, and putting new settings into it through a copy
// that replaces it only once the copy has been read back.
// Owns: nothing process-wide.
//
// One of ours is a PE program (not a library) that carries exactly one resource "INSTINI" of type
// "EXE" (the settings template start-up writes out as "Install.ini") and the bitmap "VX_BMP" (the
// product picture of the host window). Other programs carry neither; an installer with a second
// INSTINI in another language would make the one the installer reads depend on the machine's
// language, so it is refused rather than guessed at.
//
// The copy is made beside the installer (GetTempFileNameA, prefix "vxs") so that the final
// MoveFileExA is a rename on one volume: the installer is either the old file or the new one.
// Known gaps: BeginUpdateResourceA and MoveFileExA need Windows NT; the distributor's machine is
// NT, the installer it stamps still runs on Windows 95.
#include "vxstamp.h"

#include <string.h>

namespace {

const char SETTINGS_TYPE[] = "EXE";
const char SETTINGS_NAME[] = "INSTINI";
const char BITMAP_NAME[] = "VX_BMP";

struct LanguageCount {
    int count;
    WORD first;
};

BOOL CALLBACK CountLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    LanguageCount* languages = (LanguageCount*)param;
    if (languages->count == 0)
        languages->first = language;
    ++languages->count;
    return TRUE;
}

// A module without any "EXE" resource fails the enumeration; that counts as none.
LanguageCount CountSettingsLanguages(HMODULE module)
{
    LanguageCount languages = { 0, 0 };
    EnumResourceLanguagesA(module, SETTINGS_TYPE, SETTINGS_NAME, CountLanguage, (LONG_PTR)&languages);
    return languages;
}

BOOL ReadExactly(HANDLE file, LONG offset, void* buffer, DWORD size)
{
    DWORD got = 0;
    return SetFilePointer(file, offset, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER
        && ReadFile(file, buffer, size, &got, NULL) && got == size;
}

// Only the headers are read: "MZ", then where e_lfanew points "PE\0\0" and a file header that
// marks an executable image and not a library, then a 32- or 64-bit optional header.
int CheckProgramHeaders(const char* path, HANDLE file)
{
    IMAGE_DOS_HEADER dos;
    if (!ReadExactly(file, 0, &dos, sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return Refuse(EXIT_NOT_A_PROGRAM, path, "not a Windows program (no MZ header)");
    struct {
        DWORD signature;
        IMAGE_FILE_HEADER file;
        WORD magic;
    } pe;
    if (dos.e_lfanew <= 0 || !ReadExactly(file, dos.e_lfanew, &pe, sizeof(pe)) || pe.signature != IMAGE_NT_SIGNATURE)
        return Refuse(EXIT_NOT_A_PROGRAM, path, "not a Windows program (no PE header)");
    if (pe.magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC && pe.magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return Refuse(EXIT_NOT_A_PROGRAM, path, "not a 32- or 64-bit Windows program");
    if (pe.file.Characteristics & IMAGE_FILE_DLL)
        return Refuse(EXIT_NOT_A_PROGRAM, path, "is a library, not an installer program");
    if (!(pe.file.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE))
        return Refuse(EXIT_NOT_A_PROGRAM, path, "is not marked as an executable image");
    return EXIT_STAMPED;
}

int CheckProgramFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(EXIT_NO_INSTALLER, path, "is a folder, not an installer");
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Refuse(EXIT_NO_INSTALLER, path, "no such installer file");
        return Refuse(EXIT_NO_INSTALLER, path, "cannot open the installer (error %lu)", error);
    }
    // A name like "con.exe" opens a device, whose reads could wait for the keyboard.
    int code = GetFileType(file) == FILE_TYPE_DISK ? CheckProgramHeaders(path, file)
                                                  : Refuse(EXIT_NO_INSTALLER, path, "is a device, not an installer file");
    CloseHandle(file);
    return code;
}

int MakeStampedCopy(const char* installer, const char* copy, WORD language, const SettingsText& settings)
{
    if (!CopyFileA(installer, copy, FALSE))
        return Refuse(EXIT_COPY_FAILED, copy, "cannot copy the installer here (error %lu)", GetLastError());
    HANDLE update = BeginUpdateResourceA(copy, FALSE);
    if (update == NULL)
        return Refuse(EXIT_COPY_FAILED, copy, "cannot open the copy's resources for update (error %lu)", GetLastError());
    if (!UpdateResourceA(update, SETTINGS_TYPE, SETTINGS_NAME, language, (void*)settings.bytes, settings.size)) {
        DWORD error = GetLastError();
        EndUpdateResourceA(update, TRUE);
        return Refuse(EXIT_COPY_FAILED, copy, "cannot replace the copy's INSTINI resource (error %lu)", error);
    }
    if (!EndUpdateResourceA(update, FALSE))
        return Refuse(EXIT_COPY_FAILED, copy, "cannot write the copy's resources (error %lu)", GetLastError());
    return EXIT_STAMPED;
}

// The copy must still be one of ours, with one INSTINI, of the old language, holding exactly
// the settings bytes.
int VerifyStampedCopy(const char* copy, WORD language, const char* settingsPath, const SettingsText& settings)
{
    BOOL same = FALSE;
    HMODULE module = LoadLibraryExA(copy, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module != NULL) {
        LanguageCount languages = CountSettingsLanguages(module);
        HRSRC resource = FindResourceExA(module, SETTINGS_TYPE, SETTINGS_NAME, language);
        HGLOBAL loaded = resource != NULL ? LoadResource(module, resource) : NULL;
        const void* bytes = loaded != NULL ? LockResource(loaded) : NULL;
        same = languages.count == 1 && bytes != NULL && SizeofResource(module, resource) == settings.size
            && memcmp(bytes, settings.bytes, settings.size) == 0 && FindResourceA(module, BITMAP_NAME, RT_BITMAP) != NULL;
        FreeLibrary(module);
    }
    if (!same)
        return Refuse(EXIT_VERIFY_FAILED, copy, "the updated copy does not carry %s exactly", settingsPath);
    return EXIT_STAMPED;
}

}  // namespace

int RecogniseInstaller(const char* path, WORD* settingsLanguage)
{
    int code = CheckProgramFile(path);
    if (code != EXIT_STAMPED)
        return code;
    HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL)
        return Refuse(EXIT_NOT_A_PROGRAM, path, "cannot be loaded as a program file (error %lu)", GetLastError());
    LanguageCount languages = CountSettingsLanguages(module);
    BOOL hasBitmap = FindResourceA(module, BITMAP_NAME, RT_BITMAP) != NULL;
    FreeLibrary(module);

    if (languages.count == 0)
        return Refuse(EXIT_NOT_OUR_INSTALLER, path, "not a VANTIX Pro installer (no resource INSTINI of type EXE)");
    if (!hasBitmap)
        return Refuse(EXIT_NOT_OUR_INSTALLER, path, "not a VANTIX Pro installer (no bitmap VX_BMP)");
    if (languages.count > 1)
        return Refuse(EXIT_NOT_OUR_INSTALLER, path, "carries %d INSTINI resources in different languages; ours carries one",
            languages.count);
    *settingsLanguage = languages.first;
    return EXIT_STAMPED;
}

int StampInstaller(const char* path, WORD settingsLanguage, const char* settingsPath, const SettingsText& settings)
{
    // Windows refuses to replace a read-only file only at the final rename, and Wine's
    // MoveFileExA replaces it regardless; the attribute is the owner's "leave this alone".
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return Refuse(EXIT_REPLACE_FAILED, path, "is read-only; it is unchanged");

    // The folder with its trailing backslash, so that an installer at a drive's root works too.
    char folder[MAX_PATH];
    strcpy(folder, path);
    char* lastBackslash = strrchr(folder, '\\');
    if (lastBackslash != NULL)
        lastBackslash[1] = '\0';
    char copy[MAX_PATH];
    if (!GetTempFileNameA(folder, "vxs", 0, copy))
        return Refuse(EXIT_COPY_FAILED, folder, "cannot create a working copy in this folder (error %lu)", GetLastError());

    int code = MakeStampedCopy(path, copy, settingsLanguage, settings);
    if (code == EXIT_STAMPED)
        code = VerifyStampedCopy(copy, settingsLanguage, settingsPath, settings);
    if (code == EXIT_STAMPED && !MoveFileExA(copy, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = Refuse(EXIT_REPLACE_FAILED, path, "cannot be replaced (in use or not writable, error %lu); it is unchanged",
            GetLastError());
    if (code != EXIT_STAMPED && !DeleteFileA(copy))
        Refuse(code, copy, "cannot delete this working copy (error %lu)", GetLastError());
    return code;
}
