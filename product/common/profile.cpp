// INI file and path helpers. GetPrivateProfileStringA with no section returns every section name,
// each ended by a zero and the list by a second zero; unlike GetPrivateProfileSectionNamesA this
// works on every Windows version. The list goes into a heap buffer that grows until it fits.
#include "profile.h"

#include "text.h"

namespace {

const DWORD CCH_SECTIONS_FIRST = 4096;   // first try; doubled while the list does not fit
const DWORD CCH_SECTIONS_MAX = 65536;    // Windows 95 reads no INI file beyond 64 KB anyway

} // namespace

bool ForEachSection(const char *pszIniPath, SECTION_VISITOR pfnVisit, void *pContext)
{
    HANDLE hHeap = GetProcessHeap();
    char *pszNames = nullptr;
    DWORD cchCopied = 0;
    for (DWORD cch = CCH_SECTIONS_FIRST; cch <= CCH_SECTIONS_MAX; cch *= 2) {
        if (pszNames)
            HeapFree(hHeap, 0, pszNames);
        pszNames = static_cast<char *>(HeapAlloc(hHeap, 0, cch));
        if (!pszNames)
            return false;
        cchCopied = GetPrivateProfileStringA(nullptr, nullptr, "", pszNames, cch, pszIniPath);
        // A list that did not fit comes back as cch - 2 characters.
        if (cchCopied < cch - 2)
            break;
    }

    for (const char *p = pszNames; p < pszNames + cchCopied && *p; p += lstrlenA(p) + 1) {
        if (!pfnVisit(p, pContext))
            break;
    }
    HeapFree(hHeap, 0, pszNames);
    return true;
}

bool IsExistingFile(const char *pszPath)
{
    DWORD dwAttributes = GetFileAttributesA(pszPath);
    return dwAttributes != 0xFFFFFFFF && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void GetFolderOf(const char *pszPath, char *pszFolder, int cchFolder)
{
    // CharNextA steps over both bytes of a double-byte character, whose second byte may be '\\'.
    const char *pszSlash = nullptr;
    for (const char *p = pszPath; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            pszSlash = p;
    }
    if (!pszSlash) {
        CopyText(pszFolder, cchFolder, ".");
        return;
    }
    int cchCopy = static_cast<int>(pszSlash - pszPath) + 1;   // with room for the terminator
    CopyText(pszFolder, cchCopy < cchFolder ? cchCopy : cchFolder, pszPath);
}

void GetModuleFolder(HMODULE hModule, char *pszFolder, int cchFolder)
{
    char szPath[CCH_PATH];
    DWORD cch = GetModuleFileNameA(hModule, szPath, sizeof szPath);
    if (cch == 0 || cch >= sizeof szPath) {
        CopyText(pszFolder, cchFolder, ".");
        return;
    }
    GetFolderOf(szPath, pszFolder, cchFolder);
}

void JoinPath(const char *pszFolder, const char *pszName, char *pszPath, int cchPath)
{
    bool bFullPath = (pszName[0] && pszName[1] == ':') || pszName[0] == '\\';
    if (bFullPath) {
        CopyText(pszPath, cchPath, pszName);
        return;
    }
    CopyText(pszPath, cchPath, pszFolder);
    int cchFolder = lstrlenA(pszFolder);
    if (cchFolder == 0 || *CharPrevA(pszFolder, pszFolder + cchFolder) != '\\')
        AppendText(pszPath, cchPath, "\\");
    AppendText(pszPath, cchPath, pszName);
}
