// Process entry: the start of a run and the message loop.
// Owns: g_hInstance, g_hwndMain, g_hwndProgress (opened and closed by the wizard), g_bWinNT,
//       g_nWinMajor, g_nWinMinor, g_nV, g_nM, g_szTempName, g_bRebootNeeded.
//
// In order: the system's error boxes are turned off (and on again once the settings say the run
// is interactive), the temporary folder becomes the current folder for the whole run, a scratch
// file name is reserved there, the carried settings template is written there as "Install.ini"
// and read, the interface defaults follow from the Windows version, the host window is created and
// the wizard is started from inside the message loop by a posted command.
#include "app/host_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "payload/catalogue.h"
#include "payload/extract.h"
#include "resources/resource.h"

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

namespace {

void ReportStartFailure(UINT messageId)
{
    char text[CCH_LINE];
    LoadMessage(messageId, text, sizeof(text));
    if (!g_bSilent)
        MessageBoxA(NULL, text, NULL, MB_ICONEXCLAMATION);
}

}  // namespace

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    // A silent install has nobody to answer the system's own boxes (a drive without a disk, a
    // library whose imports are missing), so they are off before any file, library or drive is
    // touched. Only the settings say whether the run is silent; an interactive run gets the
    // system's boxes back as soon as they are read.
    UINT systemErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    char tempFolder[CCH_TEMP_FOLDER];
    if (EnterTempFolder(tempFolder)) {
        ReserveTempName(tempFolder);
        WriteCarriedSettings(tempFolder);
    }
    g_szLine1[0] = '\0';
    g_szLine2[0] = '\0';
    ReadInstallSettings();
    if (!g_bSilent)
        SetErrorMode(systemErrorMode);

    ReadWindowsVersion();
    DeriveInterfaceDefaults();

    if (!RegisterHostWindowClass()) {
        ReportStartFailure(IDS_WINDOW_REGISTRATION_FAILED);
        return -1;
    }
    g_hwndMain = CreateHostWindow();
    if (g_hwndMain == NULL) {
        ReportStartFailure(IDS_WINDOW_CREATION_FAILED);
        return 2;
    }
    if (!g_bSilent)
        ShowWindow(g_hwndMain, SW_SHOWNORMAL);
    PostMessageA(g_hwndMain, WM_COMMAND, CMD_START_WIZARD, 0);
    return RunMessageLoop();
}
