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
#include "install/records.h"
#include "resources/resource.h"
#include "uninstall/file_removal.h"
#include "uninstall/removal_steps.h"

namespace {

const DWORD EVERY_COMPONENT = SEL_CLASSIC | SEL_EXPLORER | SEL_BONUS;
const char STATUS_TITLE[] = "Removal process";

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

// A folder of the system is never removed; one that is gone already counts as removed. Not
// inlined: the compiler would copy every step after it into each outcome.
__attribute__((noinline)) BOOL RemoveFolder(const char* folder, BOOL systemOwned)
{
    return !systemOwned && (RemoveDirectoryA(folder) || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES);
}

}  // namespace

int ShowRemovalMessage(HWND owner, UINT textId, const char* folder, UINT captionId, UINT style)
{
    char pattern[CCH_LINE];
    char text[CCH_LINE + CCH_LONG_PATH];
    char caption[CCH_LINE];
    LoadMessage(textId, pattern, sizeof(pattern));
    rt::FormatText(text, sizeof(text), pattern, folder);
    LoadMessage(captionId, caption, sizeof(caption));
    return MessageBoxA(owner, text, caption, style);
}

int UninstallProduct(HWND owner, int, int)
{
    // One character more than a folder may have, so that a cut value shows: a cut path would
    // name another folder.
    char folder[CCH_LONG_PATH + 1];
    DWORD length = GetProfileStringA(WININI_SECTION, "DIR", "", folder, sizeof(folder));
    if (length == 0 || length >= CCH_LONG_PATH || GetProfileIntA(WININI_SECTION, "INSTOPTS", 0) == 0) {
        ShowRemovalMessage(owner, IDS_REMOVAL_IMPOSSIBLE, "", IDS_REMOVE_CAPTION, MB_ICONINFORMATION);
        return 0;
    }
    return RemoveInstalledProduct(owner, folder, folder, NULL, TRUE);
}

int RemoveInstalledProduct(HWND owner, const char* filesFolder, const char* folder, const char* group, BOOL forgetRecords)
{
    HWND dialog = OpenStatusDialog(owner);
    RemoveProduct(filesFolder, group, EVERY_COMPONENT, owner, GetDlgItem(dialog, IDC_COPY_STATUS));
    BOOL systemOwned = IsSystemOwnedFolder(folder);
    BOOL removed = RemoveFolder(folder, systemOwned);
    SetActiveWindow(owner);
    DestroyWindow(dialog);
    if (forgetRecords)
        WriteProfileStringA(WININI_SECTION, NULL, NULL);

    UINT text = IDS_REMOVAL_COMPLETE;
    UINT caption = IDS_REMOVE_CAPTION;
    UINT style = MB_ICONINFORMATION;
    if (!removed && g_bRebootNeeded) {
        // rmdir removes only an empty folder: a folder that a new install filled meanwhile stays.
        if (!systemOwned)
            ScheduleFolderRemoval(folder);
        text = IDS_RESTART_AFTER_UNINSTALL;
        caption = IDS_CONGRATULATIONS;
        style = MB_SYSTEMMODAL | MB_OKCANCEL;
    } else if (!removed) {
        text = IDS_REMOVAL_INCOMPLETE;
    }
    // Only the restart prompt has a Cancel: it declines the restart, which OK leaves to the caller.
    if (ShowRemovalMessage(owner, text, folder, caption, style) == IDCANCEL)
        g_bRebootNeeded = FALSE;
    return 0;
}
