// The wizard's dialogs: their templates as the built installer carries them, and each dialog's
// rules, played in this process with dialog scripts.
#include "wizard/dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/wine_env.h"
#include "install/registration.h"

using vxtest::DialogView;

namespace {

// The kinds of control, as the templates use them: the class and the style bits that make the
// kind (Mask), with their expected values (Style).
enum Kind { DEFAULT_BUTTON, BUTTON, RADIO, CHECK, TEXT, LABEL, EDIT, HIDDEN_EDIT, LIST, COMBO };
const struct {
    WORD atom;
    DWORD mask, style;
} KINDS[] = {
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

struct Control {
    int id;
    Kind kind;
    const char* text;
    short x, y, cx, cy;
};
const DWORD DIALOG = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
const char CAPTION[] = "VANTIX Pro Installation";
const struct Template {
    const char* name;  // or the number
    DWORD style;
    short x, y, cx, cy;  // x -1: no position required
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
    std::string Text()  // a string, or 0xFFFF and an ordinal, given as "#n"
    {
        if (*at == 0xFFFF) { ++at; return "#" + std::to_string(Word()); }
        std::string text;
        while (*at != 0) text += (char)Word();  // the texts are plain ASCII
        ++at;
        return text;
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
        short x = (short)r.Word(), y = (short)r.Word(), cx = (short)r.Word(), cy = (short)r.Word();
        if (t.x != -1) {
            EXPECT_EQ(std::make_pair(x, y), std::make_pair(t.x, t.y));
        }
        EXPECT_EQ(std::make_pair(cx, cy), std::make_pair(t.cx, t.cy));
        EXPECT_EQ(r.Text(), "");  // no menu
        EXPECT_EQ(r.Text(), "");  // the dialog class
        EXPECT_EQ(r.Text(), t.caption);
        EXPECT_EQ(r.Word(), 8);
        EXPECT_EQ(r.Text(), "MS Sans Serif");
        ASSERT_EQ(count, t.controls.size());
        for (const Control& c : t.controls) {
            SCOPED_TRACE(c.id);
            r.AlignLong(base);
            DWORD style = r.Long();
            r.Long();
            short rect[4] = { (short)r.Word(), (short)r.Word(), (short)r.Word(), (short)r.Word() };
            EXPECT_EQ((short)r.Word(), c.id);
            EXPECT_EQ(r.Text(), "#" + std::to_string(KINDS[c.kind].atom));
            EXPECT_EQ(style & KINDS[c.kind].mask, KINDS[c.kind].style);
            EXPECT_EQ(r.Text(), c.text);
            EXPECT_EQ(std::vector<short>(rect, rect + 4), (std::vector<short>{ c.x, c.y, c.cx, c.cy }));
            r.at += (r.Word() + 1) / 2;  // creation data
        }
    }
    FreeLibrary(installer);
}

const char EXPLORER_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
const char CLASSIC_CLASS[] = "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e00a}";
std::string NamespaceKey(const char* place, const char* classId)
{
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + place + "\\Namespace\\" + classId;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetInstallerState("VXSDLG.tmp");
        WriteProfileStringA("VANTIX", NULL, NULL);
        for (const char* place : { "Desktop", "MyComputer" })
            for (const char* classId : { EXPLORER_CLASS, CLASSIC_CLASS })
                vxtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, NamespaceKey(place, classId));
    }
    void TearDown() override { SetUp(); }
};

TEST_F(Dialogs, RemoveIsOfferedOnlyAfterARecordedInstall)
{
    const struct {
        const char *defdir, *instopts;
        bool removable;
        int button, result;  // the choice: Remove when it can be chosen
    } cases[] = {
        { nullptr, nullptr, false, IDOK, 1 }, { "C:\\VX", nullptr, false, IDOK, 1 }, { "C:\\VX", "0", false, IDOK, 1 },
        { "", "12", false, IDOK, 1 }, { "C:\\VX", "12", true, IDOK, 2 }, { "C:\\VX", "12", true, IDCANCEL, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.defdir ? c.defdir : "-") + " " + (c.instopts ? c.instopts : "-"));
        WriteProfileStringA("VANTIX", "DEFDIR", c.defdir);
        WriteProfileStringA("VANTIX", "INSTOPTS", c.instopts);
        vxtest::DialogScript script;
        script.Dialog({ 1851, 1852, 2420 }, [&](DialogView& d) {
            EXPECT_FALSE(d.Visible(2420));
            EXPECT_EQ(d.Text(1851), "&Install or update VANTIX Pro");
            EXPECT_EQ(d.Text(1852), "&Uninstall VANTIX Pro");
            EXPECT_TRUE(d.Checked(1851));
            EXPECT_EQ(d.Enabled(1852), c.removable);
            if (c.removable)
                d.Choose(1852);
            d.Click(c.button);
        });
        EXPECT_EQ(AskInstallOrRemove(NULL, g_hInstance), c.result);
        script.Finish();
    }
}

