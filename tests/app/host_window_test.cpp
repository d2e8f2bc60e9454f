// The host window: its class and style, what it paints where, and the temporary files it
// removes at the end of a run.
#include "app/host_window.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"

namespace {

COLORREF BitmapPixel(const char* name, int x, int y, SIZE* size)
{
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), name);
    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);
    size->cx = info.bmWidth;
    size->cy = info.bmHeight;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    COLORREF colour = GetPixel(memory, x, y);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    DeleteObject(bitmap);
    return colour;
}

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(NULL);
        g_bSilent = FALSE;
        UnregisterClassA(HOST_WINDOW_CLASS, g_hInstance);
        ASSERT_TRUE(RegisterHostWindowClass());
        window_ = CreateHostWindow();
        ASSERT_NE(window_, (HWND)NULL);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        UnregisterClassA(HOST_WINDOW_CLASS, g_hInstance);
    }
    HWND window_ = NULL;
};

TEST_F(HostWindow, ClassAndStyleAsAPlainCaptionedWindow)
{
    EXPECT_EQ(GetClassLongPtrA(window_, GCL_STYLE), (ULONG_PTR)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_BYTEALIGNWINDOW));
    EXPECT_NE(GetClassLongPtrA(window_, GCLP_HICON), 0u) << "icon APP_MAIN";
    char title[64];
    GetWindowTextA(window_, title, sizeof(title));
    EXPECT_STREQ(title, "VANTIX Pro Install (32)");
    LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN), (LONG_PTR)(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_EXSTYLE) & ~(LONG_PTR)WS_EX_WINDOWEDGE, 0);
}

TEST_F(HostWindow, PaintsTealWithTheProductLogoTopLeftAndTheCompanyLogoBottomRight)
{
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    RECT client;
    GetClientRect(window_, &client);
    HDC dc = GetDC(window_);

    SIZE product;
    SIZE company;
    const POINT probes[] = { { 0, 0 }, { 5, 7 }, { 100, 50 }, { 150, 100 } };
    for (const POINT& p : probes) {
        COLORREF want = BitmapPixel("VX_BMP", p.x, p.y, &product);
        EXPECT_EQ(GetPixel(dc, 10 + p.x, 10 + p.y), want) << "product logo at " << p.x << "," << p.y;
        want = BitmapPixel("HARROWBY", p.x, p.y, &company);
        EXPECT_EQ(GetPixel(dc, client.right - company.cx + p.x, client.bottom - company.cy + p.y), want)
            << "company logo at " << p.x << "," << p.y;
    }
    EXPECT_EQ(product.cx, 212);
    EXPECT_EQ(product.cy, 112);
    EXPECT_EQ(company.cx, 151);
    EXPECT_EQ(company.cy, 118);
    const POINT teal[] = { { 5, 5 }, { client.right / 2, client.bottom / 2 }, { client.right - 5, 5 }, { 5, client.bottom - 5 } };
    for (const POINT& p : teal)
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(0, 128, 128)) << "background at " << p.x << "," << p.y;
    ReleaseDC(window_, dc);
}

TEST(DeleteTempFiles, RemovesEveryPackedNameAndNothingElse)
{
    std::string temp = vxtest::TempFolder();
    for (int row = 0; row < RESOURCE_COUNT; ++row)
        vxtest::WriteFileBytes(vxtest::JoinPath(temp, g_resourceMap[row].szPackedName), "packed");
    std::string other = vxtest::JoinPath(temp, "vxkeep.ex_");
    vxtest::WriteFileBytes(other, "keep");

    EXPECT_EQ(DeleteTempFiles(), 0);
    for (int row = 0; row < RESOURCE_COUNT; ++row)
        EXPECT_FALSE(vxtest::FileExists(vxtest::JoinPath(temp, g_resourceMap[row].szPackedName))) << g_resourceMap[row].szPackedName;
    EXPECT_TRUE(vxtest::FileExists(other));
    DeleteFileA(other.c_str());
    EXPECT_EQ(DeleteTempFiles(), 0) << "files that are already gone are no failure";
}

}  // namespace
