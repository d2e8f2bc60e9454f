// The wizard's dialogs: their templates as the built installer carries them, and each dialog's
// rules, the folder loop, the copy's Cancel and the restart after the wizard, played in this
// process with dialog scripts.
#include "wizard/dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/host_window.h"
#include "app/restart.h"
#include "common/globals.h"
#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "harness/wine_env.h"
#include "install/registration.h"
#include "wizard/wizard.h"

using vxtest::DialogView;

namespace {

// The kinds of control, as the templates use them: the class and the style bits that make the
// kind (Mask), with their expected values (Style).
enum Kind { DEFAULT_BUTTON, BUTTON, RADIO, CHECK, TEXT, LABEL, EDIT, HIDDEN_EDIT, LIST, COMBO };
const struct { WORD atom; DWORD mask, style; } KINDS[] = {
    { 0x80, ~0u, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON },
    { 0x80, ~0u, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON },
    { 0x80, ~0u, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON },
    { 0x80, ~0u, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX },
    { 0x82, ~0u, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT },
    { 0x82, WS_VISIBLE | SS_TYPEMASK, WS_VISIBLE | SS_LEFT },             // a static, any label
    { 0x81, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL },
    { 0x81, WS_VISIBLE | ES_READONLY, ES_READONLY },
    { 0x83, WS_VISIBLE, WS_VISIBLE },
    { 0x85, WS_VISIBLE | CBS_DROPDOWN, WS_VISIBLE | CBS_DROPDOWN },     // drop-down, listed or not
};

struct Control { int id; Kind kind; const char* text; short x, y, cx, cy; };
const DWORD DIALOG = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
const char CAPTION[] = "VANTIX Pro Installation";
const char RESTART_PROMPT[] = "Installation successful!\n\nInstall now needs to restart your computer to complete changes to your system files.\nSelect \"OK\" to restart now, or cancel to restart your system yourself.";
// By name or number; x, y -1: no position is required.
const struct Template {
    const char* name;
    DWORD style;
    short x, y, cx, cy;
    const char* caption;
    std::vector<Control> controls;
} TEMPLATES[] = {
    { "DLG_INSTALL", DIALOG | WS_SYSMENU, -1, 0, 194, 82, CAPTION, {
        { 1, DEFAULT_BUTTON, "Continue", 137, 61, 50, 14 }, { 2, BUTTON, "Exit", 92, 61, 39, 14 },
        { 2420, TEXT, "Installation/Removal process for VANTIX Pro", 7, 7, 180, 14 },
        { 1851, RADIO, "Install or update VANTIX Pro", 23, 26, 147, 10 },
        { 1852, RADIO, "Remove previous installation", 23, 42, 147, 10 } } },
    { "DLG_VERS_32", DIALOG | WS_SYSMENU | WS_VISIBLE, -1, 0, 249, 71, CAPTION, {
        { 1, DEFAULT_BUTTON, "OK", 201, 25, 42, 14 }, { 2, BUTTON, "Cancel", 201, 45, 42, 14 },
        { 1880, CHECK, "Classic interface", 7, 28, 177, 10 }, { 2417, CHECK, "Windows Explorer interface", 7, 41, 177, 10 },
        { 2418, CHECK, "Bonus Utility Pack", 7, 54, 94, 10 },
        { -1, TEXT, "Please select the VANTIX Pro interfaces and utilities to install or update:", 7, 6, 180, 19 },
        { 9041, BUTTON, "Help", 201, 6, 42, 14 } } },
    { "DLG_32_HELP", DIALOG | WS_SYSMENU | WS_VISIBLE, 0, 0, 247, 175, CAPTION, {
        { 1, DEFAULT_BUTTON, "OK", 197, 153, 42, 14 },
        { -1, TEXT, "VANTIX Pro provides two user interfaces for Windows 95/NT users:  the \"classic\" user interface, which works like any other stand-alone Windows 95/NT application, and the \"Explorer\" interface, which functions as part of the Windows Explorer.", 10, 4, 226, 32 },
        { -1, TEXT, "Both interfaces allow you to transfer files to and from FTP servers.  The Explorer interface also lets you transfer files from one FTP server to another.", 10, 42, 226, 26 },
        { -1, TEXT, "You can install both interfaces and use them interchangably, or you can install only the interface you prefer.", 10, 74, 226, 20 },
        { -1, TEXT, "See Chapter One of the User's Guide for a more detailed overview of the two interfaces.", 10, 100, 226, 21 },
        { -1, TEXT, "The Bonus Utility Pack option installs the VANTIX Scripting, VANTIX Synchronize and VANTIX Find utilities.", 10, 127, 226, 21 } } },
    { MAKEINTRESOURCEA(307), DIALOG, -1, 0, 228, 125, "Icon Placement", {
        { 1, DEFAULT_BUTTON, "OK", 171, 104, 50, 14 }, { 1851, RADIO, "On my desktop ", 7, 95, 65, 10 },
        { 1852, RADIO, "In \"My Computer\"", 7, 108, 72, 10 },
        { -1, TEXT, "VANTIX Pro has two interfaces: the original VANTIX Pro \"classic\" interface and the VANTIX Pro Explorer interface.  One or both interfaces may be installed.  Each has its own icon.", 7, 7, 214, 27 },
        { -1, TEXT, "Because of its tight integration with Windows Explorer, the VANTIX Pro Explorer interface requires its icon either on your desktop or in \"My Computer\".  If you are also installing the VANTIX Pro classic its icon will appear in the same place.", 7, 39, 214, 37 },
        { -1, TEXT, "Where do you want the VANTIX Pro Explorer icon?", 7, 81, 200, 8 } } },
    { "DLG_COPY", DIALOG | WS_SYSMENU | WS_VISIBLE, -1, 0, 186, 95, CAPTION, {
        { 2, BUTTON, "Cancel", 74, 74, 50, 14 }, { 954, TEXT, "", 7, 7, 172, 60 } } },
    { "DLG_GETDIR", DIALOG | WS_SYSMENU | WS_VISIBLE, 6, 18, 218, 62, CAPTION, {
        { 3010, LABEL, "Standard prompt", 4, 9, 151, 19 }, { 1, DEFAULT_BUTTON, "OK", 161, 4, 44, 14 },
        { 2, BUTTON, "Cancel", 161, 21, 44, 14 }, { 954, EDIT, "", 4, 41, 151, 12 },
        { 2416, BUTTON, "&Browse", 161, 40, 44, 14 } } },
    { "DLG_BROWSE", WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 46, 21, 188, 190, CAPTION, {
        { 1511, LABEL, "Where do you want to install this program?", 5, 7, 177, 20 },
        { 1152, HIDDEN_EDIT, "", 81, 4, 60, 12 }, { -1, LABEL, "&Directories:", 5, 48, 92, 9 },
        { 1088, LABEL, "", 5, 33, 162, 9 }, { 1121, LIST, "", 5, 60, 120, 95 }, { -1, LABEL, "Dri&ves:", 5, 161, 92, 9 },
        { 1137, COMBO, "", 5, 171, 120, 68 }, { 1, DEFAULT_BUTTON, "OK", 133, 61, 50, 14 },
        { 2, BUTTON, "Cancel", 133, 79, 50, 14 }, { 1038, BUTTON, "&Help", 133, 119, 50, 14 },
        { 1120, LIST, "", -100, -100, 10, 10 }, { 1040, CHECK, "", -100, -100, 10, 10 },
        { 1089, LABEL, "", -100, -100, 10, 10 }, { 1136, COMBO, "", -100, -100, 16, 10 } } },
};

// A DLGTEMPLATE as stored: a reader over its words.
struct TemplateReader {
    const WORD* at;
    WORD Word() { return *at++; }
    DWORD Long() { DWORD low = Word(); return low | (DWORD)Word() << 16; }
    std::vector<short> Rect() { at += 4; return { (short)at[-4], (short)at[-3], (short)at[-2], (short)at[-1] }; }
    std::string Text()  // a string, or 0xFFFF and an ordinal, given as "#n"
    {
        if (*at == 0xFFFF) { ++at; return "#" + std::to_string(Word()); }
        std::string text;
        for (; *at != 0; ++at) text += (char)*at;  // the texts are plain ASCII
        return ++at, text;
    }
    void AlignLong(const void* base) { at += ((const char*)at - (const char*)base) % 4 / 2; }
};

TEST(DialogTemplates, EachTemplateInTheBuiltInstallerIsAsDesigned)
{
    HMODULE installer = LoadLibraryExA(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(installer, (HMODULE)NULL);
    for (const Template& t : TEMPLATES) {
        SCOPED_TRACE(IS_INTRESOURCE(t.name) ? "307" : t.name);
        HRSRC found = FindResourceA(installer, t.name, (LPCSTR)RT_DIALOG);
        ASSERT_NE(found, (HRSRC)NULL);
        const void* base = LockResource(LoadResource(installer, found));
        TemplateReader r = { (const WORD*)base };
        EXPECT_EQ(r.Long(), t.style);
        r.Long();  // extended style
        WORD count = r.Word();
        std::vector<short> rect = r.Rect();
        EXPECT_EQ(rect, (std::vector<short>{ t.x == -1 ? rect[0] : t.x, t.y == -1 ? rect[1] : t.y, t.cx, t.cy }));
        std::string menu = r.Text(), windowClass = r.Text(), caption = r.Text();
        EXPECT_EQ(menu + windowClass + "|" + caption, std::string("|") + t.caption);  // no menu, no class
        EXPECT_EQ(r.Word(), 8);
        EXPECT_EQ(r.Text(), "MS Sans Serif");
        ASSERT_EQ(count, t.controls.size());
        for (const Control& c : t.controls) {
            SCOPED_TRACE(c.id);
            r.AlignLong(base);
            DWORD style = r.Long();
            r.Long();
            std::vector<short> rect = r.Rect();
            EXPECT_EQ((short)r.Word(), c.id);
            EXPECT_EQ(r.Text(), "#" + std::to_string(KINDS[c.kind].atom));
            EXPECT_EQ(style & KINDS[c.kind].mask, KINDS[c.kind].style);
            EXPECT_EQ(r.Text(), c.text);
            EXPECT_EQ(rect, (std::vector<short>{ c.x, c.y, c.cx, c.cy }));
            r.at += (r.Word() + 1) / 2;  // creation data
        }
    }
    FreeLibrary(installer);
}

std::string NamespaceKey(const char* place, const char* classId)
{
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\" + classId;
}
const char EXPLORER_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}", CLASSIC_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";
const std::vector<int> MODE = { 1851, 1852, 2420 }, FOLDER = { 3010, 954, 2416 }, INTERFACES = { 1880, 2417, 2418, 9041 };
void Press(vxtest::DialogScript& script, const std::vector<int>& dialog, int button)
{
    script.Dialog(dialog, [button](DialogView& d) { d.Click(button); });
}

std::vector<std::string> s_calls;  // the restart's system calls, in order
BOOL RecordOpenToken(HANDLE, DWORD access, HANDLE*) { s_calls.push_back("token " + std::to_string(access)); return TRUE; }
BOOL RecordLookUp(const char*, const char* name, LUID*) { s_calls.push_back(std::string("privilege ") + name); return TRUE; }
BOOL RecordAdjust(HANDLE, BOOL, TOKEN_PRIVILEGES* p) { s_calls.push_back("enable " + std::to_string(p->Privileges[0].Attributes)); return TRUE; }
BOOL RecordExit(UINT flags, DWORD) { s_calls.push_back("exit " + std::to_string(flags)); return TRUE; }

// No earlier install; the wizard runs from the source (temporary) folder temp_ with dest_ as the
// settings' DIR32, and a restart is only recorded.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSDLG.tmp");
        vxtest::ClearProductRecords();
        CreateDirectoryA(temp_.c_str(), NULL);
        vxtest::WriteFileBytes(scratch_ / "install.ini", "[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
        strcpy(g_szIniFile, (scratch_ / "install.ini").c_str());
        strcpy(g_szBrowseName, "a");
        g_restartPlatform = { RecordOpenToken, RecordLookUp, RecordAdjust, RecordExit };
    }
    void TearDown() override
    {
        g_restartPlatform = real_;
        vxtest::ClearProductRecords();
    }
    vxtest::ScratchFolder scratch_{ "dialogs" };
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
    RESTART_PLATFORM real_ = g_restartPlatform;
};

