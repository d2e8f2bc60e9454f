// The names under which an install records itself, which the removal looks for again.
#pragma once

extern const char DEFAULT_GROUP_NAME[];  // "VANTIX Pro"
extern const char WININI_SECTION[];      // "VANTIX": the installer's records in WIN.INI
// The Explorer interface's program item, which belongs to no catalogue entry: its title and the
// command it runs (the shell namespace object, no file).
extern const char EXPLORER_ITEM_TITLE[];
extern const char EXPLORER_ITEM_COMMAND[];
