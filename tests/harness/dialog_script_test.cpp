// The dialog script on dialogs of its own (dialog_script_test.rc): a step reads and acts, a click a
// user could not make fails, an unexpected dialog fails at once and is ended, the progress dialog
// is watched.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

std::string s_state;  // what the tiny dialog's OK or Cancel found: the edit text, the box and the second radio

INT_PTR CALLBACK TinyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    char text[64] = "";
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == 3 || LOWORD(wParam) == 5)) {
        GetDlgItemTextA(dialog, 7, text, sizeof(text));
        s_state = text + std::to_string(IsDlgButtonChecked(dialog, 4)) + std::to_string(IsDlgButtonChecked(dialog, 8)) + (LOWORD(wParam) > 2 ? "!" : "");
        if (LOWORD(wParam) <= 2)
            EndDialog(dialog, LOWORD(wParam));
    }
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

std::vector<std::string> FailuresOf(const std::function<void(vxtest::DialogScript&)>& script, INT_PTR result)
{
    ::testing::TestPartResultArray results;
    DWORD start = GetTickCount();
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        vxtest::DialogScript steps;
        script(steps);
        s_state.clear();
        EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(NULL), "TINY", NULL, TinyProc, 0), result);
    }
    EXPECT_LT(GetTickCount() - start, 1500u) << "ended at once";
    EXPECT_EQ(s_state.find('!'), std::string::npos) << "a control the user could not use was used";
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)  // each "Failed\n", then what the script said
        messages.push_back(strchr(results.GetTestPartResult(i).message(), '\n') + 1);
    return messages;
}

TEST(DialogScript, StepsReadAndActInOrder)
{
    EXPECT_EQ(FailuresOf([](vxtest::DialogScript& s) {
        s.Dialog({ IDOK, 4, 7 }, [](vxtest::DialogView& d) {
            EXPECT_EQ(d.Text(9) + std::to_string(d.Enabled(3)) + std::to_string(d.Visible(5)) + std::to_string(d.Checked(4)), "Label000");
            d.Check(4);
            d.Choose(8);
            d.Type(7, "typed");
            d.Click(IDOK);
        }, "Tiny");
    }, IDOK), std::vector<std::string>{});
    EXPECT_EQ(s_state, "typed11");
    vxtest::DialogScript script;
    script.MessageBox("Done?", IDCANCEL, "Tiny");
    EXPECT_EQ(MessageBoxA(NULL, "Done?", "Tiny", MB_OKCANCEL), IDCANCEL);
}

TEST(DialogScript, FailuresNameTheDialogAndEndItAtOnce)
{
    const std::string tiny = "\"Tiny\" [1 3 4 5 6 8 7 9] \"Label\"";
    const struct {
        std::function<void(vxtest::DialogScript&)> script;
        INT_PTR result;
        std::vector<std::string> failures;
    } cases[] = {
        { [](vxtest::DialogScript& s) { s.Dialog({ IDOK }, [](vxtest::DialogView& d) { d.Click(3); d.Click(5); d.Click(42); d.Click(IDOK); }); },
            IDOK, { "cannot click 3 in " + tiny + ": the control is disabled", "cannot click 5 in " + tiny + ": the control is hidden",
                    "cannot click 42 in " + tiny + ": it has no control" } },
        { [](vxtest::DialogScript& s) { s.MessageBox("Else", IDOK); }, IDCANCEL, { "unexpected dialog " + tiny + "; step 1 expects a message box \"Else\"" } },
        { [](vxtest::DialogScript& s) { s.Timeout(300).Dialog({ IDOK }, [](vxtest::DialogView& d) { d.Check(4); }); },
            IDCANCEL, { "no step answered within 300 ms: " + tiny } },
        { [](vxtest::DialogScript& s) { s.NoWindow(); }, IDCANCEL, { "a window of the installer appeared: " + tiny } },
        { [](vxtest::DialogScript&) {}, IDCANCEL, { "a dialog after the last step: " + tiny } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(FailuresOf(c.script, c.result), c.failures);
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
