// Restarting Windows when something waits for its next start.
// Owns: nothing process-wide; reads g_bWinNT. The process token opened here is left to the end
// of the process, which follows at once.
#include "app/restart.h"
#include "common/globals.h"

void RestartWindows(BOOL reboot)
{
    UINT flags = reboot ? EWX_REBOOT : EWX_LOGOFF;
    if (g_bWinNT) {
        // Windows 95/98 have no privileges; NT refuses the request without this one.
        HANDLE token = NULL;
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
    }
    ExitWindowsEx(flags, 0);
}
