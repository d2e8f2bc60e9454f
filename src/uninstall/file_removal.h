// Deleting the product's files and folder: at once when they are free, at the next start of
// Windows when they are in use, and never a folder that belongs to the system. What waits for the
// next start is stored under RunOnce on every Windows, whose commands run one after another: the
// folder's rmdir comes after the deletions that empty it.
#pragma once
#include <windows.h>

// Deletes the file at path. Returns 1 when it is gone (also when it was not there), 0 when its
// deletion was left to the next start: the file is moved to its ".del" name (the path itself when
// the move fails) and "<interpreter> /c del <short path>" is scheduled, which sets
// g_bRebootNeeded. A command that would not hold the path whole is not scheduled.
int DeleteOrScheduleFile(const char* path);

// Schedules "<interpreter> /c rmdir <short folder> " for the next start, after every deletion
// scheduled before it. Returns 1 when scheduled.
int ScheduleFolderRemoval(const char* folder);

// TRUE for a drive's root (also a drive given without a folder, "C:"), the Windows folder and the
// system folder, however written (with "." or "..", with a trailing backslash or none).
BOOL IsSystemOwnedFolder(const char* folder);
