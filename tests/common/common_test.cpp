// Common services: the installer's own runtime, texts, centring and the message pump.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "harness/wine_env.h"
#include "resources/resource.h"

namespace {

// The runtime reads the environment once, at its first look: this is set before main.
vxtest::EnvironmentScope s_probe("VX_RUNTIME_PROBE", "Windows_NT");

TEST(Runtime, FormattingAgreesWithTheCRuntimeAndCutsToItsBuffer)
{
    const std::pair<const char*, int> numbers[] = { { "n=%d", -42 }, { "%u", -1 }, { "%x/%X", 48879 }, { "[%-5d]", 42 }, { "[%05d]", -42 }, { "100%%", 0 } };
    char ours[64], theirs[64], cut[8];
    for (const auto& c : numbers) {
        rt::FormatText(ours, sizeof(ours), c.first, c.second, c.second);
        snprintf(theirs, sizeof(theirs), c.first, c.second, c.second);
        EXPECT_STREQ(ours, theirs) << c.first;
    }
    rt::FormatText(ours, sizeof(ours), "<%8s|%-4s|%.3s>", "ab", "c", "abcdef");
    EXPECT_STREQ(ours, "<      ab|c   |abc>");
    EXPECT_EQ(rt::FormatText(cut, sizeof(cut), "%s-%u", "abcdef", 123456u), 7);
    EXPECT_STREQ(cut, "abcdef-");
    EXPECT_STREQ(rt::getenv("vx_runtime_probe"), "Windows_NT");
    EXPECT_EQ(rt::getenv("VX_RUNTIME"), nullptr) << "a whole name only";
}

TEST(Messages, LoadMessageCutsFallsBackAndInsertsFill)
{
    g_hInstance = GetModuleHandleA(NULL);
    const struct { UINT id; int size, result; const char* text; } cases[] = {
        { IDS_INSTALL_SUCCEEDED, 16, 1, "Installation su" }, { 4242, 256, 0, "4242 DEBUG - Unable to load string" },
        { 4242, 1, 0, "" }, { IDS_INSTALL_CAPTION, 0, 0, "untouched" } };
    for (const auto& c : cases) {
        char text[256] = "untouched";
        EXPECT_EQ(LoadMessage(c.id, text, c.size), c.result) << c.id << " in " << c.size;
        EXPECT_STREQ(text, c.text) << c.id << " in " << c.size;
    }
    char pattern[256], text[CCH_INSERTS];
    LoadMessage(IDS_FOLDER_CREATION_FAILED, pattern, sizeof(pattern));
    FormatInserts(text, pattern, "Q:\\missing", 4294967295u);
    EXPECT_STREQ(text, "Creation of Q:\\missing failed. (4294967295)");
}

// Halves truncate (201 / 2 = 100); a side larger than the screen's puts the window at 0 there.
TEST(WindowHelpers, CenterWindowKeepsTheSizeAndNeverGoesBelowZeroAndPumpMessagesReturns)
{
    RECT desktop, rect;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int w = desktop.right - desktop.left, h = desktop.bottom - desktop.top;
    const std::vector<int> cases[] = { { 300, 201, w / 2 - 150, h / 2 - 100 }, { w + 200, 101, 0, h / 2 - 50 }, { 101, h + 100, w / 2 - 50, 0 } };
    for (const auto& c : cases) {  // width, height, then the left and top expected
        HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 5, 5, c[0], c[1], NULL, NULL, NULL, NULL);
        CenterWindow(window);
        GetWindowRect(window, &rect);
        EXPECT_EQ(std::vector<int>({ rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top }), c);
        DestroyWindow(window);
    }
    PostQuitMessage(3);  // taken like any other message, and not posted again
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    EXPECT_EQ(PumpMessages(), 1);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, NULL, 0, 0, PM_REMOVE));
}

}  // namespace
