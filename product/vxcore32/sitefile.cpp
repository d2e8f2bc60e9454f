// Site-list files (the format is described in vxcore32.h). Counting reads each section's HOST key
// through the profile functions, so key names are matched without regard to letter case, as in
// every other INI file of the product.
#include "vxcore32.h"

#include "profile.h"
#include "text.h"

namespace {

struct SITE_COUNT {
    const char *pszPath;
    int nSites;
};

bool CountIfSite(const char *pszSection, void *pContext)
{
    SITE_COUNT *pCount = static_cast<SITE_COUNT *>(pContext);
    char szHost[CCH_VALUE];
    GetPrivateProfileStringA(pszSection, "HOST", "", szHost, sizeof szHost, pCount->pszPath);
    if (szHost[0])
        ++pCount->nSites;
    return true;
}

} // namespace

extern "C" __declspec(dllexport) int VxCoreCountSites(LPCSTR pszPath)
{
    if (!pszPath || !IsExistingFile(pszPath))
        return -1;
    SITE_COUNT count = {pszPath, 0};
    ForEachSection(pszPath, CountIfSite, &count);
    return count.nSites;
}
