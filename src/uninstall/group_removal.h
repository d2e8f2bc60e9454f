// Removing the product's program items and, when it is the default one, its program group.
#pragma once
#include <windows.h>

// The program group to remove from: group when given, else key GROUP of the WIN.INI records
// ("VANTIX Pro" when absent), into name (CCH_LINE characters). A name that was cut or that would
// break a Program Manager command is replaced by the default, and said in the log. FALSE when
// the recorded name is empty: the install then made no group, and nothing is to be removed.
BOOL ChooseProductGroup(const char* group, char* name);

// Makes the group current and deletes the items of the selected catalogue groups (SEL_ bits)
// from it, then the group itself when it is the default group. The group is not created when it
// does not exist, and then no item command is sent: it would act on whatever group is current.
void RemoveProgramItems(const char* folder, const char* group, DWORD selection, HWND status);
