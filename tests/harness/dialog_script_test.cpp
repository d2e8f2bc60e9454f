// The dialog script on dialogs of its own (dialog_script_test.rc): a step reads and acts, a click a
// user could not make fails, an unexpected dialog fails at once and is ended, and the progress
// dialog is watched.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

std::string s_typed;
bool s_boxChecked = false, s_twoChosen = false, s_offPressed = false;

INT_PTR CALLBACK TinyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == 3 || LOWORD(wParam) == 5))
        s_offPressed = true;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        char text[64];
        GetDlgItemTextA(dialog, 7, text, sizeof(text));
        s_typed = text;
        s_boxChecked = IsDlgButtonChecked(dialog, 4);
        s_twoChosen = IsDlgButtonChecked(dialog, 8);
        EndDialog(dialog, LOWORD(wParam));
    }
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

INT_PTR ShowTiny()
{
    return DialogBoxParamA(GetModuleHandleA(NULL), "TINY", NULL, TinyProc, 0);
}

// The failures statement reports, caught instead of failing this test.
std::vector<std::string> FailuresOf(const std::function<void()>& statement)
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
    EXPECT_TRUE(s_boxChecked && s_twoChosen);
}

TEST(DialogScript, FailuresNameTheDialogAndEndItAtOnce)
{
    const struct {
        std::function<void(vxtest::DialogScript&)> script;
        INT_PTR result;
        std::vector<std::string> failures;
    } cases[] = {
        { [](vxtest::DialogScript& s) { s.Dialog({ IDOK }, [](vxtest::DialogView& d) { d.Click(3); d.Click(5); d.Click(42); d.Click(IDOK); }); },
            IDOK, { "cannot click 3 in \"Tiny\" [1 3 4 5 6 8 7 9] \"Label\": the control is disabled", "cannot click 5 in", "cannot click 42 in" } },
        { [](vxtest::DialogScript& s) { s.MessageBox("Something else", IDOK); },
            IDCANCEL, { "unexpected dialog \"Tiny\" [1 3 4 5 6 8 7 9] \"Label\"; step 1 expects a message box \"Something else\"" } },
        { [](vxtest::DialogScript& s) { s.Timeout(300).Dialog({ IDOK }, [](vxtest::DialogView& d) { d.Check(4); }); },
            IDCANCEL, { "no step answered within 300 ms: \"Tiny\"" } },
        { [](vxtest::DialogScript& s) { s.NoWindow(); }, IDCANCEL, { "a window of the installer appeared: \"Tiny\"" } },
        { [](vxtest::DialogScript&) {}, IDCANCEL, { "a dialog after the last step: \"Tiny\"" } },
    };
    for (const auto& c : cases) {
        s_offPressed = false;
        INT_PTR result = 0;
        DWORD start = GetTickCount();
        std::vector<std::string> failures = FailuresOf([&] {
            vxtest::DialogScript script;
            c.script(script);
            result = ShowTiny();
        });
        EXPECT_EQ(result, c.result) << c.failures[0];
        EXPECT_LT(GetTickCount() - start, 1500u) << c.failures[0];
        EXPECT_FALSE(s_offPressed);
        ASSERT_EQ(failures.size(), c.failures.size()) << c.failures[0];
        for (size_t i = 0; i < failures.size(); ++i)
            EXPECT_NE(failures[i].find(c.failures[i]), std::string::npos) << failures[i];
    }
}

TEST(DialogScript, TheProgressDialogIsWatchedNotAnswered)
{
    vxtest::DialogScript script;
    script.MessageBox("Asked during the copy", IDOK);
    HWND progress = CreateDialogParamA(GetModuleHandleA(NULL), "PROGRESS", NULL, TinyProc, 0);
    for (const char* text : { "Copying one", "Copying two" }) {
        SetDlgItemTextA(progress, 954, text);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 100;) {
            for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
                DispatchMessageA(&message);
        }
    }
    EXPECT_EQ(MessageBoxA(NULL, "Asked during the copy", "Tiny", MB_OK), IDOK);
    script.Finish();
    DestroyWindow(progress);
    EXPECT_EQ(script.ProgressTexts(), (std::vector<std::string>{ "Copying one", "Copying two" }));
}

}  // namespace
