// vantix32.exe: VANTIX Pro, the classic FTP client window. At start it reads VANTIX.ini from its
// own folder and lists the site lists that file names, with the number of sites in each.
#include <windows.h>

#include "profile.h"
#include "sitelists.h"
#include "text.h"
#include "textwindow.h"
#include "vxcore32.h"

namespace {

const int MAX_SITE_LISTS = 64;   // more than any VANTIX.ini holds; further lists are not shown

SITE_LIST g_siteLists[MAX_SITE_LISTS];   // the lists of VANTIX.ini, read once at start
char g_szText[CCH_SCREEN];                // the text of the main window

void AppendSiteList(const SITE_LIST &list)
{
    char szCount[32];
    if (list.nSites < 0)
        CopyText(szCount, sizeof szCount, "missing");
    else
        wsprintfA(szCount, list.nSites == 1 ? "%d site" : "%d sites", list.nSites);
    AppendText(g_szText, sizeof g_szText, list.szName);
    AppendText(g_szText, sizeof g_szText, "\t");
    AppendText(g_szText, sizeof g_szText, list.szPath);
    AppendText(g_szText, sizeof g_szText, "\t");
    AppendText(g_szText, sizeof g_szText, szCount);
    AppendText(g_szText, sizeof g_szText, "\r\n");
}

void DescribeSettings(const char *pszIniPath)
{
    CopyText(g_szText, sizeof g_szText, "VANTIX Pro ");
    AppendText(g_szText, sizeof g_szText, VxCoreGetVersionString());
    AppendText(g_szText, sizeof g_szText, "\r\n\r\n");

    int cLists = ReadSiteLists(pszIniPath, g_siteLists, MAX_SITE_LISTS);
    if (cLists < 0) {
        AppendText(g_szText, sizeof g_szText, "The settings file ");
        AppendText(g_szText, sizeof g_szText, pszIniPath);
        AppendText(g_szText, sizeof g_szText,
                   " was not found. Run VANTIX Pro Setup again to restore it.\r\n");
        return;
    }

    AppendText(g_szText, sizeof g_szText, "Site lists in ");
    AppendText(g_szText, sizeof g_szText, pszIniPath);
    AppendText(g_szText, sizeof g_szText, ":\r\n\r\n");
    for (int i = 0; i < cLists; ++i)
        AppendSiteList(g_siteLists[i]);
    if (cLists == 0)
        AppendText(g_szText, sizeof g_szText, "(none)\r\n");

    char szMail[CCH_VALUE];
    GetPrivateProfileStringA("_config_", "MAILADDR", "(not set)", szMail, sizeof szMail, pszIniPath);
    AppendText(g_szText, sizeof g_szText, "\r\nAnonymous logins use the address: ");
    AppendText(g_szText, sizeof g_szText, szMail);
    AppendText(g_szText, sizeof g_szText,
               "\r\n\r\nVANTIX Pro connects to the sites in these lists, browses their folders "
               "and copies files between them and this computer.\r\n");
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    char szFolder[CCH_PATH];
    char szIniPath[CCH_PATH];
    GetModuleFolder(nullptr, szFolder, sizeof szFolder);
    JoinPath(szFolder, "VANTIX.ini", szIniPath, sizeof szIniPath);
    DescribeSettings(szIniPath);
    return RunTextWindow(hInstance, nCmdShow, "VantixMainWindow", "VANTIX Pro", g_szText);
}
