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

// The next-start command that copies fromPath over toPath: "command.com /c copy <from> <to>" with
// both paths in their short form; a path still holding a blank is quoted. Cut to fit.
void BuildNextStartCopyCommand(char* command, size_t size, const char* fromPath, const char* toPath);

// Creates the folder path with every missing parent; each level that cannot be created is
// reported on its own (message box, or log line when silent). path is changed during the call
// and restored. Returns non-zero when the folder exists afterwards.
int CreateFolderPath(char* path);

// 1 when folder\fileName can be opened for reading, else 0.
int FileExistsIn(const char* folder, const char* fileName);
