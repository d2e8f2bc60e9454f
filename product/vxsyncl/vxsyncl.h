// vxsyncl.dll: the comparison rules of the VANTIX Synchronize Utility (vxsync.exe), which decide
// whether a local file and a remote one are the same.
#pragma once
#include <windows.h>

extern "C" {

// Seconds by which two file times may differ and still count as equal. FAT keeps file times in
// steps of two seconds, and many FTP servers list them rounded to the minute.
DWORD VxSyncGetToleranceSeconds(void);

// Compares a local file time with a remote one: -1 when the local file is older, 0 when the two
// are equal within the tolerance, 1 when the local file is newer.
int VxSyncCompareTimes(const FILETIME *pftLocal, const FILETIME *pftRemote);

} // extern "C"