TEST_F(Dialogs, InterfaceBoxesFollowTheDefaultsAndTheChoiceIsReturned)
{
    const struct {
        int nV, nM;
        BOOL bonus;
        bool classic, explorer, classicEnabled, explorerEnabled;  // as the dialog opens
        std::vector<int> cleared;
        int button, result;
        BOOL bonusAfter;
    } cases[] = {
        { 12, 15, TRUE, true, true, true, true, {}, IDOK, 12, TRUE },
        { 4, 15, FALSE, true, false, true, true, {}, IDOK, 4, FALSE },
        { 12, 3, FALSE, true, true, false, false, {}, IDOK, 12, FALSE },
        { 4, 3, TRUE, true, false, false, false, {}, IDOK, 4, TRUE },
        { 12, 15, TRUE, true, true, true, true, { 1880, 2417 }, IDOK, 0, TRUE },  // the bonus pack alone
        { 12, 15, TRUE, true, true, true, true, {}, IDCANCEL, 0, FALSE },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nV) + " " + std::to_string(c.nM) + " " + std::to_string(c.button));
        gbInstallBonusPack = c.bonus;
        vxtest::DialogScript script;
        script.Dialog({ 1880, 2417, 2418, 9041 }, [&](DialogView& d) {
            EXPECT_EQ(d.Checked(1880), c.classic);
            EXPECT_EQ(d.Checked(2417), c.explorer);
            EXPECT_EQ(d.Checked(2418), (bool)c.bonus);
            EXPECT_EQ(d.Enabled(1880), c.classicEnabled);
            EXPECT_EQ(d.Enabled(2417), c.explorerEnabled);
            EXPECT_TRUE(d.Enabled(2418));
            for (int id : c.cleared)
                d.Check(id, false);
            d.Click(c.button);
        });
        EXPECT_EQ(AskInterfaces(NULL, g_hInstance, c.nV, c.nM), c.result);
        EXPECT_EQ(gbInstallBonusPack, c.bonusAfter);
        script.Finish();
    }
}

TEST_F(Dialogs, NothingSelectedKeepsTheInterfacesOpenAndHelpOpensAtItsOwnPosition)
{
    vxtest::DialogScript script;
    script.Dialog({ 1880, 2417, 2418, 9041 }, [](DialogView& d) {
        for (int id : { 1880, 2417, 2418 })
            d.Check(id, false);
        d.Click(IDOK);
    });
    script.MessageBox("Nothing Selected!", IDOK);
    HWND interfaces = NULL;
    script.Dialog({ 1880, 9041 }, [&](DialogView& d) {
        interfaces = d.Window();
        d.Click(9041);
    });
    script.Dialog({ 1 }, [&](DialogView& help) {
        EXPECT_EQ(help.Text(0xFFFF).substr(0, 26), "VANTIX Pro provides two us");
        // At 0, 0 of its owner's client area, as its template places it, not centred.
        POINT helpOrigin = { 0, 0 }, ownerOrigin = { 0, 0 };
        ClientToScreen(help.Window(), &helpOrigin);
        ClientToScreen(interfaces, &ownerOrigin);
        EXPECT_EQ(std::make_pair(helpOrigin.x, helpOrigin.y), std::make_pair(ownerOrigin.x, ownerOrigin.y));
        help.Click(IDOK);
    });
    script.Dialog({ 1880, 9041 }, [](DialogView& d) { d.Click(IDCANCEL); });
    EXPECT_EQ(AskInterfaces(NULL, g_hInstance, 12, 15), 0);
    script.Finish();
}

