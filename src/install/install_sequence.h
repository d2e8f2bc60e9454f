// The install after the wizard: the files of the selected groups, the main INI file and the site
// lists, the registrations, the WIN.INI records, the program group, the shell namespace entries
// and the uninstall entry, in that order.
#pragma once
#include <windows.h>

#include "install/records.h"

// Selection word: what to install.
enum : DWORD {
    SEL_CLASSIC = 0x1,         // the classic interface (the base product)
    SEL_EXPLORER = 0x2,        // the Explorer interface
    SEL_BONUS = 0x4,           // the Bonus Utility Pack
    SEL_SILENT = 0x10000000    // a silent install: no question, no dialog
};

// Outcome word: what happened. Set to 0 on entry, then bits are only added.
enum : DWORD {
    OUT_DONE = 0x1,                    // the sequence ended with success
    OUT_ICONS = 0x2,                   // a catalogue entry got its program item
    OUT_BASE_REGISTERED = 0x4,         // the base product class was registered
    OUT_FAILED = 0x8,                  // the sequence ended with failure
    OUT_EXPLORER_REGISTERED = 0x10000  // the Explorer library registered itself: restart needed
};


// Installs selection into destFolder (no trailing backslash); payload resources are written out
// into sourceFolder (with a trailing backslash) first. statusWindow, when given and still a
// window, shows the running step. failureText (256 bytes or more, or NULL) receives the last
// failure text. Returns 1 for success, 0 for failure; outcome (or NULL) gets the OUT_ bits.
int RunInstallSequence(const char* sourceFolder, const char* destFolder, DWORD selection, DWORD* outcome,
    HWND ownerWindow, HWND statusWindow, char* failureText);

// Writes targetPath from the plain-text template resource resourceRow, putting replacement in
// place of every occurrence of marker. Returns 0 when at least one line was written, else -1.
int CopyIniTemplate(const char* sourceFolder, const char* targetPath, const char* marker,
    const char* replacement, int resourceRow);
