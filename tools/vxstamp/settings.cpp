// The distributor's settings file: read whole, and checked to be text the installer's profile
// functions read the way the distributor sees it.
// Owns: nothing process-wide.
//
// Plain text here means: no NUL (the profile functions stop at it, and a UTF-16 file is full of
// them), no control characters other than tab, every line ended by CR LF (the form of the carried
// template and of INI files on Windows), and no UTF-8 byte order mark (it would become part of the
// first section's name, so that section would never be found). Characters above 127 are allowed:
// the installer reads ANSI text.
#include "vxstamp.h"

#include <string.h>

namespace {

const char RENAME_PREFIX[] = "[RenameThisSectionTo:";

int RefuseUnopenable(const char* path)
{
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return Refuse(EXIT_SETTINGS_UNREADABLE, path, "no such settings file");
    return Refuse(EXIT_SETTINGS_UNREADABLE, path, "cannot open the settings file (error %lu)", error);
}

int CheckPlainText(const char* path, const SettingsText& settings)
{
    const unsigned char* bytes = (const unsigned char*)settings.bytes;
    DWORD size = settings.size;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return Refuse(EXIT_SETTINGS_NOT_TEXT, path,
            "starts with a UTF-8 byte order mark, which hides its first section from the installer; save it as ANSI text");
    int line = 1;
    for (DWORD i = 0; i < size; ++i) {
        unsigned char c = bytes[i];
        if (c == '\r') {
            if (i + 1 == size || bytes[i + 1] != '\n')
                return Refuse(EXIT_SETTINGS_NOT_TEXT, path, "line %d ends in CR without LF; lines must end in CR LF", line);
            ++i;
            ++line;
        } else if (c == '\n') {
            return Refuse(EXIT_SETTINGS_NOT_TEXT, path, "line %d ends in LF without CR; lines must end in CR LF", line);
        } else if (c == '\0') {
            return Refuse(EXIT_SETTINGS_NOT_TEXT, path, "not plain text: NUL byte in line %d (UTF-16 or binary?)", line);
        } else if (c < 0x20 && c != '\t') {
            return Refuse(EXIT_SETTINGS_NOT_TEXT, path, "not plain text: control character 0x%02X in line %d", c, line);
        }
    }
    return EXIT_STAMPED;
}

}  // namespace

int ReadSettingsFile(const char* path, SettingsText* settings)
{
    settings->size = 0;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return RefuseUnopenable(path);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refuse(EXIT_SETTINGS_UNREADABLE, path, "is a folder, not a settings file");
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return RefuseUnopenable(path);

    int code = EXIT_STAMPED;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    DWORD got = 0;
    if (GetFileType(file) != FILE_TYPE_DISK)
        code = Refuse(EXIT_SETTINGS_UNREADABLE, path, "is a device, not a settings file");
    else if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        code = Refuse(EXIT_SETTINGS_UNREADABLE, path, "cannot read the settings file (error %lu)", GetLastError());
    else if (high != 0 || size > MAX_SETTINGS_BYTES)
        code = Refuse(EXIT_SETTINGS_UNREADABLE, path, "is larger than %d bytes, more than Windows 95 reads of an INI file",
            (int)MAX_SETTINGS_BYTES);
    else if (size == 0)
        code = Refuse(EXIT_SETTINGS_UNREADABLE, path, "is empty");
    else if (!ReadFile(file, settings->bytes, size, &got, NULL) || got != size)
        code = Refuse(EXIT_SETTINGS_UNREADABLE, path, "cannot read the settings file (error %lu)", GetLastError());
    CloseHandle(file);
    if (code != EXIT_STAMPED)
        return code;
    settings->size = size;
    return CheckPlainText(path, *settings);
}

BOOL KeepsRenamePrefix(const SettingsText& settings)
{
    DWORD length = sizeof(RENAME_PREFIX) - 1;
    // Section names are read without regard to case, so neither is the prefix. The text holds
    // no NUL (checked), so the comparison cannot stop early.
    for (DWORD i = 0; i + length <= settings.size; ++i) {
        if (_strnicmp(settings.bytes + i, RENAME_PREFIX, length) == 0)
            return TRUE;
    }
    return FALSE;
}
