// The installer's process-wide state put back to the start of a run, for tests that call its code
// in their own process: what one test leaves set must not decide the next.
#pragma once
#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"

namespace vxtest {

// As the program starts, before settings are read (on Windows NT, as Wine reports it), with the
// test program's resources and tempName for the run's scratch file.
inline void ResetInstallerState(const char* tempName)
{
    g_hInstance = GetModuleHandleA(NULL);
    lstrcpynA(g_szTempName, tempName, sizeof(g_szTempName));
    g_bWinNT = TRUE;
    g_bRebootNeeded = g_bCancelCopy = g_bLogging = g_bAllowReboot = g_bSilent = g_bNoPass = gbInstallBonusPack = g_bExplore = FALSE;
    g_iconLocation = 0;
    g_pfnIconPlacementDlgProc = NULL;
    g_szLine1[0] = g_szLine2[0] = g_szIniFile[0] = '\0';
}

// Every catalogue entry's status bits and last result cleared.
inline void ResetCatalogueStatus()
{
    for (const FILE_GROUP* group : { &g_coreFiles, &g_explorerFiles, &g_utilityFiles, &g_commonFiles, &g_iniFiles })
        for (int i = 0; i < group->count; ++i)
            group->entries[i].dwStatus = group->entries[i].nResult = 0;
}

}  // namespace vxtest
