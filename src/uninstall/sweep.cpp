// The sweep of the product folder's working files (see sweep.h).
// Owns: nothing process-wide.
#include "uninstall/sweep.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "payload/catalogue.h"
#include "resources/resource.h"

namespace {

const char QUESTION_CAPTION[] = "VANTIX Pro Installation";
// The extensions swept, four characters each; the first only when the user agrees.
const char SWEPT_EXTENSIONS[] = ".ini.bak.tmp.gid.log";

BOOL AskToDeleteIniFiles(const char* folder, HWND owner)
{
    char mainIni[CCH_LONG_PATH];
    if (!rt::JoinPath(mainIni, sizeof(mainIni), folder, g_iniFiles.entries[0].szFile) || GetFileAttributesA(mainIni) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    char text[CCH_LINE];
    LoadMessage(IDS_DELETE_INI_FILES, text, sizeof(text));
    return MessageBoxA(owner, text, QUESTION_CAPTION, MB_YESNO) == IDYES;
}

BOOL IsWorkingFile(const char* name, BOOL includeIni)
{
    const char* extension = rt::StrRChr(name, '.');
    if (extension == NULL || rt::StrLen(extension) != 4)
        return FALSE;
    for (const char* swept = SWEPT_EXTENSIONS + (includeIni ? 0 : 4); *swept != '\0'; swept += 4) {
        if (rt::_strnicmp(extension, swept, 4) == 0)
            return TRUE;
    }
    return FALSE;
}

}  // namespace

void SweepWorkingFiles(const char* folder, HWND owner, HWND status)
{
    BOOL includeIni = AskToDeleteIniFiles(folder, owner);
    char pattern[CCH_LONG_PATH];
    if (!rt::JoinPath(pattern, sizeof(pattern), folder, "*.*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[CCH_LONG_PATH];
        // A subfolder is not entered: DeleteFileA refuses it.
        if (!IsWorkingFile(found.cFileName, includeIni) || !rt::JoinPath(path, sizeof(path), folder, found.cFileName))
            continue;
        ShowStatusText(status, path);
        DeleteFileA(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
