// The wizard driver. The install and removal flows are not built yet: the wizard ends at once,
// as when the user leaves at the first question.
// Owns: nothing process-wide yet.
#include "wizard/wizard.h"

int RunSetupWizard(HWND, int, int)
{
    return 0;
}
