// Puts the installer's process-wide state back to the start of a run, for tests that call the
// installer's own code in their process: what one test leaves set must not decide the next.
// Only installer tests include this (they link vxsetup_core, which defines these variables).
#pragma once
#include <windows.h>

#include "common/globals.h"
#include "payload/catalogue.h"

namespace vxtest {

// Every variable at the value the program starts with, before any settings are read (so not
// UseDefaultSettings' values, which allow a restart and select the Explorer and the Bonus Pack):
// interactive, no log, no restart allowed or needed, no copy cancelled. Windows NT, as Wine
// reports it; the resources are the test program's own and the run's scratch file in the
// temporary folder is named tempName.
inline void ResetInstallerState(const char* tempName)
{
    g_hInstance = GetModuleHandleA(NULL);
    lstrcpynA(g_szTempName, tempName, sizeof(g_szTempName));
    g_bWinNT = TRUE;
    g_bRebootNeeded = FALSE;
    g_bCancelCopy = FALSE;

    g_bLogging = FALSE;
    g_bAllowReboot = FALSE;
    g_bSilent = FALSE;
    g_bNoPass = FALSE;
    gbInstallBonusPack = FALSE;
    g_iconLocation = 0;
    g_bExplore = FALSE;
    g_szLine1[0] = '\0';
    g_szLine2[0] = '\0';
    g_szIniFile[0] = '\0';
}

// Clears what a run records in the catalogue: every entry's status bits and last result.
inline void ResetCatalogueStatus()
{
    for (const FILE_GROUP* group : { &g_coreFiles, &g_explorerFiles, &g_utilityFiles, &g_commonFiles, &g_iniFiles }) {
        for (int i = 0; i < group->count; ++i) {
            group->entries[i].dwStatus = 0;
            group->entries[i].nResult = 0;
        }
    }
}

}  // namespace vxtest
