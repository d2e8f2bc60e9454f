// The wizard's questions, answered as their dialogs propose: the dialogs themselves are not
// built yet, so an interactive run takes every default answer, like a user who presses Enter at
// each question.
// Owns: g_bCancelCopy (set by the copy-progress dialog's Cancel; never set while there is none).
//
// Known gaps: removal is never chosen (the mode dialog proposes Install); the folder question
// accepts the proposed folder once and is then cancelled, as nothing else could be entered.
#include "wizard/dialogs.h"
#include "common/globals.h"
#include "common/runtime.h"

BOOL g_bCancelCopy = FALSE;

namespace {

BOOL s_folderProposed = FALSE;

}  // namespace

int AskInstallOrRemove(HWND, HINSTANCE)
{
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
