// vxstamp: puts a distributor's settings file into a built installer in place of the settings
// template it carries, without rebuilding it.
//   vxstamp <installer.exe> <settings.ini>
// Owns: g_settings, the settings file's bytes, read once.
//
// In order: the arguments, the installer (a file, a PE program, one of ours: installer.cpp), the
// settings file (readable, plain text: settings.cpp), then the stamp itself through a checked copy
// (installer.cpp). Every refusal is one line on stderr and its own exit code; the installer is
// left byte for byte as it was unless the stamp succeeds.
#include "vxstamp.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

const char USAGE[] =
    "vxstamp: replaces the settings file a VANTIX Pro installer carries, without rebuilding it.\n"
    "\n"
    "usage: vxstamp <installer.exe> <settings.ini>\n"
    "\n"
    "The installer (vxsetup.exe) carries its settings as the resource INSTINI of type EXE and writes\n"
    "them out as Install.ini when it starts. vxstamp puts the bytes of settings.ini there unchanged,\n"
    "in the language of the existing INSTINI, through a copy beside the installer that is read back\n"
    "before it replaces the installer. On any failure the installer is left as it was.\n"
    "\n"
    "A file is taken as a VANTIX Pro installer when it is a PE program (not a library) carrying\n"
    "exactly one resource INSTINI of type EXE and the bitmap VX_BMP.\n"
    "settings.ini must be plain text of 1 to 65536 bytes: every line ending in CR LF, no NUL or other\n"
    "control characters except tab, no UTF-8 byte order mark.\n"
    "Remove the prefix \"RenameThisSectionTo:\" from the section names [INSTALL] and [VANTIX]:\n"
    "with it no key takes effect, and vxstamp warns on stdout.\n"
    "vxstamp needs Windows NT; the installer it stamps still runs on Windows 95, 98 and NT 4.0.\n"
    "\n"
    "Exit codes:\n"
    "   0  stamped\n"
    "   2  wrong arguments\n"
    "   3  the installer is missing, a folder or cannot be opened\n"
    "   4  the installer is not a Windows program (or is a library)\n"
    "   5  the installer is not a VANTIX Pro installer\n"
    "   6  the settings file is missing, a folder, unreadable, empty or larger than 64 KiB\n"
    "   7  the settings file is not plain text with CR LF line ends\n"
    "   8  the working copy could not be made or updated\n"
    "   9  the working copy did not read back as the settings file\n"
    "  10  the installer could not be replaced (read-only or in use)\n";

// Written once and read by the whole run; too large for the stack of a small console program.
SettingsText g_settings;

BOOL IsHelpRequest(const char* argument)
{
    return strcmp(argument, "/?") == 0 || strcmp(argument, "-?") == 0 || strcmp(argument, "-h") == 0
        || strcmp(argument, "--help") == 0;
}

// A full path: LoadLibraryExA would search the program's own folder and PATH for a bare name.
BOOL MakeFullPath(const char* path, char* fullPath)
{
    DWORD length = path[0] != '\0' ? GetFullPathNameA(path, MAX_PATH, fullPath, NULL) : 0;
    return length > 0 && length < MAX_PATH;
}

}  // namespace

int Refuse(int code, const char* subject, const char* format, ...)
{
    fprintf(stderr, "vxstamp: %s: ", subject);
    va_list arguments;
    va_start(arguments, format);
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputc('\n', stderr);
    return code;
}

int main(int argc, char** argv)
{
    if (argc == 2 && IsHelpRequest(argv[1])) {
        fputs(USAGE, stdout);
        return EXIT_STAMPED;
    }
    if (argc != 3)
        return Refuse(EXIT_USAGE, "usage", "vxstamp <installer.exe> <settings.ini> (vxstamp /? explains)");

    char installer[MAX_PATH];
    char settingsPath[MAX_PATH];
    if (!MakeFullPath(argv[1], installer))
        return Refuse(EXIT_NO_INSTALLER, "installer", "\"%s\" is not a usable path", argv[1]);
    if (!MakeFullPath(argv[2], settingsPath))
        return Refuse(EXIT_SETTINGS_UNREADABLE, "settings file", "\"%s\" is not a usable path", argv[2]);

    WORD language = 0;
    int code = RecogniseInstaller(installer, &language);
    if (code == EXIT_STAMPED)
        code = ReadSettingsFile(settingsPath, &g_settings);
    if (code != EXIT_STAMPED)
        return code;

    // From here on a working copy exists; Ctrl+C would leave it behind, so it is ignored for the
    // second or so the rest takes.
    SetConsoleCtrlHandler(NULL, TRUE);
    code = StampInstaller(installer, language, settingsPath, g_settings);
    if (code != EXIT_STAMPED)
        return code;
    printf("vxstamp: %s: settings replaced by %s (%lu bytes)\n", installer, settingsPath, g_settings.size);
    if (KeepsRenamePrefix(g_settings))
        printf("vxstamp: warning: %s still names a section \"[RenameThisSectionTo:...]\"; the installer reads none "
               "of its keys until the prefix is removed\n", settingsPath);
    return EXIT_STAMPED;
}
