// The sample product's files as the build assembled them: which DLLs the programs and libraries
// import (a Windows 95 machine has only the system DLLs: no C runtime DLL), that each
// program starts and shows its window, the main INI template's first section and its "$$"
// markers, and the sounds and the manual well formed by their headers.
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

DWORD Le(const std::string &bytes, size_t offset, size_t size)
{
    DWORD value = 0;
    if (offset + size <= bytes.size())
        memcpy(&value, bytes.data() + offset, size);
    return value;
}

struct BinaryCase {
    const char *file;
    std::set<std::string> dlls;
};

const std::set<std::string> WINDOW_PROGRAM = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL"};

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
    {"vxcore32.dll", {"KERNEL32.DLL", "USER32.DLL"}},
    {"vxshell.dll", {"KERNEL32.DLL", "ADVAPI32.DLL"}},
    {"vxshim.dll", {"KERNEL32.DLL", "ADVAPI32.DLL"}},
    {"vxshlch.dll", {"SHELL32.DLL"}},
    {"vxsyncl.dll", {}},
};

TEST(Imports, OnlySystemDllsAndOwnLibraries)
{
    for (const BinaryCase &c : BINARIES) {
        SCOPED_TRACE(c.file);
        vxtest::PeFacts pe = vxtest::ReadPeFile(vxtest::ReadFileBytes(ProductFile(c.file)));
        ASSERT_TRUE(pe.valid);
        std::set<std::string> dlls;
        for (const vxtest::PeImport &import : pe.imports)
            dlls.insert(import.dll);
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

TEST(Programs, EachStartsWithItsTitledWindowAndDescribesItself)
{
    for (const ProgramCase &program : PROGRAMS) {
        SCOPED_TRACE(program.file);
        vxtest::Program running = vxtest::StartProgram(ProductFile(program.file), program.arguments);
        ASSERT_TRUE(running.Started());
        HWND window = vxtest::WaitForWindow(running.Id(), program.windowClass, program.title, 30000);
        ASSERT_NE(window, nullptr) << "no window \"" << program.title << "\"";
        std::string text = vxtest::ControlText(window, ID_TEXT);
        EXPECT_NE(text.find(program.text), std::string::npos) << text;
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(running.Wait(30000), 0u);
    }
}

TEST(MainIniTemplate, StartsWithMySitesAndEveryFileNameStartsWithTheMarker)
{
    std::vector<std::string> lines = vxtest::SplitLines(vxtest::ReadFileBytes(ProductFile("VANTIX.ini")));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[MySites]");
    EXPECT_EQ(lines[1], "FILENAME=$$\\original.ini");
    int fileNames = 0;
    for (const std::string &line : lines) {
        if (line.compare(0, 9, "FILENAME=") == 0) {
            ++fileNames;
            EXPECT_EQ(line.compare(9, 3, "$$\\"), 0) << line;
        }
    }
    EXPECT_EQ(fileNames, 9) << "original.ini and the eight site lists";
}

// The canonical 44-byte header: RIFF, WAVE, a PCM "fmt " chunk, then the samples.
TEST(Sounds, ArePcmWavesByTheirHeaders)
{
    for (const char *name : {"vxconn.wav", "vxfail.wav", "vxdone.wav"}) {
        SCOPED_TRACE(name);
        const std::string wav = vxtest::ReadFileBytes(ProductFile(name));
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le(wav, 20, 2), 1u) << "PCM";
        EXPECT_EQ(Le(wav, 28, 4), Le(wav, 24, 4) * Le(wav, 32, 2)) << "byte rate = sample rate x block size";
        EXPECT_EQ(wav.substr(36, 4), "data");
        EXPECT_EQ(Le(wav, 40, 4), wav.size() - 44);
    }
}

TEST(Manual, IsAPdfWhoseTrailerPointsAtItsCrossReferenceTable)
{
    const std::string pdf = vxtest::ReadFileBytes(ProductFile("vxcore32.pdf"));
    ASSERT_EQ(pdf.compare(0, 7, "%PDF-1."), 0);
    ASSERT_NE(pdf.rfind("%%EOF"), std::string::npos);
    EXPECT_GE(pdf.rfind("%%EOF"), pdf.size() - 7);
    const size_t startxref = pdf.rfind("startxref");
    ASSERT_NE(startxref, std::string::npos);
    const size_t xref = std::stoul(pdf.substr(startxref + 9));
    ASSERT_LT(xref, pdf.size());
    EXPECT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
}

} // namespace
