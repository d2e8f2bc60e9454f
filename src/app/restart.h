// Asking Windows to restart (or to log off) at the end of a run.
#pragma once
#include <windows.h>

// Requests a restart when reboot is set, else a log-off. On Windows NT the shutdown privilege is
// enabled first. Nothing is reported; the request does not wait.
void RestartWindows(BOOL reboot);
