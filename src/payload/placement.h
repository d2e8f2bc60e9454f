// Putting carried files into place: one file at a time (replacing programs and libraries in
// use), commands run once at the next start of Windows, folder creation, and the existence test
// made before an icon is created.
#pragma once
#include <windows.h>

// Writes resource number resourceRow under g_szTempName into sourceFolder (which ends in a
// backslash), expands it into destFolder\fileName and deletes the scratch file. A program or
// library in use is renamed aside to ".bak" (Windows NT) or written as ".new" with a copy command
// for the next start (Windows 95/98). The copying text goes to statusWindow (or the log when
// silent). Returns 0 to go on (placed, or failed without a report when reportFailure is 0) and 1
// to stop (the failure was reported and the answer was Cancel, always so in silent mode).
int PlaceFile(const char* sourceFolder, const char* fileName, const char* destFolder, HWND ownerWindow,
    HWND statusWindow, int resourceRow, int reportFailure);

// Stores commandLine to be run once at the next start of Windows, under the first free value name
// Harrowby0, Harrowby1, ... Harrowby999 of RunOnce (NT) or RunServicesOnce (95/98). Returns 1
// when stored, 0 otherwise (also when every name is taken).
int ScheduleAtStartup(const char* commandLine);

// The same under RunOnce on every Windows: the one key whose commands the system runs one after
// another in the order they were stored, each finished before the next starts (Windows 95/98 start
// those of RunServicesOnce all at once). For commands that depend on the ones before them.
int ScheduleInOrderAtStartup(const char* commandLine);
// The same, for a command that must come after every command stored by ScheduleInOrderAtStartup,
// under the names Harrowby-0, Harrowby-1, ...: they sort before Harrowby0, for a restart that works
// the values from the last name to the first, as Wine's does.
int ScheduleLastAtStartup(const char* commandLine);

// The next-start command that copies fromPath over toPath: "command.com /c copy <from> <to>" with
// both paths in their short form; a path still holding a blank is quoted. Cut to fit.
void BuildNextStartCopyCommand(char* command, size_t size, const char* fromPath, const char* toPath);

// Appends a blank and path, in its short form when it has one, to command (size characters); a
// path that still holds a blank is quoted. FALSE when the command had to be cut: it must then not
// be scheduled, as a cut path names another file.
BOOL AppendNextStartPath(char* command, size_t size, const char* path);

// Withdraws what PlaceFile left for the program or library at target that was in use on Windows
// 95/98: its ".new" file, and the copy command that would put that file in its place at the next
// start (when it is still waiting). Nothing for any other file.
void CancelNextStartCopy(const char* target);

// Creates the folder path with every missing parent; each level that cannot be created is
// reported on its own (message box, or log line when silent). path is changed during the call
// and restored. Returns non-zero when the folder exists afterwards.
int CreateFolderPath(char* path);

// 1 when folder\fileName can be opened for reading, else 0.
int FileExistsIn(const char* folder, const char* fileName);
