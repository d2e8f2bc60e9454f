// The dialog script on dialogs of its own (dialog_script_test.rc): a step reads and acts, a click on
// a control a user could not click fails, and an unexpected dialog fails at once and is ended.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

std::string s_typed;
bool s_boxChecked = false, s_twoChosen = false, s_offPressed = false;

INT_PTR CALLBACK TinyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND)
        return message == WM_INITDIALOG;
    if (LOWORD(wParam) == 3 || LOWORD(wParam) == 5)
        s_offPressed = true;
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        char text[64];
        GetDlgItemTextA(dialog, 7, text, sizeof(text));
        s_typed = text;
        s_boxChecked = IsDlgButtonChecked(dialog, 4) == BST_CHECKED;
        s_twoChosen = IsDlgButtonChecked(dialog, 8) == BST_CHECKED;
        EndDialog(dialog, LOWORD(wParam));
    }
    return TRUE;
}

INT_PTR ShowTiny()
{
    return DialogBoxParamA(GetModuleHandleA(NULL), "TINY", NULL, TinyProc, 0);
}

// The failures the statement reports, caught instead of failing this test.
template <typename F>
std::vector<std::string> FailuresOf(F statement)
{
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        statement();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)
        messages.push_back(results.GetTestPartResult(i).message());
    return messages;
}

TEST(DialogScript, StepsReadAndActInOrder)
{
    vxtest::DialogScript script;
    script.Dialog({ IDOK, 4, 7 }, [](vxtest::DialogView& d) {
        EXPECT_EQ(d.Caption(), "Tiny");
        EXPECT_EQ(d.Text(9), "Label");
        EXPECT_FALSE(d.Enabled(3));
        EXPECT_FALSE(d.Visible(5));
        EXPECT_FALSE(d.Checked(4));
        d.Check(4);
        d.Choose(8);
        d.Type(7, "typed");
        d.Click(IDOK);
    }, "Tiny");
    script.MessageBox("Done?", IDCANCEL, "Tiny");
    EXPECT_EQ(ShowTiny(), IDOK);
    EXPECT_EQ(MessageBoxA(NULL, "Done?", "Tiny", MB_OKCANCEL), IDCANCEL);
    script.Finish();
    EXPECT_EQ(s_typed, "typed");
    EXPECT_TRUE(s_boxChecked);
    EXPECT_TRUE(s_twoChosen);
}

TEST(DialogScript, AClickOnADisabledHiddenOrMissingControlFails)
{
    s_offPressed = false;
    std::vector<std::string> failures = FailuresOf([] {
        vxtest::DialogScript script;
        script.Dialog({ IDOK }, [](vxtest::DialogView& d) {
            d.Click(3);
            d.Click(5);
            d.Click(42);
            d.Click(IDOK);
        });
        EXPECT_EQ(ShowTiny(), IDOK);
    });
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_NE(failures[0].find("cannot click 3 in \"Tiny\" [1 3 4 5 6 8 7 9] \"Label\": the control is disabled"), std::string::npos) << failures[0];
    EXPECT_NE(failures[1].find("the control is hidden"), std::string::npos) << failures[1];
    EXPECT_NE(failures[2].find("it has no control"), std::string::npos) << failures[2];
    EXPECT_FALSE(s_offPressed);
}

TEST(DialogScript, AnUnexpectedDialogFailsAtOnceAndIsEnded)
{
    DWORD start = GetTickCount();
    INT_PTR result = 0;
    std::vector<std::string> failures = FailuresOf([&] {
        vxtest::DialogScript script;
        script.MessageBox("Something else", IDOK);
        result = ShowTiny();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_LT(GetTickCount() - start, 1000u);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("unexpected dialog \"Tiny\" [1 3 4 5 6 8 7 9] \"Label\"; step 1 expects a message box \"Something else\""),
        std::string::npos) << failures[0];
}

TEST(DialogScript, AStepThatLeavesItsDialogOpenTimesOut)
{
    std::vector<std::string> failures = FailuresOf([] {
        vxtest::DialogScript script;
        script.Timeout(300).Dialog({ IDOK }, [](vxtest::DialogView& d) { d.Check(4); });
        EXPECT_EQ(ShowTiny(), IDCANCEL);
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("no step answered within 300 ms: \"Tiny\""), std::string::npos) << failures[0];
}

TEST(DialogScript, NoWindowFailsTheMomentOneIsShown)
{
    std::vector<std::string> failures = FailuresOf([] {
        vxtest::DialogScript script;
        script.NoWindow();
        MessageBoxA(NULL, "Shown", "Silent?", MB_OK);
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("a window of the installer appeared: \"Silent?\""), std::string::npos) << failures[0];
}

TEST(DialogScript, TheProgressDialogIsWatchedNotAnswered)
{
    vxtest::DialogScript script;
    script.MessageBox("Asked during the copy", IDOK);
    HWND progress = CreateDialogParamA(GetModuleHandleA(NULL), "PROGRESS", NULL, TinyProc, 0);
    for (const char* text : { "Copying one", "Copying two" }) {
        SetDlgItemTextA(progress, 954, text);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 100;) {
            MSG message;
            while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        }
    }
    EXPECT_EQ(MessageBoxA(NULL, "Asked during the copy", "Tiny", MB_OK), IDOK);
    script.Finish();
    DestroyWindow(progress);
    EXPECT_EQ(script.ProgressTexts(), (std::vector<std::string>{ "Copying one", "Copying two" }));
}

}  // namespace
