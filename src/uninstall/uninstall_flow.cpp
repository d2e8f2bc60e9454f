// The removal mode (see uninstall_flow.h): the record check, the status dialog without Cancel,
// the removal steps for every component, the WIN.INI records, the folder, and the closing
// message or the restart prompt. The restart itself is the caller's, after the flow returns.
// Owns: nothing process-wide; clears g_bRebootNeeded when the user declines the restart.
#include "uninstall/uninstall_flow.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "install/install_sequence.h"
#include "resources/resource.h"
#include "uninstall/file_removal.h"
#include "uninstall/removal_steps.h"

namespace {

const DWORD EVERY_COMPONENT = SEL_CLASSIC | SEL_EXPLORER | SEL_BONUS;
const char STATUS_TITLE[] = "Removal process";

void ShowOutcome(HWND owner, const char* text)
{
    char caption[CCH_LINE];
    LoadMessage(IDS_REMOVE_CAPTION, caption, sizeof(caption));
    MessageBoxA(owner, text, caption, MB_ICONINFORMATION);
}

void ShowMessage(HWND owner, UINT id)
{
    char text[CCH_LINE];
    LoadMessage(id, text, sizeof(text));
    ShowOutcome(owner, text);
}

// The folder named in the "not cleaned up" text, whole.
void ShowFolderLeft(HWND owner, const char* folder)
{
    char pattern[CCH_LINE];
    char text[CCH_LINE + CCH_LONG_PATH];
    LoadMessage(IDS_REMOVAL_INCOMPLETE, pattern, sizeof(pattern));
    rt::FormatText(text, sizeof(text), pattern, folder);
    ShowOutcome(owner, text);
}

// OK keeps g_bRebootNeeded for the restart after the flow; Cancel clears it.
void OfferRestart(HWND owner)
{
    char text[CCH_LINE];
    char caption[CCH_LINE];
    LoadMessage(IDS_RESTART_AFTER_UNINSTALL, text, sizeof(text));
    LoadMessage(IDS_CONGRATULATIONS, caption, sizeof(caption));
    if (MessageBoxA(owner, text, caption, MB_SYSTEMMODAL | MB_OKCANCEL) == IDCANCEL)
        g_bRebootNeeded = FALSE;
}

INT_PTR CALLBACK RemovalStatusDlgProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CenterWindow(dialog);
    return TRUE;
}

// The copy-progress dialog as a status window: retitled, its Cancel button gone, as nothing
// stops a removal halfway.
HWND OpenStatusDialog(HWND owner)
{
    HWND dialog = CreateDialogParamA(g_hInstance, "DLG_COPY", owner, RemovalStatusDlgProc, 0);
    if (dialog == NULL)
        return NULL;
    SetWindowTextA(dialog, STATUS_TITLE);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel != NULL) {
        EnableWindow(cancel, FALSE);
        ShowWindow(cancel, SW_HIDE);
    }
    UpdateWindow(dialog);
    return dialog;
}

BOOL RemoveFolder(const char* folder)
{
    if (IsSystemOwnedFolder(folder))
        return FALSE;
    // A folder that is gone already counts as removed.
    return RemoveDirectoryA(folder) || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES;
}

// TRUE when WIN.INI records no folder, or filesFolder.
BOOL RecordsName(const char* filesFolder)
{
    char recorded[CCH_LONG_PATH];
    GetProfileStringA(WININI_SECTION, "DIR", "", recorded, sizeof(recorded));
    return recorded[0] == '\0' || rt::_stricmp(recorded, filesFolder) == 0;
}

}  // namespace

int UninstallProduct(HWND owner, int, int)
{
    // One character more than a folder may have, so that a cut value shows: a cut path would
    // name another folder.
    char folder[CCH_LONG_PATH + 1];
    DWORD length = GetProfileStringA(WININI_SECTION, "DIR", "", folder, sizeof(folder));
    if (length == 0 || length >= CCH_LONG_PATH || GetProfileIntA(WININI_SECTION, "INSTOPTS", 0) == 0) {
        ShowMessage(owner, IDS_REMOVAL_IMPOSSIBLE);
        return 0;
    }
    return RemoveInstalledProduct(owner, folder, folder, NULL);
}

int RemoveInstalledProduct(HWND owner, const char* filesFolder, const char* folder, const char* group)
{
    HWND dialog = OpenStatusDialog(owner);
    HWND status = dialog != NULL ? GetDlgItem(dialog, IDC_COPY_STATUS) : NULL;
    BOOL removed = RemoveProduct(filesFolder, group, EVERY_COMPONENT, owner, status) && RemoveFolder(folder);
    SetActiveWindow(owner);
    if (dialog != NULL)
        DestroyWindow(dialog);

    if (RecordsName(filesFolder))
        WriteProfileStringA(WININI_SECTION, NULL, NULL);
    if (removed) {
        ShowMessage(owner, IDS_REMOVAL_COMPLETE);
    } else if (g_bRebootNeeded) {
        // rmdir removes only an empty folder: a folder that a new install filled meanwhile stays.
        if (!IsSystemOwnedFolder(folder))
            ScheduleFolderRemoval(folder);
        OfferRestart(owner);
    } else {
        ShowFolderLeft(owner, folder);
    }
    return 0;
}
