// Shell change notices (see vxshlch.h). SHChangeNotify takes ANSI paths with SHCNF_PATHA on every
// shell since Windows 95; SHCNF_FLUSH makes the call return only after the shell has seen it.
#include "vxshlch.h"

#include <shlobj.h>

extern "C" __declspec(dllexport) BOOL VxNotifyFolderChanged(LPCSTR pszFolder)
{
    if (!pszFolder || !*pszFolder)
        return FALSE;
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA | SHCNF_FLUSH, pszFolder, nullptr);
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL VxNotifyFileChanged(LPCSTR pszFile, BOOL bCreated)
{
    if (!pszFile || !*pszFile)
        return FALSE;
    SHChangeNotify(bCreated ? SHCNE_CREATE : SHCNE_DELETE, SHCNF_PATHA | SHCNF_FLUSH, pszFile,
                   nullptr);
    return TRUE;
}
