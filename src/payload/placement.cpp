// File placement: one carried file into the destination folder, with the replacement of
// programs and libraries in use; next-start commands, and the withdrawal of a copy that a removal
// makes pointless; folder creation.
// Owns: nothing process-wide; sets g_bRebootNeeded when a replacement waits for a restart.
//
// Known gaps: a file in use that is not a program or library (a help file open in the viewer,
// say) cannot be replaced and fails; the ".bak" and ".new" files stay in the destination folder.
#include "payload/placement.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/setup_log.h"
#include "common/window_helpers.h"
#include "payload/extract.h"
#include "resources/resource.h"

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char SCHEDULE_VALUE_STEM[] = "Harrowby";
const unsigned SCHEDULE_VALUE_LAST = 999;  // the name has room for three digits
// Sorts before every SCHEDULE_VALUE_STEM name: '-' comes before the digits.
const char SCHEDULE_LAST_STEM[] = "Harrowby-";
// A copy command holds two paths of up to CCH_LONG_PATH characters, quoted.
enum { NEXT_START_COMMAND_SIZE = 2 * CCH_LONG_PATH + 32 };

void ShowStatus(HWND statusWindow, const char* text)
{
    if (g_bSilent)
        WriteLogLine(text);
    else if (statusWindow != NULL)
        SetWindowTextA(statusWindow, text);
}

void ShowCopyingText(const char* sourceFolder, const char* fileName, const char* destFolder, HWND statusWindow)
{
    char pattern[CCH_LINE];
    char text[CCH_INSERTS];
    LoadMessage(IDS_COPYING_FILE, pattern, sizeof(pattern));
    FormatInserts(text, pattern, sourceFolder, fileName, destFolder, fileName);
    ShowStatus(statusWindow, text);
}

// The extension to replace is searched for in the file's own name only: a folder whose name
// happens to hold ".dll" or ".exe" must neither make a data file count as a program nor move the
// file in use out of its folder.
const char* FileNamePart(const char* path)
{
    const char* lastBackslash = rt::StrRChr(path, '\\');
    return lastBackslash != NULL ? lastBackslash + 1 : path;
}

const char* FindProgramExtension(const char* path)
{
    const char* name = FileNamePart(path);
    const char* extension = rt::StrStr(name, ".dll");
    return extension != NULL ? extension : rt::StrStr(name, ".exe");
}

void RaiseRebootNeed()
{
    if (!g_bSilent || g_bAllowReboot)
        g_bRebootNeeded = TRUE;
}

// The replacement name: the target cut at its program extension, then suffix.
BOOL MakeAsideName(char* alt, size_t size, const char* target, const char* suffix)
{
    rt::CopyText(alt, size, target);
    alt[FindProgramExtension(target) - target] = '\0';
    return rt::AppendText(alt, size, suffix);
}

// Stores commandLine under the first free name stem0, stem1, ... of the subkey of RUN_KEY.
int StoreNextStartCommand(const char* subKeyName, const char* stem, const char* commandLine)
{
    HKEY runKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_ALL_ACCESS, &runKey) != ERROR_SUCCESS)
        return 0;
    HKEY subKey = NULL;
    if (RegOpenKeyExA(runKey, subKeyName, 0, KEY_ALL_ACCESS, &subKey) != ERROR_SUCCESS) {
        HKEY created;
        subKey = NULL;
        if (RegCreateKeyA(runKey, subKeyName, &created) == ERROR_SUCCESS) {
            RegCloseKey(created);
            if (RegOpenKeyExA(runKey, subKeyName, 0, KEY_ALL_ACCESS, &subKey) != ERROR_SUCCESS)
                subKey = NULL;
        }
    }

    int result = 0;
    if (subKey != NULL) {
        char valueName[sizeof(SCHEDULE_LAST_STEM) + 4];
        unsigned count = 0;
        rt::FormatText(valueName, sizeof(valueName), "%s0", stem);
        while (RegQueryValueExA(subKey, valueName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS && count <= SCHEDULE_VALUE_LAST)
            rt::FormatText(valueName, sizeof(valueName), "%s%u", stem, ++count);
        // The length is given without the terminating zero; the registry adds it.
        result = count <= SCHEDULE_VALUE_LAST
            && RegSetValueExA(subKey, valueName, 0, REG_SZ, (const BYTE*)commandLine, (DWORD)rt::StrLen(commandLine)) == ERROR_SUCCESS;
        RegCloseKey(subKey);
    }
    RegCloseKey(runKey);
    return result;
}

