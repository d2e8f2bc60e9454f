// The built programs and libraries: which DLLs and functions they import (a Windows 95 machine
// has only the system DLLs and msvcrt.dll), and that each program starts and shows its window.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "pe_file.h"
#include "product_paths.h"
#include "window_driver.h"
#include "wine_env.h"

namespace {

struct BinaryCase {
    const char *file;
    std::set<std::string> dlls;
};

const std::set<std::string> WINDOW_PROGRAM = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL"};

std::set<std::string> Plus(std::set<std::string> dlls, std::initializer_list<const char *> more)
{
    dlls.insert(more.begin(), more.end());
    return dlls;
}

const BinaryCase BINARIES[] = {
    {"vantix32.exe", Plus(WINDOW_PROGRAM, {"VXCORE32.DLL"})},
    {"vxscript.exe", WINDOW_PROGRAM},
    {"vxfind.exe", WINDOW_PROGRAM},
    {"vxsync.exe", Plus(WINDOW_PROGRAM, {"VXSYNCL.DLL"})},
    {"vxplace.exe", Plus(WINDOW_PROGRAM, {"ADVAPI32.DLL"})},
    {"vxremove.exe", WINDOW_PROGRAM},
    {"vxcore32.dll", {"KERNEL32.DLL", "USER32.DLL", "MSVCRT.DLL"}},
    {"vxshell.dll", {"KERNEL32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}},
    {"vxshim.dll", {"KERNEL32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}},
    {"vxshlch.dll", {"KERNEL32.DLL", "SHELL32.DLL", "MSVCRT.DLL"}},
    {"vxsyncl.dll", {"KERNEL32.DLL", "MSVCRT.DLL"}},
};

TEST(Imports, OnlySystemDllsMsvcrtAndOwnLibrariesAndNoFunctionNewerThanWindows95)
{
    for (const BinaryCase &c : BINARIES) {
        SCOPED_TRACE(c.file);
        std::vector<vxtest::PeImport> imports = vxtest::ReadPeFile(vxtest::ReadFileBytes(ProductFile(c.file))).imports;
        ASSERT_FALSE(imports.empty());
        std::set<std::string> dlls;
        for (const vxtest::PeImport &import : imports) {
            dlls.insert(import.dll);
            if (import.dll != "KERNEL32.DLL")
                continue;
            for (const char *missing : vxtest::NOT_ON_WINDOWS_95)
                EXPECT_NE(import.function, missing);
        }
        EXPECT_EQ(dlls, c.dlls);
    }
}

struct ProgramCase {
    const char *file;
    const char *arguments;
    const char *windowClass;
    const char *title;
    const char *text;   // part of what the window shows
};

const int ID_TEXT = 100;   // the edit box of every product window

const ProgramCase PROGRAMS[] = {
    {"vantix32.exe", "", "VantixMainWindow", "VANTIX Pro", "MySites"},
    {"vxscript.exe", "nightly.vxs", "VantixScriptWindow", "VANTIX Scripting Utility", "Script: nightly.vxs"},
    {"vxfind.exe", "", "VantixFindWindow", "VANTIX Find Utility", "Searches the sites"},
    {"vxsync.exe", "", "VantixSyncWindow", "VANTIX Synchronize Utility", "no more than 2 seconds"},
    {"vxplace.exe", "", "VantixPlaceWindow", "VANTIX Pro Icon Placement", "Explorer icon"},
    {"vxremove.exe", "-f C:\\Program Files\\VANTIX Pro -d C:\\Program Files\\VANTIX Pro -g VANTIX Pro",
     "VantixRemoveWindow", "Uninstall VANTIX Pro",
     "Folder to remove:\tC:\\Program Files\\VANTIX Pro\r\nProgram group:\tVANTIX Pro\r\n"},
};

// Starts a program, waits for its window and returns the text it shows; closes it afterwards
// and expects a clean exit.
std::string ShownText(const std::string &exePath, const ProgramCase &program)
{
    vxtest::Program running = vxtest::StartProgram(exePath, program.arguments);
    EXPECT_TRUE(running.Started());
    if (!running.Started())
        return "";
    HWND window = vxtest::WaitForWindow(running.Id(), program.windowClass, program.title, 30000);
    EXPECT_NE(window, nullptr) << "no window \"" << program.title << "\"";
    if (!window)
        return "";
    std::string text = vxtest::ControlText(window, ID_TEXT);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(running.Wait(30000), 0u);
    return text;
}

TEST(Programs, EachStartsWithItsTitledWindowAndDescribesItself)
{
    for (const ProgramCase &program : PROGRAMS) {
        SCOPED_TRACE(program.file);
        std::string text = ShownText(ProductFile(program.file), program);
        EXPECT_NE(text.find(program.text), std::string::npos) << text;
    }
}

TEST(Programs, MainProgramListsTheSiteListsOfTheIniBesideIt)
{
    vxtest::ScratchFolder folder("vxmain");
    for (const char *file : {"vantix32.exe", "vxcore32.dll"})
        ASSERT_TRUE(CopyFileA(ProductFile(file).c_str(), (folder / file).c_str(), FALSE)) << file;
    vxtest::WriteFileBytes(folder / "work.ini", "[Office]\r\nHOST=ftp.office.example\r\n[Home]\r\nHOST=h\r\n");
    vxtest::WriteFileBytes(folder / "VANTIX.ini", "[MySites]\r\nFILENAME=" + (folder / "original.ini") +
                                                      "\r\n[Work]\r\nFILENAME=work.ini\r\n"
                                                      "[_config_]\r\nMAILADDR=someone@\r\n");

    std::string text = ShownText(folder / "vantix32.exe", PROGRAMS[0]);
    EXPECT_NE(text.find("MySites\t" + (folder / "original.ini") + "\tmissing\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Work\t" + (folder / "work.ini") + "\t2 sites\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("address: someone@"), std::string::npos) << text;
}

} // namespace
