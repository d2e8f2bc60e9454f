// The payload catalogue: every carried file of the product, in five fixed groups, and the map
// from resource numbers to resource names and packed file names.
#pragma once
#include <windows.h>

// Run-time status bits of a catalogue entry; only ever added during a run.
enum {
    FE_DONE = 0x1,        // the last PlaceFile for the entry returned 0 (placed, or skipped quietly)
    FE_ICON = 0x2,        // its program item was created
    FE_REGISTERED = 0x4,  // the component was registered
    FE_FAILED = 0x8       // a required file was not placed, or its registration failed
};

struct FILE_ENTRY {
    const char* szSource;     // name as carried; names the file for removal and in reports
    const char* szFile;       // name installed in the destination folder
    const char* szIconTitle;  // title of its program item, "" when it has none
    DWORD bIcon;              // 1: the entry gets a program item
    DWORD bRequired;          // 1: a failure is reported with Retry/Cancel and stops the install
    DWORD dwStatus;           // FE_ bits
    DWORD nResult;            // what the last PlaceFile returned for it
};

struct RESOURCE_ROW {
    const char* szResName;     // resource name, upper case
    const char* szResType;     // "EXE" in every row
    const char* szPackedName;  // the packed file name that belongs to the resource
};

// A catalogue group: its entries, their count and the resource number of its first entry. The
// resource number of an entry is firstResource plus its position in the group.
struct FILE_GROUP {
    FILE_ENTRY* entries;
    int count;
    int firstResource;
};

extern const FILE_GROUP g_coreFiles;      // resource numbers 0-3
extern const FILE_GROUP g_explorerFiles;  // 4-9
extern const FILE_GROUP g_utilityFiles;   // 10-22
extern const FILE_GROUP g_commonFiles;    // 23-33
extern const FILE_GROUP g_iniFiles;       // 34-42

enum {
    RESOURCE_COUNT = 44,
    RESOURCE_INSTINI = 43  // the settings template, written at start as "Install.ini"
};
extern const RESOURCE_ROW g_resourceMap[RESOURCE_COUNT];