// Windows NT: rename the file in use aside and write the new one in its place.
BOOL ReplaceByRenaming(char* temp, const char* target)
{
    char alt[CCH_LONG_PATH];
    if (!MakeAsideName(alt, sizeof(alt), target, ".bak"))
        return FALSE;
    DeleteFileA(alt);
    if (!MoveFileA(target, alt) && !MoveFileA(target, alt))
        return FALSE;
    if (ExpandFile(temp, target))
        return TRUE;
    // The new file could not be written (a full disk, say): the old one takes its name back, so
    // that a failed update leaves the program that worked.
    DWORD error = GetLastError();
    MoveFileA(alt, target);
    SetLastError(error);
    return FALSE;
}

// Windows 95/98: write the new file beside the one in use and copy it over at the next start.
BOOL ReplaceAtNextStart(char* temp, const char* target)
{
    char alt[CCH_LONG_PATH];
    if (!MakeAsideName(alt, sizeof(alt), target, ".new"))
        return FALSE;
    DeleteFileA(alt);
    if (!ExpandFile(temp, alt))
        return FALSE;
    char command[NEXT_START_COMMAND_SIZE];
    BuildNextStartCopyCommand(command, sizeof(command), alt, target);
    return ScheduleAtStartup(command);
}

// One attempt: 1 placed (or replacement scheduled), 0 failed.
int AttemptPlacement(const char* sourceFolder, const char* fileName, const char* destFolder, int resourceRow)
{
    char target[CCH_LONG_PATH];
    char temp[CCH_LONG_PATH];
    // A path too long for its buffer is a placement failure, never a cut path.
    if (!rt::JoinPath(target, sizeof(target), destFolder, fileName)
        || !rt::CopyText(temp, sizeof(temp), sourceFolder) || !rt::AppendText(temp, sizeof(temp), g_szTempName))
        return 0;

    PumpMessages();
    if (ExtractResource(g_hInstance, resourceRow, sourceFolder, g_szTempName) != 1)
        return 0;
    if (ExpandFile(temp, target)) {
        DeleteFileA(temp);
        return 1;
    }
    DWORD error = GetLastError();
    PumpMessages();

    // A program or library that is there and cannot be opened for writing is in use, unless it is
    // marked read-only: that one is the user's to unmark, and is reported instead of being put
    // aside. One that could be written failed for another reason (a full disk): it stays as it is.
    DWORD attributes = GetFileAttributesA(target);
    BOOL inUse = FindProgramExtension(target) != NULL && attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & FILE_ATTRIBUTE_READONLY) == 0 && !TargetCanBeReplaced(target);
    BOOL replaced = inUse && (g_bWinNT ? ReplaceByRenaming(temp, target) : ReplaceAtNextStart(temp, target));
    // The error of the step that failed, not of the clean-up, is what the report shows.
    if (inUse)
        error = GetLastError();
    DeleteFileA(temp);
    if (!replaced) {
        SetLastError(error);
        return 0;
    }
    RaiseRebootNeed();
    return 1;
}

// Every report of this file: a box captioned "Install", or a log line in silent mode, where the
// answer is always Cancel.
int ShowReport(HWND owner, const char* text, UINT style)
{
    if (g_bSilent) {
        WriteLogLine(text);
        return IDCANCEL;
    }
    char caption[CCH_LINE];
    LoadMessage(IDS_INSTALL_CAPTION, caption, sizeof(caption));
    return MessageBoxA(owner, text, caption, style);
}

// Reports a failed placement; returns the answer: IDCANCEL (always when silent), IDRETRY, ...
int ReportPlacementFailure(const char* fileName, const char* destFolder, HWND ownerWindow)
{
    char pattern[CCH_LINE];
    char text[CCH_INSERTS];
    LoadMessage(IDS_COPY_FAILED, pattern, sizeof(pattern));
    DWORD error = GetLastError();
    FormatInserts(text, pattern, fileName, destFolder, error);
    return ShowReport(ownerWindow, text, MB_ICONERROR | MB_RETRYCANCEL);
}

__attribute__((noinline)) void ReportFolderFailure(const char* path, DWORD error)
{
    char pattern[CCH_LINE];
    char text[CCH_INSERTS];
    LoadMessage(IDS_FOLDER_CREATION_FAILED, pattern, sizeof(pattern));
    FormatInserts(text, pattern, path, error);
    ShowReport(NULL, text, MB_ICONERROR);
}

}  // namespace

int PlaceFile(const char* sourceFolder, const char* fileName, const char* destFolder, HWND ownerWindow,
    HWND statusWindow, int resourceRow, int reportFailure)
{
    ShowCopyingText(sourceFolder, fileName, destFolder, statusWindow);
    for (;;) {
        if (AttemptPlacement(sourceFolder, fileName, destFolder, resourceRow))
            return 0;
        if (!reportFailure)
            return 0;
        int answer = ReportPlacementFailure(fileName, destFolder, ownerWindow);
        if (answer == IDCANCEL)
            return 1;
        if (answer != IDRETRY)
            return 0;
    }
}

