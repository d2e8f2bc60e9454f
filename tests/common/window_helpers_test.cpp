// Centring and the message pump.
#include "common/window_helpers.h"

#include <gtest/gtest.h>

#include "common/globals.h"

namespace {

// Halves truncate (201 / 2 = 100); a side larger than the screen's puts the window at 0 there.
TEST(CenterWindow, CentresAndKeepsTheSizeButNeverGoesBelowZero)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int width = desktop.right - desktop.left;
    const int height = desktop.bottom - desktop.top;
    const struct {
        int width, height, left, top;
    } cases[] = {
        { 300, 201, width / 2 - 150, height / 2 - 100 },
        { width + 200, height + 100, 0, 0 },
        { width + 200, 100, 0, height / 2 - 50 },
        { 100, height + 100, width / 2 - 50, 0 },
    };
    for (const auto& c : cases) {
        HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 5, 5, c.width, c.height, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(window, (HWND)NULL);
        RECT before, rect;
        GetWindowRect(window, &before);
        CenterWindow(window);
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, c.left) << c.width << "x" << c.height;
        EXPECT_EQ(rect.top, c.top) << c.width << "x" << c.height;
        EXPECT_EQ(rect.right - rect.left, before.right - before.left);
        EXPECT_EQ(rect.bottom - rect.top, before.bottom - before.top);
        DestroyWindow(window);
    }
}

TEST(PumpMessages, ReturnsAtOnceOnAnEmptyQueueAndDispatchesPendingOnes)
{
    MSG stale;
    while (PeekMessageA(&stale, NULL, 0, 0, PM_REMOVE)) {
    }
    DWORD start = GetTickCount();
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_LT(GetTickCount() - start, 500u);

    // A posted quit message is taken like any other and not posted again.
    PostQuitMessage(3);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    EXPECT_EQ(PumpMessages(), 1);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, NULL, 0, 0, PM_REMOVE));
}

}  // namespace