TEST_F(Dialogs, InterfaceBoxesFollowTheDefaultsAndTheChoiceIsReturned)
{
    // checked, enabled (as the dialog opens) and cleared: the IFACE_ bits of the boxes, 1 the bonus pack's.
    const struct { int nV, nM; BOOL bonus; int checked, enabled, cleared, button, result; BOOL bonusAfter; } cases[] = {
        { 12, 15, TRUE, 13, 12, 0, IDOK, 12, TRUE }, { 4, 15, FALSE, 4, 12, 0, IDOK, 4, FALSE },
        { 12, 3, FALSE, 12, 0, 0, IDOK, 12, FALSE }, { 4, 3, TRUE, 5, 0, 0, IDOK, 4, TRUE },
        { 12, 15, TRUE, 13, 12, 12, IDOK, 0, TRUE },  // the bonus pack alone
        { 12, 15, TRUE, 13, 12, 0, IDCANCEL, 0, FALSE },
    };
    const std::pair<int, int> boxes[] = { { 1880, 4 }, { 2417, 8 }, { 2418, 1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nV) + " " + std::to_string(c.nM) + " " + std::to_string(c.cleared));
        gbInstallBonusPack = c.bonus;
        vxtest::DialogScript script;
        script.Dialog(INTERFACES, [&](DialogView& d) {
            for (auto [id, bit] : boxes) {
                EXPECT_EQ(d.Checked(id), (c.checked & bit) != 0) << id;
                EXPECT_EQ(d.Enabled(id), bit == 1 || (c.enabled & bit) != 0) << id;
                if (c.cleared & bit)
                    d.Check(id, false);
            }
            d.Click(c.button);
        });
        EXPECT_EQ(AskInterfaces(NULL, g_hInstance, c.nV, c.nM), c.result);
        EXPECT_EQ(gbInstallBonusPack, c.bonusAfter);
    }
}

