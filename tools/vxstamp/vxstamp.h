// vxstamp's parts, the exit codes they return and the one way they report a refusal. The usage
// text in main.cpp explains the codes to the distributor.
#pragma once
#include <stdio.h>
#include <windows.h>

enum StampExitCode {
    EXIT_STAMPED = 0,
    EXIT_USAGE = 2,
    EXIT_NO_INSTALLER = 3,        // missing, a folder, or not openable
    EXIT_NOT_A_PROGRAM = 4,       // no PE program headers, or a library
    EXIT_NOT_OUR_INSTALLER = 5,   // a program without our settings resource and bitmap
    EXIT_SETTINGS_UNREADABLE = 6, // missing, a folder, unreadable, empty or too large
    EXIT_SETTINGS_NOT_TEXT = 7,   // NUL or control bytes, line ends other than CR LF, a BOM
    EXIT_COPY_FAILED = 8,         // the working copy could not be made or updated
    EXIT_VERIFY_FAILED = 9,       // the updated copy does not carry exactly the settings bytes
    EXIT_REPLACE_FAILED = 10      // the installer could not be replaced (read-only, in use)
};

// Windows 95 and 98 do not read INI files beyond 64 KiB; a real settings file is a few hundred bytes.
enum { MAX_SETTINGS_BYTES = 65536 };

struct SettingsText {
    char bytes[MAX_SETTINGS_BYTES];
    DWORD size;
};

// Prints "vxstamp: <subject>: <text>" as one line on stderr and returns code.
int Refuse(int code, const char* subject, const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 3, 4)));

// settings.cpp: reads path into settings and checks that it is plain text with CR LF line ends.
int ReadSettingsFile(const char* path, SettingsText* settings);
// A section whose name still starts with "[RenameThisSectionTo:" is never read by the installer.
BOOL KeepsRenamePrefix(const SettingsText& settings);

// installer.cpp: path must be a full path (a bare name would send LoadLibraryExA searching).
// Checks that path is one of our installers and gives the language of its settings resource.
int RecogniseInstaller(const char* path, WORD* settingsLanguage);
// Replaces the settings resource of that language through a checked copy beside the installer.
int StampInstaller(const char* path, WORD settingsLanguage, const char* settingsPath, const SettingsText& settings);
