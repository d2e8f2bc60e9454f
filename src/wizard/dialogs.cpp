// The wizard's dialogs and their runners; the folder question's own procedure and its picker are
// in folder_dialog.cpp.
// Owns: g_bCancelCopy; s_interfaceSelection and s_selectableInterfaces, the interfaces dialog's
// state while it is open. Changes the settings gbInstallBonusPack (interfaces dialog) and
// g_iconLocation (Icon Placement), and fills g_szDirPrompt and g_szDirEdit for the folder question.
#include "wizard/dialogs.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "install/install_sequence.h"
#include "resources/resource.h"
#include "wizard/folder_dialog.h"

BOOL g_bCancelCopy = FALSE;

namespace {

int s_interfaceSelection = 0;    // IFACE_ bits of the interface boxes checked
int s_selectableInterfaces = 0;  // IFACE_ bits whose boxes are enabled

BOOL IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, BOOL checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void SetTextFromTable(HWND dialog, int id, UINT messageId)
{
    char text[CCH_LINE];
    LoadMessage(messageId, text, sizeof(text));
    SetDlgItemTextA(dialog, id, text);
}

// --- Install or remove ---------------------------------------------------------------------------

// Removal needs what an install recorded in WIN.INI: the folder and the options.
BOOL InstallIsRecorded()
{
    char folder[CCH_LINE];
    GetProfileStringA(WININI_SECTION, "DEFDIR", "", folder, sizeof(folder));
    return folder[0] != '\0' && GetProfileIntA(WININI_SECTION, "INSTOPTS", 0) != 0;
}

INT_PTR OnModeInit(HWND dialog)
{
    CenterWindow(dialog);
    ShowWindow(GetDlgItem(dialog, IDC_MODE_TITLE), SW_HIDE);
    SetTextFromTable(dialog, IDC_MODE_INSTALL, IDS_MODE_INSTALL);
    SetTextFromTable(dialog, IDC_MODE_REMOVE, IDS_MODE_UNINSTALL);
    CheckRadioButton(dialog, IDC_MODE_INSTALL, IDC_MODE_REMOVE, IDC_MODE_INSTALL);
    EnableWindow(GetDlgItem(dialog, IDC_MODE_REMOVE), InstallIsRecorded());
    return TRUE;
}

int ChosenMode(HWND dialog)
{
    if (IsChecked(dialog, IDC_MODE_INSTALL))
        return MODE_INSTALL;
    if (IsChecked(dialog, IDC_MODE_REMOVE))
        return MODE_REMOVE;
    return MODE_EXIT;
}

INT_PTR OnModeCommand(HWND dialog, int id)
{
    if (id == IDOK)
        EndDialog(dialog, ChosenMode(dialog));
    else if (id == IDCANCEL)
        EndDialog(dialog, MODE_EXIT);
    else
        return FALSE;
    return TRUE;
}

// --- Interfaces ----------------------------------------------------------------------------------

INT_PTR OnInterfacesInit(HWND dialog)
{
    CenterWindow(dialog);
    SetChecked(dialog, IDC_IFACE_CLASSIC, (s_interfaceSelection & IFACE_CLASSIC) != 0);
    SetChecked(dialog, IDC_IFACE_EXPLORER, (s_interfaceSelection & IFACE_EXPLORER) != 0);
    SetChecked(dialog, IDC_IFACE_BONUS, gbInstallBonusPack);
    EnableWindow(GetDlgItem(dialog, IDC_IFACE_CLASSIC), (s_selectableInterfaces & IFACE_CLASSIC) != 0);
    EnableWindow(GetDlgItem(dialog, IDC_IFACE_EXPLORER), (s_selectableInterfaces & IFACE_EXPLORER) != 0);
    return TRUE;
}

// OK takes the boxes as they are; with nothing at all chosen the dialog says so and stays.
void OnInterfacesOk(HWND dialog)
{
    s_interfaceSelection = (IsChecked(dialog, IDC_IFACE_CLASSIC) ? IFACE_CLASSIC : 0)
        | (IsChecked(dialog, IDC_IFACE_EXPLORER) ? IFACE_EXPLORER : 0);
    gbInstallBonusPack = IsChecked(dialog, IDC_IFACE_BONUS);
    if (s_interfaceSelection == 0 && !gbInstallBonusPack) {
        char text[CCH_LINE];
        LoadMessage(IDS_NOTHING_SELECTED, text, sizeof(text));
        MessageBoxA(dialog, text, NULL, MB_ICONHAND);
        return;
    }
    EndDialog(dialog, s_interfaceSelection);
}

INT_PTR OnInterfacesCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        OnInterfacesOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        gbInstallBonusPack = FALSE;
        return TRUE;
    case IDC_IFACE_HELP:
        ShowInterfacesHelp(dialog);
        return TRUE;
    }
    return FALSE;
}

