// Restarting Windows when something waits for its next start.
// Owns: g_restartPlatform; reads g_bWinNT. The process token opened here is left to the end of
// the process, which follows at once.
#include "app/restart.h"
#include "common/globals.h"

namespace {

BOOL OpenToken(HANDLE process, DWORD access, HANDLE* token)
{
    return OpenProcessToken(process, access, token);
}

BOOL LookUpPrivilege(const char* systemName, const char* name, LUID* luid)
{
    return LookupPrivilegeValueA(systemName, name, luid);
}

BOOL AdjustToken(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* privileges)
{
    return AdjustTokenPrivileges(token, disableAll, privileges, 0, NULL, NULL);
}

BOOL RequestExit(UINT flags, DWORD reason)
{
    return ExitWindowsEx(flags, reason);
}

}  // namespace

// Small functions of our own rather than the imports themselves: an import's address is known
// only at load time, and the installer runs no constructors to fill a table with it.
RESTART_PLATFORM g_restartPlatform = { OpenToken, LookUpPrivilege, AdjustToken, RequestExit };

void RestartWindows(BOOL reboot)
{
    UINT flags = reboot ? EWX_REBOOT : EWX_LOGOFF;
    if (g_bWinNT) {
        // Windows 95/98 have no privileges; NT refuses the request without this one.
        HANDLE token = NULL;
        g_restartPlatform.pfnOpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        g_restartPlatform.pfnLookupPrivilegeValue(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        g_restartPlatform.pfnAdjustTokenPrivileges(token, FALSE, &privileges);
    }
    g_restartPlatform.pfnExitWindowsEx(flags, 0);
}
