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

}  // namespace
