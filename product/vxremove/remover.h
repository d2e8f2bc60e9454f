// The removal as vxremove.exe runs it: started the way the installer starts (the temporary folder
// current, the Windows version known), then the installer's removal, then the restart it asks
// for when deletions wait for the next start of Windows and the user agrees.
#pragma once
#include <windows.h>

// Removes the install that WIN.INI records, as the installer's removal mode does. Returns 0.
int RemoveRecordedInstall(HINSTANCE instance);

// Removes the install in filesFolder with its items in group, ending with the removal of folder,
// when WIN.INI records an install in filesFolder; otherwise (also when filesFolder is NULL)
// nothing is touched and the user is told there is not enough to go on. Returns 0.
int RemoveInstallIn(HINSTANCE instance, const char* filesFolder, const char* folder, const char* group);
