// Deleting the product's files and folder (see file_removal.h). The next-start commands run
// under the command interpreter of the running Windows: cmd.exe on Windows NT, command.com on
// Windows 95/98.
// Owns: nothing process-wide; sets g_bRebootNeeded when a deletion waits for the next start.
#include "uninstall/file_removal.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "payload/placement.h"

namespace {

// Two paths' worth, for the interpreter, the verb and the quotes around one long path.
enum { CCH_NEXT_START_COMMAND = 2 * CCH_LONG_PATH };

const char* CommandInterpreter()
{
    return g_bWinNT ? "cmd.exe" : "command.com";
}

// "<interpreter> /c <verb> <path><tail>"; FALSE when it does not fit whole.
BOOL BuildNextStartCommand(char* command, const char* verb, const char* path, const char* tail)
{
    rt::FormatText(command, CCH_NEXT_START_COMMAND, "%s /c %s", CommandInterpreter(), verb);
    return AppendNextStartPath(command, CCH_NEXT_START_COMMAND, path)
        && rt::AppendText(command, CCH_NEXT_START_COMMAND, tail);
}

// The file's own extension gives way to ".del"; a name without one gets ".del" added.
BOOL MakeDeletionName(char* aside, const char* path)
{
    if (!rt::CopyText(aside, CCH_LONG_PATH, path))
        return FALSE;
    const char* name = rt::StrRChr(path, '\\');
    const char* dot = rt::StrRChr(name != NULL ? name : path, '.');
    if (dot != NULL)
        aside[dot - path] = '\0';
    return rt::AppendText(aside, CCH_LONG_PATH, ".del");
}

// The folder as the system names it, in full. Joined with "." it loses any trailing backslash, and
// a drive given alone ("C:") becomes its root ("C:\").
void CanonicalFolder(const char* folder, char* canonical)
{
    char dotted[CCH_LONG_PATH];
    rt::JoinPath(dotted, sizeof(dotted), folder, ".");
    DWORD length = GetFullPathNameA(dotted, CCH_LONG_PATH, canonical, NULL);
    if (length == 0 || length >= CCH_LONG_PATH)
        rt::CopyText(canonical, CCH_LONG_PATH, folder);
}

}  // namespace

int DeleteOrScheduleFile(const char* path)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 1;
    if (DeleteFileA(path))
        return 1;
    // A file left over from an earlier removal would stop the move; it is to go anyway.
    char aside[CCH_LONG_PATH];
    const char* doomed = path;
    if (MakeDeletionName(aside, path)) {
        DeleteFileA(aside);
        if (MoveFileA(path, aside))
            doomed = aside;
    }
    char command[CCH_NEXT_START_COMMAND];
    if (BuildNextStartCommand(command, "del", doomed, "") && ScheduleInOrderAtStartup(command))
        g_bRebootNeeded = TRUE;
    return 0;
}

int ScheduleFolderRemoval(const char* folder)
{
    char command[CCH_NEXT_START_COMMAND];
    return BuildNextStartCommand(command, "rmdir", folder, " ") && ScheduleLastAtStartup(command);
}

BOOL IsSystemOwnedFolder(const char* folder)
{
    char canonical[CCH_LONG_PATH];
    CanonicalFolder(folder, canonical);
    // A drive's root: "C:\".
    if (canonical[0] != '\0' && canonical[1] == ':' && canonical[3] == '\0')
        return TRUE;
    UINT(WINAPI * const systemFolders[])(LPSTR, UINT) = { GetWindowsDirectoryA, GetSystemDirectoryA };
    for (UINT(WINAPI * getFolder)(LPSTR, UINT) : systemFolders) {
        char system[CCH_LONG_PATH];
        UINT length = getFolder(system, sizeof(system));
        char systemCanonical[CCH_LONG_PATH];
        if (length > 0 && length < sizeof(system)) {
            CanonicalFolder(system, systemCanonical);
            if (rt::_stricmp(canonical, systemCanonical) == 0)
                return TRUE;
        }
    }
    return FALSE;
}
