// Centring and the message pump.
#include "common/window_helpers.h"

#include <gtest/gtest.h>

#include "common/globals.h"

namespace {

RECT Desktop()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    return desktop;
}

HWND MakePopup(int width, int height)
{
    return CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 5, 5, width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

TEST(CenterWindow, CentresAWindowAndKeepsItsSize)
{
    RECT desktop = Desktop();
    HWND window = MakePopup(300, 201);
    ASSERT_NE(window, (HWND)NULL);
    CenterWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    int desktopWidth = desktop.right - desktop.left;
    int desktopHeight = desktop.bottom - desktop.top;
    EXPECT_EQ(rect.left, desktopWidth / 2 - 150);
    EXPECT_EQ(rect.top, desktopHeight / 2 - 100);  // halves truncate: 201 / 2 = 100
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 201);
    DestroyWindow(window);
}

TEST(CenterWindow, PutsAWindowLargerThanTheScreenAtTheOrigin)
{
    RECT desktop = Desktop();
    int desktopWidth = desktop.right - desktop.left;
    int desktopHeight = desktop.bottom - desktop.top;
    const struct {
        int width, height, left, top;
    } cases[] = {
        { desktopWidth + 200, desktopHeight + 100, 0, 0 },
        { desktopWidth + 200, 100, 0, desktopHeight / 2 - 50 },
        { 100, desktopHeight + 100, desktopWidth / 2 - 50, 0 },
    };
    for (const auto& c : cases) {
        HWND window = MakePopup(c.width, c.height);
        CenterWindow(window);
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, c.left) << c.width << "x" << c.height;
        EXPECT_EQ(rect.top, c.top) << c.width << "x" << c.height;
        EXPECT_EQ(rect.right - rect.left, c.width);
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
