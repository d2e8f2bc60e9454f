// vxplace.exe: VANTIX Pro Icon Placement. Shows where the "VANTIX Pro Explorer" icon is (on the
// desktop or in My Computer: the shell namespace key that holds its class) and which VANTIX Pro
// components are registered.
#include <windows.h>

#include "text.h"
#include "textwindow.h"

namespace {

const char SZ_DESKTOP_ENTRY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop"
                                "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char SZ_MYCOMPUTER_ENTRY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer"
                                   "\\Namespace\\{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char SZ_COMPONENTS_KEY[] = "Software\\Harrowby\\VANTIX Pro\\Components";

char g_szText[CCH_SCREEN];   // the text of the window

bool KeyExists(const char *pszKeyPath)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKeyPath, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

const char *DescribeIconPlace()
{
    if (KeyExists(SZ_DESKTOP_ENTRY))
        return "The VANTIX Pro Explorer icon is on the desktop.";
    if (KeyExists(SZ_MYCOMPUTER_ENTRY))
        return "The VANTIX Pro Explorer icon is in My Computer.";
    return "The VANTIX Pro Explorer icon is not installed.";
}

void AppendComponents()
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SZ_COMPONENTS_KEY, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) {
        AppendText(g_szText, sizeof g_szText, "No VANTIX Pro components are registered.\r\n");
        return;
    }
    AppendText(g_szText, sizeof g_szText, "Registered components:\r\n");
    char szName[CCH_NAME];
    char szPath[CCH_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD cchName = sizeof szName, cbPath = sizeof szPath, dwType = 0;
        if (RegEnumValueA(hKey, i, szName, &cchName, nullptr, &dwType,
                          reinterpret_cast<BYTE *>(szPath), &cbPath) != ERROR_SUCCESS)
            break;
        if (dwType != REG_SZ)
            continue;
        // A value written without its terminating zero is still shown whole.
        szPath[cbPath < sizeof szPath ? cbPath : sizeof szPath - 1] = '\0';
        AppendText(g_szText, sizeof g_szText, "\t");
        AppendText(g_szText, sizeof g_szText, szName);
        AppendText(g_szText, sizeof g_szText, "\t");
        AppendText(g_szText, sizeof g_szText, szPath);
        AppendText(g_szText, sizeof g_szText, "\r\n");
    }
    RegCloseKey(hKey);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    CopyText(g_szText, sizeof g_szText, "VANTIX Pro Icon Placement\r\n\r\n");
    AppendText(g_szText, sizeof g_szText, DescribeIconPlace());
    AppendText(g_szText, sizeof g_szText,
               "\r\n\r\nThe icon can be placed on the desktop or in My Computer; Windows shows it "
               "in its new place after the next start.\r\n\r\n");
    AppendComponents();
    return RunTextWindow(hInstance, nCmdShow, "VantixPlaceWindow", "VANTIX Pro Icon Placement",
                         g_szText);
}
