// The removal mode: the product found from its records, removed, and the user told the outcome.
#pragma once
#include <windows.h>

// Removes the install that WIN.INI records (keys DIR and INSTOPTS of the section "VANTIX"), with
// a status dialog owned by owner, then deletes the section, removes the folder when it is empty
// and tells the outcome; when deletions wait for the next start it schedules the folder's removal
// too and offers the restart (g_bRebootNeeded stays set on OK, is cleared on Cancel). Without a
// usable record it says so and changes nothing. nV and nM are not used. Returns 0.
int UninstallProduct(HWND owner, int nV, int nM);

// The same removal of the product in filesFolder, with its items in group (NULL: the one WIN.INI
// records), ending with the removal of folder; the WIN.INI records are deleted when forgetRecords
// is set. Returns 0.
int RemoveInstalledProduct(HWND owner, const char* filesFolder, const char* folder, const char* group, BOOL forgetRecords);

// Every box of the removal: the string-table text textId, with folder in place of its "%s" (the
// folder left behind, named whole), captioned with the string-table text captionId. Returns the
// button pressed.
int ShowRemovalMessage(HWND owner, UINT textId, const char* folder, UINT captionId, UINT style);
