// Asking Windows to restart (or to log off) at the end of a run.
#pragma once
#include <windows.h>

// The four system calls a restart makes. g_restartPlatform holds the system's own; a test puts
// recorders in their place to see the request without ending its session, and puts the system's
// back when it is done.
struct RESTART_PLATFORM {
    BOOL (*pfnOpenProcessToken)(HANDLE process, DWORD access, HANDLE* token);
    BOOL (*pfnLookupPrivilegeValue)(const char* systemName, const char* name, LUID* luid);
    BOOL (*pfnAdjustTokenPrivileges)(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* privileges);
    BOOL (*pfnExitWindowsEx)(UINT flags, DWORD reason);
};

// Requests a restart when reboot is set, else a log-off. On Windows NT the shutdown privilege is
// enabled first. Nothing is reported; the request does not wait.
void RestartWindows(BOOL reboot);
