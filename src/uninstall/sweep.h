// The last removal step: the working files the product leaves in its folder.
#pragma once
#include <windows.h>

// Deletes the ".bak", ".tmp", ".gid" and ".log" files of folder (any letter case; subfolders are
// not entered) and, when the main INI file is there and the user agrees (owner parents the
// question), every ".ini" file too. Failures are ignored and nothing is scheduled.
void SweepWorkingFiles(const char* folder, HWND owner, HWND status);
