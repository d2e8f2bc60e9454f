// The Program Manager client in a session where nothing answers "PROGMAN": Wine without any
// display, in a prefix of its own (this program's ctest entry arranges both). The client instance
// still starts there; each command must then fail on its own, quickly, and without harm.
#include "progman/progman.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"

namespace {

TEST(NoProgramManager, TheSessionReallyHasNoDisplay)
{
    HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    EXPECT_EQ(window, (HWND)NULL) << "this test must run without a display";
    if (window != NULL)
        DestroyWindow(window);
}

TEST(NoProgramManager, InstanceStartsButEveryCommandFailsQuietlyWithinTheTimeout)
{
    DWORD start = GetTickCount();
    ASSERT_EQ(ProgmanCreateGroup("VANTIX Pro"), 1);
    EXPECT_TRUE(g_bDdeReady);
    DWORD one = GetTickCount();
    EXPECT_EQ(ProgmanExecute(g_ddeInstance, "[CreateGroup(VANTIX Pro)]"), 0);
    EXPECT_LT(GetTickCount() - one, 1500u);
    EXPECT_EQ(ProgmanAddItem("VANTIX Pro Help", "C:\\windows", "notepad.exe", ""), 1);
    EXPECT_EQ(ProgmanClose(), 1);
    ASSERT_EQ(ProgmanOpen(), 1);
    EXPECT_EQ(ProgmanDeleteItem("VANTIX Pro Help", "", "", ""), 1);
    EXPECT_EQ(ProgmanCloseDeletingGroup("VANTIX Pro"), 1);
    // Six commands went out; none may wait longer than its one second.
    EXPECT_LT(GetTickCount() - start, 6 * 1000u);

    char programs[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, programs), S_OK);
    EXPECT_FALSE(vxtest::FolderExists(vxtest::JoinPath(programs, "VANTIX Pro")));
}

}  // namespace