TEST_F(Dialogs, NothingSelectedKeepsTheInterfacesOpenAndHelpOpensAtItsOwnPosition)
{
    vxtest::DialogScript script;
    script.Dialog(INTERFACES, [](DialogView& d) {
        for (int id : { 1880, 2417, 2418 })
            d.Check(id, false);
        d.Click(IDOK);
    });
    script.MessageBox("Nothing Selected!", IDOK);
    HWND interfaces = NULL;
    script.Dialog(INTERFACES, [&](DialogView& d) { interfaces = d.Window(); d.Click(9041); });
    script.Dialog({ 1 }, [&](DialogView& help) {
        EXPECT_EQ(help.Text(0xFFFF).substr(0, 26), "VANTIX Pro provides two us");
        // At 0, 0 of its owner's client area, as its template places it: not centred.
        POINT helpOrigin = { 0, 0 }, ownerOrigin = { 0, 0 };
        ClientToScreen(help.Window(), &helpOrigin);
        ClientToScreen(interfaces, &ownerOrigin);
        EXPECT_EQ(std::make_pair(helpOrigin.x, helpOrigin.y), std::make_pair(ownerOrigin.x, ownerOrigin.y));
        help.Click(IDOK);
    });
    Press(script, INTERFACES, IDCANCEL);
    EXPECT_EQ(AskInterfaces(NULL, g_hInstance, 12, 15), 0);
}

