// The removal sequence (see removal_steps.h). No step stops it: what is absent counts as removed,
// what is in use is left to the next start, and every other failure is passed over.
// Owns: nothing process-wide; g_bRebootNeeded is only ever set (through DeleteOrScheduleFile).
#include "uninstall/removal_steps.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "install/install_sequence.h"
#include "install/records.h"
#include "payload/catalogue.h"
#include "payload/placement.h"
#include "uninstall/file_removal.h"
#include "uninstall/group_removal.h"
#include "uninstall/sweep.h"
#include "uninstall/unregistration.h"

namespace {

void DeleteGroupFiles(const FILE_GROUP& group, const char* folder, HWND status)
{
    for (int i = 0; i < group.count; ++i) {
        char path[CCH_LONG_PATH];
        if (!rt::JoinPath(path, sizeof(path), folder, group.entries[i].szSource))
            continue;
        ShowStatusText(status, path);
        // A copy still waiting for the next start would bring the file back into the folder.
        CancelNextStartCopy(path);
        DeleteOrScheduleFile(path);
    }
}

}  // namespace

int RemoveProduct(const char* folder, const char* group, DWORD selection, HWND owner, HWND status)
{
    ShowStatusText(status, "Removing uninstall info");
    RemoveUninstallEntry();

    ShowStatusText(status, "Removing desktop icons");
    RemoveNamespaceEntries();

    if (selection & SEL_EXPLORER) {
        ShowStatusText(status, "Unregistering explorer");
        UnregisterDll(folder, g_explorerFiles.entries[0].szFile);
        DeleteGroupFiles(g_explorerFiles, folder, status);
    }
    if (selection & SEL_BONUS)
        DeleteGroupFiles(g_utilityFiles, folder, status);
    if (selection & SEL_CLASSIC) {
        ShowStatusText(status, "Unregistering base product");
        UnregisterInProcServer();
        DeleteGroupFiles(g_coreFiles, folder, status);
    }
    ShowStatusText(status, "Unregistering icon link");
    UnregisterDll(folder, g_commonFiles.entries[1].szFile);
    DeleteGroupFiles(g_commonFiles, folder, status);

    ShowStatusText(status, "Locating icon group");
    char groupName[CCH_LINE];
    if (ChooseProductGroup(group, groupName))
        RemoveProgramItems(folder, groupName, selection, status);

    ShowStatusText(status, "Deleting files");
    // The Windows folder or a drive's root holds the system's own INI files and logs.
    if (!IsSystemOwnedFolder(folder))
        SweepWorkingFiles(folder, owner, status);
    ShowStatusText(status, "completed");
    return 1;
}