void BuildNextStartCopyCommand(char* command, size_t size, const char* fromPath, const char* toPath)
{
    rt::CopyText(command, size, "command.com /c copy");
    AppendNextStartPath(command, size, fromPath);
    AppendNextStartPath(command, size, toPath);
}

// A next-start command is run by a command interpreter that splits at blanks: a path whose
// short form still holds one (8.3 names turned off, or no short form) is quoted.
BOOL AppendNextStartPath(char* command, size_t size, const char* path)
{
    char shortPath[CCH_SHORT_PATH];
    DWORD length = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    if (length == 0 || length >= sizeof(shortPath))
        shortPath[0] = '\0';
    const char* text = shortPath[0] != '\0' ? shortPath : path;
    BOOL quote = rt::StrChr(text, ' ') != NULL;
    return rt::AppendText(command, size, quote ? " \"" : " ") && rt::AppendText(command, size, text)
        && (!quote || rt::AppendText(command, size, "\""));
}

void CancelNextStartCopy(const char* target)
{
    char alt[CCH_LONG_PATH];
    if (FindProgramExtension(target) == NULL || !MakeAsideName(alt, sizeof(alt), target, ".new")
        || GetFileAttributesA(alt) == INVALID_FILE_ATTRIBUTES)
        return;
    // The command as ReplaceAtNextStart stored it: the same two files, so the same short names.
    char command[NEXT_START_COMMAND_SIZE];
    BuildNextStartCopyCommand(command, sizeof(command), alt, target);
    char keyPath[CCH_REGISTRY_KEY];
    HKEY key;
    if (rt::JoinPath(keyPath, sizeof(keyPath), RUN_KEY, "RunServicesOnce")
        && RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (DWORD index = 0;;) {
            char name[CCH_LINE];
            char data[NEXT_START_COMMAND_SIZE];
            DWORD nameSize = sizeof(name);
            DWORD dataSize = sizeof(data) - 1;
            LONG status = RegEnumValueA(key, index, name, &nameSize, NULL, NULL, (BYTE*)data, &dataSize);
            if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
                break;
            // Stored without its terminator (ScheduleAtStartup gives the length without it).
            BOOL same = FALSE;
            if (status == ERROR_SUCCESS) {
                data[dataSize] = '\0';
                same = rt::StrCmp(data, command) == 0;
            }
            // A value deleted moves the next one to its index.
            if (!same || RegDeleteValueA(key, name) != ERROR_SUCCESS)
                ++index;
        }
        RegCloseKey(key);
    }
    DeleteFileA(alt);
}

int ScheduleAtStartup(const char* commandLine)
{
    return StoreNextStartCommand(g_bWinNT ? "RunOnce" : "RunServicesOnce", SCHEDULE_VALUE_STEM, commandLine);
}

int ScheduleInOrderAtStartup(const char* commandLine)
{
    return StoreNextStartCommand("RunOnce", SCHEDULE_VALUE_STEM, commandLine);
}

// Windows runs RunOnce in the order the values were stored; Wine's restart runs them by name from
// the last to the first. Stored last under a name that sorts first, the command ends both runs.
int ScheduleLastAtStartup(const char* commandLine)
{
    return StoreNextStartCommand("RunOnce", SCHEDULE_LAST_STEM, commandLine);
}

int CreateFolderPath(char* path)
{
    int result = CreateDirectoryA(path, NULL);
    DWORD error = result ? ERROR_SUCCESS : GetLastError();
    if (!result && error == ERROR_ALREADY_EXISTS) {
        // Only a folder counts: a file of that name would let every placement fail into it.
        DWORD attributes = GetFileAttributesA(path);
        result = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    } else if (!result) {
        char* lastBackslash = (char*)rt::StrRChr(path, '\\');
        if (lastBackslash != NULL) {
            *lastBackslash = '\0';
            CreateFolderPath(path);  // reports its own failure
            *lastBackslash = '\\';
            result = CreateDirectoryA(path, NULL);
            error = result ? ERROR_SUCCESS : GetLastError();
        }
    }
    // A device name (NUL, CON) may "succeed" without any folder being there.
    DWORD attributes = GetFileAttributesA(path);
    if (result && (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)) {
        result = 0;
        error = ERROR_INVALID_NAME;
    }
    if (!result)
        ReportFolderFailure(path, error);
    return result;
}

int FileExistsIn(const char* folder, const char* fileName)
{
    char path[CCH_LONG_PATH];
    if (!rt::JoinPath(path, sizeof(path), folder, fileName))
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    return 1;
}