TEST_F(Dialogs, BrowseOpensAtTheFieldsFolderAndNamesTheProductFolder)
{
    std::string named = scratch_ / "Vantix Pro";  // the product word in another case
    CreateDirectoryA(named.c_str(), NULL);
    const struct { std::string folder; int button; std::string answer; } cases[] = {
        { "C:\\Program Files", IDOK, "C:\\Program Files\\VANTIX" }, { "C:\\", IDOK, "C:\\VANTIX" },
        { named, IDOK, named }, { "C:\\Program Files", IDCANCEL, "C:\\Program Files" },
    };
    const char prompt[] = "Please enter the destination &folder:";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " " + std::to_string(c.button));
        vxtest::CurrentFolderScope keep(temp_);  // the picker changes the current folder
        vxtest::DialogScript script;
        script.Dialog(FOLDER, [&](DialogView& d) {
            EXPECT_EQ(d.Text(3010), prompt);
            d.Click(2416);
        });
        script.Dialog({ 1511, 1088, 1121, 1137 }, [&](DialogView& picker) {
            EXPECT_EQ(picker.Caption() + "|" + picker.Text(1511), std::string("Locate|") + prompt);
            EXPECT_EQ(_stricmp(picker.Text(1088).c_str(), c.folder.c_str()), 0) << picker.Text(1088);
            picker.Click(c.button);
        });
        script.Dialog(FOLDER, [&](DialogView& d) { EXPECT_EQ(d.Text(954), c.answer); d.Click(IDOK); });
        char result[512];
        EXPECT_EQ(AskFolder(NULL, g_hInstance, prompt, c.folder.c_str(), result), 1);
        EXPECT_EQ(std::string(result), c.answer);
    }
}

