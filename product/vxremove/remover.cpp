// The removal as vxremove.exe runs it (see remover.h).
// Owns: nothing process-wide; sets the installer's start-up state (g_hInstance, g_bWinNT, ...).
#include "remover.h"
#include "app/restart.h"
#include "app/startup.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "install/records.h"
#include "resources/resource.h"
#include "uninstall/uninstall_flow.h"

namespace {

void StartLikeTheInstaller(HINSTANCE instance)
{
    g_hInstance = instance;
    // The folder to remove must not stay this program's current folder.
    char tempFolder[CCH_TEMP_FOLDER];
    EnterTempFolder(tempFolder);
    ReadWindowsVersion();
    DeriveInterfaceDefaults();
}

int EndRemoval()
{
    if (g_bRebootNeeded)
        RestartWindows(TRUE);
    return 0;
}

// TRUE when WIN.INI records a completed install in folder. A folder too long for the removal's
// paths is never one.
BOOL RecordsInstallIn(const char* folder)
{
    char recorded[CCH_LONG_PATH];
    GetProfileStringA(WININI_SECTION, "DIR", "", recorded, sizeof(recorded));
    return rt::StrLen(folder) < CCH_LONG_PATH - 1 && rt::_stricmp(recorded, folder) == 0
        && GetProfileIntA(WININI_SECTION, "INSTOPTS", 0) != 0;
}

}  // namespace

int RemoveRecordedInstall(HINSTANCE instance)
{
    StartLikeTheInstaller(instance);
    UninstallProduct(NULL, g_nV, g_nM);
    return EndRemoval();
}

int RemoveInstallIn(HINSTANCE instance, const char* filesFolder, const char* folder, const char* group)
{
    StartLikeTheInstaller(instance);
    if (filesFolder != NULL && rt::StrLen(folder) < CCH_LONG_PATH - 1 && RecordsInstallIn(filesFolder))
        RemoveInstalledProduct(NULL, filesFolder, folder, group, TRUE);
    else
        ShowRemovalMessage(NULL, IDS_REMOVAL_IMPOSSIBLE, "", IDS_REMOVE_CAPTION, MB_ICONINFORMATION);
    return EndRemoval();
}
