// The program items and the program group, removed over DDE (see group_removal.h).
// Owns: nothing process-wide; starts and ends the DDE client instance of the progman client.
#include "uninstall/group_removal.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/setup_log.h"
#include "install/install_sequence.h"
#include "payload/catalogue.h"
#include "progman/progman.h"
#include "uninstall/removal_steps.h"

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
    // One character more than a name may have, so that a cut name shows.
    char read[CCH_LINE + 1];
    if (group != NULL)
        rt::CopyText(read, sizeof(read), group);
    else
        GetProfileStringA(WININI_SECTION, "GROUP", DEFAULT_GROUP_NAME, read, sizeof(read));
    if (read[0] == '\0')
        return FALSE;
    if (rt::StrLen(read) < CCH_LINE && ProgmanNameIsSafe(read)) {
        rt::CopyText(name, CCH_LINE, read);
        return TRUE;
    }
    char line[CCH_LOG_LINE];
    rt::FormatText(line, sizeof(line), "GROUP=\"%s\" cannot be sent to Program Manager; using \"%s\"", read,
        DEFAULT_GROUP_NAME);
    WriteLogLine(line);
    rt::CopyText(name, CCH_LINE, DEFAULT_GROUP_NAME);
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
