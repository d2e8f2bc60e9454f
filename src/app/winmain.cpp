// Process entry of vxsetup.exe: the start of a run, step by step (the steps are in startup.cpp),
// and the message loop.
// Owns: nothing process-wide of its own; sets the start-up state of startup.cpp.
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
#include "resources/resource.h"

namespace {

void ReportStartFailure(UINT messageId)
{
    char text[CCH_LINE];
    LoadMessage(messageId, text, sizeof(text));
    if (!g_bSilent)
        MessageBoxA(NULL, text, NULL, MB_ICONEXCLAMATION);
}

}  // namespace

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
