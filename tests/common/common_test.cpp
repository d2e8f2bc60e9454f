// Common services: the installer's own runtime (against the C runtime's), string-table texts and
// inserts, the setup log, centring and the message pump.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/setup_log.h"
#include "common/window_helpers.h"
#include "harness/wine_env.h"
#include "resources/resource.h"

namespace {

// The runtime reads the environment once, at its first look: this is set before main.
vxtest::EnvironmentScope s_probe("VX_RUNTIME_PROBE", "Windows_NT");

TEST(Runtime, FormattingAndStringsAgreeWithTheCRuntimeAndCutToTheirBuffers)
{
    const std::pair<const char*, int> numbers[] = { { "n=%d", -42 }, { "n=%i!", 2147483647 }, { "%u", -1 }, { "%x/%X", 48879 }, { "[%5d]", 42 },
        { "[%-5d]", 42 }, { "[%05d]", -42 }, { "[%ld]", 7 }, { "%c%c", 'V' }, { "100%%", 0 } };
    const std::pair<const char*, const char*> texts[] = { { "<%s>", "text" }, { "<%8s>", "ab" }, { "<%-8s>", "ab" }, { "<%.3s>", "abcdef" }, { "\"%s\"", "" } };
    char ours[64], theirs[64], cut[8], one[1] = { 'x' };
    for (const auto& c : numbers) {
        rt::FormatText(ours, sizeof(ours), c.first, c.second, c.second);
        snprintf(theirs, sizeof(theirs), c.first, c.second, c.second);
        EXPECT_STREQ(ours, theirs) << c.first;
    }
    for (const auto& c : texts) {
        rt::FormatText(ours, sizeof(ours), c.first, c.second);
        snprintf(theirs, sizeof(theirs), c.first, c.second);
        EXPECT_STREQ(ours, theirs) << c.first;
    }
    EXPECT_EQ(rt::FormatText(cut, sizeof(cut), "%s-%u", "abcdef", 123456u), 7);
    EXPECT_STREQ(cut, "abcdef-");
    EXPECT_EQ(rt::FormatText(one, sizeof(one), "%s", "anything"), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_TRUE(rt::CopyText(cut, 6, "abc") && rt::AppendText(cut, 6, "de"));
    EXPECT_FALSE(rt::AppendText(cut, 6, "f"));
    EXPECT_STREQ(cut, "abcde");
    EXPECT_FALSE(rt::CopyText(cut, 6, "0123456789"));
    EXPECT_STREQ(cut, "01234");

    const char* path = "C:\\Program Files\\VANTIX Pro\\vxcore32.dll";
    EXPECT_EQ(std::vector<const char*>({ rt::StrStr(path, ".dll"), rt::StrStr(path, ".exe"), rt::StrRChr(path, '\\'), rt::StrChr(path, '\\'), rt::StrChr(path, '\0') }),
        std::vector<const char*>({ strstr(path, ".dll"), nullptr, strrchr(path, '\\'), strchr(path, '\\'), path + strlen(path) }));
    for (const auto& pair : { std::make_pair("VANTIX Pro", "vantix pro"), std::make_pair("abc", "abd"), std::make_pair("abc", "ab"), std::make_pair("", ""), std::make_pair("Z", "a") }) {
        int ours = rt::_stricmp(pair.first, pair.second), theirs = _stricmp(pair.first, pair.second);
        EXPECT_TRUE((ours < 0) == (theirs < 0) && (ours == 0) == (theirs == 0)) << pair.first << " / " << pair.second;
        EXPECT_EQ(rt::StrCmp(pair.first, pair.second) == 0, strcmp(pair.first, pair.second) == 0);
    }
    EXPECT_EQ(rt::_strnicmp("C:\\TEMP\\", "c:\\tempfiles", 7), 0);
    EXPECT_NE(rt::_strnicmp("C:\\TEMP\\", "c:\\tempfiles", 8), 0);
    EXPECT_STREQ(rt::getenv("vx_runtime_probe"), "Windows_NT");
    EXPECT_EQ(rt::getenv("VX_RUNTIME"), nullptr) << "a whole name only";
    EXPECT_EQ(rt::getenv(""), nullptr);
}

TEST(Runtime, FoldersFilesAndTextModeLikeTheClassicRuntime)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope inside(scratch.Path());
    char folder[MAX_PATH], tiny[4], line[512];
    ASSERT_NE(rt::_getcwd(folder, sizeof(folder)), nullptr);
    EXPECT_EQ(folder, scratch.Path());
    EXPECT_EQ(rt::_getcwd(tiny, sizeof(tiny)), nullptr);
    vxtest::WriteFileBytes("a.txt", "a");
    vxtest::WriteFileBytes("b.txt", "b");
    SetFileAttributesA("b.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(std::vector<int>({ rt::_access("a.txt", 0), rt::_access("missing.txt", 0), rt::_access("b.txt", 2), rt::_access("b.txt", 0) }),
        std::vector<int>({ 0, -1, -1, 0 }));
    SetFileAttributesA("b.txt", FILE_ATTRIBUTE_NORMAL);
    // rename never replaces an existing file.
    EXPECT_EQ(std::vector<int>({ rt::rename("a.txt", "b.txt"), rt::rename("a.txt", "c.txt"), rt::remove("c.txt"), rt::remove("c.txt"), rt::_chdir("Z:\\no\\such") }),
        std::vector<int>({ -1, 0, 0, -1, -1 }));

    vxtest::WriteFileBytes("lines.txt", "one\r\ntwo\nthree\rfour\r\n" + std::string(600, 'x') + "\r\nend\x1A" "after");
    rt::TextFile file;
    ASSERT_TRUE(rt::OpenTextFile(&file, "lines.txt", "r"));
    std::vector<std::string> lines;
    while (rt::ReadTextLine(&file, line, sizeof(line)))
        lines.push_back(line);
    rt::CloseTextFile(&file);
    // A long line comes in pieces of at most 511 characters; Ctrl-Z ends the text.
    EXPECT_EQ(lines, (std::vector<std::string>{ "one\n", "two\n", "three\rfour\n", std::string(511, 'x'), std::string(89, 'x') + "\n", "end" }));
    ASSERT_TRUE(rt::OpenTextFile(&file, "lines.txt", "w"));
    EXPECT_TRUE(rt::WriteText(&file, "a\nb") && rt::WriteText(&file, (std::string(700, 'y') + "\n").c_str()));
    rt::CloseTextFile(&file);
    ASSERT_TRUE(rt::OpenTextFile(&file, "lines.txt", "a"));
    EXPECT_TRUE(rt::WriteText(&file, "tail\n"));
    rt::CloseTextFile(&file);
    EXPECT_EQ(vxtest::ReadFileBytes("lines.txt"), "a\r\nb" + std::string(700, 'y') + "\r\ntail\r\n");
    EXPECT_FALSE(rt::OpenTextFile(&file, "missing.txt", "r"));
}

// The texts no test of the code that shows them checks (yet), as the product has always shown them.
TEST(Messages, StringTableHoldsTheTextsNotShownElsewhere)
{
    g_hInstance = GetModuleHandleA(NULL);
    const std::pair<UINT, const char*> texts[] = {
        { 95, "Uninstall successful!\n\nUninstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself." },
        { 10001, "All Files" }, { 10002, "Locate" }, { 10014, "Removal process complete.\nAll files removed." }, { 10015, "Remove" },
        { 10016, "Removal process complete.\nCheck the folder %s for excess files\nthat caused the removal process to not cleanup entirely." },
        { 10017, "Insufficient information available to\nremove this application." }, { 10021, "Please enter the destination &folder:" },
        { 10045, "&Install or update VANTIX Pro" }, { 10046, "&Uninstall VANTIX Pro" }, { 10047, "Nothing Selected!" },
        { 10052, "You have INI files in the VANTIX Pro folder.\nDo you want to delete these?\nWARNING: Deleting the INI files will eliminate your stored FTP sites!" },
    };
    for (const auto& text : texts) {
        char loaded[2048];
        EXPECT_EQ(LoadMessage(text.first, loaded, sizeof(loaded)), 1) << text.first;
        EXPECT_STREQ(loaded, text.second) << text.first;
    }
}

TEST(Messages, LoadMessageCutsFallsBackAndInsertsFill)
{
    g_hInstance = GetModuleHandleA(NULL);
    const struct {
        UINT id;
        int size, result;
        const char* text;
    } cases[] = { { IDS_INSTALL_SUCCEEDED, 16, 1, "Installation su" }, { 4242, 16, 0, "4242 DEBUG - Un" }, { 4242, 256, 0, "4242 DEBUG - Unable to load string" },
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

TEST(SetupLog, LinesAreAppendedInTextModeOnlyWhileLogging)
{
    vxtest::ScratchFolder scratch;
    vxtest::CurrentFolderScope inside(scratch.Path());
    WriteLogLine("not logged");
    EXPECT_FALSE(vxtest::FileExists("setup.log"));
    g_bLogging = TRUE;
    vxtest::WriteFileBytes("setup.log", "earlier run\r\n");
    WriteLogLine("first");
    WriteLogLine("second");
    g_bLogging = FALSE;
    EXPECT_EQ(vxtest::ReadFileBytes("setup.log"), "earlier run\r\nfirst\r\nsecond\r\n");
}

// Halves truncate (201 / 2 = 100); a side larger than the screen's puts the window at 0 there.
TEST(WindowHelpers, CenterWindowKeepsTheSizeAndNeverGoesBelowZeroAndPumpMessagesReturns)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int w = desktop.right - desktop.left, h = desktop.bottom - desktop.top;
    const std::vector<int> cases[] = { { 300, 201, w / 2 - 150, h / 2 - 100 }, { w + 200, h + 100, 0, 0 }, { w + 200, 100, 0, h / 2 - 50 }, { 101, h + 100, w / 2 - 50, 0 } };
    for (const auto& c : cases) {  // width, height, then the left and top expected
        HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 5, 5, c[0], c[1], NULL, NULL, NULL, NULL);
        CenterWindow(window);
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(std::vector<int>({ rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top }), c);
        DestroyWindow(window);
    }
    for (MSG stale; PeekMessageA(&stale, NULL, 0, 0, PM_REMOVE);) {
    }
    DWORD start = GetTickCount();
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_LT(GetTickCount() - start, 500u) << "an empty queue: at once";
    PostQuitMessage(3);  // taken like any other message, and not posted again
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    EXPECT_EQ(PumpMessages(), 1);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, NULL, 0, 0, PM_REMOVE));
}

}  // namespace
