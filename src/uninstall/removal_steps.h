// The removal steps: everything an install did, undone in a fixed order, each step announced in
// the status control of the removal's status dialog.
#pragma once
#include <windows.h>

// Removes the product from folder: the uninstall entry, the shell namespace entries, the
// registrations, the files of the selected catalogue groups (SEL_ bits; the common files always)
// with what the install left for the next start of those in use, the program items and group (of group, or
// of the one WIN.INI records when group is NULL), and the working files (the INI files only when
// the user agrees; owner parents that question). A folder that belongs to the system (a drive
// root, the Windows or the system folder) keeps everything but the product's own files. status
// (may be NULL or stale) shows each step. Returns 1: every step runs to its end.
int RemoveProduct(const char* folder, const char* group, DWORD selection, HWND owner, HWND status);
