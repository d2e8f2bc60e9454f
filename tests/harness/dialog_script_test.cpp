// The dialog script on message boxes of its own: a step answers, and anything else fails at once,
// named, with the box ended.
#include "harness/dialog_script.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

// What the script reported about a box "Asked" (OK, Cancel) shown while it plays.
std::vector<std::string> FailuresOf(const std::function<void(vxtest::DialogScript&)>& script, int result)
{
    ::testing::TestPartResultArray results;
    DWORD start = GetTickCount();
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        vxtest::DialogScript steps;
        script(steps);
        if (result != 0) {
            EXPECT_EQ(MessageBoxA(NULL, "Asked", "Tiny", MB_OKCANCEL), result);
        }
    }
    EXPECT_LT(GetTickCount() - start, 1500u) << "ended at once";
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)  // each "Failed\n", then what the script said
        messages.push_back(strchr(results.GetTestPartResult(i).message(), '\n') + 1);
    return messages;
}

TEST(DialogScript, AStepAnswersAndAnythingElseFailsNamedAndEndedAtOnce)
{
    const struct {
        std::function<void(vxtest::DialogScript&)> script;
        int result;
        std::string failure;  // its start; "" for none
    } cases[] = {
        { [](vxtest::DialogScript& s) { s.MessageBox("Asked", IDOK, "Tiny"); }, IDOK, "" },
        { [](vxtest::DialogScript& s) { s.Dialog({ 0xFFFF }, [](vxtest::DialogView& d) { d.Click(42); d.Click(IDOK); }); }, IDOK,
            "cannot click 42 in \"Tiny\" [" },
        { [](vxtest::DialogScript& s) { s.MessageBox("Else", IDOK); }, IDCANCEL, "unexpected dialog \"Tiny\" [" },
        { [](vxtest::DialogScript& s) { s.Timeout(300).Dialog({ 0xFFFF }, [](vxtest::DialogView&) {}); }, IDCANCEL,
            "no step answered within 300 ms: \"Tiny\" [" },
        { [](vxtest::DialogScript& s) { s.NoWindow(); }, IDCANCEL, "a window of the installer appeared: \"Tiny\" [" },
        { [](vxtest::DialogScript&) {}, IDCANCEL, "a dialog after the last step: \"Tiny\" [" },
        { [](vxtest::DialogScript& s) { s.MessageBox("Never", IDOK); }, 0, "step 1 of 1 never came: a message box \"Never\"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        std::vector<std::string> failures = FailuresOf(c.script, c.result);
        ASSERT_EQ(failures.size(), c.failure.empty() ? 0u : 1u) << (failures.empty() ? "" : failures[0]);
        if (!c.failure.empty()) {
            EXPECT_EQ(failures[0].substr(0, c.failure.size()), c.failure);
            EXPECT_TRUE(c.result == 0 || failures[0].find("\"Asked") != std::string::npos) << failures[0];
        }
    }
}

}  // namespace
