// The dialog script on a message box of its own: a box no step expects fails the test at once,
// named, and is ended, so that the code waiting in it goes on.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>

namespace {

TEST(DialogScript, AnUnexpectedDialogFailsNamedAndIsEndedAtOnce)
{
    DWORD start = GetTickCount();
    EXPECT_NONFATAL_FAILURE({
        vxtest::DialogScript script;
        script.MessageBox("Else", IDOK);
        EXPECT_EQ(MessageBoxA(NULL, "Asked", "Tiny", MB_OKCANCEL), IDCANCEL);
    }, "unexpected dialog \"Tiny\" [");
    EXPECT_LT(GetTickCount() - start, 1500u);
}

}  // namespace
