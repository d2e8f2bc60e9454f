// The program items and the program group, removed over DDE (see group_removal.h).
// Owns: nothing process-wide; starts and ends the DDE client instance of the progman client.
#include "uninstall/group_removal.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "install/install_sequence.h"
#include "install/records.h"
#include "payload/catalogue.h"
#include "progman/progman.h"

namespace {

void DeleteGroupItems(const FILE_GROUP& group, const char* folder, HWND status)
{
    for (int i = 0; i < group.count; ++i) {
        const FILE_ENTRY& entry = group.entries[i];
        if (!entry.bIcon)
            continue;
        char text[CCH_LONG_PATH];
        rt::FormatText(text, sizeof(text), "Deleting icon %s", entry.szIconTitle);
        ShowStatusText(status, text);
        ProgmanDeleteItem(entry.szIconTitle, folder, entry.szFile, "");
    }
}

}  // namespace

BOOL ChooseProductGroup(const char* group, char* name)
{
    if (group != NULL)
        rt::CopyText(name, CCH_LINE, group);
    else
        GetProfileStringA(WININI_SECTION, "GROUP", DEFAULT_GROUP_NAME, name, CCH_LINE);
    if (name[0] == '\0')
        return FALSE;
    // A name that fills the buffer may have been cut, and would name another group.
    if (rt::StrLen(name) >= CCH_LINE - 1)
        name[0] = '\0';
    ProgmanMakeGroupNameSafe(name, "GROUP");
    return TRUE;
}

void RemoveProgramItems(const char* folder, const char* group, DWORD selection, HWND status)
{
    ProgmanOpen();
    if (ProgmanShowGroup(group)) {
        if (selection & SEL_EXPLORER) {
            ProgmanDeleteItem(EXPLORER_ITEM_TITLE, folder, "", EXPLORER_ITEM_COMMAND);
            DeleteGroupItems(g_explorerFiles, folder, status);
        }
        if (selection & SEL_BONUS)
            DeleteGroupItems(g_utilityFiles, folder, status);
        if (selection & SEL_CLASSIC)
            DeleteGroupItems(g_coreFiles, folder, status);
        DeleteGroupItems(g_commonFiles, folder, status);
    }
    ShowStatusText(status, "Closing icon deletion");
    ProgmanCloseDeletingGroup(group);
}
