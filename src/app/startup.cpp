// The steps of a run's start (see startup.h) and the state they set up, apart from the entry
// point, so that another program of the product (the uninstaller) can start the same way.
// Owns: g_hInstance, g_hwndMain, g_hwndProgress (opened and closed by the wizard), g_bWinNT,
//       g_nWinMajor, g_nWinMinor, g_nV, g_nM, g_szTempName, g_bRebootNeeded.
#include "app/startup.h"
#include "app/settings.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "payload/catalogue.h"
#include "payload/extract.h"

HINSTANCE g_hInstance = NULL;
HWND g_hwndMain = NULL;
HWND g_hwndProgress = NULL;
BOOL g_bWinNT = FALSE;
int g_nWinMajor = 0;
int g_nWinMinor = 0;
int g_nV = 0;
int g_nM = 0;
char g_szTempName[CCH_PATH];
BOOL g_bRebootNeeded = FALSE;

void TrimTrailingSeparator(char* path)
{
    size_t length = rt::StrLen(path);
    if (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/'))
        path[length - 1] = '\0';
}

BOOL GetTempFolder(char* folder)
{
    DWORD length = GetTempPathA(CCH_TEMP_FOLDER, folder);
    if (length == 0 || length >= CCH_TEMP_FOLDER) {
        // The path did not fit: nothing was written, so nothing here names a folder.
        folder[0] = '\0';
        return FALSE;
    }
    TrimTrailingSeparator(folder);
    return TRUE;
}

BOOL EnterTempFolder(char* folder)
{
    if (!GetTempFolder(folder))
        return FALSE;
    rt::_chdir(folder);
    return TRUE;
}

void ReserveTempName(const char* folder)
{
    g_szTempName[0] = '\0';
    // GetTempFileNameA writes up to MAX_PATH characters; g_szTempName has room for them.
    if (!GetTempFileNameA(folder, "VXS", 0, g_szTempName)) {
        g_szTempName[0] = '\0';
        return;
    }
    const char* lastBackslash = rt::StrRChr(g_szTempName, '\\');
    if (lastBackslash != NULL) {
        char bareName[CCH_PATH];
        rt::CopyText(bareName, sizeof(bareName), lastBackslash + 1);
        rt::CopyText(g_szTempName, sizeof(g_szTempName), bareName);
    }
}

void WriteCarriedSettings(const char* folder)
{
    // ExtractResource puts the backslash between folder and name.
    ExtractResource(g_hInstance, RESOURCE_INSTINI, folder, "Install.ini");
}

void ReadWindowsVersion()
{
    DWORD version = GetVersion();
    g_nWinMajor = (int)(version & 0xFF);
    g_nWinMinor = (int)((version >> 8) & 0xFF);
}

InterfaceDefaults ChooseInterfaceDefaults(const char* osValue, int winMajor, int winMinor, BOOL explore)
{
    InterfaceDefaults defaults;
    defaults.winNT = osValue != NULL && rt::StrStr(osValue, "NT") != NULL;
    if (defaults.winNT || winMajor >= 4 || winMinor >= 50) {
        defaults.nM = 15;
        defaults.nV = explore ? IFACE_CLASSIC | IFACE_EXPLORER : IFACE_CLASSIC;
    } else {
        defaults.nM = 3;
        defaults.nV = 1;
    }
    return defaults;
}

void DeriveInterfaceDefaults()
{
    InterfaceDefaults defaults = ChooseInterfaceDefaults(rt::getenv("OS"), g_nWinMajor, g_nWinMinor, g_bExplore);
    g_bWinNT = defaults.winNT;
    g_nV = defaults.nV;
    g_nM = defaults.nM;
}

int RunMessageLoop()
{
    MSG msg;
    msg.wParam = 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (g_hwndProgress != NULL && IsDialogMessageA(g_hwndProgress, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
