// Site lists of VANTIX.ini (see sitelists.h). The sites themselves are counted by the core library,
// which owns the site-list format.
#include "sitelists.h"

#include "profile.h"
#include "vxcore32.h"

namespace {

struct LIST_READER {
    const char *pszIniPath;
    char szFolder[CCH_PATH];   // the folder of VANTIX.ini, for bare FILENAME values
    SITE_LIST *pLists;
    int cMax;
    int cLists;
};

bool AddIfSiteList(const char *pszSection, void *pContext)
{
    LIST_READER *pReader = static_cast<LIST_READER *>(pContext);
    char szFile[CCH_VALUE];
    GetPrivateProfileStringA(pszSection, "FILENAME", "", szFile, sizeof szFile, pReader->pszIniPath);
    if (!szFile[0])
        return true;
    if (pReader->cLists == pReader->cMax)
        return false;

    SITE_LIST &list = pReader->pLists[pReader->cLists++];
    CopyText(list.szName, sizeof list.szName, pszSection);
    JoinPath(pReader->szFolder, szFile, list.szPath, sizeof list.szPath);
    list.nSites = VxCoreCountSites(list.szPath);
    return true;
}

} // namespace

int ReadSiteLists(const char *pszIniPath, SITE_LIST *pLists, int cMax)
{
    if (!IsExistingFile(pszIniPath))
        return -1;

    LIST_READER reader = {};
    reader.pszIniPath = pszIniPath;
    reader.pLists = pLists;
    reader.cMax = cMax;
    GetFolderOf(pszIniPath, reader.szFolder, sizeof reader.szFolder);
    ForEachSection(pszIniPath, AddIfSiteList, &reader);
    return reader.cLists;
}