TEST_F(Dialogs, IconPlacementIsAskedOnlyWhenNoEntryExistsAndNeverSilently)
{
    // Where the Explorer entry is already; the settings' g_iconLocation; the answer (0: not asked,
    // IDCANCEL: Escape); where both entries are afterwards.
    const struct { const char* existing; BOOL mayAsk; int setting, answer; const char* place; } cases[] = {
        { "MyComputer", TRUE, 0, 0, "MyComputer" }, { nullptr, FALSE, 1, 0, "MyComputer" },
        { nullptr, TRUE, 0, IDOK, "Desktop" }, { nullptr, TRUE, 1, IDCANCEL, "MyComputer" },
        { nullptr, TRUE, 0, IDCANCEL, "Desktop" },
    };
    g_pfnIconPlacementDlgProc = IconPlacementDlgProc;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.existing ? c.existing : "-") + " " + std::to_string(c.answer));
        vxtest::ClearProductRecords();
        if (c.existing)
            vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, NamespaceKey(c.existing, EXPLORER_CLASS), "", "VANTIX Pro Explorer");
        g_iconLocation = c.setting;
        vxtest::DialogScript script;
        if (c.answer != 0) {
            script.Dialog({ 1851, 1852 }, [&](DialogView& d) {
                EXPECT_EQ(d.Checked(1852), c.setting == 1);
                // The dialog has no Cancel button: this is what Escape sends.
                c.answer == IDCANCEL ? (void)PostMessageA(d.Window(), WM_COMMAND, IDCANCEL, 0) : d.Click(IDOK);
            }, "Icon Placement");
        }
        // As the install does: the Explorer entry (asking), then the classic one (never asking).
        RegisterNamespaceEntry(EXPLORER_CLASS, "VANTIX Pro Explorer", c.mayAsk);
        RegisterNamespaceEntry(CLASSIC_CLASS, "VANTIX Pro", FALSE);
        script.Finish();
        for (const char* classId : { EXPLORER_CLASS, CLASSIC_CLASS })
            EXPECT_NE(vxtest::RegistryText(HKEY_LOCAL_MACHINE, NamespaceKey(c.place, classId), ""), "<absent>") << classId;
    }
    g_pfnIconPlacementDlgProc = NULL;
}

