// The folder question and the folder picker behind its Browse button.
// Owns: g_szDirPrompt, g_szDirEdit, g_szBrowseName (the wizard sets the last one to "a").
//
// The picker is the classic open-file dialog with a template that hides everything but the folder
// and drive lists; the file name field holds g_szBrowseName, so the dialog's answer is that name
// in the folder where OK was pressed, and the folder is what comes before its last backslash. The
// dialog is run without OFN_NOCHANGEDIR, so the folder the user walked to becomes current.
#include "wizard/folder_dialog.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "resources/resource.h"

#include <commdlg.h>
#include <stddef.h>

char g_szDirPrompt[CCH_LONG_PATH];
char g_szDirEdit[CCH_LONG_PATH];
char g_szBrowseName[CCH_LINE];

namespace {

// Windows 95 and NT 4.0 take only the record up to the template name, 76 bytes on i386; the
// headers' OPENFILENAMEA carries the fields of Windows 2000 after it, and those systems fail a
// call that gives its size.
const DWORD OPEN_FILE_RECORD_SIZE = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || OPEN_FILE_RECORD_SIZE == 76, "the open-file record of Windows 95");

const WPARAM PICKER_COMMAND = 1280;    // posted to the picker after its commands
const char PRODUCT_SUBFOLDER[] = "\\VANTIX";

// --- The folder question --------------------------------------------------------------------

INT_PTR OnGetDirInit(HWND dialog)
{
    CenterWindow(dialog);
    SetDlgItemTextA(dialog, IDC_GETDIR_PROMPT, g_szDirPrompt);
    // No more can be typed than g_szDirEdit holds: a longer folder would be cut into another one.
    SendDlgItemMessageA(dialog, IDC_GETDIR_FOLDER, EM_LIMITTEXT, CCH_LONG_PATH - 1, 0);
    SetDlgItemTextA(dialog, IDC_GETDIR_FOLDER, g_szDirEdit);
    return TRUE;
}

void ReadFolderField(HWND dialog)
{
    g_szDirEdit[0] = '\0';
    GetDlgItemTextA(dialog, IDC_GETDIR_FOLDER, g_szDirEdit, sizeof(g_szDirEdit));
}

// The picker opens at the folder in the field; its answer replaces the field only when a folder
// was chosen. The dialog stays open either way.
INT_PTR OnBrowse(HWND dialog)
{
    ReadFolderField(dialog);
    char chosen[CCH_LONG_PATH];
    if (BrowseForFolder(dialog, g_szBrowseName, g_szDirEdit, chosen))
        SetDlgItemTextA(dialog, IDC_GETDIR_FOLDER, chosen);
    return FALSE;
}

INT_PTR OnGetDirCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        ReadFolderField(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_GETDIR_BROWSE:
        return OnBrowse(dialog);
    }
    return FALSE;
}

// --- The picker -----------------------------------------------------------------------------

// "All Files (*.*)" and "*.*", each ended by a zero, then the empty string that ends the list.
void BuildFilter(char* filter, size_t size)
{
    char caption[CCH_LINE];
    LoadMessage(IDS_ALL_FILES, caption, sizeof(caption));
    rt::FormatText(filter, size, "%s (*.*)|*.*|", caption);
    for (char* c = filter; *c != '\0'; ++c) {
        if (*c == '|')
            *c = '\0';
    }
}

BOOL NamesProduct(const char* folder)
{
    char lower[CCH_LONG_PATH];
    rt::CopyText(lower, sizeof(lower), folder);
    CharLowerA(lower);
    return rt::StrStr(lower, "vantix") != NULL;
}

void PostPickerCommand(HWND dialog, LPARAM lParam)
{
    PostMessageA(dialog, WM_COMMAND, PICKER_COMMAND, lParam);
}

void OnPickerInit(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_BROWSE_PROMPT, g_szDirPrompt);
    PostPickerCommand(dialog, 0);
}

void OnPickerCommand(HWND dialog, int id, int code)
{
    if (id >= IDOK && id <= IDABORT) {
        PostPickerCommand(dialog, 0);
    } else if (id == IDC_BROWSE_FOLDERS && code == LBN_DBLCLK) {
        PostPickerCommand(dialog, 0);
    } else if (id == IDC_BROWSE_DRIVES && code == CBN_SELCHANGE) {
        PostPickerCommand(dialog, 1);
    } else if (id == IDC_BROWSE_DRIVES && code == CBN_CLOSEUP) {
        // Closing the drive list counts as choosing the drive it shows.
        HWND drives = GetDlgItem(dialog, IDC_BROWSE_DRIVES);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_DRIVES, CBN_SELCHANGE), (LPARAM)drives);
    }
}

}  // namespace

INT_PTR CALLBACK GetDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnGetDirInit(dialog);
    case WM_COMMAND:
        return OnGetDirCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

int BrowseForFolder(HWND owner, const char* nameToPlace, const char* initialFolder, char* result)
{
    // The picker writes at most MAX_PATH characters; result has room for the product folder
    // after them.
    char picked[CCH_SHORT_PATH];
    rt::CopyText(picked, sizeof(picked), nameToPlace);
    char filter[CCH_LINE + 16];
    BuildFilter(filter, sizeof(filter));
    char title[CCH_LINE];
    LoadMessage(IDS_LOCATE, title, sizeof(title));

    OPENFILENAMEA request;
    memset(&request, 0, sizeof(request));
    request.lStructSize = OPEN_FILE_RECORD_SIZE;
    request.hwndOwner = owner;
    request.hInstance = g_hInstance;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = picked;
    request.nMaxFile = sizeof(picked);
    request.lpstrInitialDir = initialFolder;
    request.lpstrTitle = title;
    request.Flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    request.lpfnHook = BrowseHookProc;
    request.lpTemplateName = "DLG_BROWSE";
    BOOL chosen = GetOpenFileNameA(&request);
    if (!chosen)
        return 0;

    // An answer without a backslash names no folder: nothing is chosen.
    char* lastBackslash = (char*)rt::StrRChr(picked, '\\');
    if (lastBackslash == NULL)
        return 0;
    *lastBackslash = '\0';
    rt::CopyText(result, CCH_LONG_PATH, picked);
    if (rt::StrCmp(nameToPlace, "a") == 0 && !NamesProduct(picked))
        rt::AppendText(result, CCH_LONG_PATH, PRODUCT_SUBFOLDER);
    return chosen;
}

UINT_PTR CALLBACK BrowseHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    // The message number is compared in its low 16 bits only.
    switch (LOWORD(message)) {
    case WM_INITDIALOG:
        OnPickerInit(dialog);
        break;
    case WM_COMMAND:
        OnPickerCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    }
    return 0;
}