// --- Icon Placement --------------------------------------------------------------------------------

void OnIconPlacementInit(HWND dialog)
{
    int choice = g_iconLocation != 0 ? IDC_ICON_IN_MY_COMPUTER : IDC_ICON_ON_DESKTOP;
    CheckRadioButton(dialog, IDC_ICON_ON_DESKTOP, IDC_ICON_IN_MY_COMPUTER, choice);
    CenterWindow(dialog);
}

void OnIconPlacementCommand(HWND dialog, int id)
{
    if (id == IDOK) {
        g_iconLocation = IsChecked(dialog, IDC_ICON_IN_MY_COMPUTER) ? 1 : 0;
        EndDialog(dialog, 1);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, 0);
    }
}

}  // namespace

int AskInstallOrRemove(HWND owner, HINSTANCE instance)
{
    INT_PTR mode = DialogBoxParamA(instance, "DLG_INSTALL", owner, InstallModeDlgProc, 0);
    // A dialog that cannot be shown (-1) asks nothing: the user has not chosen to go on.
    return mode == MODE_INSTALL || mode == MODE_REMOVE ? (int)mode : MODE_EXIT;
}

INT_PTR CALLBACK InstallModeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnModeInit(dialog);
    case WM_COMMAND:
        return OnModeCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

int AskInterfaces(HWND owner, HINSTANCE instance, int nV, int nM)
{
    s_selectableInterfaces = nM;
    s_interfaceSelection = IFACE_CLASSIC | (nV & IFACE_EXPLORER);
    INT_PTR selection = DialogBoxParamA(instance, "DLG_VERS_32", owner, InterfacesDlgProc, 0);
    if (selection == -1) {
        // Not shown: as if cancelled, so that nothing is installed unasked.
        gbInstallBonusPack = FALSE;
        return 0;
    }
    return (int)selection;
}

INT_PTR CALLBACK InterfacesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInterfacesInit(dialog);
    case WM_COMMAND:
        return OnInterfacesCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

int ShowInterfacesHelp(HWND owner)
{
    DialogBoxParamA(g_hInstance, "DLG_32_HELP", owner, HelpDlgProc, 0);
    return 1;
}

// Not centred: the page opens at its template's position, relative to its owner.
INT_PTR CALLBACK HelpDlgProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_COMMAND)
        return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR CALLBACK IconPlacementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnIconPlacementInit(dialog);
        break;
    case WM_COMMAND:
        OnIconPlacementCommand(dialog, LOWORD(wParam));
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK CopyProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        // The install sequence sees it after the file being copied; the dialog stays until then.
        g_bCancelCopy = TRUE;
        return TRUE;
    }
    return FALSE;
}

int AskFolder(HWND owner, HINSTANCE instance, const char* prompt, const char* initialFolder, char* result)
{
    rt::CopyText(g_szDirPrompt, sizeof(g_szDirPrompt), prompt);
    rt::CopyText(g_szDirEdit, sizeof(g_szDirEdit), initialFolder);
    INT_PTR answer = DialogBoxParamA(instance, "DLG_GETDIR", owner, GetDirDlgProc, 0);
    if (answer != 1)
        return 0;
    rt::CopyText(result, CCH_LONG_PATH, g_szDirEdit);
    return 1;
}
