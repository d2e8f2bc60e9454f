// vxshlch.dll: shell change notices for the VANTIX Pro Explorer interface. After a transfer
// changes a local folder, the Explorer interface tells the shell so that open windows refresh.
#pragma once
#include <windows.h>

extern "C" {

// Tells the shell that the contents of the folder pszFolder changed. FALSE for an empty name.
BOOL VxNotifyFolderChanged(LPCSTR pszFolder);

// Tells the shell that the file pszFile was created (bCreated) or deleted.
BOOL VxNotifyFileChanged(LPCSTR pszFile, BOOL bCreated);

} // extern "C"
