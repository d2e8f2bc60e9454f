// The names under which an install records itself (see records.h), apart from the install
// sequence, so that a program that only removes (vxremove.exe) links none of it.
// Owns: nothing process-wide.
#include "install/records.h"

const char DEFAULT_GROUP_NAME[] = "VANTIX Pro";
const char WININI_SECTION[] = "VANTIX";
const char EXPLORER_ITEM_TITLE[] = "VANTIX Pro Explorer";
const char EXPLORER_ITEM_COMMAND[] = "VANTIX Pro Explorer.{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}";
