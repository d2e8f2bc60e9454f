// The dialog script on a message box of its own: a box no step expects fails the test at once,
// named, and is ended, so that the code waiting in it goes on.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>

namespace {

TEST(DialogScript, AnUnexpectedDialogFailsNamedAndIsEndedAtOnce)
{
    ::testing::TestPartResultArray results;
    DWORD start = GetTickCount();
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        vxtest::DialogScript script;
        script.MessageBox("Else", IDOK);
        EXPECT_EQ(MessageBoxA(NULL, "Asked", "Tiny", MB_OKCANCEL), IDCANCEL);
    }
    EXPECT_LT(GetTickCount() - start, 1500u);
    ASSERT_EQ(results.size(), 1);
    const char* failure = results.GetTestPartResult(0).message();
    EXPECT_PRED_FORMAT2(::testing::IsSubstring, "unexpected dialog \"Tiny\" [", failure);
    EXPECT_PRED_FORMAT2(::testing::IsSubstring, "step 1 expects a message box \"Else\"", failure);
}

}  // namespace
