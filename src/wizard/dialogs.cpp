// The wizard's questions, answered as their dialogs propose: the dialogs themselves are not
// built yet, so an interactive run takes every default answer, like a user who presses Enter at
// each question.
// Owns: g_bCancelCopy (set by the copy-progress dialog's Cancel; never set while there is none).
//
// Known gaps: removal is never chosen (the mode dialog proposes Install); within one run of the
// wizard the folder question accepts the proposed folder once and, if that folder is refused, is
// then cancelled, as nothing else could be entered.
#include "wizard/dialogs.h"
#include "common/globals.h"
#include "common/runtime.h"

BOOL g_bCancelCopy = FALSE;

namespace {

BOOL s_folderProposed = FALSE;  // the folder question was answered in this run of the wizard

}  // namespace

int AskInstallOrRemove(HWND, HINSTANCE)
{
    // The first question of every interactive run: the ones after it are asked afresh.
    s_folderProposed = FALSE;
    return 1;
}

int AskFolder(HWND, HINSTANCE, const char*, const char* initialFolder, char* result)
{
    if (s_folderProposed)
        return 0;
    s_folderProposed = TRUE;
    if (result != initialFolder)
        rt::CopyText(result, CCH_LONG_PATH, initialFolder);
    return 1;
}

int AskInterfaces(HWND, HINSTANCE, int nV, int)
{
    // The classic box starts checked whatever nV holds; Explorer follows nV.
    return IFACE_CLASSIC | (nV & IFACE_EXPLORER);
}