TEST_F(Dialogs, BrowseOpensAtTheFieldsFolderAndNamesTheProductFolder)
{
    vxtest::ScratchFolder scratch;
    std::string named = scratch / "Vantix Pro";
    CreateDirectoryA(named.c_str(), NULL);
    const struct {
        std::string folder;
        bool ok;               // OK in the picker, else Cancel
        std::string answer;    // the field afterwards
    } cases[] = {
        { "C:\\Program Files", true, "C:\\Program Files\\VANTIX" },
        { "C:\\", true, "C:\\VANTIX" },
        { named, true, named },
        { "C:\\Program Files", false, "C:\\Program Files" },
    };
    const char prompt[] = "Please enter the destination &folder:";
    strcpy(g_szBrowseName, "a");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + (c.ok ? " OK" : " Cancel"));
        vxtest::CurrentFolderScope keep(vxtest::TempFolder());  // the picker changes the current folder
        vxtest::DialogScript script;
        script.Dialog({ 3010, 954, 2416 }, [&](DialogView& d) {
            EXPECT_EQ(d.Text(3010), prompt);
            EXPECT_EQ(d.Text(954), c.folder);
            d.Click(2416);
        });
        script.Dialog({ 1511, 1088, 1121, 1137 }, [&](DialogView& picker) {
            EXPECT_EQ(picker.Caption(), "Locate");
            EXPECT_EQ(picker.Text(1511), prompt);
            EXPECT_EQ(_stricmp(picker.Text(1088).c_str(), c.folder.c_str()), 0) << picker.Text(1088);
            picker.Click(c.ok ? IDOK : IDCANCEL);
        });
        script.Dialog({ 3010, 954, 2416 }, [&](DialogView& d) {
            EXPECT_EQ(d.Text(954), c.answer);
            d.Click(IDOK);
        });
        char result[512];
        EXPECT_EQ(AskFolder(NULL, g_hInstance, prompt, c.folder.c_str(), result), 1);
        EXPECT_EQ(std::string(result), c.answer);
        script.Finish();
    }
}

TEST_F(Dialogs, IconPlacementIsAskedOnlyWhenNoEntryExistsAndNeverSilently)
{
    enum Answer { NOT_ASKED, OK_AS_SHOWN, OK_MY_COMPUTER, ESCAPE };
    const struct {
        const char* existing;  // where the Explorer entry is already, or nullptr
        BOOL mayAsk;
        int setting;           // g_iconLocation from the settings
        Answer answer;
        const char* place;     // where both entries are afterwards
    } cases[] = {
        { "Desktop", TRUE, 1, NOT_ASKED, "Desktop" },
        { "MyComputer", TRUE, 0, NOT_ASKED, "MyComputer" },
        { nullptr, FALSE, 1, NOT_ASKED, "MyComputer" },
        { nullptr, TRUE, 0, OK_AS_SHOWN, "Desktop" },
        { nullptr, TRUE, 0, OK_MY_COMPUTER, "MyComputer" },
        { nullptr, TRUE, 1, ESCAPE, "MyComputer" },
        { nullptr, TRUE, 0, ESCAPE, "Desktop" },
    };
    g_pfnIconPlacementDlgProc = IconPlacementDlgProc;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.existing ? c.existing : "-") + " " + std::to_string(c.answer));
        SetUp();
        if (c.existing)
            vxtest::WriteRegistryText(HKEY_LOCAL_MACHINE, NamespaceKey(c.existing, EXPLORER_CLASS), "", "VANTIX Pro Explorer");
        g_iconLocation = c.setting;
        vxtest::DialogScript script;
        if (c.answer != NOT_ASKED) {
            script.Dialog({ 1, 1851, 1852 }, [&](DialogView& d) {
                EXPECT_EQ(d.Checked(1852), c.setting == 1);
                if (c.answer == OK_MY_COMPUTER)
                    d.Choose(1852);
                if (c.answer == ESCAPE)
                    PostMessageA(d.Window(), WM_COMMAND, IDCANCEL, 0);  // what Escape sends
                else
                    d.Click(IDOK);
            }, "Icon Placement");
        }
        // The install registers the Explorer entry (asking) and then the classic one (never asking).
        RegisterNamespaceEntry(EXPLORER_CLASS, "VANTIX Pro Explorer", c.mayAsk);
        RegisterNamespaceEntry(CLASSIC_CLASS, "VANTIX Pro", FALSE);
        script.Finish();
        for (const char* classId : { EXPLORER_CLASS, CLASSIC_CLASS })
            EXPECT_NE(vxtest::RegistryText(HKEY_LOCAL_MACHINE, NamespaceKey(c.place, classId), ""), "<absent>") << classId;
    }
    g_pfnIconPlacementDlgProc = NULL;
}

}  // namespace