TEST_F(Dialogs, TheSourceFolderIsRefusedAndAFolderThatCannotBeMadeIsAskedAgain)
{
    std::string bad = scratch_ / "bad|name";
    vxtest::DialogScript script;
    Press(script, MODE, IDOK);
    for (const std::string& folder : { temp_, temp_ + "\\below", temp_ + "files", bad }) {
        script.Dialog(FOLDER, [folder](DialogView& d) { d.Type(954, folder); d.Click(IDOK); });
        if (folder != bad)
            script.MessageBox("You cannot install to the folder that contains the installation files.", IDOK, CAPTION);
    }
    script.MessageBox("Creation of " + bad + " failed. (123)", IDOK, "Install");  // the folder maker's own report
    script.MessageBox("Creation of " + bad + " failed. (0)", IDOK, CAPTION);
    Press(script, FOLDER, IDCANCEL);
    script.MessageBox("Can't continue without a destination folder!", IDOK, CAPTION);
    vxtest::CurrentFolderScope inTemp(temp_);
    EXPECT_EQ(RunSetupWizard(NULL, 12, 15), 0);
    script.Finish();
    EXPECT_FALSE(vxtest::FolderExists(temp_ + "files"));
}

TEST_F(Dialogs, CancelDuringTheCopyStopsAfterTheFileBeingCopied)
{
    vxtest::DialogScript script;
    for (const auto& dialog : { MODE, FOLDER, INTERFACES })
        Press(script, dialog, IDOK);
    script.Dialog({ 2, 954 }, [](DialogView& progress) {
        progress.Click(IDCANCEL);
        progress.Click(IDCANCEL);  // a second press changes nothing
    });
    script.MessageBox("Some portion of installation process failed.", IDOK);  // no failure text
    vxtest::CurrentFolderScope inTemp(temp_);
    EXPECT_EQ(RunSetupWizard(NULL, 4, 15), 0);
    script.Finish();
    // Each file placed was shown while it was copied; the copy stopped within the first group.
    std::vector<std::string> placed = vxtest::ListFolder(dest_), texts = script.ProgressTexts();
    EXPECT_GE(placed.size(), 1u);
    EXPECT_LT(placed.size(), 4u);
    for (const std::string& name : placed)
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Copying " + temp_ + "\\" + name + " to " + dest_ + "\\" + name), 1) << name;
    EXPECT_EQ(vxtest::WinIniText("VANTIX", "DEFDIR"), "<absent>");
}

TEST_F(Dialogs, TheHostWindowRestartsWindowsAfterTheWizardOnlyWhenTheRulesAllow)
{
    const std::vector<std::string> NT_RESTART = { "token 40", "privilege SeShutdownPrivilege", "enable 2", "exit 2" };
    const struct { BOOL silent, allowReboot, winNT; int answer; std::vector<std::string> calls; } cases[] = {
        { FALSE, FALSE, TRUE, IDOK, NT_RESTART }, { FALSE, TRUE, TRUE, IDCANCEL, {} },
        { TRUE, TRUE, FALSE, 0, { "exit 2" } }, { TRUE, FALSE, TRUE, 0, {} },
    };
    RegisterHostWindowClass();
    g_nV = 12;  // the Explorer interface registers itself: a restart is needed
    g_nM = 15;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.silent) + std::to_string(c.allowReboot) + std::to_string(c.answer));
        vxtest::ClearProductRecords();  // the Icon Placement question comes each time
        g_bSilent = c.silent;
        g_bAllowReboot = c.allowReboot;
        g_bWinNT = c.winNT;
        s_calls.clear();
        vxtest::DialogScript script;
        if (!c.silent) {
            for (const auto& dialog : { MODE, FOLDER, INTERFACES, std::vector<int>{ 1851, 1852 } })
                Press(script, dialog, IDOK);
            script.MessageBox(RESTART_PROMPT, c.answer, "Congratulations!");
        }
        HWND host = CreateHostWindow();
        vxtest::CurrentFolderScope inTemp(temp_);
        SendMessageA(host, WM_COMMAND, CMD_START_WIZARD, 0);
        script.Finish();
        EXPECT_EQ(s_calls, c.calls);
        DestroyWindow(host);  // before its own WM_CLOSE, still posted, ends the test's message loop
    }
}

}  // namespace
